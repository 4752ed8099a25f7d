// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteWindow.h"

#include "LinkClient.h"
#include "NewSiteDialog.h"
#include "Prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kTitle = QT_TRANSLATE_NOOP("SiteWindow", "Site");

} // namespace

SiteWindow::SiteWindow(LinkClient& client, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_client(client), m_prompter(prompter), m_scan(client),
      m_status(client)
{
    setObjectName(QStringLiteral("SiteWindow"));
    setWindowTitle(tr(kTitle));
    askNewSite = [this]() -> std::optional<std::pair<QString, SiteFolder::NewSite>> {
        NewSiteDialog dialog(m_defaultPort, m_defaultSettings, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return std::make_pair(dialog.folder(), dialog.site());
    };
    chooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, tr("Open Site"), QString());
    };
    build();
    connect(&m_scan, &LineScan::progress, this, [this](int done, int total) {
        say(tr("Scanning line %1: address %2 of %3 ...").arg(m_scanLine).arg(done).arg(total));
    });
    connect(&m_scan, &LineScan::finished, this, &SiteWindow::scanFinished);
    connect(&m_status, &SiteStatusJob::rowUpdated, this,
            [this](int, const SiteDriveStatus& row) { takeDriveSaid(row); });
    // Read again a while after each reading, for as long as the window shows.
    m_again.setSingleShot(true);
    m_again.setInterval(5000);
    connect(&m_again, &QTimer::timeout, this, &SiteWindow::readDrives);
    connect(&m_status, &SiteStatusJob::finished, this, [this] {
        if (isVisible() && !m_status.cancelled())
            m_again.start();
    });
    setSite(nullptr);
}

SiteWindow::~SiteWindow()
{
    m_scan.disconnect(this);
    m_scan.cancel();
    m_status.disconnect(this);
    m_status.cancel();
}

