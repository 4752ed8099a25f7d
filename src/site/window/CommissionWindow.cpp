// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommissionWindow.h"

#include "Prompter.h"
#include "ShownText.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

int columnOf(SiteCommission::Step step)
{
    switch (step) {
    case SiteCommission::Step::Scan:
        return CommissionWindow::ScanColumn;
    case SiteCommission::Step::Backup:
    case SiteCommission::Step::Clone:
        return CommissionWindow::ParametersColumn;
    case SiteCommission::Step::TestRun:
        return CommissionWindow::TestRunColumn;
    case SiteCommission::Step::Report:
        return CommissionWindow::ReportColumn;
    }
    return CommissionWindow::ScanColumn;
}

} // namespace

CommissionWindow::CommissionWindow(LinkClient& client, Prompter& prompter, const SiteFolder& site,
                                   const QString& line, const QList<quint8>& drives,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompter(prompter),
      m_job(new SiteCommission(client, site, line, drives, this))
{
    setObjectName(QStringLiteral("CommissionWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildUi();
    m_job->writesAllowed = [this] { return !writesAllowed || writesAllowed(); };
    connect(m_job, &SiteCommission::stepStarted, this,
            [this](quint8 drive, SiteCommission::Step step) {
                showStep(drive, step, tr("working..."), QString());
            });
    connect(m_job, &SiteCommission::stepEnded, this,
            [this](quint8 drive, SiteCommission::Step step, SiteCommission::Outcome outcome,
                   const QString& text, const QString& file) {
                const QString mark = outcome == SiteCommission::Outcome::Done ? tr("done")
                                     : outcome == SiteCommission::Outcome::Failed
                                         ? tr("FAILED")
                                         : tr("not reached");
                QString detail = ShownText::of(text, "SiteSteps");
                if (!file.isEmpty() && !text.contains(file))
                    detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) +
                              QDir::toNativeSeparators(file);
                showStep(drive, step, mark, detail);
            });
    connect(m_job, &SiteCommission::progress, progressLabel, [this](const QString& text) {
        progressLabel->setText(ShownText::of(text, "SiteSteps"));
    });
    connect(m_job, &SiteCommission::finished, this, &CommissionWindow::ended);
    fillTable();
    enableControls();
}

CommissionWindow::~CommissionWindow()
{
    // The job's own cancel STOPs the running drives; a window that goes
    // leaves none running.
    if (m_job->running())
        m_job->cancel();
}

void CommissionWindow::buildUi()
{
    setWindowTitle(tr("Commission Line"));
    planLabel = new QLabel(this);
    planLabel->setObjectName(QStringLiteral("planLabel"));
    planLabel->setWordWrap(true);
    planLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table = new QTableWidget(0, ColumnCount, this);
    table->setObjectName(QStringLiteral("stepTable"));
    table->setAccessibleName(tr("Steps of each drive"));
    table->setHorizontalHeaderLabels(
        {tr("Drive"), tr("Scan"), tr("Parameters"), tr("Test run"), tr("Report")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);

    progressLabel = new QLabel(this);
    progressLabel->setObjectName(QStringLiteral("progressLabel"));
    progressLabel->setAccessibleName(tr("Progress"));
    progressLabel->setWordWrap(true);

    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    startButton = button("startButton", tr("&Start..."));
    cancelButton = button("cancelButton", tr("Cancel && &STOP"));
    cancelButton->setToolTip(tr("Stops every running drive, then ends the job"));
    reportButton = button("reportButton", tr("Open &Report"));
    closeButton = button("closeButton", tr("Close"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    buttons->addWidget(reportButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(planLabel);
    layout->addWidget(table, 1);
    layout->addWidget(progressLabel);
    layout->addLayout(buttons);

    connect(startButton, &QPushButton::clicked, this, &CommissionWindow::start);
    connect(cancelButton, &QPushButton::clicked, this, &CommissionWindow::cancel);
    connect(reportButton, &QPushButton::clicked, this,
            [this] { emit openReport(m_job->reportPath()); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    resize(640, 360);
}

void CommissionWindow::fillTable()
{
    const QString problem = m_job->problem();
    // The question's text without its question: the window says it at once.
    QString plan = m_job->plan();
    plan.remove(QStringLiteral(" Go ahead?"));
    planLabel->setText(problem.isEmpty() ? plan
                                         : tr("This row cannot be commissioned: %1.").arg(problem));
    const QList<SiteCommission::DriveSummary>& rows = m_job->summary();
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        auto* drive = new QTableWidgetItem(rows[r].label);
        table->setItem(r, DriveColumn, drive);
        for (int c = ScanColumn; c < ColumnCount; ++c)
            table->setItem(r, c, new QTableWidgetItem(QStringLiteral("–")));
        for (const SiteCommission::StepResult& s : rows[r].steps)
            table->item(r, columnOf(s.step))->setText(tr("to do"));
    }
}

void CommissionWindow::showStep(quint8 drive, SiteCommission::Step step, const QString& mark,
                                const QString& text)
{
    const QList<SiteCommission::DriveSummary>& rows = m_job->summary();
    for (int r = 0; r < rows.size(); ++r) {
        if (drive != 0 && rows[r].address != drive)
            continue;
        QTableWidgetItem* item = table->item(r, columnOf(step));
        item->setText(mark);
        item->setToolTip(text);
        if (drive != 0)
            table->scrollToItem(item);
    }
}

void CommissionWindow::start()
{
    if (m_job->running() || !m_job->problem().isEmpty())
        return;
    if (const QString why = lineProblem ? lineProblem() : QString(); !why.isEmpty()) {
        m_prompter.warn(this, windowTitle(), why + tr(" Nothing was sent."));
        return;
    }
    if (!m_prompter.askYesNo(this, windowTitle(), m_job->plan()))
        return;
    fillTable();
    m_job->start();
    enableControls();
}

void CommissionWindow::cancel()
{
    if (!m_job->running())
        return;
    progressLabel->setText(tr("Stopping the running drives..."));
    m_job->cancel();
    enableControls();
}

void CommissionWindow::ended()
{
    m_ended = true;
    int done = 0;
    for (const SiteCommission::DriveSummary& s : m_job->summary())
        done += s.commissioned() ? 1 : 0;
    const int all = int(m_job->summary().size());
    progressLabel->setText(m_job->cancelled()
                               ? tr("Cancelled: %1 of %2 drives commissioned.").arg(done).arg(all)
                               : tr("Finished: %1 of %2 drives commissioned.").arg(done).arg(all));
    enableControls();
    emit finished();
    if (m_closeWhenDone)
        close();
}

void CommissionWindow::enableControls()
{
    const bool running = m_job->running();
    // A job runs once: a second commissioning is a new window, planned anew.
    startButton->setEnabled(!running && !m_ended && m_job->problem().isEmpty());
    cancelButton->setEnabled(running);
    reportButton->setEnabled(!running && !m_job->reportPath().isEmpty());
}

void CommissionWindow::closeEvent(QCloseEvent* event)
{
    // Closing is no way to leave a drive running: the job is cancelled, its
    // running drives are stopped, and the window closes once it has ended.
    if (m_job->running()) {
        m_closeWhenDone = true;
        cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
