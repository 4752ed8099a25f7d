// SPDX-License-Identifier: GPL-3.0-or-later
// The two rhythms on real timers: polling keeps its own rhythm while a run
// command repeats, and the command keeps its own.
#include "AnswerBoxes.h"
#include "SimulatedPort.h"
#include "WaitUntil.h"
#include "demo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

// One main window on its own simulated line, with every frame it sends stamped.
struct RhythmBench
{
    int control;
    int poll;
    bool immediate; // FWD-S in multi-drive mode rather than FWD
    SimulatedPort port{SimulatedPort::Timing::RealTime};
    demo window{&port};
    QList<qint64> pollTimes;
    QList<qint64> commandTimes;
    qint64 started = 0;

    RhythmBench(int controlMs, int pollMs, bool fwdS, const QElapsedTimer& clock)
        : control(controlMs), poll(pollMs), immediate(fwdS)
    {
        answerBoxes(window.prompter());
        QObject::connect(
            &window.link(), &Hexedit::frameSent, &window, [this, &clock](const QByteArray& frame) {
                (quint8(frame[1]) == 16 ? commandTimes : pollTimes) << clock.elapsed() - started;
            });
    }

    void start(const QElapsedTimer& clock)
    {
        window.Command1_Click();
        window.Text26->setText(QString::number(control));
        window.Text2->setText(QString::number(poll));
        window.Timer1->stop(); // the rhythm box switched polling on; start it properly
        started = clock.elapsed();
        window.Command5_Click();
        if (!immediate)
            window.Option1->click();
        else // in multi-drive mode FWD-S goes to the drive polled last: after a poll
            QTimer::singleShot(poll + poll / 2, &window, [this] { window.Option7->click(); });
    }

    // Frames stamped in [0, n x period + period / 2): exactly n when the rhythm
    // holds, whatever the jitter of a busy machine.
    static int countWithin(const QList<qint64>& times, int period, int windowMs)
    {
        const int ticks = windowMs / period;
        return int(std::count_if(times.cbegin(), times.cend(), [&](qint64 t) {
            return t < qint64(ticks) * period + period / 2;
        }));
    }
};

} // namespace

class tst_demo_rhythm : public QObject
{
    Q_OBJECT
private slots:
    void pollAndCommandKeepTheirRhythms();
    void commandSendKeepsThePollCountdown();
};

void tst_demo_rhythm::pollAndCommandKeepTheirRhythms()
{
    // Control x poll rhythm pairs, equal ones included; all windows run at once.
    struct Pair
    {
        int control, poll;
        bool immediate;
    };
    const Pair pairs[] = {{200, 200, false}, {500, 200, false},  {200, 500, false},
                          {300, 400, false}, {500, 1000, false}, {1000, 1000, false},
                          {400, 200, false}, {1000, 200, false}, {200, 200, true},
                          {500, 500, true}};
    constexpr int windowMs = 4000;
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<RhythmBench>> benches;
    for (const Pair& p : pairs) {
        benches.push_back(std::make_unique<RhythmBench>(p.control, p.poll, p.immediate, clock));
        benches.back()->window.Check1->setChecked(!p.immediate);
        benches.back()->window.Check1_Click();
    }
    for (auto& b : benches)
        b->start(clock);
    runEventLoopFor(windowMs + 600);

    QStringList faults;
    for (auto& b : benches) {
        const QByteArray which = QStringLiteral("control %1 ms, poll %2 ms%3")
                                     .arg(b->control)
                                     .arg(b->poll)
                                     .arg(b->immediate ? QStringLiteral(", FWD-S") : QString())
                                     .toUtf8();
        const int polls = RhythmBench::countWithin(b->pollTimes, b->poll, windowMs);
        const int expectedPolls = windowMs / b->poll;
        if (qAbs(polls - expectedPolls) * 10 > expectedPolls)
            faults << QStringLiteral("%1: %2 polls, %3 expected")
                          .arg(QString::fromUtf8(which))
                          .arg(polls)
                          .arg(expectedPolls);
        // FWD-S goes out once at once; FWD at every command tick.
        const int commands = RhythmBench::countWithin(b->commandTimes, b->control, windowMs);
        const int expectedCommands = b->immediate ? 1 : windowMs / b->control;
        qInfo("%s: %d polls (%d expected), %d commands (%d expected)", which.constData(), polls,
              expectedPolls, commands, expectedCommands);
        if (qAbs(commands - expectedCommands) * 10 > expectedCommands)
            faults << QStringLiteral("%1: %2 commands, %3 expected")
                          .arg(QString::fromUtf8(which))
                          .arg(commands)
                          .arg(expectedCommands);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

void tst_demo_rhythm::commandSendKeepsThePollCountdown()
{
    // A slow poll (above the refresh period) must not be pushed back by the
    // command and refresh ticks that fall inside its period.
    QElapsedTimer clock;
    clock.start();
    RhythmBench b(200, 6000, false, clock);
    b.window.Check1->setChecked(true);
    b.window.Check1_Click();
    b.start(clock);
    QTest::qWait(300);
    const int before = b.window.Timer1->remainingTime();
    b.window.Timer2_Timer();
    b.window.Timer3_Timer();
    b.window.Option7_Click();
    const int after = b.window.Timer1->remainingTime();
    QVERIFY2(after <= before && after > 0,
             qPrintable(QStringLiteral("%1 ms left before, %2 after").arg(before).arg(after)));
}

QTEST_MAIN(tst_demo_rhythm)
#include "tst_demo_rhythm.moc"
