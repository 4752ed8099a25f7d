// SPDX-License-Identifier: GPL-3.0-or-later
// How long a drive's reply takes to reach the screen: from the moment the last
// byte of the reply was written at the far end of a pseudo-terminal to the
// moment the main window's "Output Frq" box (Text24) shows the value. The reply
// travels the whole real road: the kernel's tty layer, QSerialPort, the receive
// event, the 1 ms drain, ReceiveByte, DecodeResponse and the box.
//
// Every request is the poll tick's own (demo::Timer1_Timer at the output
// frequency item, drive 1, "Single Machine"), sent faster than the 200 ms the
// window allows so that 500 replies take seconds, not minutes. The box is
// emptied just before each request, so every reply changes its text.
//
// Two far ends:
//   --far-end paced   this program answers from a thread on the pty master,
//                     one byte every 11 bit times (9600,E,8,1 = 1.146 ms), as a
//                     drive on a wire does; the last byte is stamped with
//                     CLOCK_MONOTONIC, which both ends share.
//   --far-end burst   the same, all bytes in one write (as vfdsim --no-pacing
//                     writes them).
//   --vfdsim PATH     vfdsim --pty --drives 1 --log answers, its reply paced at
//                     the baud rate; the reply's time is vfdsim's log stamp
//                     (local time, whole milliseconds, taken just before it
//                     writes the last byte), so these figures carry +-0.5 ms.
// Printed: median, 99th percentile and worst of "text set" (textChanged) and of
// "painted" (the box's paint event done), and the goal 2 ms + 1 ms per byte.
//
// Usage: bench_latency (--far-end paced|burst | --vfdsim PATH) [--replies 500]
//                      [--interval 40] [--log-per-frame] [--drain-all] ...
// The last options change the program to show what would shorten the road
// (BenchVariants.h).
#include "BenchVariants.h"
#include "DevicePort.h"
#include "Figures.h"
#include "demo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReplyBytes = 10; // running-value reply: 8 bytes and the CRC
constexpr qint64 kNoTime = -1;

qint64 monotonicNs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Local time of day in microseconds, on the clock vfdsim stamps its log with.
qint64 localTimeOfDayUs()
{
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    const qint64 offsetS = QDateTime::currentDateTime().offsetFromUtc();
    const qint64 us = (qint64(t.tv_sec) + offsetS) * 1'000'000 + t.tv_nsec / 1000;
    return us % (86'400LL * 1'000'000);
}

QByteArray runningValueReply(quint8 address, quint8 index, quint16 value)
{
    QByteArray frame;
    frame += char(address);
    frame += char(3);
    frame += char(0x0D);
    frame += char(index);
    frame += char(value >> 8);
    frame += char(value & 0xFF);
    frame += char(0);
    frame += char(0); // decimal code 0: factor 1
    return Hexedit::WithCrc(frame);
}

// The drive side on the pty master, in its own thread so its timing does not
// depend on our event loop. Reply n carries the value n and is stamped when its
// last byte has been written.
class FarEnd
{
public:
    FarEnd(bool paced, int replies) : m_paced(paced), m_lastByteNs(size_t(replies) + 64, kNoTime) {}
    ~FarEnd()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }

    QString open()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return {};
        const char* name = ::ptsname(m_master);
        return name ? QString::fromLocal8Bit(name) : QString();
    }

    void start()
    {
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_thread = std::thread([this] { serve(); });
    }

    qint64 lastByteNs(size_t n) const
    {
        std::lock_guard lock(m_mutex);
        return n < m_lastByteNs.size() ? m_lastByteNs[n] : kNoTime;
    }

private:
    void serve()
    {
        QByteArray pending;
        quint16 sequence = 0;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                continue;
            pending.append(chunk, n);
            while (pending.size() >= 8) { // a read request is 8 bytes
                const QByteArray request = pending.left(8);
                pending.remove(0, 8);
                answer(quint8(request[0]), quint8(request[3]), sequence++);
            }
        }
    }

    void answer(quint8 address, quint8 index, quint16 sequence)
    {
        // A drive takes a moment to turn the line round.
        sleepUntil(monotonicNs() + 2'000'000);
        const QByteArray reply = runningValueReply(address, index, sequence);
        // 9600 baud, 8 data bits, even parity, 1 stop bit: 11 bits a character.
        const qint64 characterNs = 11LL * 1'000'000'000 / 9600;
        const qint64 first = monotonicNs();
        if (m_paced) {
            for (int i = 0; i < reply.size(); ++i) {
                sleepUntil(first + i * characterNs);
                writeAll(reply.constData() + i, 1);
            }
        } else {
            writeAll(reply.constData(), reply.size());
        }
        const qint64 done = monotonicNs();
        std::lock_guard lock(m_mutex);
        if (sequence < m_lastByteNs.size())
            m_lastByteNs[sequence] = done;
    }

    void writeAll(const char* data, qsizetype size)
    {
        while (size > 0) {
            const ssize_t n = ::write(m_master, data, size_t(size));
            if (n > 0) {
                data += n;
                size -= n;
            } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
                return;
            }
        }
    }

    static void sleepUntil(qint64 ns)
    {
        timespec t{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
        }
    }

    bool m_paced;
    int m_master = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<qint64> m_lastByteNs;
};