void SiteWindow::build()
{
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    newButton = button("newButton", tr("&New..."));
    openButton = button("openButton", tr("&Open..."));
    recentButton = new QToolButton(this);
    recentButton->setObjectName(QStringLiteral("recentButton"));
    recentButton->setText(tr("&Recent"));
    recentButton->setPopupMode(QToolButton::InstantPopup);
    m_recentMenu = new QMenu(recentButton);
    recentButton->setMenu(m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &SiteWindow::fillRecentMenu);
    siteLabel = new QLabel(this);
    siteLabel->setObjectName(QStringLiteral("siteLabel"));
    siteLabel->setAccessibleName(tr("Site"));
    siteLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    siteLabel->setWordWrap(true);
    auto* lineLabel = new QLabel(tr("&Line:"), this);
    lineBox = new QComboBox(this);
    lineBox->setObjectName(QStringLiteral("lineBox"));
    lineBox->setAccessibleName(tr("Line"));
    lineLabel->setBuddy(lineBox);
    scanButton = button("scanButton", tr("&Scan"));
    scanButton->setToolTip(tr("Ask every address of the line and add the drives that answer"));
    commissionButton = button("commissionButton", tr("&Commission..."));
    commissionButton->setToolTip(
        tr("Back up, clone, test-run and report the chosen drives in one go"));

    table = new QTableWidget(0, ColumnCount, this);
    table->setObjectName(QStringLiteral("table"));
    table->setAccessibleName(tr("Drives"));
    table->setHorizontalHeaderLabels({tr("Line"), tr("Address"), tr("Name"), tr("Edition"),
                                      tr("Readiness"), tr("State"), tr("Parameters"),
                                      tr("Last test run"), tr("Last recording"), tr("Last report"),
                                      tr("Attention")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A long fault text or readiness note is cut short in its cell (the cell's
    // tip holds it whole): the row stays on the screen.
    table->horizontalHeader()->setMaximumSectionSize(fontMetrics().averageCharWidth() * 30);
    table->setTextElideMode(Qt::ElideRight);
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(true);
    // Whether a drive needs attention, and why, is read first: it stands
    // beside the drive's name rather than past the right edge of the window.
    table->horizontalHeader()->moveSection(AttentionColumn, NameColumn + 1);
    table->setWordWrap(false);
    connect(table, &QTableWidget::itemChanged, this, &SiteWindow::nameEdited);
    connect(table, &QTableWidget::itemSelectionChanged, this, &SiteWindow::enableControls);

    parametersButton = button("parametersButton", tr("Drive &Parameters..."));
    testRunButton = button("testRunButton", tr("&Test Run..."));
    recorderButton = button("recorderButton", tr("Re&corder..."));
    reportButton = button("reportButton", tr("R&eport..."));
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setAccessibleName(tr("Status"));
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout;
    top->addWidget(newButton);
    top->addWidget(openButton);
    top->addWidget(recentButton);
    top->addSpacing(fontMetrics().averageCharWidth() * 2);
    top->addWidget(lineLabel);
    top->addWidget(lineBox);
    top->addWidget(scanButton);
    top->addStretch();
    top->addWidget(commissionButton);
    auto* tools = new QHBoxLayout;
    tools->addWidget(new QLabel(tr("Open on the chosen drives:"), this));
    for (QPushButton* b : {parametersButton, testRunButton, recorderButton, reportButton})
        tools->addWidget(b);
    tools->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(siteLabel);
    layout->addWidget(table, 1);
    layout->addLayout(tools);
    layout->addWidget(statusLabel);
    // Room for the columns of a row without scrolling, at any font size.
    resize(fontMetrics().averageCharWidth() * 200, fontMetrics().height() * 30);

    connect(newButton, &QPushButton::clicked, this, &SiteWindow::New_Click);
    connect(openButton, &QPushButton::clicked, this, &SiteWindow::Open_Click);
    connect(scanButton, &QPushButton::clicked, this, &SiteWindow::Scan_Click);
    connect(commissionButton, &QPushButton::clicked, this, &SiteWindow::Commission_Click);
    connect(lineBox, &QComboBox::currentIndexChanged, this, [this] {
        enableControls();
        m_status.cancel();
        readDrives();
    });
    connect(parametersButton, &QPushButton::clicked, this, [this] { openTool(Tool::Parameters); });
    connect(testRunButton, &QPushButton::clicked, this, [this] { openTool(Tool::TestRun); });
    connect(recorderButton, &QPushButton::clicked, this, [this] { openTool(Tool::Recorder); });
    connect(reportButton, &QPushButton::clicked, this, [this] { openTool(Tool::Report); });
}

void SiteWindow::setLineDefaults(const QString& port, const QString& settings)
{
    m_defaultPort = port;
    if (!settings.isEmpty())
        m_defaultSettings = settings;
}

void SiteWindow::setRecentFile(const QString& path)
{
    m_recent = RecentSites(path);
    enableControls();
}

void SiteWindow::setSite(SiteFolder* site)
{
    if (m_scan.running())
        m_scan.cancel();
    m_status.cancel();
    const bool another = site != m_site;
    m_site = site;
    if (another)
        m_rows.clear();
    if (site) {
        const Site& s = site->site();
        QStringList parts;
        parts << (s.name.isEmpty() ? QFileInfo(site->root()).fileName() : s.name);
        if (!s.customer.isEmpty())
            parts << tr("customer %1").arg(s.customer);
        if (!s.technician.isEmpty())
            parts << tr("technician %1").arg(s.technician);
        siteLabel->setText(tr("%1 — %2").arg(parts.join(QStringLiteral(", ")),
                                             QDir::toNativeSeparators(site->root())));
        setWindowTitle(tr("Site — %1").arg(parts.first()));
    } else {
        siteLabel->setText(tr("No site is open: make a new one or open one."));
        setWindowTitle(tr(kTitle));
    }
    fillLines();
    fillTable();
    enableControls();
    readDrives();
}

void SiteWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    for (const QString& folder : m_recent.folders()) {
        QAction* a = m_recentMenu->addAction(QDir::toNativeSeparators(folder));
        connect(a, &QAction::triggered, this, [this, folder] { openFolder(folder); });
    }
}

bool SiteWindow::openFolder(const QString& folder)
{
    QString error;
    std::optional<SiteFolder> opened = SiteFolder::open(folder, &error);
    if (!opened) {
        warn(tr("No site could be opened in %1: %2").arg(QDir::toNativeSeparators(folder), error));
        return false;
    }
    m_recent.add(opened->root());
    emit siteChosen(*opened);
    say(tr("Opened %1.").arg(QDir::toNativeSeparators(opened->root())));
    enableControls();
    return true;
}

bool SiteWindow::createSite(const QString& folder, const SiteFolder::NewSite& what)
{
    if (folder.isEmpty()) {
        warn(tr("Name the folder of the new site."));
        return false;
    }
    QString error;
    std::optional<SiteFolder> made = SiteFolder::create(folder, what, &error);
    if (!made) {
        warn(tr("No site was made in %1: %2").arg(QDir::toNativeSeparators(folder), error));
        return false;
    }
    m_recent.add(made->root());
    emit siteChosen(*made);
    say(tr("Made the site in %1. Scan fills in its drives.")
            .arg(QDir::toNativeSeparators(made->root())));
    enableControls();
    return true;
}

void SiteWindow::New_Click()
{
    if (m_scan.running() || !askNewSite)
        return;
    if (const auto answer = askNewSite())
        createSite(answer->first, answer->second);
}

void SiteWindow::Open_Click()
{
    if (m_scan.running() || !chooseFolder)
        return;
    if (const QString folder = chooseFolder(); !folder.isEmpty())
        openFolder(folder);
}

QString SiteWindow::currentLine() const
{
    if (!m_site || m_site->site().lines.isEmpty())
        return QString();
    if (lineBox->currentIndex() >= 0)
        return lineBox->currentText();
    return m_site->site().lines.first().name;
}

void SiteWindow::fillLines()
{
    const QSignalBlocker quiet(lineBox);
    const QString before = lineBox->currentText();
    lineBox->clear();
    if (!m_site)
        return;
    int pick = -1;
    const QString port = m_client.link().port().portName();
    for (const SiteLine& l : m_site->site().lines) {
        lineBox->addItem(l.name);
        if (l.name == before || (pick < 0 && l.port.compare(port, Qt::CaseInsensitive) == 0))
            pick = lineBox->count() - 1;
    }
    lineBox->setCurrentIndex(pick < 0 ? 0 : pick);
}

QList<quint8> SiteWindow::chosenDrives(QString* line, QString* error) const
{
    QList<quint8> drives;
    line->clear();
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty()) {
        // None chosen: the drives of the line shown.
        *line = currentLine();
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, LineColumn)->text() == *line)
                rows << r;
        }
    }
    for (int r : rows) {
        const QString rowLine = table->item(r, LineColumn)->text();
        if (!line->isEmpty() && rowLine != *line) {
            *error = tr("The drives chosen are on more than one line: choose drives of one line.");
            return {};
        }
        *line = rowLine;
        drives << quint8(table->item(r, AddressColumn)->data(Qt::UserRole).toUInt());
    }
    if (drives.isEmpty())
        *error = tr("The site has no drives yet: Scan finds them on the line.");
    return drives;
}

