// SPDX-License-Identifier: GPL-3.0-or-later
// The receive side of the link: bytes in one at a time, the assembler that
// finds a frame by its CRC and its shape, the line's echo, and decoding.
#include "Hexedit.h"

#include "RtuProtocol.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using namespace Rtu;

// Longest frame the assembler tests: once the index passes this it starts over.
constexpr quint8 kLastFrameIndex = 18;
// A backlog above this many bytes is thrown away rather than drained.
constexpr qint64 kDrainBacklogLimit = 200;

// The traffic-log text of every byte value ("0 ", "1F ", "C8 "), made once at
// compile time so that logging a byte allocates nothing.
struct ByteText
{
    char16_t text[3];
    qsizetype size;
};
constexpr std::array<ByteText, 256> makeByteTexts()
{
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::array<ByteText, 256> texts{};
    for (int value = 0; value < 256; ++value) {
        ByteText& t = texts[size_t(value)];
        if (value >= 16)
            t.text[t.size++] = digits[value >> 4];
        t.text[t.size++] = digits[value & 0xF];
        t.text[t.size++] = u' ';
    }
    return texts;
}
constexpr std::array<ByteText, 256> kByteTexts = makeByteTexts();

QString hexByte(quint8 byte)
{
    const ByteText& t = kByteTexts[byte];
    return QString::fromRawData(reinterpret_cast<const QChar*>(t.text), t.size);
}

// True when the frame just completed is, byte for byte, the read of a running
// value or of the status that we sent last. Two-wire RS-485 adapters hear
// their own requests, and such an echo is itself a CRC-valid function-3 frame
// for the very register asked for: decoded, it would show 0 Hz, a stopped
// drive turning in reverse with its fault lamp lit. A drive answers these
// reads with ten bytes; for its first eight to pass for the request, the value
// would have to be 0 and the state or decimal-code bytes the request's CRC,
// which no address and register we read allows. So nothing a drive says is
// lost by passing over the echo. Parameter reads are another matter: a
// parameter whose value is 0 answers with the very bytes of the request
// (see isLineEcho).
bool isEchoOfMonitorRead(const QByteArray& sent, const std::array<quint8, 21>& buffer,
                         quint8 lastIndex)
{
    if (sent.size() != qsizetype(lastIndex) + 1 || sent.size() != 8 ||
        quint8(sent[1]) != ReadFunction)
        return false;
    const quint8 block = quint8(sent[2]);
    if (block != RunningValueBlock && block != StatusBlock)
        return false;
    return std::equal(sent.cbegin(), sent.cend(), buffer.cbegin(),
                      [](char a, quint8 b) { return quint8(a) == b; });
}

} // namespace

void Hexedit::ResetLine()
{
    m_lastRequestAddress.reset();
    m_lineEchoes = false;
    m_answersFirst = false;
    m_framesSinceSend = 0;
    m_firstWasOwnRequest = false;
    endWait();
    m_waiting.clear();
    m_onWire.clear();
    m_onWireTicket = 0;
    m_timedOut.clear();
    m_sameAsRequest.clear();
    m_answerMs.fill(0);
    m_blockRx.clear();
    RxIndex = 0;
    emit lineReset();
}

void Hexedit::OnBytesReceived()
{
    emit receiveEvent();
    m_drainTimer.start();
    if (const std::optional<quint8> byte = m_port.readByte())
        ReceiveByte(*byte);
}

void Hexedit::DrainTick()
{
    const qint64 waiting = m_port.bytesWaiting();
    if (waiting > kDrainBacklogLimit)
        m_port.clearInput();
    if (waiting == 0) {
        m_drainTimer.stop();
        return;
    }
    if (const std::optional<quint8> byte = m_port.readByte())
        ReceiveByte(*byte);
}

void Hexedit::CalcReceiveCrc()
{
    // RxIndex points at the second CRC byte; the CRC covers everything before
    // the first one.
    const qsizetype length = RxIndex >= 1 ? qsizetype(RxIndex) - 1 : 0;
    const quint16 crc = Crc16(RxBuffer.data(), std::min<qsizetype>(length, RxBuffer.size()));
    RxCrcLow = quint8(crc & 0xFF);
    RxCrcHigh = quint8(crc >> 8);
}

