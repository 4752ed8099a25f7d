// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a half-duplex line timed as a real one (vfdsim paces its
// replies at the baud rate and reports requests that overlap them): with the
// command and poll rhythms falling together, no request is sent over an
// answer, every control write is acted on, and polling keeps its rhythm.
#include "AnswerBoxes.h"
#include "DevicePort.h"
#include "SimProcess.h"
#include "demo.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

// Seconds each pair runs; VFD_TURNS_SECONDS=600 gives the long run.
int runSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VFD_TURNS_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 15;
}

struct PairRun
{
    int control;
    int poll;
    SimProcess sim;
    DevicePort port;
    std::unique_ptr<demo> window;
    int polls = 0;
    int commands = 0;

    PairRun(int controlMs, int pollMs) : control(controlMs), poll(pollMs)
    {
        window = std::make_unique<demo>(&port);
        window->selectPort(sim.device());
        answerBoxes(window->prompter());
        QObject::connect(
            &window->link(), &Hexedit::frameSent, window.get(),
            [this](const QByteArray& frame) { ++(quint8(frame[1]) == 16 ? commands : polls); });
    }

    void start()
    {
        demo& w = *window;
        w.Command1_Click();
        QVERIFY(port.isOpen());
        w.Check1->setChecked(true);
        w.Check1_Click();
        w.Text26->setText(QString::number(control));
        w.Text2->setText(QString::number(poll));
        if (w.Command5->text() == u"Start")
            w.Command5_Click();
        w.Option1->click();
    }

    void stop()
    {
        window->Option9_Click();
        window->Timer1->stop();
    }
};

} // namespace

class tst_turntaking : public QObject
{
    Q_OBJECT
private slots:
    void coincidingRhythmsNeverCollide();
};

void tst_turntaking::coincidingRhythmsNeverCollide()
{
    const int seconds = runSeconds();
    std::vector<std::unique_ptr<PairRun>> runs;
    for (const auto& [control, poll] : {std::pair{500, 200}, {1000, 200}, {400, 200}}) {
        runs.push_back(std::make_unique<PairRun>(control, poll));
        QVERIFY2(runs.back()->sim.device().startsWith(u'/'), "vfdsim gave no terminal");
    }
    for (auto& run : runs)
        run->start();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    for (auto& run : runs)
        run->stop();
    const qint64 ranMs = clock.elapsed();
    QTest::qWait(300); // the last answers come in

    QStringList faults;
    for (auto& run : runs) {
        const QString pair = QStringLiteral("%1/%2 ms").arg(run->control).arg(run->poll);
        const int collisions = int(run->sim.traffic(QStringLiteral("!! collision")).size());
        const QStringList heard = run->sim.traffic(QStringLiteral("<- "));
        const QStringList answered = run->sim.traffic(QStringLiteral("-> "));
        const auto controls = [](const QStringList& frames) {
            return int(std::count_if(frames.cbegin(), frames.cend(), [](const QString& f) {
                return f.startsWith(u"01 10 20 00");
            }));
        };
        const int expectedPolls = int(ranMs / run->poll);
        const int expectedCommands = int(ranMs / run->control);
        // Within 10 %, or one tick where that is less: a tick falls either side
        // of the end.
        const auto near = [](int count, int expected) {
            return qAbs(count - expected) <= std::max(1, expected / 10);
        };
        qInfo("%s: %d polls (%d expected), %d control writes (%d expected), %d heard, %d acted "
              "on, %d collisions",
              qPrintable(pair), run->polls, expectedPolls, run->commands, expectedCommands,
              controls(heard), controls(answered), collisions);
        if (collisions != 0)
            faults << QStringLiteral("%1: %2 collisions").arg(pair).arg(collisions);
        if (controls(answered) != run->commands || controls(heard) != run->commands)
            faults << QStringLiteral("%1: %2 control writes sent, %3 heard, %4 acted on")
                          .arg(pair)
                          .arg(run->commands)
                          .arg(controls(heard))
                          .arg(controls(answered));
        if (!near(run->polls, expectedPolls))
            faults << QStringLiteral("%1: %2 polls, %3 expected")
                          .arg(pair)
                          .arg(run->polls)
                          .arg(expectedPolls);
        if (!near(run->commands, expectedCommands))
            faults << QStringLiteral("%1: %2 control writes, %3 expected")
                          .arg(pair)
                          .arg(run->commands)
                          .arg(expectedCommands);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

QTEST_MAIN(tst_turntaking)
#include "tst_turntaking.moc"
