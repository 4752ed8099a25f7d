// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnswerBoxes.h"
#include "Drain.h"
#include "Frames.h"
#include "Hexedit.h"
#include "Lamp.h"
#include "LineTurns.h"
#include "LoopbackPort.h"
#include "SimulatedBus.h"
#include "SimulatedDrive.h"
#include "demo.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QTest>

// The read request the poll sends for an item of its cycle.
inline QByteArray pollRequest(quint8 address, int item)
{
    return readFrame(address, *Hexedit::PollRegister(item, 0, 0));
}

// Three drives in known, distinct states that answer as the drives do: 1 runs
// forward at 37.5 Hz, 2 in reverse at 12.34 Hz, 3 has tripped. Or, not set
// going, the three drives as vfdsim starts them. Time stands still, so a
// request always gets the same answer.
struct DriveLine
{
    SimulatedBus bus{{1, 2, 3}};

    explicit DriveLine(bool setGoing = true)
    {
        if (!setGoing)
            return;
        bus.drive(1)->command(SimulatedDrive::Forward, 3750);
        bus.drive(2)->command(SimulatedDrive::Reverse, 1234);
        bus.drive(3)->trip(11);
        bus.advanceTo(9'000'000);
    }

    QByteArray answer(const QByteArray& request)
    {
        const std::optional<SimulatedBus::Reply> reply = bus.handle(request);
        return reply ? reply->frame : QByteArray();
    }
};

// What can go wrong between a request and its answer.
enum class Fault
{
    None,
    BadCrc,          // the answer's CRC is damaged
    Truncated,       // the answer stops three bytes short
    JunkAbove31,     // noise that cannot be an address, then the answer
    JunkAddressLike, // noise that looks like the start of a frame, then the answer
    JunkAfter,       // the answer, then the start of a frame that never ends
    OtherAddress,    // another drive answers instead
    Exception,       // a Modbus exception reply
    Silent,          // no answer
    Late,            // the answer comes after the next request has gone out
    SplitLate,       // the answer is torn by the next request
    Echo,            // the transceiver echoes the request before the answer
    EchoOnly,        // the transceiver echoes, the drive is silent
};

// The far end of the line: the drives answer every request, with the fault
// asked for worked into what goes back. Every frame a drive put on the line
// whole is remembered, so a test can tell a decoded frame a drive really sent
// from one the receive path made up.
struct FaultyFarEnd
{
    explicit FaultyFarEnd(bool setGoing = true) : line(setGoing) {}

    DriveLine line;
    QByteArray held; // a late answer, sent once the next request has gone out
    QSet<QByteArray> sentWhole;

    QByteArray respond(const QByteArray& request, Fault fault)
    {
        QByteArray out = held;
        held.clear();
        const QByteArray genuine = line.answer(request);
        auto whole = [this](const QByteArray& frame) {
            sentWhole.insert(frame);
            return frame;
        };
        switch (fault) {
        case Fault::None:
            out += whole(genuine);
            break;
        case Fault::BadCrc: {
            QByteArray damaged = genuine;
            damaged[damaged.size() - 1] = char(damaged.back() ^ 0x5A);
            out += damaged;
            break;
        }
        case Fault::Truncated:
            out += genuine.left(genuine.size() - 3);
            break;
        case Fault::JunkAbove31:
            out += QByteArray::fromHex("FF80AA55") + whole(genuine);
            break;
        case Fault::JunkAddressLike:
            out += QByteArray::fromHex("0007") + whole(genuine);
            break;
        case Fault::JunkAfter:
            out += whole(genuine) + QByteArray::fromHex("01030D");
            break;
        case Fault::OtherAddress: {
            QByteArray other = request.left(6);
            other[0] = char(request[0] % 3 + 1);
            out += whole(line.answer(withCrc(other)));
            break;
        }
        case Fault::Exception:
            out += withCrc(QByteArray(1, request[0]) + QByteArray::fromHex("8302"));
            break;
        case Fault::Silent:
            break;
        case Fault::Late:
            held = whole(genuine);
            break;
        case Fault::SplitLate:
            out += genuine.left(4);
            held = genuine.mid(4);
            sentWhole.insert(genuine);
            break;
        case Fault::Echo:
            out += request + whole(genuine);
            break;
        case Fault::EchoOnly:
            out += request;
            break;
        }
        return out;
    }
};

