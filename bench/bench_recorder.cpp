// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder's figures, printed and never asserted:
//  1. samples per second for three values of one drive at 9600,E,8,1 over a
//     vfdsim pseudo-terminal, next to the line's limit worked out from the
//     bytes, the silences and the drive's response delay;
//  2. CPU (share of one core) of recording and charting at that rate;
//  3. two hours of three values (simulated time: the same store and file
//     code): growth of resident memory, and one repaint of all of it;
//  4. rows lost when the recording process is killed with SIGKILL.
//
//   bench_recorder [--seconds N]
#include "DevicePort.h"
#include "Figures.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "Prompter.h"
#include "RecordCsv.h"
#include "RecorderChart.h"
#include "RecorderWindow.h"
#include "Recording.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <qcustomplot.h>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long rssKiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : 0;
}

struct Sim
{
    QProcess process;
    QString device;
    explicit Sim(const QString& path)
    {
        process.start(path, {QStringLiteral("--pty")});
        process.waitForStarted(3000);
        while (!process.canReadLine() && process.waitForReadyRead(3000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Sim()
    {
        process.kill();
        process.waitForFinished(3000);
    }
};

struct Line
{
    DevicePort port;
    Hexedit link{port};
    LinkClient client{link};
    QObject owner;
    LinkSession* session = client.openSession(&owner);
    bool open(const QString& device)
    {
        port.setPortName(device);
        port.setSettings(QStringLiteral("9600,E,8,1"));
        return port.open() == SerialPort::OpenError::None;
    }
};

Recording::Options threeValues(const QString& csv)
{
    Recording::Options o;
    o.drives = {1};
    o.values = *RecordValues::parseKeys(QStringLiteral("freq-out,current,dc-bus"));
    o.csvPath = csv;
    return o;
}

void lineRate(const QString& vfdsim, double seconds, const QString& dir)
{
    Sim sim(vfdsim);
    Line line;
    if (!line.open(sim.device)) {
        std::printf("cannot open %s\n", qPrintable(sim.device));
        return;
    }
    // The drive's own response delay (P8.03, ms) enters the limit.
    int delayMs = 0;
    bool asked = false;
    line.session->submit(LinkRequest::read(1, 0x0803), [&](const LinkResult& r) {
        delayMs = r.ok() ? r.value : 0;
        asked = true;
    });
    while (!asked)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    line.link.SetResponseDelayMs(delayMs);

    // The limit: every frame the recording sent, its request and answer at the
    // baud rate and the drive's response delay (never under 3.5 characters)
    // between them; the next request follows the answer at once.
    const double charMs = 11 * 1000.0 / 9600; // start, 8 data, parity, stop
    double limitMs = 0;
    int exchanges = 0;
    QObject::connect(&line.link, &Hexedit::frameSent, [&](const QByteArray& f) {
        const int block = Hexedit::BlockCountOf(f);
        const int answer = block > 0                                           ? 5 + 2 * block
                           : Hexedit::KindOf(f) == Hexedit::FrameKind::Monitor ? 10
                                                                               : 8;
        limitMs += (f.size() + answer) * charMs + std::max(3.5 * charMs, double(delayMs));
        ++exchanges;
    });

    Prompter prompter;
    RecorderWindow window(line.client, prompter);
    window.show();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    Recording& rec = window.recording();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    window.csvPath->setText(dir + QStringLiteral("/rate.csv"));
    for (int i = 0; i < window.values->count(); ++i) {
        const int index = window.values->item(i)->data(Qt::UserRole).toInt();
        window.values->item(i)->setCheckState(
            index == 0 || index == 2 || index == 7 ? Qt::Checked : Qt::Unchecked);
    }
    window.record_Click();
    loop.exec();
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const qint64 rounds = rec.sampler().rounds();
    window.record_Click();

    // A round is the status and, where the drive takes them, one block of
    // freq-out to dc-bus (0x0D00..0x0D07) after the first rounds.
    const double samples = rounds * 3 / elapsed;
    const double allowed = rounds * 3 / (limitMs / 1000);
    std::printf("line 9600,E,8,1, drive response delay %d ms: %d exchanges sent, their wire time "
                "%.0f ms in %.0f ms\n",
                delayMs, exchanges, limitMs, elapsed * 1000);
    std::printf("recorded %lld rounds in %.1f s: %.1f value samples/s (%.0f %% of the %.1f the "
                "line allows), %.2f rounds/s\n",
                static_cast<long long>(rounds), elapsed, samples, 100 * samples / allowed, allowed,
                rounds / elapsed);
    std::printf("CPU while recording and charting: %.2f %% of one core\n", 100 * cpu / elapsed);
    Figures::record("recorder", "value samples a second, 3 values of one drive", samples, "/s",
                    "limit", allowed,
                    "limit: the exchanges the recording sent (status, then one block or single "
                    "reads) at 9600,E,8,1 with the drive's response delay; goal at least 0.8");
    Figures::record("recorder", "CPU while recording and charting", 100 * cpu / elapsed,
                    "% of one core", "goal", 3,
                    "own CPU time (getrusage) of the recorder window over the stretch");
}

void twoHours(const QString& dir)
{
    const double roundsPerSecond = 15.7; // about what the line allows in blocks (figure 1)
    const long rounds = long(2 * 3600 * roundsPerSecond);
    QApplication::processEvents();
    const long rss0 = rssKiB();
    TraceStore store;
    store.reset({QStringLiteral("Drive 1 Output frequency (Hz)"),
                 QStringLiteral("Drive 1 Output current (A)"),
                 QStringLiteral("Drive 1 DC bus voltage (V)")});
    CsvWriter writer;
    writer.open(dir + QStringLiteral("/2h.csv"), RecordCsv::header({1}, threeValues({}).values));
    const QDateTime start = QDateTime::currentDateTime();
    SampleRound round;
    round.states = {DriveState{true, true, false, false, 0}};
    for (long i = 0; i < rounds; ++i) {
        const double t = i / roundsPerSecond;
        const double f = 25 + 25 * std::sin(t / 60);
        round.time = start.addMSecs(qint64(t * 1000));
        round.values = {f, f * 0.3 + std::fmod(t, 7) * 0.01, 540 + std::sin(t) * 3};
        writer.append(RecordCsv::roundRow(round, 3));
        store.append(double(round.time.toMSecsSinceEpoch()) / 1000, round.values);
        if (i % 20000 == 0)
            store.addEvent(double(round.time.toMSecsSinceEpoch()) / 1000,
                           QStringLiteral("Drive 1: Run"), false);
    }
    writer.close();
    const long rss1 = rssKiB();
    RecorderChart chart;
    chart.resize(1200, 600);
    chart.show();
    chart.setStore(&store);
    chart.showAll();
    QApplication::processEvents();
    QElapsedTimer t;
    double best = 1e9, total = 0;
    for (int i = 0; i < 10; ++i) {
        t.start();
        chart.showAll(); // decimates the whole recording afresh
        chart.plot()->replot(QCustomPlot::rpImmediateRefresh);
        const double ms = t.nsecsElapsed() / 1e6;
        best = std::min(best, ms);
        total += ms;
    }
    t.start();
    for (int i = 0; i < 10; ++i)
        for (int k = 0; k < 3; ++k)
            store.decimated(k, store.times().front(), store.times().back(), 1200);
    std::printf("decimating 3 traces of 2 h to 1200 columns: %.2f ms\n", t.nsecsElapsed() / 1e7);
    std::printf("2 h of 3 values (%ld rounds): store %.2f MiB, resident memory growth %.2f MiB\n",
                rounds, store.bytes() / 1048576.0, (rss1 - rss0) / 1024.0);
    std::printf("repaint with all of it on screen (decimate + draw, 1200 px): best %.2f ms, mean "
                "%.2f ms\n",
                best, total / 10);
    const std::string how = "2 h of 3 values (" + std::to_string(rounds) +
                            " rounds) through the same store and file code in simulated time";
    Figures::record("recorder", "resident memory growth over 2 h", (rss1 - rss0) / 1024.0, "MiB",
                    "goal", 5, how);
    Figures::record("recorder", "repaint with 2 h on screen, 1200 px (best of 10)", best, "ms",
                    "goal", 10, how);
}

// Child: records as fast as the line allows and reports each row it wrote.
int killChild(const QString& device, const QString& csv)
{
    Line line;
    if (!line.open(device))
        return 1;
    Recording rec(line.client);
    QObject::connect(&rec, &Recording::roundAdded, [&] {
        std::printf("%lld\n", static_cast<long long>(rec.rowsWritten()));
        std::fflush(stdout);
    });
    rec.start(threeValues(csv));
    return QCoreApplication::exec();
}

void killed(const QString& vfdsim, const QString& dir)
{
    Sim sim(vfdsim);
    const QString csv = dir + QStringLiteral("/killed.csv");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), sim.device, csv});
    child.waitForStarted(3000);
    QElapsedTimer t;
    t.start();
    QByteArray out;
    while (t.elapsed() < 4000) {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
    }
    child.kill(); // SIGKILL
    child.waitForFinished(3000);
    out += child.readAllStandardOutput();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    const long reported = lines.isEmpty() ? 0 : lines.last().toLong();
    QString error;
    const auto file = RecordCsv::read(csv, &error);
    const long inFile = file ? long(file->times.size() + file->events.size()) : -1;
    std::printf(
        "SIGKILL after 4 s: %ld rows reported written, %ld rows in the file (%s), %ld lost\n",
        reported, inFile, file ? "parses" : qPrintable(error), reported - inFile);
    Figures::record("recorder", "rows lost to SIGKILL", double(reported - inFile), "rows",
                    "rows reported written", double(reported),
                    "the recording process killed with SIGKILL after 4 s; rows it reported "
                    "written against rows in the file; goal at most 1 s worth");
}

