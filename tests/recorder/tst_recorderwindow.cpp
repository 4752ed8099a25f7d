// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswerBoxes.h"
#include "DemoBench.h"
#include "RecorderChart.h"
#include "RecorderRig.h"
#include "RecorderWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <qcustomplot.h>

class tst_recorderwindow : public QObject
{
    Q_OBJECT
private slots:
    void recordsThenOpensTheFile();
    void toolsMenuAndPollYields();
    void problemsAreSaidThroughThePrompter();
    void saysWhereTheRecordingGoes();
    void recordAgainNeverReplacesTheLast();
};

// Record a ramp of "SIM" drives into a file, stop, open the file again: the
// chart has the same traces and the run mark.
void tst_recorderwindow::recordsThenOpensTheFile()
{
    QTemporaryDir dir;
    RecorderRig rig;
    Prompter prompter;
    answerBoxes(prompter);
    RecorderWindow w(rig.client, prompter);
    rig.follow(w.recording().sampler());
    w.drives->setText(QStringLiteral("1,2"));
    w.csvPath->setText(dir.filePath(QStringLiteral("w.csv")));
    w.record_Click();
    QVERIFY(w.recording().running());
    QCOMPARE(w.record->text(), QStringLiteral("Stop"));
    QVERIFY(!w.drives->isEnabled());
    rig.command(1, 0x12, QStringLiteral("25"));
    rig.pass(2000);
    w.chart()->refresh();
    QCOMPARE(w.chart()->plot()->graphCount(), 4);
    QVERIFY(w.chart()->plot()->graph(0)->dataCount() > 5);
    const double t = w.recording().store().times().back();
    QVERIFY(w.chart()->readOut(t).contains(QStringLiteral("Drive 2 Output current (A): ")));
    w.record_Click();
    QVERIFY(!w.recording().running());
    QCOMPARE(w.record->text(), QStringLiteral("Record"));

    const qsizetype rounds = w.recording().store().size();
    QVERIFY(w.openFile(w.csvPath->text()));
    QCOMPARE(w.chart()->plot()->graphCount(), 4);
    QCOMPARE(w.chart()->plot()->graph(1)->name(), QStringLiteral("Drive 1 Output current (A)"));
    QVERIFY(!w.follow->isChecked());
    QVERIFY(w.status->text().contains(QString::number(rounds)));
    QVERIFY(w.chart()->plot()->itemCount() > 2); // run marks besides the cursor
    QVERIFY(prompter.history().isEmpty());
}

// The main window offers the recorder under Tools; while it records, the
// main window's own poll tick sends nothing, and picks up again afterwards.
void tst_recorderwindow::toolsMenuAndPollYields()
{
    DemoBench bench;
    bench.openPort();
    QMenu* tools = bench.window.findChild<QMenu*>(QStringLiteral("tools"));
    QVERIFY(tools);
    QCOMPARE(tools->title(), QStringLiteral("&Tools"));
    bench.window.recorder->trigger();
    auto* rw = bench.window.findChild<RecorderWindow*>();
    QVERIFY(rw && rw->isVisible());
    QObject job;
    LinkSession* session = bench.window.linkClient().openSession(&job);
    session->holdLine(true);
    bench.window.Timer1_Timer();
    QVERIFY(bench.port.written().isEmpty());
    session->holdLine(false);
    bench.window.Timer1_Timer();
    QCOMPARE(bench.port.written().size(), 1);
}

