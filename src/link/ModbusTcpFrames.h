// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>
#include <optional>

// Modbus TCP framing, as gateways in Modbus TCP mode speak it. A request or
// reply on the serial line is address, PDU (function and data) and CRC; over
// TCP the same PDU goes behind a 7-byte header instead: transaction id,
// protocol id 0, the count of bytes that follow, and the unit id, which is the
// drive's address. There is no CRC: TCP guards the bytes.
namespace ModbusTcp {

constexpr int HeaderLength = 7;
constexpr int LongestPdu = 253; // as on the serial line: 256 less address and CRC

struct Adu
{
    quint16 transaction = 0;
    quint16 protocol = 0;
    quint8 unit = 0;
    QByteArray pdu;
};

// The bytes of an ADU.
QByteArray encode(const Adu& adu);
// An RTU frame (address, PDU, CRC) as an ADU with the given transaction id;
// nullopt unless it is a whole frame: a function code and the right CRC.
std::optional<Adu> fromRtu(const QByteArray& frame, quint16 transaction);
// The RTU frame of a unit's PDU: the unit as address, the CRC added.
QByteArray toRtu(quint8 unit, const QByteArray& pdu);

// Cuts the byte stream of one connection into ADUs, whether TCP delivered one
// in pieces or several at once.
class StreamSplitter
{
public:
    void feed(const QByteArray& bytes);
    // The next whole ADU of protocol 0, nullopt until one is in. An ADU of
    // another protocol is skipped by its length. A header whose length no ADU
    // can have means the stream is out of step: everything held is dropped,
    // since no later byte of it can be trusted to start a header.
    std::optional<Adu> next();
    // The bytes dropped since the last call, for a traffic log.
    QByteArray takeDropped();
    // Forgets a half-received ADU (a new connection starts clean).
    void clear();

private:
    QByteArray m_buffer;
    QByteArray m_dropped;
};

// The master's side of a connection: each RTU request the link writes goes
// out as an ADU with a transaction id of its own, and a reply comes back as
// the RTU frame the receive assembler expects when its transaction and unit
// ids are those of the request awaiting its answer. A late reply to one of
// the last requests given up on comes back too, once, as a serial line would
// carry it, but only when another unit is awaited now: the link hears a slow
// drive as such, and never takes its reply for another request's. Anything
// else (a copy, a unit nobody asked, a damaged stream) is dropped.
class ClientFraming
{
public:
    struct Request
    {
        QByteArray bytes;
        quint16 transaction = 0;
        quint8 unit = 0;
    };

    // The ADU for an RTU request with the next transaction id; nullopt for a
    // block that is no whole frame.
    std::optional<Request> request(const QByteArray& rtuFrame);
    // The request has gone out: its reply is awaited from now, and the one
    // awaited before it is given up on. Nobody answers a broadcast (unit 0),
    // so after one nothing is awaited.
    void sent(const Request& request);
    // Bytes received; the RTU frames of the replies that fit, in order.
    QByteArray receive(const QByteArray& bytes);
    // No reply is awaited any more; a stream half-way through an ADU stays in step.
    void forget() { m_awaited.reset(); }
    // A new connection: nothing held, nothing awaited.
    void reset();
    // Replies and bytes dropped so far.
    int droppedReplies() const { return m_droppedReplies; }
    qsizetype droppedBytes() const { return m_droppedBytes; }

private:
    struct Awaited
    {
        quint16 transaction;
        quint8 unit;
    };

    StreamSplitter m_stream;
    quint16 m_nextTransaction = 1;
    std::optional<Awaited> m_awaited;
    // Requests sent and never answered, the newest last: their replies are late.
    std::deque<Awaited> m_givenUp;
    int m_droppedReplies = 0;
    qsizetype m_droppedBytes = 0;
};

} // namespace ModbusTcp
