// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModbusTcpFrames.h"

#include "Hexedit.h"

#include <algorithm>

namespace ModbusTcp {

namespace {

quint16 word(const QByteArray& bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) << 8 | quint8(bytes[at + 1]));
}

void appendWord(QByteArray& bytes, quint16 value)
{
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xFF));
}

} // namespace

QByteArray encode(const Adu& adu)
{
    QByteArray bytes;
    bytes.reserve(HeaderLength + adu.pdu.size());
    appendWord(bytes, adu.transaction);
    appendWord(bytes, adu.protocol);
    appendWord(bytes, quint16(adu.pdu.size() + 1)); // the unit id and the PDU
    bytes.append(char(adu.unit));
    bytes.append(adu.pdu);
    return bytes;
}

std::optional<Adu> fromRtu(const QByteArray& frame, quint16 transaction)
{
    // Address, function code, CRC at the least.
    if (frame.size() < 4 || frame.size() > LongestPdu + 3)
        return std::nullopt;
    if (Hexedit::WithCrc(frame.first(frame.size() - 2)) != frame)
        return std::nullopt;
    return Adu{transaction, 0, quint8(frame[0]), frame.mid(1, frame.size() - 3)};
}

QByteArray toRtu(quint8 unit, const QByteArray& pdu)
{
    return Hexedit::WithCrc(char(unit) + pdu);
}

void StreamSplitter::feed(const QByteArray& bytes)
{
    m_buffer.append(bytes);
}

std::optional<Adu> StreamSplitter::next()
{
    while (m_buffer.size() >= HeaderLength) {
        const int length = word(m_buffer, 4);
        if (length < 2 || length > LongestPdu + 1) {
            m_dropped.append(m_buffer);
            m_buffer.clear();
            return std::nullopt;
        }
        const qsizetype whole = HeaderLength - 1 + length;
        if (m_buffer.size() < whole)
            return std::nullopt;
        const QByteArray taken = m_buffer.left(whole);
        m_buffer.remove(0, whole);
        const quint16 protocol = word(taken, 2);
        if (protocol != 0) {
            m_dropped.append(taken);
            continue;
        }
        return Adu{word(taken, 0), protocol, quint8(taken[6]), taken.mid(HeaderLength)};
    }
    return std::nullopt;
}

QByteArray StreamSplitter::takeDropped()
{
    return std::exchange(m_dropped, QByteArray());
}

void StreamSplitter::clear()
{
    m_buffer.clear();
    m_dropped.clear();
}

std::optional<ClientFraming::Request> ClientFraming::request(const QByteArray& rtuFrame)
{
    const std::optional<Adu> adu = fromRtu(rtuFrame, m_nextTransaction);
    if (!adu)
        return std::nullopt;
    ++m_nextTransaction;
    return Request{encode(*adu), adu->transaction, adu->unit};
}

void ClientFraming::sent(const Request& request)
{
    // A few are enough: a reply later than several others' time-outs is
    // from a drive the link has long stopped waiting for.
    constexpr std::size_t kGivenUpKept = 8;
    if (m_awaited) {
        m_givenUp.push_back(*m_awaited);
        if (m_givenUp.size() > kGivenUpKept)
            m_givenUp.pop_front();
    }
    if (request.unit == 0)
        m_awaited.reset();
    else
        m_awaited = Awaited{request.transaction, request.unit};
}

QByteArray ClientFraming::receive(const QByteArray& bytes)
{
    m_stream.feed(bytes);
    QByteArray frames;
    while (const std::optional<Adu> adu = m_stream.next()) {
        if (m_awaited && adu->transaction == m_awaited->transaction &&
            adu->unit == m_awaited->unit) {
            // One answer per request: a second with the same ids is no answer.
            m_awaited.reset();
            frames.append(toRtu(adu->unit, adu->pdu));
            continue;
        }
        const auto late = std::find_if(m_givenUp.begin(), m_givenUp.end(), [&](const Awaited& a) {
            return a.transaction == adu->transaction && a.unit == adu->unit;
        });
        if (late != m_givenUp.end() && !(m_awaited && m_awaited->unit == adu->unit)) {
            m_givenUp.erase(late);
            frames.append(toRtu(adu->unit, adu->pdu));
            continue;
        }
        ++m_droppedReplies;
        m_droppedBytes += HeaderLength + adu->pdu.size();
    }
    const QByteArray garbage = m_stream.takeDropped();
    m_droppedBytes += garbage.size();
    return frames;
}

void ClientFraming::reset()
{
    m_stream.clear();
    m_awaited.reset();
    m_givenUp.clear();
}

} // namespace ModbusTcp