// A bad entry, a file that cannot be read: each is said in a box the
// program's one prompter shows, so a test answers it and nothing blocks.
void tst_recorderwindow::problemsAreSaidThroughThePrompter()
{
    QTemporaryDir dir;
    RecorderRig rig;
    Prompter prompter;
    answerBoxes(prompter);
    RecorderWindow w(rig.client, prompter);
    w.drives->setText(QStringLiteral("40"));
    w.record_Click();
    QVERIFY(!w.recording().running());
    QVERIFY(!w.openFile(dir.filePath(QStringLiteral("none.csv"))));
    QCOMPARE(prompter.history().size(), 2);
    for (const Prompter::Prompt& box : prompter.history()) {
        QCOMPARE(box.title, QStringLiteral("Recorder"));
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QVERIFY(prompter.history()[0].text.startsWith(QStringLiteral("Drives:")));
    QVERIFY(prompter.history()[1].text.contains(QStringLiteral("none.csv")));
}

// The file field is asked for only while a file is to be written, and the
// window says in words where the recording and its snapshots will be kept.
void tst_recorderwindow::saysWhereTheRecordingGoes()
{
    QTemporaryDir dir;
    RecorderRig rig;
    Prompter prompter;
    answerBoxes(prompter);
    RecorderWindow w(rig.client, prompter);
    QVERIFY(w.writeCsv->isChecked());
    const QString path = dir.filePath(QStringLiteral("run.csv"));
    w.csvPath->setText(path);
    QVERIFY(w.destination->text().contains(QDir::toNativeSeparators(path)));
    QVERIFY(w.destination->text().contains(QDir::toNativeSeparators(dir.path())));

    w.writeCsv->setChecked(false);
    QVERIFY(!w.csvPath->isEnabled() && !w.browse->isEnabled());
    QVERIFY(!w.destination->text().contains(QDir::toNativeSeparators(path)));
    QVERIFY(w.destination->text().contains(QStringLiteral("chart only")));
    QString error;
    QVERIFY(w.options(&error)->csvPath.isEmpty());

    // Ticked with no file named: said, not recorded into nothing.
    w.writeCsv->setChecked(true);
    QVERIFY(w.csvPath->isEnabled());
    w.csvPath->clear();
    w.record_Click();
    QVERIFY(!w.recording().running());
    QCOMPARE(prompter.history().size(), 1);
    QVERIFY(prompter.history()[0].text.startsWith(QStringLiteral("File:")));

    // While recording nothing about the file can change; afterwards the
    // status names the file written.
    w.csvPath->setText(path);
    w.record_Click();
    QVERIFY(w.recording().running());
    QVERIFY(!w.csvPath->isEnabled() && !w.browse->isEnabled());
    rig.pass(500);
    w.record_Click();
    QVERIFY(w.csvPath->isEnabled());
    QVERIFY(w.status->text().contains(QDir::toNativeSeparators(path)));
    QVERIFY(QFileInfo::exists(path));
}

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Record, Stop, Record: the second recording goes to a new file named by the
// time, and a file that holds a recording is replaced only when the user says so.
void tst_recorderwindow::recordAgainNeverReplacesTheLast()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    RecorderRig rig;
    Prompter prompter;
    answerBoxes(prompter, QMessageBox::No);
    RecorderWindow w(rig.client, prompter);
    qputenv("HOME", oldHome);
    const QString first = w.csvPath->text();
    QVERIFY2(QFileInfo(first).fileName().startsWith(QStringLiteral("recording-")),
             qPrintable(first));
    QCOMPARE(QFileInfo(first).absolutePath(), QFileInfo(home.path()).absoluteFilePath());
    QVERIFY(!QFileInfo::exists(first));

    auto recordFor = [&](double ms) {
        w.record_Click();
        QVERIFY(w.recording().running());
        rig.pass(ms);
        w.record_Click();
        QVERIFY(!w.recording().running());
    };
    recordFor(1500);
    const QByteArray kept = contents(first);
    QVERIFY(kept.count('\n') > 3);
    const QString second = w.csvPath->text();
    QVERIFY(second != first);
    QVERIFY(!QFileInfo::exists(second));
    recordFor(300);
    QVERIFY(QFileInfo::exists(second));
    QCOMPARE(contents(first), kept);
    QVERIFY(prompter.history().isEmpty());

    // Named again by hand: asked, and No keeps it whole.
    w.csvPath->setText(first);
    w.record_Click();
    QVERIFY(!w.recording().running());
    QCOMPARE(prompter.history().size(), 1);
    QVERIFY(prompter.history()[0].text.contains(QStringLiteral("Replace it?")));
    QCOMPARE(contents(first), kept);
    QVERIFY(w.status->text().contains(QStringLiteral("kept as it was")));
    answerBoxes(prompter, QMessageBox::Yes);
    recordFor(300);
    QVERIFY(contents(first) != kept);
}

QTEST_MAIN(tst_recorderwindow)
#include "tst_recorderwindow.moc"
