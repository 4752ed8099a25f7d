// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecorderWindow.h"

#include "DriveList.h"
#include "Prompter.h"
#include "RecordCommand.h"
#include "RecorderChart.h"
#include "SiteFolder.h"
#include "SiteNote.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QList<QPair<const char*, int>> kIntervals{
    {QT_TRANSLATE_NOOP("RecorderWindow", "As fast as the line allows"), 0},
    {"100 ms", 100},
    {"200 ms", 200},
    {"500 ms", 500},
    {"1 s", 1000},
    {"2 s", 2000},
    {"5 s", 5000},
    {"10 s", 10000},
    {"30 s", 30000},
    {"60 s", 60000}};

} // namespace

RecorderWindow::RecorderWindow(LinkClient& client, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompter(prompter), m_recording(client)
{
    setWindowTitle(tr("Recorder"));
    setObjectName(QStringLiteral("RecorderWindow"));
    auto* side = new QWidget;
    auto* form = new QFormLayout(side);
    drives = new QLineEdit(QStringLiteral("1"));
    drives->setToolTip(tr("Drive addresses 1..31, separated by commas"));
    form->addRow(tr("Drives"), drives);
    values = new QListWidget;
    for (const RecordValue& v : RecordValues::all()) {
        auto* item = new QListWidgetItem(RecorderChart::shownLabel(v), values);
        item->setData(Qt::UserRole, v.index);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = v.index == 0 || v.index == 2;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    form->addRow(tr("Values"), values);
    interval = new QComboBox;
    for (const auto& [text, ms] : kIntervals)
        interval->addItem(tr(text), ms);
    form->addRow(tr("Interval"), interval);
    writeCsv = new QCheckBox(tr("Write a CSV file"));
    writeCsv->setChecked(true);
    form->addRow(writeCsv);
    // A new file named by the time for each recording, so Record pressed
    // again never lands on the last one.
    m_proposed = RecordCsv::newFilePath(QDir::homePath(), QDateTime::currentDateTime());
    csvPath = new QLineEdit(m_proposed);
    browse = new QPushButton(QStringLiteral("..."));
    browse->setToolTip(tr("Choose the file to record into"));
    browse->setAccessibleName(tr("Choose the file"));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(csvPath);
    pathRow->addWidget(browse);
    form->addRow(tr("File"), pathRow);
    snapshotDir = new QLineEdit;
    snapshotDir->setPlaceholderText(tr("next to the file"));
    form->addRow(tr("Snapshots"), snapshotDir);
    snapshotBefore = new QSpinBox;
    snapshotBefore->setRange(5, 600);
    snapshotBefore->setValue(60);
    snapshotBefore->setSuffix(tr(" s before a trip"));
    form->addRow(QString(), snapshotBefore);
    // Where this recording will be kept, said before it starts.
    destination = new QLabel;
    destination->setObjectName(QStringLiteral("destination"));
    destination->setWordWrap(true);
    destination->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(destination);
    record = new QPushButton(tr("Record"));
    openCsv = new QPushButton(tr("Open CSV..."));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(record);
    buttons->addWidget(openCsv);
    form->addRow(buttons);
    follow = new QCheckBox(tr("Follow"));
    follow->setChecked(true);
    showAll = new QPushButton(tr("Show all"));
    auto* view = new QHBoxLayout;
    view->addWidget(follow);
    view->addWidget(showAll);
    form->addRow(view);
    status = new QLabel;
    status->setWordWrap(true);
    form->addRow(status);
    siteNote = new SiteNote;
    form->addRow(siteNote);

    m_chart = new RecorderChart;
    m_chart->setStore(&m_recording.store());
    auto* split = new QSplitter;
    split->addWidget(side);
    split->addWidget(m_chart);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);
    resize(1100, 620);

    connect(record, &QPushButton::clicked, this, &RecorderWindow::record_Click);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Record into"), csvPath->text(),
                                                          tr("CSV files (*.csv)"));
        if (!path.isEmpty())
            csvPath->setText(path);
    });
    connect(openCsv, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open a recording"), csvPath->text(), tr("CSV files (*.csv);;All files (*)"));
        if (!path.isEmpty())
            openFile(path);
    });
    connect(follow, &QCheckBox::toggled, m_chart, &RecorderChart::setFollow);
    connect(m_chart, &RecorderChart::followChanged, follow, &QCheckBox::setChecked);
    connect(showAll, &QPushButton::clicked, m_chart, &RecorderChart::showAll);
    connect(writeCsv, &QCheckBox::toggled, this, &RecorderWindow::showDestination);
    connect(csvPath, &QLineEdit::textChanged, this, &RecorderWindow::showDestination);
    connect(snapshotDir, &QLineEdit::textChanged, this, &RecorderWindow::showDestination);
    showDestination();
    connect(&m_recording, &Recording::stopped, this, &RecorderWindow::onStopped);
    connect(&m_recording, &Recording::snapshotWritten, this,
            [this](const QString& path) { status->setText(tr("Snapshot written: %1").arg(path)); });
    connect(&m_recording, &Recording::snapshotFailed, this,
            [this](const QString& message) { status->setText(message); });
    // The chart is redrawn a few times a second, not once per sample.
    m_refresh.setInterval(250);
    connect(&m_refresh, &QTimer::timeout, m_chart, &RecorderChart::refresh);
}

