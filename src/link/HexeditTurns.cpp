// Taking turns on a half-duplex line: a frame leaves only while no drive is
// expected to be answering. On two-wire RS-485 a request sent while a drive
// still answers garbles both, so a request that falls in that time waits for
// the answer (or its time-out) and then goes out, in the order asked, with a
// STOP ahead of everything else.
#include "Hexedit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint8 kReadFunction = 3;
constexpr quint8 kWriteFunction = 6;
constexpr quint8 kControlFunction = 16;
constexpr quint8 kStopCode = 0x01;
// A reply to a running-value or status read is ten bytes; every other reply
// the drives send (parameter read, parameter write, control write) is eight.
constexpr int kMonitorReplyLength = 10;
constexpr int kShortReplyLength = 8;
// USB serial adapters hand on what they received in lumps a few milliseconds
// apart; an answer that is on its way must not be taken for a silent drive.
constexpr double kAdapterAllowanceMs = 10.0;
constexpr int kShortestTimeoutMs = 20;
// Steps by which an answer that is coming in is given more time.
constexpr int kAnswerExtensionMs = 5;
// Requests waiting for their turn. The rhythms the windows allow never come
// near this; a line far too slow for them keeps the newest of each kind.
constexpr qsizetype kMostWaiting = 32;

bool isStop(const QByteArray& frame)
{
    return frame.size() == 13 && quint8(frame[1]) == kControlFunction &&
           quint8(frame[8]) == kStopCode;
}

} // namespace

Hexedit::FrameKind Hexedit::KindOf(const QByteArray& frame)
{
    if (frame.size() < 4)
        return FrameKind::Other;
    const quint8 function = quint8(frame[1]);
    const quint8 block = quint8(frame[2]);
    if (function == kControlFunction)
        return FrameKind::Command;
    if (function == kReadFunction && (block == 0x0D || block == 0x0E))
        return FrameKind::Monitor;
    return FrameKind::Other;
}

int Hexedit::AnswerTimeoutMs(const QByteArray& frame) const
{
    const SerialSettings line = m_port.lineSettings();
    const double characterMs = line.bitsPerCharacter() * 1000.0 / std::max(line.baudRate, 1);
    const int replyLength =
        KindOf(frame) == FrameKind::Monitor ? kMonitorReplyLength : kShortReplyLength;
    if (frame.isEmpty() || frame[0] == 0) // nobody answers a broadcast: its bytes and the gap
        return std::max(1, int(std::ceil((frame.size() + 3.5) * characterMs)));
    const double ms =
        (frame.size() + replyLength + 3.5) * characterMs + m_responseDelayMs + kAdapterAllowanceMs;
    return std::max(kShortestTimeoutMs, int(std::ceil(ms)));
}

void Hexedit::SetResponseDelayMs(int ms)
{
    m_responseDelayMs = std::clamp(ms, 0, 1000);
}

int Hexedit::ResponseDelayMs() const
{
    return m_responseDelayMs;
}

bool Hexedit::transmit(const QByteArray& frame, bool followed)
{
    if (frame.isEmpty() || !m_port.isOpen())
        return false;
    if (followed)
        m_lastRequestAddress = quint8(frame[0]);
    if (!AwaitingAnswer() && m_waiting.empty())
        return writeNow(frame);

    const FrameKind kind = KindOf(frame);
    if (isStop(frame)) {
        // Stopping is never held up behind other requests, and no run command
        // waiting to go out may follow it.
        std::erase_if(m_waiting, [](const QByteArray& queued) {
            return KindOf(queued) == FrameKind::Command;
        });
        m_waiting.push_front(frame);
        return true;
    }
    if (kind != FrameKind::Other) {
        // The newest command and the newest poll carry what the user wants now;
        // an older one of the same kind still waiting is replaced in its place.
        const auto same =
            std::find_if(m_waiting.begin(), m_waiting.end(),
                         [&](const QByteArray& q) { return KindOf(q) == kind && !isStop(q); });
        if (same != m_waiting.end()) {
            *same = frame;
            return true;
        }
    }
    if (qsizetype(m_waiting.size()) >= kMostWaiting)
        return false;
    m_waiting.push_back(frame);
    return true;
}

