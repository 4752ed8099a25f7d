// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportWindow.h"

#include "CommissionReport.h"
#include "DriveList.h"
#include "DriveSurvey.h"
#include "LinkClient.h"
#include "Prompter.h"
#include "SiteFolder.h"
#include "SiteNote.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ReportWindow::ReportWindow(LinkClient& client, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_client(client), m_prompter(prompter)
{
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(tr("Commissioning Report"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto makeEdit = [this](const char* name, const QString& text = QString()) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    drivesEdit = makeEdit("drivesEdit", QStringLiteral("1-3"));
    siteEdit = makeEdit("siteEdit");
    technicianEdit = makeEdit("technicianEdit");
    paperBox = new QComboBox(this);
    paperBox->setObjectName(QStringLiteral("paperBox"));
    paperBox->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    paperBox->addItem(tr("Letter"), int(QPageSize::Letter));
    appendixCheck = new QCheckBox(tr("Whole parameter sets at the end"), this);
    appendixCheck->setObjectName(QStringLiteral("appendixCheck"));
    appendixCheck->setAccessibleName(tr("Appendix"));
    appendixCheck->setChecked(true);
    runList = new QListWidget(this);
    runList->setObjectName(QStringLiteral("runList"));
    addRunButton = button("addRunButton", tr("&Add..."));
    removeRunButton = button("removeRunButton", tr("&Remove"));
    fileEdit = makeEdit("fileEdit", QStringLiteral("commissioning-report.pdf"));
    browseButton = button("browseButton", tr("&Browse..."));
    makeButton = button("makeButton", tr("&Make Report"));
    cancelButton = button("cancelButton", tr("Cancel"));
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    stateLabel = new QLabel(tr("Name the drives, then Make Report."), this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    stateLabel->setWordWrap(true);

    auto* runButtons = new QVBoxLayout;
    runButtons->addWidget(addRunButton);
    runButtons->addWidget(removeRunButton);
    runButtons->addStretch();
    auto* runs = new QHBoxLayout;
    runs->addWidget(runList, 1);
    runs->addLayout(runButtons);
    auto* file = new QHBoxLayout;
    file->addWidget(fileEdit, 1);
    file->addWidget(browseButton);

    auto* form = new QFormLayout;
    auto addRow = [this, form](const QString& label, QWidget* field, QLayout* inner = nullptr) {
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        field->setAccessibleName(QString(label).remove(u'&').remove(u':'));
        if (inner)
            form->addRow(l, inner);
        else
            form->addRow(l, field);
    };
    addRow(tr("&Drives:"), drivesEdit);
    addRow(tr("&Site:"), siteEdit);
    addRow(tr("&Technician:"), technicianEdit);
    addRow(tr("&Paper:"), paperBox);
    addRow(tr("&Appendix:"), appendixCheck);
    addRow(tr("Test r&uns:"), runList, runs);
    addRow(tr("Report &file:"), fileEdit, file);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progressBar);
    layout->addWidget(stateLabel);
    layout->addLayout(buttons);
    siteNote = new SiteNote(this);
    layout->addWidget(siteNote);
    resize(560, 420);

    connect(addRunButton, &QPushButton::clicked, this, [this] {
        for (const QString& path : QFileDialog::getOpenFileNames(
                 this, tr("Add Test Runs"), QString(), tr("Test runs (*.json)")))
            addRunFile(path);
    });
    connect(removeRunButton, &QPushButton::clicked, this, [this] {
        const int row = runList->currentRow();
        if (row < 0)
            return;
        delete runList->takeItem(row);
        m_runs.removeAt(row);
    });
    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Report File"), fileEdit->text(),
                                                          tr("PDF (*.pdf)"));
        if (!path.isEmpty())
            fileEdit->setText(path);
    });
    // A few drives' sets are worth the pages; many drives' are not.
    connect(drivesEdit, &QLineEdit::textEdited, this, [this] {
        QString problem;
        if (const auto drives = DriveList::parse(drivesEdit->text(), &problem))
            appendixCheck->setChecked(drives->size() <= 4);
    });
    connect(makeButton, &QPushButton::clicked, this, &ReportWindow::makeReport);
    connect(cancelButton, &QPushButton::clicked, this, &ReportWindow::cancelReport);
    setBusy(false);
}

void ReportWindow::setBusy(bool busy)
{
    for (QWidget* w : findChildren<QWidget*>())
        if (w != cancelButton && w != progressBar && w != stateLabel && !qobject_cast<QLabel*>(w))
            w->setEnabled(!busy);
    cancelButton->setEnabled(busy);
    // In a site the report's file is the site's to name.
    fileEdit->setEnabled(!busy && !m_site);
    browseButton->setEnabled(!busy && !m_site);
    // Shown while the drives are read: an empty bar at rest says nothing.
    progressBar->setVisible(busy);
}

void ReportWindow::addRun(const TestRunResult& run)
{
    m_runs << run;
    runList->addItem(
        tr("Drive %1, %2 Hz, %3 — %4")
            .arg(run.plan.address)
            .arg(run.plan.hz, 0, 'f', 2)
            .arg(run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), run.verdict()));
}

bool ReportWindow::addRunFile(const QString& path)
{
    QFile file(path);
    QString problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        QJsonObject o = QJsonDocument::fromJson(file.read(64 << 20)).object();
        if (o.contains(QStringLiteral("testRun")))
            o = o.value(QStringLiteral("testRun")).toObject();
        if (const std::optional<TestRunResult> run = TestRunResult::fromJson(o, &problem)) {
            addRun(*run);
            return true;
        }
    }
    m_prompter.warn(this, tr("Commissioning Report"),
                    tr("%1 is no test run: %2.").arg(path, problem));
    return false;
}