// Stamps the moment Text24's text changes and the moment it has been painted.
class BoxWatch : public QObject
{
public:
    explicit BoxWatch(QLineEdit* box, std::function<qint64()> now) : m_box(box), m_now(now)
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (text.isEmpty())
                return;
            textNs = m_now();
            shownValue = qRound64(text.toDouble());
            m_awaitPaint = true;
        });
        box->installEventFilter(this);
    }
    qint64 textNs = kNoTime;
    qint64 paintNs = kNoTime;
    qint64 shownValue = -1; // our far end sends the reply's number as its value
    void reset()
    {
        textNs = paintNs = kNoTime;
        shownValue = -1;
        m_awaitPaint = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box || event->type() != QEvent::Paint || !m_awaitPaint)
            return false;
        // Let the box paint itself first, then take the time.
        m_box->removeEventFilter(this);
        QCoreApplication::sendEvent(m_box, event);
        m_box->installEventFilter(this);
        paintNs = m_now();
        m_awaitPaint = false;
        return true;
    }

private:
    QLineEdit* m_box;
    std::function<qint64()> m_now;
    bool m_awaitPaint = false;
};

struct Stats
{
    double median = 0, p99 = 0, worst = 0;
    size_t count = 0;
};

Stats stats(std::vector<double> ms)
{
    Stats s;
    s.count = ms.size();
    if (ms.empty())
        return s;
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    s.p99 = ms[std::min(ms.size() - 1, size_t(std::ceil(0.99 * double(ms.size()))) - 1)];
    s.worst = ms.back();
    return s;
}

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString farEnd = argument(args, QStringLiteral("--far-end"), {});
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), {});
    const int replies = argument(args, QStringLiteral("--replies"), QStringLiteral("500")).toInt();
    const int interval = argument(args, QStringLiteral("--interval"), QStringLiteral("40")).toInt();
    const bool useSim = !vfdsim.isEmpty();
    Variants variants(args);
    if ((useSim == !farEnd.isEmpty()) || (!useSim && farEnd != u"paced" && farEnd != u"burst") ||
        replies <= 0 || interval < 20) {
        std::fprintf(stderr,
                     "usage: bench_latency (--far-end paced|burst | --vfdsim PATH) "
                     "[--replies 500] [--interval 40] %s\n",
                     qPrintable(Variants::usage()));
        return 2;
    }
    const int warmUp = 20;
    const int total = replies + warmUp;

    // ---- the far end
    std::unique_ptr<FarEnd> drive;
    QProcess sim;
    QString ptyPath;
    QList<qint64> simReplyUs; // vfdsim's stamps of "-> 01 03 0D 00 ..." lines
    if (useSim) {
        sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--drives"), QStringLiteral("1"),
                           QStringLiteral("--log")});
        if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "bench_latency: vfdsim did not start\n");
            return 1;
        }
        ptyPath = QString::fromLocal8Bit(sim.readLine()).trimmed();
        static const QRegularExpression line(
            QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d\\d\\d) -> 01 03 0D 00 "));
        sim.setReadChannel(QProcess::StandardError);
        QObject::connect(&sim, &QProcess::readyReadStandardError, &sim, [&] {
            while (sim.canReadLine()) {
                const QRegularExpressionMatch m =
                    line.match(QString::fromLocal8Bit(sim.readLine()));
                if (!m.hasMatch())
                    continue;
                const qint64 seconds =
                    (m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 +
                    m.captured(3).toLongLong();
                simReplyUs.append(seconds * 1'000'000 + m.captured(4).toLongLong() * 1000);
            }
        });
    } else {
        drive = std::make_unique<FarEnd>(farEnd == u"paced", total);
        ptyPath = drive->open();
        if (ptyPath.isEmpty()) {
            std::fprintf(stderr, "bench_latency: cannot make a pseudo-terminal\n");
            return 1;
        }
    }

    {
        DevicePort port;
        demo window(&port);
        window.prompter().setResponder([](const Prompter::Prompt& prompt) {
            std::fprintf(stderr, "bench_latency: message box \"%s\"\n", qPrintable(prompt.text));
            return QMessageBox::Ok;
        });
        window.selectPort(ptyPath);
        variants.apply(window);
        window.Command1_Click();
        if (!port.isOpen()) {
            std::fprintf(stderr, "bench_latency: cannot open %s\n", qPrintable(ptyPath));
            return 1;
        }
        if (drive)
            drive->start();
        if (!window.Check1->isChecked()) {
            window.Check1->setChecked(true);
            window.Check1_Click();
        }
        window.Combo2->setCurrentIndex(window.Combo2->findText(QStringLiteral("1")));

        // The time base: CLOCK_MONOTONIC against our own far end, local time of
        // day against vfdsim's log.
        std::function<qint64()> now =
            useSim ? std::function<qint64()>([] { return localTimeOfDayUs() * 1000; })
                   : std::function<qint64()>(monotonicNs);
        BoxWatch watch(window.Text24, now);
        // The spacing of the drain's ticks within one reply: what the 1 ms
        // timer really gives on this machine.
        std::vector<double> tickGapsMs;
        qint64 lastTickNs = kNoTime;
        QObject::connect(&window.link().DrainTimer(), &QTimer::timeout, &app, [&] {
            const qint64 t = monotonicNs();
            if (lastTickNs != kNoTime && t - lastTickNs < 20'000'000)
                tickGapsMs.push_back((t - lastTickNs) / 1e6);
            lastTickNs = t;
        });
        std::vector<qint64> requestNs, textNs, paintNs, shownValue;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
            if (!requestNs.empty()) {
                textNs.push_back(watch.textNs);
                paintNs.push_back(watch.paintNs);
                shownValue.push_back(watch.shownValue);
            }
            if (int(requestNs.size()) == total) {
                ticker.stop();
                QTimer::singleShot(300, &app, &QCoreApplication::quit); // vfdsim's last lines
                return;
            }
            watch.reset();
            window.Text24->clear();
            window.PollItem = 1; // output frequency, register 0x0D00
            requestNs.push_back(now());
            window.Timer1_Timer();
        });
        ticker.start(interval);
        app.exec();

        std::vector<double> toText, toPaint;
        int missing = 0;
        for (int k = warmUp; k < total; ++k) {
            qint64 lastByte = kNoTime;
            if (useSim) {
                // vfdsim's stamp for this request's reply: the last one after the request.
                const qint64 after = requestNs[size_t(k)] / 1000 - 1000;
                const qint64 before = textNs[size_t(k)] == kNoTime ? 0 : textNs[size_t(k)] / 1000;
                for (qint64 stamp : simReplyUs) {
                    if (stamp >= after && stamp <= before)
                        lastByte = (stamp + 500) * 1000; // middle of the logged millisecond
                }
            } else if (shownValue[size_t(k)] >= 0) {
                // The value shown names the reply, so a lost or late one cannot
                // be paired with the wrong write.
                lastByte = drive->lastByteNs(size_t(shownValue[size_t(k)]));
            }
            if (lastByte == kNoTime || textNs[size_t(k)] == kNoTime) {
                ++missing;
                continue;
            }
            toText.push_back((textNs[size_t(k)] - lastByte) / 1e6);
            if (paintNs[size_t(k)] != kNoTime)
                toPaint.push_back((paintNs[size_t(k)] - lastByte) / 1e6);
        }
        const Stats text = stats(toText);
        const Stats paint = stats(toPaint);
        std::printf("reply-to-display latency, %s, 9600 baud, %d-byte replies, %zu of %d replies "
                    "measured (%d missing), one request every %d ms; %s\n",
                    useSim ? "vfdsim --pty (reply paced; +-0.5 ms from its log stamps)"
                    : farEnd == u"paced" ? "far end pacing bytes at 1.146 ms"
                                         : "far end writing each reply at once",
                    kReplyBytes, text.count, replies, missing, interval,
                    qPrintable(variants.describe()));
        std::printf("  text set: median %.2f ms, p99 %.2f ms, worst %.2f ms\n", text.median,
                    text.p99, text.worst);
        std::printf("  painted:  median %.2f ms, p99 %.2f ms, worst %.2f ms (%zu)\n", paint.median,
                    paint.p99, paint.worst, paint.count);
        const Stats gaps = stats(tickGapsMs);
        std::printf("  drain tick spacing: median %.3f ms, p99 %.3f ms, worst %.3f ms (%zu)\n",
                    gaps.median, gaps.p99, gaps.worst, gaps.count);
        std::printf("  goal: 2 ms + %d bytes x 1 ms = %d ms\n", kReplyBytes, 2 + kReplyBytes);
        const std::string farEndName = (useSim               ? std::string("vfdsim, paced")
                                        : farEnd == u"paced" ? std::string("far end paced")
                                                             : std::string("far end, one write")) +
                                       "; " + variants.describe().toStdString();
        const std::string how = "from the reply's last byte on the wire to the box's text set / "
                                "its next paint, " +
                                std::to_string(text.count) +
                                " replies; goal 2 ms + 1 ms per reply byte";
        const double goal = 2 + kReplyBytes;
        Figures::record("latency", farEndName + ": text set, median", text.median, "ms", "goal",
                        goal, how);
        Figures::record("latency", farEndName + ": text set, p99", text.p99, "ms", "goal", goal,
                        how);
        Figures::record("latency", farEndName + ": painted, median", paint.median, "ms", "goal",
                        goal, how);
        Figures::record("latency", farEndName + ": painted, p99", paint.p99, "ms", "goal", goal,
                        how);
        window.Command1_Click(); // close before the far end goes
    }
    if (useSim) {
        sim.terminate();
        if (!sim.waitForFinished(3000))
            sim.kill();
    }
    return 0;
}
