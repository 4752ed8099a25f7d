// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanWindow.h"

#include "CatalogueText.h"
#include "Prompter.h"
#include "ShownText.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The table in the language on show; the scan's own texts (copied, and what
// vfdctl prints) stay as the scan gives them.
QStringList shownTitles()
{
    return {ScanWindow::tr("Address"), ScanWindow::tr("State"),   ScanWindow::tr("Direction"),
            ScanWindow::tr("Fault"),   ScanWindow::tr("Edition"), ScanWindow::tr("Note")};
}

QStringList shownRow(const ScanEntry& e)
{
    QStringList texts = LineScan::rowTexts(e);
    if (e.exceptionCode)
        texts[1] = ScanWindow::tr("refused (exception %1)").arg(*e.exceptionCode);
    else
        texts[1] = e.running ? ScanWindow::tr("Run") : ScanWindow::tr("Stop");
    if (!e.exceptionCode)
        texts[2] = e.reverse ? ScanWindow::tr("REV") : ScanWindow::tr("FWD");
    if (!e.faultText.isEmpty())
        texts[3] =
            e.fault ? CatalogueText::faultDescription(e.faultNumber) : ScanWindow::tr("Normal");
    // The note's parts (a late answer, the readiness) one by one.
    texts[5] =
        ShownText::of(QStringList{e.late ? QStringLiteral("answers after the time-out") : QString(),
                                  e.readiness.note()})
            .filter(QRegularExpression(QStringLiteral(".")))
            .join(ScanWindow::tr("; "));
    return texts;
}

} // namespace