void Hexedit::ReceiveByte(quint8 byte)
{
    m_lastHeardMs = clock();
    // Only a tool's multi-register read makes the drive answer in the
    // standard layout; every other answer goes through the given assembler.
    if (blockOnWire()) {
        receiveBlockByte(byte);
        return;
    }
    // Callers may set RxIndex freely; never let it address past the buffer.
    if (RxIndex >= RxBuffer.size())
        RxIndex = 0;
    RxBuffer[RxIndex] = byte;
    ++m_strayBytes;
    emit trafficLog(hexByte(byte));

    if (RxIndex > kLastFrameIndex)
        RxIndex = 0;
    if (RxBuffer[0] > HighestAddress) {
        RxIndex = 0;
        return;
    }
    const quint8 function = RxBuffer[1];
    if (function != ReadFunction && function != WriteFunction && function != ControlFunction) {
        if (takeException()) {
            emit trafficLog(QStringLiteral("\r\n"));
            RxIndex = 0;
            return;
        }
        ++RxIndex;
        return;
    }
    if (RxIndex <= 5) {
        ++RxIndex;
        return;
    }
    CalcReceiveCrc();
    if (RxCrcLow != RxBuffer[RxIndex - 1] || RxCrcHigh != RxBuffer[RxIndex]) {
        ++RxIndex;
        return;
    }
    const bool ownRequest = isOwnRequest();
    const QByteArray frame(reinterpret_cast<const char*>(RxBuffer.data()), qsizetype(RxIndex) + 1);
    if (!ownRequest && !hasReplyShape()) {
        // A reply passes its CRC check early now and then, where its CRC's
        // high byte is 0: a running value or status at nine bytes (whole at
        // ten), a parameter or control answer at seven (whole at eight).
        const bool monitor = RxBuffer[2] == RunningValueBlock || RxBuffer[2] == StatusBlock;
        const bool shortReply = (RxBuffer[2] <= LastParameterGroup &&
                                 (RxBuffer[1] == ReadFunction || RxBuffer[1] == WriteFunction)) ||
                                RxBuffer[1] == ControlFunction;
        if ((RxBuffer[1] == ReadFunction && monitor && RxIndex + 1 < MonitorReplyLength) ||
            (!monitor && shortReply && RxIndex + 1 < ShortReplyLength)) {
            ++RxIndex;
            return;
        }
        // Any other frame with a right CRC but the wrong shape for its kind (a
        // write echo naming the running values, a status in eight bytes) is no
        // answer the drives give: it stays in the traffic log, unshown.
        m_strayBytes -= int(frame.size());
        emit trafficLog(QStringLiteral("\r\n"));
        RxIndex = 0;
        return;
    }
    m_strayBytes -= int(frame.size());
    const int position = m_framesSinceSend;
    if (!isLineEcho() && hasReplyShape()) {
        // A frame with the request's very bytes may be the line's echo or the
        // answer (a parameter at 0 answers a read so). Where the line is known
        // not to echo it is the answer; where it echoes, the frame after the
        // echo is. On a line not yet known it is kept: a different answer
        // after it shows it was the echo, two alike are echo and answer, and
        // nothing more by the time-out makes it the answer.
        bool answer = AwaitingAnswer() && isAnswerTo(m_onWire);
        if (answer && ownRequest && !m_answersFirst) {
            if (position == 1 && m_firstWasOwnRequest)
                m_lineEchoes = true;
            answer = m_lineEchoes && position == 1;
            if (!answer && position == 0)
                m_sameAsRequest = frame;
        }
        const bool lateAnswer = !answer && !m_timedOut.isEmpty() && isAnswerTo(m_timedOut);
        DecodeResponse();
        if (answer) {
            answerArrived(frame);
        } else if (lateAnswer) {
            // Its time-out was said and the line handed on: not the answer to
            // anything now, but the drive is slower than it was given time.
            const QByteArray request = std::exchange(m_timedOut, QByteArray());
            learnAnswerTime(quint8(request[0]), clock() - m_timedOutSentAtMs);
            emit lateAnswerReceived(request, frame, true);
        }
    }
    emit trafficLog(QStringLiteral("\r\n"));
    RxIndex = 0;
}

bool Hexedit::hasReplyShape() const
{
    const int length = RxIndex + 1;
    const quint8 function = RxBuffer[1];
    const quint8 kind = RxBuffer[2];
    if (kind == RunningValueBlock || kind == StatusBlock)
        return function == ReadFunction && length == MonitorReplyLength;
    if (kind <= LastParameterGroup)
        return length == ShortReplyLength &&
               (function == ReadFunction || function == WriteFunction);
    // The drive's answer to a control write: not shown, but it is the answer.
    return function == ControlFunction && length == ShortReplyLength;
}

bool Hexedit::isOwnRequest() const
{
    return m_onWire.size() == qsizetype(RxIndex) + 1 &&
           std::equal(m_onWire.cbegin(), m_onWire.cend(), RxBuffer.cbegin(),
                      [](char a, quint8 b) { return quint8(a) == b; });
}