RecorderWindow::~RecorderWindow()
{
    m_recording.disconnect(this);
    m_recording.stop();
}

std::optional<Recording::Options> RecorderWindow::options(QString* error) const
{
    Recording::Options o;
    QString problem;
    const auto d = DriveList::parse(drives->text(), &problem);
    if (!d) {
        *error = tr("Drives: %1; give addresses 1..31 separated by commas.").arg(problem);
        return std::nullopt;
    }
    o.drives = *d;
    for (int i = 0; i < values->count(); ++i)
        if (values->item(i)->checkState() == Qt::Checked)
            o.values << *RecordValues::byIndex(values->item(i)->data(Qt::UserRole).toInt());
    if (o.values.isEmpty()) {
        *error = tr("Pick at least one value.");
        return std::nullopt;
    }
    o.intervalMs = interval->currentData().toInt();
    if (writeCsv->isChecked() && !m_site) {
        o.csvPath = csvPath->text().trimmed();
        if (o.csvPath.isEmpty()) {
            *error = tr("File: name the file to record into, or untick \"Write a "
                        "CSV file\" to keep the recording in the chart only.");
            return std::nullopt;
        }
    }
    o.snapshotDir = m_site ? m_site->layout().folder(SiteLayout::Kind::Snapshots)
                           : snapshotDir->text().trimmed();
    if (o.snapshotDir.isEmpty() && o.csvPath.isEmpty())
        o.snapshotDir = QDir::homePath();
    o.snapshotBeforeMs = snapshotBefore->value() * 1000;
    return o;
}

void RecorderWindow::record_Click()
{
    if (m_recording.running()) {
        m_recording.stop();
        return;
    }
    // The name this window proposed may have been taken meanwhile (by another
    // window, another program): a fresh one instead, without a question.
    if (csvPath->text().trimmed() == m_proposed && QFileInfo::exists(m_proposed))
        proposeNewFile();
    QString error;
    auto o = options(&error);
    if (o && !o->csvPath.isEmpty() && QFileInfo::exists(o->csvPath) &&
        !m_prompter.askYesNo(this, tr("Recorder"),
                             tr("%1 holds an earlier recording. Replace it?")
                                 .arg(QDir::toNativeSeparators(o->csvPath)))) {
        status->setText(
            tr("Not recorded: %1 is kept as it was.").arg(QDir::toNativeSeparators(o->csvPath)));
        return;
    }
    // In a site the file is made here, under a name no recording had before.
    const bool siteFile = o && m_site && writeCsv->isChecked();
    if (siteFile) {
        o->csvPath = newSiteFile(o->drives, &error);
        if (o->csvPath.isEmpty()) {
            warn(tr("The recording could not be put into the site: %1").arg(error));
            return;
        }
    }
    if (!o || !m_recording.start(*o)) {
        if (siteFile)
            QFile::remove(o->csvPath); // made for this recording alone, and still empty
        warn(o ? m_recording.error() : error);
        return;
    }
    m_recordingInto = o->csvPath;
    m_chart->setStore(&m_recording.store());
    m_chart->setFollow(true);
    follow->setChecked(true);
    setRecordingState(true);
}