// Watches the decoder: every frame it decodes is checked against the frames
// the drives sent whole.
class DecodeWatch
{
public:
    DecodeWatch(Hexedit& link, const QSet<QByteArray>& sentWhole)
        : m_link(link), m_sentWhole(sentWhole)
    {
        auto check = [this] { checkFrame(); };
        m_connections << QObject::connect(&link, &Hexedit::runningValueReceived, check)
                      << QObject::connect(&link, &Hexedit::statusReceived, check)
                      << QObject::connect(&link, &Hexedit::parameterReceived, check);
    }
    ~DecodeWatch()
    {
        for (const QMetaObject::Connection& c : m_connections)
            QObject::disconnect(c);
    }
    DecodeWatch(const DecodeWatch&) = delete;
    DecodeWatch& operator=(const DecodeWatch&) = delete;

    int decoded = 0;
    // Decoded frames no drive sent, as hex.
    QStringList madeUp;

private:
    void checkFrame()
    {
        ++decoded;
        // The decoder runs with RxIndex on the last CRC byte of the frame.
        const QByteArray frame(reinterpret_cast<const char*>(m_link.RxBuffer.data()),
                               qsizetype(m_link.RxIndex) + 1);
        if (!cameFromADrive(frame))
            madeUp << hex(frame);
    }

    // The decoder reads the bytes at offsets 0 to 7. A frame ends at the first
    // position where the last two bytes are the CRC of those before, which can
    // be a byte or two before the drive's own end (when the drive's CRC has a
    // high byte of 0); what is decoded is still what the drive said, as long as
    // those eight bytes are the drive's.
    bool cameFromADrive(const QByteArray& frame) const
    {
        for (const QByteArray& whole : m_sentWhole) {
            if (whole.startsWith(frame) && frame.size() >= std::min<qsizetype>(8, whole.size()))
                return true;
        }
        return false;
    }

    Hexedit& m_link;
    const QSet<QByteArray>& m_sentWhole;
    QList<QMetaObject::Connection> m_connections;
};

// Everything the main window shows of the drives it watches.
inline QMap<QString, QString> shownValues(demo& w)
{
    QMap<QString, QString> shown;
    const QList<QLineEdit*> boxes = {
        w.Text24, w.Text25, w.Text3,  w.Text6,  w.Text7,  w.Text8,  w.Text9,  w.Text10, w.Text11,
        w.Text12, w.Text13, w.Text14, w.Text15, w.Text16, w.Text17, w.Text18, w.Text19, w.Text20,
        w.Text21, w.Text22, w.Text23, w.Text27, w.Text29, w.Text30, w.Text4};
    for (QLineEdit* box : boxes)
        shown.insert(box->objectName(), box->text());
    shown.insert(QStringLiteral("Label34"), w.Label34->text());
    shown.insert(QStringLiteral("Shape4"), QString::number(w.Shape4->fillColour()));
    return shown;
}

// The main window polling drive 1 at 200 ms over an in-memory port, with the
// faulty far end answering each tick.
struct PollBench
{
    LoopbackPort port;
    demo window{&port};
    FaultyFarEnd far;
    DecodeWatch watch{window.link(), far.sentWhole};

    explicit PollBench(bool setGoing = true) : far(setGoing)
    {
        answerBoxes(window.prompter());
        window.Command1_Click();
        window.Command5_Click();
    }

    // One poll tick and what the far end makes of it; returns the request sent.
    QByteArray tick(Fault fault)
    {
        port.clearWritten();
        passAnswerTimeout(window.link()); // a poll rhythm has passed since the last tick
        window.Timer1_Timer();
        const QList<QByteArray> sent = port.written();
        if (sent.size() != 1)
            return {};
        deliver(far.respond(sent.first(), fault));
        return sent.first();
    }

    // The receive event, then the drain until the input is empty.
    void deliver(const QByteArray& bytes) { injectAndDrain(port, window.link(), bytes); }
};

// What the window shows after the given number of ticks on a clean line.
inline QMap<QString, QString> cleanShownValues(int ticks, bool setGoing = true)
{
    PollBench b(setGoing);
    for (int t = 0; t < ticks; ++t)
        b.tick(Fault::None);
    return shownValues(b.window);
}