ScanWindow::ScanWindow(LinkClient& client, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_client(client), m_prompter(prompter), m_scan(client),
      m_search(client)
{
    setObjectName(QStringLiteral("ScanWindow"));
    setWindowTitle(tr("Scan Line"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto makeBox = [this](const char* name, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(1, 31);
        box->setValue(value);
        return box;
    };
    fromBox = makeBox("fromBox", 1);
    toBox = makeBox("toBox", 31);
    auto makeButton = [this](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    scanButton = makeButton("scanButton", tr("&Scan"));
    findButton = makeButton("findButton", tr("&Find Line Settings"));
    cancelButton = makeButton("cancelButton", tr("Cancel"));
    copyButton = makeButton("copyButton", tr("&Copy"));
    watchButton = makeButton("watchButton", tr("&Watch This Drive"));
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);

    table = new QTableWidget(0, int(LineScan::columnTitles().size()), this);
    table->setObjectName(QStringLiteral("table"));
    table->setHorizontalHeaderLabels(shownTitles());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(tr("Addresses from"), this));
    range->addWidget(fromBox);
    range->addWidget(new QLabel(tr("to"), this));
    range->addWidget(toBox);
    range->addStretch();
    range->addWidget(scanButton);
    range->addWidget(findButton);
    range->addWidget(cancelButton);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(watchButton);
    bottom->addStretch();
    bottom->addWidget(copyButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(progressBar);
    layout->addWidget(table, 1);
    layout->addWidget(summary);
    layout->addLayout(bottom);
    resize(640, 420);

    connect(scanButton, &QPushButton::clicked, this, &ScanWindow::startScan);
    connect(findButton, &QPushButton::clicked, this, &ScanWindow::startSearch);
    connect(cancelButton, &QPushButton::clicked, this, &ScanWindow::cancelJob);
    connect(copyButton, &QPushButton::clicked, this, &ScanWindow::copyTable);
    connect(watchButton, &QPushButton::clicked, this, &ScanWindow::watchChosen);
    connect(table, &QTableWidget::cellDoubleClicked, this, &ScanWindow::watchChosen);
    connect(&m_scan, &LineScan::found, this, &ScanWindow::addRow);
    connect(&m_scan, &LineScan::progress, this, [this](int done, int total) {
        progressBar->setRange(0, total);
        progressBar->setValue(done);
    });
    connect(&m_scan, &LineScan::finished, this, &ScanWindow::onScanFinished);
    connect(&m_search, &SettingsSearch::trying, this, [this](int index, const QString& s) {
        progressBar->setRange(0, int(SettingsSearch::candidates().size()));
        progressBar->setValue(index);
        summary->setText(tr("Trying %1 ...").arg(s));
    });
    connect(&m_search, &SettingsSearch::finished, this, &ScanWindow::onSearchFinished);
    setBusy(false);
}

void ScanWindow::setBusy(bool busy)
{
    scanButton->setEnabled(!busy);
    findButton->setEnabled(!busy);
    fromBox->setEnabled(!busy);
    toBox->setEnabled(!busy);
    cancelButton->setEnabled(busy);
}

void ScanWindow::startScan()
{
    table->setRowCount(0);
    if (!m_client.link().port().isOpen()) {
        summary->setText(tr("Open the port first."));
        return;
    }
    if (!m_scan.start(fromBox->value(), toBox->value())) {
        summary->setText(tr("Nothing to scan: \"from\" lies above \"to\"."));
        return;
    }
    summary->setText(tr("Scanning ..."));
    setBusy(true);
}

void ScanWindow::startSearch()
{
    if (!m_client.link().port().isOpen()) {
        summary->setText(tr("Open the port first."));
        return;
    }
    if (!m_search.start(fromBox->value(), toBox->value())) {
        summary->setText(tr("Nothing to search: \"from\" lies above \"to\"."));
        return;
    }
    setBusy(true);
}

void ScanWindow::cancelJob()
{
    m_scan.cancel();
    m_search.cancel();
}

void ScanWindow::addRow(const ScanEntry& entry)
{
    // Rows stay in address order: a late answer may come after a higher address.
    int row = 0;
    while (row < table->rowCount() && table->item(row, 0)->text().toInt() < entry.address)
        ++row;
    table->insertRow(row);
    const QStringList texts = shownRow(entry);
    for (int column = 0; column < texts.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(texts[column]));
}

void ScanWindow::onScanFinished(bool cancelled)
{
    setBusy(false);
    const qsizetype count = m_scan.entries().size();
    summary->setText(cancelled ? tr("Scan stopped; %1 drive(s) found so far.").arg(count)
                               : tr("%1 drive(s) answered; the scan took %2 s.")
                                     .arg(count)
                                     .arg(m_scan.elapsedMs() / 1000, 0, 'f', 1));
}

void ScanWindow::onSearchFinished(bool found, bool cancelled)
{
    setBusy(false);
    progressBar->setValue(progressBar->maximum());
    if (cancelled) {
        summary->setText(tr("Search stopped; the port keeps %1.").arg(m_search.originalSettings()));
        return;
    }
    if (!found) {
        summary->setText(tr("No drive answered at any setting; the port keeps %1.")
                             .arg(m_search.originalSettings()));
        return;
    }
    const QString s = m_search.foundSettings();
    summary->setText(tr("Drive %1 answers at %2.").arg(m_search.foundAddress()).arg(s));
    if (m_prompter.askYesNo(this, tr("Line Settings"),
                            tr("Drive %1 answers at %2. Take these settings?")
                                .arg(m_search.foundAddress())
                                .arg(s)) &&
        m_search.take()) {
        summary->setText(tr("The port now runs at %1.").arg(s));
        emit settingsTaken(s);
    }
}

void ScanWindow::copyTable()
{
    QApplication::clipboard()->setText(LineScan::tableText(m_scan.entries()));
}

void ScanWindow::watchChosen()
{
    const int row = table->currentRow();
    if (row < 0 || !table->item(row, 0))
        return;
    emit driveChosen(quint8(table->item(row, 0)->text().toInt()));
}

void ScanWindow::closeEvent(QCloseEvent* event)
{
    // A job left running would hold the line from the main window's polling.
    cancelJob();
    QWidget::closeEvent(event);
}