void RecorderWindow::proposeNewFile()
{
    m_proposed =
        RecordCsv::newFilePath(QFileInfo(m_proposed).absolutePath(), QDateTime::currentDateTime());
    csvPath->setText(m_proposed);
}

void RecorderWindow::showDestination()
{
    // The file's path is asked for only when a file is written.
    const bool file = writeCsv->isChecked() && !m_site;
    csvPath->setEnabled(file && !m_recording.running());
    browse->setEnabled(file && !m_recording.running());
    snapshotDir->setEnabled(!m_site && !m_recording.running());
    destination->setText(destinationText());
}

QString RecorderWindow::destinationText() const
{
    if (m_site)
        return siteDestinationText();
    const QString path = csvPath->text().trimmed();
    const bool file = writeCsv->isChecked() && !path.isEmpty();
    QString snapshots = snapshotDir->text().trimmed();
    if (snapshots.isEmpty())
        snapshots = file ? QFileInfo(path).absolutePath() : QDir::homePath();
    const QString where = file ? tr("The recording goes to %1").arg(QDir::toNativeSeparators(path))
                          : writeCsv->isChecked()
                              ? tr("No file is named: the recording stays in the chart only")
                              : tr("No file is written: the recording stays in the chart only");
    return tr("%1; trip snapshots go to %2.").arg(where, QDir::toNativeSeparators(snapshots));
}

void RecorderWindow::warn(const QString& text)
{
    m_prompter.warn(this, tr("Recorder"), text);
}

void RecorderWindow::setRecordingState(bool on)
{
    record->setText(on ? tr("Stop") : tr("Record"));
    for (QWidget* w : {static_cast<QWidget*>(drives), static_cast<QWidget*>(values),
                       static_cast<QWidget*>(interval), static_cast<QWidget*>(writeCsv),
                       static_cast<QWidget*>(snapshotBefore), static_cast<QWidget*>(openCsv)})
        w->setEnabled(!on);
    showDestination();
    status->setText(on ? tr("Recording…") : status->text());
    if (on)
        m_refresh.start();
    else
        m_refresh.stop();
}

void RecorderWindow::onStopped(const QString& message)
{
    setRecordingState(false);
    // The next recording gets a file of its own.
    if (!m_recordingInto.isEmpty() && m_recordingInto == m_proposed)
        proposeNewFile();
    m_chart->refresh();
    QString done = tr("%1 rounds recorded.").arg(m_recording.sampler().rounds());
    if (const QString& path = m_recordingInto; !path.isEmpty())
        done = tr("%1 rounds recorded into %2.")
                   .arg(m_recording.sampler().rounds())
                   .arg(QDir::toNativeSeparators(path));
    if (m_recording.snapshotsLost() > 0)
        done += tr(" %1 trip snapshot(s) could not be written.").arg(m_recording.snapshotsLost());
    status->setText(done);
    if (m_site && !m_recordingInto.isEmpty())
        siteNote->saved(m_recordingInto);
    if (!message.isEmpty())
        warn(message);
}

bool RecorderWindow::openFile(const QString& path)
{
    QString error;
    const auto file = RecordCsv::read(path, &error);
    if (!file) {
        warn(error);
        return false;
    }
    // The value columns are charted; run state and fault come in as marks.
    QList<int> columns;
    QStringList names;
    for (int c = 0; c < file->columns.size(); ++c) {
        const QString& n = file->columns[c];
        if (!n.endsWith(QStringLiteral(" State")) && !n.endsWith(QStringLiteral(" Fault"))) {
            columns << c;
            names << n;
        }
    }
    m_opened.reset(names);
    for (int r = 0; r < file->times.size(); ++r) {
        QList<double> row;
        for (int c : columns)
            row << file->values[r][c];
        m_opened.append(double(file->times[r]) / 1000.0, row);
    }
    for (const auto& [t, text] : file->events)
        m_opened.addEvent(double(t) / 1000.0, text, text.contains(QStringLiteral(": trip ")));
    m_chart->setStore(&m_opened);
    m_chart->showAll();
    status->setText(tr("%1: %2 rows").arg(QFileInfo(path).fileName()).arg(file->times.size()));
    return true;
}
