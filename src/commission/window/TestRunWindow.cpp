// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestRunWindow.h"

#include "CommissionReport.h"
#include "Destination.h"
#include "Prompter.h"
#include "ShownText.h"
#include "SiteFolder.h"
#include "SiteJournaling.h"
#include "SiteNote.h"
#include "TestRun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

TestRunWindow::TestRunWindow(LinkClient& client, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_client(client), m_prompter(prompter)
{
    setObjectName(QStringLiteral("TestRunWindow"));
    setWindowTitle(tr("Test Run"));
    setAttribute(Qt::WA_DeleteOnClose);

    driveBox = new QSpinBox(this);
    driveBox->setObjectName(QStringLiteral("driveBox"));
    driveBox->setRange(1, 31);
    hzBox = new QDoubleSpinBox(this);
    hzBox->setObjectName(QStringLiteral("hzBox"));
    hzBox->setRange(0.01, 400);
    hzBox->setDecimals(2);
    hzBox->setValue(50);
    hzBox->setSuffix(tr(" Hz"));
    holdBox = new QSpinBox(this);
    holdBox->setObjectName(QStringLiteral("holdBox"));
    holdBox->setRange(1, 3600);
    holdBox->setValue(20);
    holdBox->setSuffix(tr(" s"));
    reverseBox = new QCheckBox(tr("Then the same in &reverse"), this);
    reverseBox->setObjectName(QStringLiteral("reverseBox"));
    limitsEdit = new QLineEdit(this);
    limitsEdit->setObjectName(QStringLiteral("limitsEdit"));
    limitsEdit->setPlaceholderText(tr("for example current<4.5, dc-bus>500"));

    auto* form = new QFormLayout;
    // Numbers keep their own width; the limits get room for a few of them.
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    limitsEdit->setMinimumWidth(limitsEdit->fontMetrics().averageCharWidth() * 40);
    auto addRow = [this, form](const QString& label, QWidget* field) {
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        field->setAccessibleName(QString(label).remove(u'&').remove(u':'));
        form->addRow(l, field);
    };
    addRow(tr("&Drive:"), driveBox);
    addRow(tr("&Frequency:"), hzBox);
    addRow(tr("&Hold each way:"), holdBox);
    form->addRow(QString(), reverseBox);
    addRow(tr("Expected &limits:"), limitsEdit);

    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    startButton = makeButton("startButton", tr("&Start"));
    cancelButton = makeButton("cancelButton", tr("Cancel"));
    saveButton = makeButton("saveButton", tr("S&ave Result..."));
    stateLabel = new QLabel(tr("Choose the drive and the frequency, then Start."), this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    stateLabel->setWordWrap(true);
    chart = new QLabel(this);
    chart->setObjectName(QStringLiteral("chart"));
    chart->setAccessibleName(tr("chart"));
    chart->setMinimumSize(320, 140);
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chart->setAlignment(Qt::AlignCenter);
    // Until the first samples come, say what the empty space is for.
    chart->setFrameShape(QFrame::StyledPanel);
    chart->setWordWrap(true);
    chart->setText(tr("The run's output frequency, set frequency and current are drawn here "
                      "as they are read."));
    checks = new QTableWidget(0, 4, this);
    checks->setObjectName(QStringLiteral("checks"));
    checks->setAccessibleName(tr("checks"));
    checks->setHorizontalHeaderLabels({tr("Check"), tr("Result"), tr("Measured"), tr("Expected")});
    checks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    checks->verticalHeader()->hide();
    checks->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    checks->horizontalHeader()->setStretchLastSection(true);
    checks->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    checks->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(stateLabel);
    layout->addWidget(chart, 2);
    layout->addWidget(checks, 3);
    siteNote = new SiteNote(this);
    layout->addWidget(siteNote);
    resize(760, 820);

    connect(startButton, &QPushButton::clicked, this, &TestRunWindow::startRun);
    connect(cancelButton, &QPushButton::clicked, this, &TestRunWindow::cancelRun);
    connect(saveButton, &QPushButton::clicked, this, [this] { saveResult(); });
    setBusy(false);
}

TestRunWindow::~TestRunWindow()
{
    // The run's own end sends STOP; here it is the window that goes first.
    cancelRun();
}

void TestRunWindow::setBusy(bool busy)
{
    for (QWidget* w : {static_cast<QWidget*>(driveBox), static_cast<QWidget*>(hzBox),
                       static_cast<QWidget*>(holdBox), static_cast<QWidget*>(reverseBox),
                       static_cast<QWidget*>(limitsEdit), static_cast<QWidget*>(startButton)})
        w->setEnabled(!busy);
    cancelButton->setEnabled(busy);
    saveButton->setEnabled(!busy && !m_results.isEmpty());
}

void TestRunWindow::startRun()
{
    if (m_run && m_run->running())
        return;
    TestRunPlan plan;
    plan.address = quint8(driveBox->value());
    plan.hz = hzBox->value();
    plan.holdMs = holdBox->value() * 1000LL;
    plan.reverse = reverseBox->isChecked();
    for (const QString& text : limitsEdit->text().split(u',', Qt::SkipEmptyParts)) {
        QString problem;
        const std::optional<ExpectLimit> limit = ExpectLimit::parse(text.trimmed(), &problem);
        if (!limit) {
            m_prompter.warn(this, tr("Test Run"), problem + u'.');
            return;
        }
        plan.limits << *limit;
    }
    const QString question = tr("Drive %1 will run forward%2 to %3 Hz and hold it %4 s. Go ahead?")
                                 .arg(plan.address)
                                 .arg(plan.reverse ? tr(" and then in reverse") : QString())
                                 .arg(plan.hz, 0, 'f', 2)
                                 .arg(holdBox->value());
    if (!m_prompter.askYesNo(this, tr("Test Run"), question))
        return;
    delete m_run.data();
    m_run = new TestRun(m_client, plan, this);
    m_run->confirmFault = [this](const QString& q) {
        return m_prompter.askYesNo(this, tr("Test Run"), ShownText::of(q, "TestRun"));
    };
    connect(m_run, &TestRun::progress, stateLabel,
            [this](const QString& text) { stateLabel->setText(ShownText::of(text, "TestRun")); });
    connect(m_run, &TestRun::sampled, this, [this] {
        journalStart();
        showChart();
    });
    m_startJournaled = false;
    connect(m_run, &TestRun::finished, this, [this] {
        const TestRunResult& r = m_run->result();
        m_results << r;
        QString verdict = ShownText::of(r.verdict(), "TestRun");
        verdict[0] = verdict[0].toUpper();
        QString text = tr("%1 — ended: %2.").arg(verdict, ShownText::of(r.endReason, "TestRun"));
        if (const QStringList missed = r.notReached(); !missed.isEmpty())
            text +=
                u' ' + tr("Not reached: %1.").arg(ShownText::of(missed, "TestRun").join(tr(", ")));
        stateLabel->setText(text);
        showChart();
        showChecks(r);
        setBusy(false);
        if (m_site) {
            saveIntoSite(r);
            journalEnd(r);
        }
        emit runFinished(r);
    });
    checks->setRowCount(0);
    setBusy(true);
    m_run->start();
}

void TestRunWindow::setSite(SiteFolder* site, const QString& line)
{
    m_site = site;
    m_siteLine = line;
    m_savedInSite.clear();
    siteNote->setSite(site);
}

void TestRunWindow::setDrives(const QList<quint8>& drives)
{
    if (!drives.isEmpty() && !(m_run && m_run->running()))
        driveBox->setValue(drives.first());
}

void TestRunWindow::saveIntoSite(const TestRunResult& result)
{
    m_savedInSite.clear();
    QString error;
    const QString path = m_site->layout().create(
        SiteLayout::Kind::TestRuns, m_siteLine, result.plan.address, QStringLiteral("testrun"),
        QStringLiteral("json"), QDateTime::currentDateTimeUtc(), &error);
    if (!path.isEmpty())
        error = saveWhole(path, QJsonDocument(result.json()).toJson());
    if (!error.isEmpty()) {
        m_prompter.warn(this, tr("Test Run"),
                        tr("The test run could not be saved into the site: %1").arg(error));
        return;
    }
    m_savedInSite = path;
    siteNote->saved(path);
}

void TestRunWindow::journalStart()
{
    if (!m_site || m_startJournaled || !m_run || !m_run->result().sentAnything)
        return;
    m_startJournaled = true;
    const TestRunPlan& plan = m_run->result().plan;
    siteNote->journaled(SiteJournaling::recordRunStarted(*m_site, QStringLiteral("test run"),
                                                         m_siteLine, plan.address,
                                                         SiteJournaling::testRunCommand(plan)));
}

void TestRunWindow::journalEnd(const TestRunResult& result)
{
    if (!result.sentAnything)
        return; // refused before any command: nothing reached the drive
    journalStart();
    const QString tool = QStringLiteral("test run");
    QString error =
        SiteJournaling::recordRunStopped(*m_site, tool, m_siteLine, result.plan.address,
                                         QStringLiteral("STOP: %1").arg(result.endReason));
    const QString run =
        SiteJournaling::recordTestRun(*m_site, tool, m_siteLine, result, m_savedInSite);
    siteNote->journaled(error.isEmpty() ? run : error);
}

void TestRunWindow::cancelRun()
{
    if (m_run && m_run->running())
        m_run->cancel();
}

bool TestRunWindow::saveResult(const QString& chosen)
{
    if (m_results.isEmpty())
        return false;
    QString path = chosen;
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(
            this, tr("Save Test Run"),
            QStringLiteral("testrun-drive%1.json").arg(m_results.last().plan.address),
            tr("Test runs (*.json)"));
    if (path.isEmpty())
        return false;
    // Saved whole into a regular file only; a full disk is said, not hidden.
    const QString error = saveWhole(path, QJsonDocument(m_results.last().json()).toJson());
    if (!error.isEmpty()) {
        m_prompter.warn(this, tr("Test Run"), tr("Cannot write %1: %2").arg(path, error));
        return false;
    }
    return true;
}

void TestRunWindow::showChart()
{
    if (!m_run)
        return;
    const QSize size = chart->contentsRect().size();
    if (size.width() < 50 || size.height() < 50)
        return;
    const qreal dpr = devicePixelRatioF();
    QImage image = CommissionReport::Chart(m_run->result(), size * dpr);
    image.setDevicePixelRatio(dpr);
    chart->setPixmap(QPixmap::fromImage(image));
}

void TestRunWindow::showChecks(const TestRunResult& r)
{
    checks->setRowCount(int(r.checks.size()));
    for (int i = 0; i < r.checks.size(); ++i) {
        const TestRunCheck& c = r.checks[i];
        const QStringList cells =
            ShownText::of(QStringList{c.name, c.resultWord(), c.measured, c.expected}, "TestRun");
        for (int col = 0; col < cells.size(); ++col)
            checks->setItem(i, col, new QTableWidgetItem(cells[col]));
        checks->item(i, 1)->setForeground(c.passed    ? QColor(0, 120, 0)
                                          : c.reached ? QColor(200, 0, 0)
                                                      : QColor(130, 90, 0));
    }
}

void TestRunWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window is no way to leave a drive running.
    cancelRun();
    QWidget::closeEvent(event);
}

void TestRunWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showChart();
}
