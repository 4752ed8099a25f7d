// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the receive path takes bytes apart: a long stream of drive replies
// with line noise between them goes through ReceiveByte (which calls
// DecodeResponse for every complete frame). The fastest line the settings
// window offers is 38400 baud; the receive path should keep up with it many
// thousand times over so that it never is what limits the program.
//
// Prints its figures; run it by hand from a RelWithDebInfo or Release build.
#include "Figures.h"
#include "Hexedit.h"
#include "LoopbackPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <random>
#include <vector>

namespace {

QByteArray withCrc(const QByteArray& body)
{
    return Hexedit::WithCrc(body);
}

struct Stream
{
    QByteArray bytes;
    qint64 frames = 0;
    // Where each reply's turn starts: the poll sets RxIndex to 0 there, just
    // before its request goes out, as the program does.
    std::vector<qsizetype> turns;
};

// Replies of all three kinds from drives 1..31. Before them: idle-line noise
// (bytes above 31, dropped at once) and now and then a burst of low bytes that
// throws the assembler off, costing that reply.
Stream makeStream(qsizetype targetSize)
{
    std::mt19937 random(20240611);
    auto next = [&random](int below) { return int(random() % unsigned(below)); };
    Stream s;
    s.bytes.reserve(targetSize + 64);
    while (s.bytes.size() < targetSize) {
        s.turns.push_back(s.bytes.size());
        const int noise = next(4);
        for (int i = 0; i < noise; ++i)
            s.bytes += char(32 + next(224));
        if (next(50) == 0)
            s.bytes += QByteArray(5, char(next(32)));
        const char address = char(1 + next(31));
        const int kind = next(10);
        QByteArray body(1, address);
        if (kind < 6) { // running value: index, value, unused, decimal code
            body += '\x03';
            body += '\x0D';
            body += char(next(29));
            body += char(next(256));
            body += char(next(256));
            body += '\0';
            body += char((int[]){0, 2, 4, 8, 16}[next(5)]);
        } else if (kind < 8) { // status: word, state flags, fault flag
            body += QByteArray::fromHex("030E00");
            body += char(next(256));
            body += char(next(256));
            body += char(next(256));
            body += char(next(2) ? 0x20 : 0x00);
        } else { // parameter: group, index, value
            body += '\x03';
            body += char(next(11));
            body += char(next(24));
            body += char(next(256));
            body += char(next(256));
        }
        s.bytes += withCrc(body);
        ++s.frames;
    }
    s.turns.push_back(s.bytes.size());
    return s;
}

struct Result
{
    double bytesPerSecond = 0;
    qint64 decoded = 0;
    qint64 passes = 0;
};

// Feeds the stream again and again for at least the given time.
Result run(const Stream& stream, bool withReceivers, bool throughPort, qint64 minimumMs)
{
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    Result result;
    QString log; // what the main window's traffic box would collect
    QObject::connect(&link, &Hexedit::runningValueReceived, [&result] { ++result.decoded; });
    QObject::connect(&link, &Hexedit::statusReceived, [&result] { ++result.decoded; });
    QObject::connect(&link, &Hexedit::parameterReceived, [&result] { ++result.decoded; });
    if (withReceivers) {
        QObject::connect(&link, &Hexedit::trafficLog, [&log](const QString& text) {
            log += text;
            if (log.size() > 64 * 1024)
                log.clear();
        });
        QObject::connect(&link, &Hexedit::receiveEvent, [] {});
    }
    const auto* bytes = reinterpret_cast<const quint8*>(stream.bytes.constData());
    const qsizetype size = stream.bytes.size();
    QElapsedTimer clock;
    clock.start();
    const qsizetype turns = qsizetype(stream.turns.size()) - 1;
    do {
        for (qsizetype t = 0; t < turns; ++t) {
            const qsizetype from = stream.turns[size_t(t)];
            const qsizetype to = stream.turns[size_t(t) + 1];
            link.RxIndex = 0;
            if (throughPort) {
                // The way bytes really arrive: a receive event for the reply,
                // the drain ticks for the rest of it.
                port.inject(QByteArray::fromRawData(stream.bytes.constData() + from, to - from));
                while (link.DrainTimer().isActive())
                    link.DrainTick();
            } else {
                for (qsizetype i = from; i < to; ++i)
                    link.ReceiveByte(bytes[i]);
            }
        }
        ++result.passes;
    } while (clock.elapsed() < minimumMs);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    result.bytesPerSecond = double(size) * double(result.passes) / seconds;
    result.decoded /= result.passes;
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const Stream stream = makeStream(4 * 1024 * 1024);
    const double lineRate =
        38400.0 / SerialSettings::parse(QStringLiteral("38400,E,8,1"))->bitsPerCharacter();
    out << "stream: " << stream.bytes.size() << " bytes, " << stream.frames
        << " replies with noise between them\n";
    out << "38400 baud, 8E1: " << qRound(lineRate)
        << " bytes/s; needed: x10000 = " << QString::number(lineRate * 10000 / 1e6, 'f', 1)
        << " MB/s\n\n";

    struct Case
    {
        const char* key;
        const char* name;
        bool receivers;
        bool port;
    };
    const Case cases[] = {
        {"bare", "ReceiveByte, nothing connected to the traffic log", false, false},
        {"log", "ReceiveByte, traffic log collected", true, false},
        {"port", "receive event + drain ticks, traffic log collected", true, true},
    };
    // "bench_receive log" runs that case alone (for a profiler); no argument runs all.
    const QStringList only = app.arguments().mid(1);
    for (const Case& c : cases) {
        if (!only.isEmpty() && !only.contains(QLatin1String(c.key)))
            continue;
        const Result r = run(stream, c.receivers, c.port, 2000);
        out << c.name << ":\n"
            << "  " << QString::number(r.bytesPerSecond / 1e6, 'f', 1) << " MB/s ("
            << qRound64(r.bytesPerSecond) << " bytes/s), x" << qRound64(r.bytesPerSecond / lineRate)
            << " the line rate, " << r.decoded << " of " << stream.frames
            << " frames decoded per pass, " << r.passes << " passes\n";
        out.flush();
        Figures::record("receive", c.name, r.bytesPerSecond / 1e6, "MB/s",
                        "10,000 x the 38400-baud line", lineRate * 10000 / 1e6,
                        "4 MB of replies mixed with noise pushed through the receive path for at "
                        "least 2 s");
    }
    return 0;
}
