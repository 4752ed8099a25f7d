// SPDX-License-Identifier: GPL-3.0-or-later
// What it costs to leave vfdtool polling a full line: the main window, opened
// on a vfdsim pseudo-terminal serving drives 1..31, sweeps First 1 to End 31 at
// the 200 ms rhythm, exactly as the user sets it up (the same slots the buttons
// and lists call). vfdsim runs as a separate process, so only our own CPU time
// (getrusage, all our threads) is counted.
//
// Printed: CPU time as a share of one core while idle with the port open and
// while polling, the traffic actually seen (requests, replies decoded per
// second, drives that answered), and how much of the time the 1 ms drain timer
// was running; it must stop whenever the input is empty.
//
// Usage: bench_poll --vfdsim PATH [--seconds 60] [--idle-seconds 10]
//                   [--drives 1-31] [--rhythm 200]
//                   [--no-traffic-log | --log-per-frame] [--drain-all] [--hidden]
// The last options change the program to show where the time goes
// (BenchVariants.h).
#include "BenchVariants.h"
#include "DevicePort.h"
#include "Figures.h"
#include "TrafficLogBox.h"
#include "demo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

struct Usage
{
    double cpuS = 0;
    long voluntarySwitches = 0;
    long involuntarySwitches = 0;
};

Usage ownUsage()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(u.ru_utime) + seconds(u.ru_stime), u.ru_nvcsw, u.ru_nivcsw};
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the link did during one phase.
struct Traffic
{
    qint64 requests = 0;
    qint64 replies = 0;
    qint64 receiveEvents = 0;
    qint64 drainTicks = 0;
    qint64 drainRuns = 0; // times the drain started and stopped again
    qint64 drainActiveNs = 0;
    QSet<int> addresses;
};

class Observer : public QObject
{
public:
    Observer(Hexedit& link) : m_link(link)
    {
        connect(&link, &Hexedit::frameSent, this, [this] { ++t.requests; });
        connect(&link, &Hexedit::runningValueReceived, this,
                [this](const RunningValueReply& r) { replied(r.address); });
        connect(&link, &Hexedit::statusReceived, this,
                [this](const StatusReply& r) { replied(r.address); });
        connect(&link, &Hexedit::parameterReceived, this,
                [this](const ParameterReply& r) { replied(r.address); });
        // Emitted just before the link starts its drain timer.
        connect(&link, &Hexedit::receiveEvent, this, [this] {
            ++t.receiveEvents;
            if (!m_draining) {
                m_draining = true;
                m_drainStarted = m_clock.nsecsElapsed();
            }
        });
        // Connected after the link's own handler, so this runs after the tick.
        connect(&link.DrainTimer(), &QTimer::timeout, this, [this] {
            ++t.drainTicks;
            if (m_draining && !m_link.DrainTimer().isActive()) {
                m_draining = false;
                ++t.drainRuns;
                t.drainActiveNs += m_clock.nsecsElapsed() - m_drainStarted;
            }
        });
        m_clock.start();
    }

    Traffic take()
    {
        if (m_draining) { // count a drain still running up to now
            t.drainActiveNs += m_clock.nsecsElapsed() - m_drainStarted;
            m_drainStarted = m_clock.nsecsElapsed();
        }
        Traffic done = t;
        t = Traffic{};
        return done;
    }

    Traffic t;

private:
    void replied(int address)
    {
        ++t.replies;
        t.addresses.insert(address);
    }

    Hexedit& m_link;
    QElapsedTimer m_clock;
    bool m_draining = false;
    qint64 m_drainStarted = 0;
};

void report(const char* phase, double wallS, const Usage& before, const Usage& after,
            const Traffic& t, const std::string& figure, double goalPercent)
{
    const double cpu = after.cpuS - before.cpuS;
    const std::string how = "own CPU time (getrusage, all threads) over " +
                            std::to_string(int(wallS + 0.5)) +
                            " s, vfdsim in its own process not counted";
    if (goalPercent > 0)
        Figures::record("poll", figure, 100.0 * cpu / wallS, "% of one core", "goal", goalPercent,
                        how);
    else
        Figures::record("poll", figure, 100.0 * cpu / wallS, "% of one core", how);
    std::printf("%s: %.1f s wall, %.3f s CPU = %.2f %% of one core\n", phase, wallS, cpu,
                100.0 * cpu / wallS);
    std::printf("  context switches: %.0f/s voluntary, %.0f/s involuntary\n",
                double(after.voluntarySwitches - before.voluntarySwitches) / wallS,
                double(after.involuntarySwitches - before.involuntarySwitches) / wallS);
    std::printf("  requests sent %lld (%.2f/s), replies decoded %lld (%.2f/s) from %lld drive(s), "
                "receive events %lld\n",
                (long long)t.requests, double(t.requests) / wallS, (long long)t.replies,
                double(t.replies) / wallS, (long long)t.addresses.size(),
                (long long)t.receiveEvents);
    std::printf("  drain timer: %lld ticks, %lld runs, active %.1f ms = %.2f %% of the time",
                (long long)t.drainTicks, (long long)t.drainRuns, t.drainActiveNs / 1e6,
                100.0 * double(t.drainActiveNs) / 1e9 / wallS);
    if (t.drainRuns > 0)
        std::printf(", %.1f ticks and %.2f ms per run", double(t.drainTicks) / double(t.drainRuns),
                    t.drainActiveNs / 1e6 / double(t.drainRuns));
    std::printf("\n");
    std::fflush(stdout);
}

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

