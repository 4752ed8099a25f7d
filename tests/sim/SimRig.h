// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HalfDuplexLine.h"
#include "Hexedit.h"
#include "LineTurns.h"
#include "SimulatedBus.h"
#include "SimulatedPort.h"

#include <QList>
#include <QStringList>

// Hexedit on a simulated line whose time moves only when the test says so.
// Replies are drained byte by byte through the link's own receive path, so
// what the test sees is what the program would decode.
struct SimRig
{
    SimulatedPort port{SimulatedPort::Timing::Manual};
    Hexedit link{port};
    QList<StatusReply> statuses;
    QList<RunningValueReply> values;
    QList<ParameterReply> parameters;
    QList<QByteArray> sent;

    SimRig()
    {
        port.open();
        QObject::connect(&link, &Hexedit::statusReceived,
                         [this](const StatusReply& r) { statuses.append(r); });
        QObject::connect(&link, &Hexedit::runningValueReceived,
                         [this](const RunningValueReply& r) { values.append(r); });
        QObject::connect(&link, &Hexedit::parameterReceived,
                         [this](const ParameterReply& r) { parameters.append(r); });
    }

    SimulatedDrive& drive(quint8 address) { return *port.bus().drive(address); }

    // Lets time pass and hands every byte that arrived to the link. The
    // link's answer time-out runs on a real timer; once the time passed is
    // longer than any time-out at these settings, it has run out too (a write
    // whose answer has the request's very bytes is not taken for an answer on
    // a line that has not shown yet whether it echoes).
    void pass(double ms)
    {
        port.advanceMs(ms);
        while (port.bytesWaiting() > 0)
            link.DrainTick();
        link.DrainTimer().stop();
        if (ms >= 50 && link.AwaitingAnswer())
            passOneTimeout(link);
    }

    void command(quint8 address, quint8 code, const QString& hz = QStringLiteral("0"))
    {
        link.PrepareControlWrite(address, code, hz);
        link.RxIndex = 0;
        link.SendRequest();
        pass(50);
    }

    // Keeps a command going as the program's command timer would, once a second.
    void hold(quint8 address, quint8 code, const QString& hz, double seconds)
    {
        for (double t = 0; t < seconds; t += 1.0) {
            command(address, code, hz);
            pass(950);
        }
    }

    void read(quint8 address, quint16 reg)
    {
        link.SlaveAddress = address;
        link.FunctionCode = 3;
        link.RegisterHigh = quint8(reg >> 8);
        link.RegisterLow = quint8(reg & 0xFF);
        link.RxIndex = 0;
        link.SendRequest();
        pass(50);
    }

    std::optional<RunningValueReply> runningValue(quint8 address, quint8 index)
    {
        values.clear();
        read(address, quint16(0x0D00 | index));
        if (values.size() != 1)
            return std::nullopt;
        return values.first();
    }

    std::optional<StatusReply> status(quint8 address)
    {
        statuses.clear();
        read(address, 0x0E00);
        if (statuses.size() != 1)
            return std::nullopt;
        return statuses.first();
    }
};

// A raw request with its CRC, for what the program never sends itself.
inline QByteArray frame(std::initializer_list<int> bytes)
{
    QByteArray body;
    for (int b : bytes)
        body.append(char(b));
    return Hexedit::WithCrc(body);
}

// A standard read of one parameter of drive 1 (P0.index).
inline QByteArray readParameter(int index)
{
    return frame({1, 3, 0, index, 0, 1});
}

// Sends a raw frame on a plain simulated line and collects what comes back.
inline QByteArray exchange(SimulatedPort& port, const QByteArray& request, double ms = 100)
{
    port.write(request);
    port.advanceMs(ms);
    QByteArray reply;
    while (const std::optional<quint8> b = port.readByte())
        reply.append(char(*b));
    return reply;
}

// vfdsim's end of the line on a clock that moves only when the test says so,
// with every byte it put out stamped with the time it went.
struct LineBench
{
    struct Sent
    {
        qint64 us;
        QByteArray bytes;
    };

    ManualClock clock;
    SimulatedBus bus;
    HalfDuplexLine line{bus, clock};
    QList<Sent> sent;
    QStringList log;

    explicit LineBench(const QString& settings = QStringLiteral("9600,E,8,1"), bool paced = true)
    {
        line.setPaced(paced);
        line.setLineSettings(*SerialSettings::parse(settings));
        QObject::connect(&line, &HalfDuplexLine::output, [this](const QByteArray& bytes) {
            sent.append({clock.nowUs(), bytes});
        });
        QObject::connect(&line, &HalfDuplexLine::traffic,
                         [this](const QString& text) { log.append(text); });
    }

    // Lets time pass, serving the line at every moment it has something to do.
    void passUs(qint64 us)
    {
        const qint64 until = clock.nowUs() + us;
        for (qint64 next = line.nextDueUs(); next >= 0 && next <= until; next = line.nextDueUs()) {
            clock.advanceUs(next - clock.nowUs());
            line.service();
        }
        clock.advanceUs(until - clock.nowUs());
        line.service();
    }
    void passMs(double ms) { passUs(qint64(ms * 1000)); }

    // Everything put out so far, and forgotten.
    QByteArray take()
    {
        QByteArray all;
        for (const Sent& s : sent)
            all += s.bytes;
        sent.clear();
        return all;
    }

    // Log lines that begin with the prefix ("<- ", "-> ", "?? ignored", "!! collision").
    QStringList logged(const QString& prefix) const
    {
        QStringList lines;
        for (const QString& line : log) {
            if (line.startsWith(prefix))
                lines << line;
        }
        return lines;
    }
};