// The window recording a ramp and a trip on the built-in simulated drives,
// saved as an image for the documentation.
int screenshot(const QString& path)
{
    SimulatedPort port;
    port.open();
    Hexedit link(port);
    LinkClient client(link);
    Prompter prompter;
    RecorderWindow window(client, prompter);
    window.drives->setText(QStringLiteral("1,2"));
    window.writeCsv->setChecked(false);
    window.snapshotDir->setText(QDir::tempPath());
    for (int i = 0; i < window.values->count(); ++i) {
        const int index = window.values->item(i)->data(Qt::UserRole).toInt();
        window.values->item(i)->setCheckState(index == 0 || index == 2 ? Qt::Checked
                                                                       : Qt::Unchecked);
    }
    window.show();
    window.record_Click();
    auto command = [&](quint8 address, quint8 code, const char* hz) {
        link.PrepareControlWrite(address, code, QString::fromLatin1(hz));
        link.SendRequest();
    };
    QTimer::singleShot(1000, [&] { command(1, 0x12, "50"); });
    QTimer::singleShot(3000, [&] { command(2, 0x12, "35"); });
    QTimer::singleShot(14000, [&] { port.bus().drive(2)->trip(12); });
    QTimer::singleShot(18000, [&] { command(1, 0x01, "0"); });
    QEventLoop loop;
    QTimer::singleShot(24000, &loop, &QEventLoop::quit);
    loop.exec();
    window.record_Click();
    window.chart()->showAll();
    QApplication::processEvents();
    // The cursor read-out at the moment of the trip.
    const auto& times = window.recording().store().times();
    const double at = times[times.size() * 3 / 5];
    const QPoint px(int(window.chart()->plot()->xAxis->coordToPixel(at)), 200);
    QMouseEvent move(QEvent::MouseMove, px, window.chart()->plot()->mapToGlobal(px), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.chart()->plot(), &move);
    window.chart()->plot()->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    return window.grab().save(path) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        QCoreApplication app(argc, argv);
        return killChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--screenshot")
        return screenshot(QString::fromLocal8Bit(argv[2]));
    double seconds = 30;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--seconds"))
        seconds = std::max(3.0, args[2].toDouble());
    const QString vfdsim = QStringLiteral(VFDSIM_PATH);
    QTemporaryDir dir;
    lineRate(vfdsim, seconds, dir.path());
    twoHours(dir.path());
    killed(vfdsim, dir.path());
    return 0;
}