void ReportWindow::makeReport()
{
    if (m_survey)
        return;
    QString problem;
    const std::optional<QList<quint8>> drives = DriveList::parse(drivesEdit->text(), &problem);
    if (!drives || drivesEdit->text().trimmed().isEmpty()) {
        m_prompter.warn(this, tr("Commissioning Report"),
                        problem.isEmpty() ? tr("Name the drives, for example 1-3.")
                                          : problem + u'.');
        return;
    }
    if (!m_site && fileEdit->text().trimmed().isEmpty()) {
        m_prompter.warn(this, tr("Commissioning Report"), tr("Name the report file."));
        return;
    }
    // The customer signs beside the technician's name: asked for before the
    // drives are read, not found blank on paper.
    if (technicianEdit->text().trimmed().isEmpty()) {
        m_prompter.warn(this, tr("Commissioning Report"),
                        tr("Name the technician who signs the report."));
        technicianEdit->setFocus();
        return;
    }
    m_survey = new DriveSurvey(m_client, *drives, this);
    connect(m_survey, &DriveSurvey::progress, this,
            [this](const QString& text, int done, int total) {
                stateLabel->setText(text);
                progressBar->setRange(0, total);
                progressBar->setValue(done);
            });
    connect(m_survey, &DriveSurvey::finished, this, &ReportWindow::write);
    setBusy(true);
    m_survey->start();
}

void ReportWindow::write()
{
    DriveSurvey* survey = m_survey;
    m_survey = nullptr;
    survey->deleteLater();
    setBusy(false);
    progressBar->setValue(progressBar->maximum());
    if (survey->cancelled()) {
        stateLabel->setText(tr("Cancelled: no report was written."));
        return;
    }
    ReportInput input;
    input.site = siteEdit->text().trimmed();
    input.technician = technicianEdit->text().trimmed();
    input.portName = m_client.link().port().portName();
    input.lineSettings = m_client.link().port().settings();
    input.made = QDateTime::currentDateTime();
    input.drives = survey->records();
    input.runs = m_runs;
    input.appendix = appendixCheck->isChecked();
    const QString path = reportPath();
    if (path.isEmpty())
        return;
    const QString error = CommissionReport::Write(
        input, path, QPageSize::PageSizeId(paperBox->currentData().toInt()));
    if (!error.isEmpty()) {
        if (m_site)
            QFile::remove(path); // the site's name was taken for this report alone
        stateLabel->setText(error);
        m_prompter.warn(this, tr("Commissioning Report"), error);
        return;
    }
    QStringList silent;
    QStringList partial; // answered, but not every parameter
    for (const DriveRecord& d : input.drives) {
        if (!d.answered)
            silent << QString::number(d.address);
        else if (!d.setComplete)
            partial << tr("drive %1: %2").arg(d.address).arg(d.unanswered);
    }
    stateLabel->setText(
        tr("Written: %1 and %2.").arg(path, CommissionReport::HtmlPathFor(path)) +
        (silent.isEmpty()
             ? QString()
             : tr(" Not answering (named in the report): %1.").arg(silent.join(u','))) +
        (partial.isEmpty() ? QString()
                           : tr(" Parameters not answered (counted in the report): %1.")
                                 .arg(partial.join(QStringLiteral(", ")))));
    if (m_site)
        siteNote->saved(path);
    emit reportWritten(path);
}

void ReportWindow::setSite(SiteFolder* site, const QString& line)
{
    m_site = site;
    m_siteLine = line;
    siteNote->setSite(site);
    fileEdit->setPlaceholderText(site ? tr("a new file in the site's reports folder") : QString());
    if (site) {
        fileEdit->clear();
        siteEdit->setText(site->site().name);
        technicianEdit->setText(site->site().technician);
        if (const SiteLine* l = site->site().line(line)) {
            QList<quint8> drives;
            for (const SiteDrive& d : l->drives)
                drives << d.address;
            setDrives(drives);
        }
    } else if (fileEdit->text().isEmpty()) {
        fileEdit->setText(QStringLiteral("commissioning-report.pdf"));
    }
    setBusy(bool(m_survey));
}

void ReportWindow::setDrives(const QList<quint8>& drives)
{
    if (drives.isEmpty() || m_survey)
        return;
    QStringList words;
    for (quint8 d : drives)
        words << QString::number(d);
    drivesEdit->setText(words.join(u','));
}

QString ReportWindow::reportPath()
{
    if (!m_site)
        return fileEdit->text().trimmed();
    QString error;
    const auto drives = DriveList::parse(drivesEdit->text(), &error);
    // One drive's report is named by the drive; several drives' by the line.
    const quint8 drive = drives && drives->size() == 1 ? drives->first() : 0;
    const QString path = m_site->layout().create(SiteLayout::Kind::Reports, m_siteLine, drive,
                                                 QStringLiteral("report"), QStringLiteral("pdf"),
                                                 QDateTime::currentDateTimeUtc(), &error);
    if (path.isEmpty()) {
        const QString text = tr("The report could not be put into the site: %1").arg(error);
        stateLabel->setText(text);
        m_prompter.warn(this, tr("Commissioning Report"), text);
    }
    return path;
}

void ReportWindow::cancelReport()
{
    if (m_survey)
        m_survey->cancel();
}

void ReportWindow::closeEvent(QCloseEvent* event)
{
    // A read left running would hold the line from the main window's polling.
    cancelReport();
    QWidget::closeEvent(event);
}