void selectText(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const int seconds = argument(args, QStringLiteral("--seconds"), QStringLiteral("60")).toInt();
    const int idleSeconds =
        argument(args, QStringLiteral("--idle-seconds"), QStringLiteral("10")).toInt();
    const QString drives = argument(args, QStringLiteral("--drives"), QStringLiteral("1-31"));
    const QString rhythm = argument(args, QStringLiteral("--rhythm"), QStringLiteral("200"));
    Variants variants(args);
    if (vfdsim.isEmpty() || seconds <= 0) {
        std::fprintf(stderr,
                     "usage: bench_poll --vfdsim PATH [--seconds 60] [--idle-seconds 10] "
                     "[--drives 1-31] [--rhythm 200] %s\n",
                     qPrintable(Variants::usage()));
        return 2;
    }

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--drives"), drives});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_poll: vfdsim did not start\n");
        return 1;
    }
    const QString ptyPath = QString::fromLocal8Bit(sim.readLine()).trimmed();

    int status = 0;
    {
        DevicePort port;
        demo window(&port);
        window.prompter().setResponder([](const Prompter::Prompt& prompt) {
            std::fprintf(stderr, "bench_poll: message box \"%s\"\n", qPrintable(prompt.text));
            return QMessageBox::Ok;
        });
        window.selectPort(ptyPath);
        variants.apply(window);
        window.Command1_Click();
        if (!port.isOpen()) {
            std::fprintf(stderr, "bench_poll: cannot open %s\n", qPrintable(ptyPath));
            status = 1;
        } else {
            std::printf("vfdsim drives %s on %s; %s; rhythm %s ms\n", qPrintable(drives),
                        qPrintable(ptyPath), qPrintable(variants.describe()), qPrintable(rhythm));
            Observer observer(window.link());
            runEventLoop(1000); // first paint and settling

            QElapsedTimer wall;
            if (idleSeconds > 0) {
                observer.take();
                const Usage before = ownUsage();
                wall.start();
                runEventLoop(idleSeconds * 1000);
                report("idle, port open", wall.nsecsElapsed() / 1e9, before, ownUsage(),
                       observer.take(), "idle, port open; " + variants.describe().toStdString(), 0);
            }

            // As the user does it: multi-drive mode, First 1, End 31, rhythm, Start.
            if (window.Check1->isChecked()) {
                window.Check1->setChecked(false);
                window.Check1_Click();
            }
            selectText(window.Combo4, QStringLiteral("1"));
            window.Combo4_Click();
            selectText(window.Combo1, QStringLiteral("31"));
            window.Combo1_Click();
            window.Text2->setText(rhythm);
            if (window.Timer1->isActive()) // a rhythm change may have started it already
                window.Timer1->stop();
            observer.take();
            window.Command5_Click();
            const Usage before = ownUsage();
            wall.start();
            runEventLoop(seconds * 1000);
            const double pollWall = wall.nsecsElapsed() / 1e9;
            const Usage after = ownUsage();
            report(qPrintable(QStringLiteral("polling First %1 to End %2")
                                  .arg(window.Combo4->currentText(), window.Combo1->currentText())),
                   pollWall, before, after, observer.take(),
                   "polling 31 drives at " + rhythm.toStdString() + " ms; " +
                       variants.describe().toStdString(),
                   1.0);

            window.Command5_Click(); // Stop
            runEventLoop(300);
            std::printf("after Stop: poll timer %s, drain timer %s\n",
                        window.Timer1->isActive() ? "RUNNING" : "stopped",
                        window.link().DrainTimer().isActive() ? "STILL RUNNING" : "stopped");
        }
    }
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
    return status;
}