bool Hexedit::writeNow(const QByteArray& frame)
{
    // Whatever was half-assembled belongs to no request any more: the answer
    // to this one is assembled from the start of the buffer.
    RxIndex = 0;
    if (!m_port.write(frame))
        return false;
    m_onWire = frame;
    m_framesSinceSend = 0;
    m_strayBytes = 0;
    const int timeout = AnswerTimeoutMs(frame);
    m_answerExtensionsLeft = (timeout + kAnswerExtensionMs - 1) / kAnswerExtensionMs;
    m_answerTimer.start(timeout);
    emit frameSent(frame);
    return true;
}

bool Hexedit::AwaitingAnswer() const
{
    return m_answerTimer.isActive();
}

int Hexedit::WaitingRequests() const
{
    return int(m_waiting.size());
}

void Hexedit::AnswerTimer_Timer()
{
    // Bytes still waiting to be drained may be the answer itself, delivered in
    // one lump by an adapter: it is given the time to come in, up to once more
    // the whole time-out, before the line counts as free.
    if (m_port.bytesWaiting() > 0 && m_answerExtensionsLeft > 0) {
        --m_answerExtensionsLeft;
        m_answerTimer.start(kAnswerExtensionMs);
        return;
    }
    m_answerTimer.stop();
    // Copied: whoever hears of it may put the next frame on the wire at once.
    const QByteArray request = m_onWire;
    emit answerTimedOut(request, std::max(0, m_strayBytes));
    sendNextWaiting();
}

void Hexedit::answerArrived(const QByteArray& answer)
{
    m_answerTimer.stop();
    const QByteArray request = m_onWire;
    emit answerReceived(request, answer);
    sendNextWaiting();
}

void Hexedit::sendNextWaiting()
{
    while (!m_waiting.empty() && !AwaitingAnswer()) {
        const QByteArray next = m_waiting.front();
        m_waiting.pop_front();
        if (!m_port.isOpen()) {
            m_waiting.clear();
            return;
        }
        writeNow(next);
    }
}

bool Hexedit::SendBroadcastStop()
{
    // The one frame the program sends to address 0: when no single drive can
    // be named, every drive is told to stop. None of them answers.
    QByteArray body(11, '\0');
    body[1] = char(kControlFunction);
    body[2] = 0x20;
    body[5] = 0x02;
    body[6] = 0x04;
    body[8] = char(kStopCode);
    return transmit(WithCrc(body));
}

bool Hexedit::SendFrame(const QByteArray& frame)
{
    if (frame.size() < 4 || frame[0] == 0)
        return false;
    return transmit(frame, false);
}

bool Hexedit::isAnswerTo(const QByteArray& request) const
{
    if (request.size() < 4 || request[0] == 0 || RxBuffer[0] != quint8(request[0]))
        return false;
    // A drive echoes the register it answers for: a late answer about another
    // register of the same drive is not the answer to this request.
    return RxBuffer[1] == quint8(request[1]) && RxBuffer[2] == quint8(request[2]) &&
           RxBuffer[3] == quint8(request[3]);
}

bool Hexedit::takeException()
{
    // address, function | 0x80, code, CRC: five bytes.
    const quint8 function = RxBuffer[1];
    if (RxIndex != 4 ||
        (function != (kReadFunction | 0x80) && function != (kWriteFunction | 0x80) &&
         function != (kControlFunction | 0x80)))
        return false;
    CalcReceiveCrc();
    if (RxCrcLow != RxBuffer[3] || RxCrcHigh != RxBuffer[4])
        return false;
    m_strayBytes -= 5;
    const QByteArray frame(reinterpret_cast<const char*>(RxBuffer.data()), 5);
    const bool answer = AwaitingAnswer() && m_onWire.size() >= 2 && m_onWire[0] != 0 &&
                        quint8(m_onWire[0]) == RxBuffer[0] &&
                        (quint8(m_onWire[1]) | 0x80) == function;
    emit exceptionReceived(RxBuffer[0], function, RxBuffer[2]);
    if (answer)
        answerArrived(frame);
    return true;
}