bool Hexedit::isLineEcho()
{
    const int position = m_framesSinceSend;
    if (m_framesSinceSend < 2) // only the first two frames after a send matter
        ++m_framesSinceSend;
    const bool ownRequest = isOwnRequest();
    // The read of a running value or the status, or a control write, coming
    // back as it went out can only be the adapter hearing itself.
    if (ownRequest && (isEchoOfMonitorRead(m_onWire, RxBuffer, RxIndex) ||
                       quint8(m_onWire[1]) == ControlFunction)) {
        m_lineEchoes = true;
        m_answersFirst = false;
        return true;
    }
    if (position == 0) {
        // A parameter whose value is 0 answers a read with the very bytes of
        // the request, so such a frame teaches nothing about the line: on a
        // line known to echo, the first one after a send is the echo; on any
        // other line it is the drive's answer.
        m_firstWasOwnRequest = ownRequest;
        if (ownRequest)
            return m_lineEchoes;
        m_lineEchoes = false; // an answer came first: this line does not echo
        m_answersFirst = true;
    } else if (position == 1 && m_firstWasOwnRequest && !ownRequest && isAnswerTo(m_onWire) &&
               RxBuffer[2] == quint8(m_onWire[2]) && RxBuffer[3] == quint8(m_onWire[3])) {
        // The request's bytes, then a different value for the same parameter
        // of the same drive: a drive answers once, so the first was the echo.
        // A second frame of any other kind proves nothing.
        m_lineEchoes = true;
        m_answersFirst = false;
    }
    return false;
}

float Hexedit::RunningFactor(quint8 decimalCode)
{
    switch (decimalCode) {
    case 4:
        return 0.1f;
    case 8:
        return 0.01f;
    case 16:
        return 0.001f;
    default:
        return 1.0f;
    }
}

RunningValueReply Hexedit::DecodeRunningValue(const quint8* reply)
{
    RunningValueReply r;
    r.address = reply[0];
    r.index = reply[3];
    r.raw = quint16(reply[4] << 8 | reply[5]);
    r.decimalCode = reply[7] & DecimalCodeMask;
    r.value = float(r.raw) * RunningFactor(r.decimalCode);
    return r;
}

StatusReply Hexedit::DecodeStatus(const quint8* reply)
{
    StatusReply r;
    r.address = reply[0];
    r.statusWord = quint16(reply[4] << 8 | reply[5]);
    r.reverse = reply[6] & ReverseFlag;
    r.running = reply[6] & RunningFlag;
    r.fault = reply[7] & FaultFlag;
    r.faultNumber = FaultNumberOf(r.statusWord);
    return r;
}

void Hexedit::DecodeResponse()
{
    const quint8 kind = RxBuffer[2];
    if (kind <= LastParameterGroup)
        emit parameterReceived(
            {RxBuffer[0], kind, RxBuffer[3], quint16(RxBuffer[4] << 8 | RxBuffer[5])});
    else if (kind == RunningValueBlock)
        emit runningValueReceived(DecodeRunningValue(RxBuffer.data()));
    else if (kind == StatusBlock)
        emit statusReceived(DecodeStatus(RxBuffer.data()));
}

void Hexedit::receiveBlockByte(quint8 byte)
{
    ++m_strayBytes;
    emit trafficLog(hexByte(byte));
    m_blockRx.append(char(byte));
    const quint8 address = quint8(m_onWire[0]);
    const int count = BlockCountOf(m_onWire);
    auto crcFits = [this](qsizetype length) {
        const auto* data = reinterpret_cast<const quint8*>(m_blockRx.constData());
        const quint16 crc = Crc16(data, length - 2);
        return data[length - 2] == (crc & 0xFF) && data[length - 1] == crc >> 8;
    };
    // Bytes that cannot begin the answer are passed over one at a time, so an
    // answer behind noise or the line's echo of the request is still found.
    while (!m_blockRx.isEmpty()) {
        const qsizetype have = m_blockRx.size();
        if (quint8(m_blockRx[0]) != address) {
            m_blockRx.remove(0, 1);
            continue;
        }
        // The request itself, heard back from a two-wire adapter.
        if (m_onWire.startsWith(m_blockRx.left(std::min<qsizetype>(have, 8)))) {
            if (have < 8)
                return;
            m_blockRx.remove(0, 8);
            m_strayBytes -= 8;
            emit trafficLog(QStringLiteral("\r\n"));
            continue;
        }
        if (have < 3)
            return;
        const quint8 function = quint8(m_blockRx[1]);
        qsizetype length = 0;
        if (function == (ReadFunction | ExceptionFlag)) {
            length = 5;
        } else if (function == ReadFunction) {
            // A drive may answer fewer registers than asked, never more.
            const int bytes = quint8(m_blockRx[2]);
            if (bytes >= 2 && bytes % 2 == 0 && bytes <= 2 * count)
                length = 5 + bytes;
        }
        if (length == 0) {
            m_blockRx.remove(0, 1);
            continue;
        }
        if (have < length)
            return;
        if (!crcFits(length)) {
            m_blockRx.remove(0, 1);
            continue;
        }
        const QByteArray frame = m_blockRx.left(length);
        m_blockRx.clear();
        m_strayBytes -= int(length);
        emit trafficLog(QStringLiteral("\r\n"));
        if (length == 5)
            emit exceptionReceived(address, function, quint8(frame[2]));
        answerArrived(frame);
        return;
    }
}
