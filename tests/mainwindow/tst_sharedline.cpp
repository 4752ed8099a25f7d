// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and its tool windows on one line of simulated drives, all
// busy at once: each window's job keeps its own requests, retries and hold on
// the line, and a window closed in the middle of its job leaves nothing behind
// that could still run on it.
#include "AnswerBoxes.h"
#include "ParamSetWindow.h"
#include "RecorderWindow.h"
#include "ScanWindow.h"
#include "SimulatedPort.h"
#include "WaitUntil.h"
#include "demo.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct SharedLine
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2, 3}};
    demo window{&port};
    int polls = 0; // the main window's own frames on the line

    SharedLine()
    {
        answerBoxes(window.prompter());
        // Quicker than the drives' factory speed, so whole-drive reads fit a test.
        port.setSettings(QStringLiteral("38400,E,8,1"));
        window.Command1_Click();
        QObject::connect(&window.link(), &Hexedit::frameSent, &window, [this](const QByteArray& f) {
            polls += f.size() == 8 && f[1] == 3 && window.link().OnWireTicket() == 0;
        });
    }
    template <class W> W* open(QAction* action)
    {
        action->trigger();
        return window.findChild<W*>();
    }
    ParamSetWindow* parameters() { return open<ParamSetWindow>(window.drive_parameters); }
    ScanWindow* scan()
    {
        ScanWindow* w = open<ScanWindow>(window.scan_line);
        w->toBox->setValue(6);
        return w;
    }
    RecorderWindow* recorder()
    {
        auto* w = open<RecorderWindow>(window.recorder);
        w->snapshotDir->setText(folder.path()); // a trip's snapshot stays out of the home folder
        return w;
    }
    QTemporaryDir folder;
    static void run(int ms) { QTest::qWait(ms); }
};

bool allAnswered(const ParamSet& set)
{
    for (const ParamValue& v : set.values) {
        if (v.state == ParamValue::State::NoAnswer)
            return false;
    }
    return !set.values.isEmpty();
}

} // namespace

class tst_sharedline : public QObject
{
    Q_OBJECT
private slots:
    void toolWindowsClosedMidJobLeaveTheLineClean();
    void scanDuringARecordingLeavesTheRecordingItsLine();
    void cancellingOneWindowLeavesTheOthersJob();
};

void tst_sharedline::toolWindowsClosedMidJobLeaveTheLineClean()
{
    SharedLine line;
    line.window.Command5_Click(); // polling
    ParamSetWindow* parameters = line.parameters();
    ScanWindow* scan = line.scan();
    RecorderWindow* recorder = line.recorder();
    QVERIFY(parameters && scan && recorder);
    parameters->ReadA_Click();
    scan->startScan();
    recorder->record_Click();
    SharedLine::run(300);
    QVERIFY(parameters->busy());
    QVERIFY(line.window.linkClient().lineHeld());
    // Each closed while its request is on the line or waiting for its turn.
    for (QWidget* w : std::initializer_list<QWidget*>{parameters, scan, recorder}) {
        delete w;
        SharedLine::run(40);
    }
    QVERIFY(!line.window.linkClient().lineHeld());
    const int pollsBefore = line.polls;
    // Nothing of the closed windows runs; the main window's poll comes back.
    QVERIFY(waitUntil([&] { return line.polls > pollsBefore + 3; }));
    QVERIFY(!line.window.linkClient().busy());
}

void tst_sharedline::scanDuringARecordingLeavesTheRecordingItsLine()
{
    SharedLine line;
    line.window.Command5_Click();
    RecorderWindow* recorder = line.recorder();
    recorder->record_Click();
    SharedLine::run(200);
    ScanWindow* scan = line.scan();
    scan->startScan();
    QVERIFY(waitUntil([&] { return scan->scanButton->isEnabled(); }, 10000));
    QCOMPARE(scan->table->rowCount(), 3); // drives 1..3, whatever the recording asked meanwhile
    // The scan is over, the recording is not: the main window still stands aside.
    const int pollsAfterScan = line.polls;
    SharedLine::run(500);
    QVERIFY(line.window.linkClient().lineHeld());
    QCOMPARE(line.polls, pollsAfterScan);
    recorder->record_Click(); // stop
    QVERIFY(!line.window.linkClient().lineHeld());
}

void tst_sharedline::cancellingOneWindowLeavesTheOthersJob()
{
    SharedLine line;
    ParamSetWindow* parameters = line.parameters();
    ScanWindow* scan = line.scan();
    parameters->ReadA_Click();
    scan->startScan();
    SharedLine::run(100);
    scan->cancelJob();
    QVERIFY(parameters->busy());
    QVERIFY(waitUntil([&] { return !parameters->busy(); }, 20000));
    // The whole drive was read: no parameter lost to the other window's cancel.
    QVERIFY(allAnswered(parameters->setA()));
}

QTEST_MAIN(tst_sharedline)

#include "tst_sharedline.moc"