void SiteWindow::openTool(Tool tool)
{
    if (!m_site)
        return;
    QString line;
    QString error;
    const QList<quint8> drives = chosenDrives(&line, &error);
    // A tool opened on no drive still opens: it starts from its own choice.
    if (!error.isEmpty() && drives.isEmpty() && !table->selectedItems().isEmpty()) {
        warn(error);
        return;
    }
    emit toolRequested(tool, line.isEmpty() ? currentLine() : line, drives);
}

void SiteWindow::Commission_Click()
{
    if (!m_site || !commission)
        return;
    QString line;
    QString error;
    const QList<quint8> drives = chosenDrives(&line, &error);
    if (drives.isEmpty()) {
        warn(error);
        return;
    }
    commission(line, drives);
}

void SiteWindow::enableControls()
{
    const bool open = m_site != nullptr;
    const bool scanning = m_scan.running();
    newButton->setEnabled(!scanning);
    openButton->setEnabled(!scanning);
    recentButton->setEnabled(!scanning && !m_recent.folders().isEmpty());
    lineBox->setEnabled(open && !scanning && lineBox->count() > 1);
    scanButton->setEnabled(open && !scanning);
    commissionButton->setVisible(bool(commission));
    commissionButton->setEnabled(open && !scanning);
    for (QPushButton* b : {parametersButton, testRunButton, recorderButton, reportButton})
        b->setEnabled(open);
}

void SiteWindow::say(const QString& text)
{
    statusLabel->setText(text);
}

void SiteWindow::warn(const QString& text)
{
    say(text);
    m_prompter.warn(this, tr(kTitle), text);
}
