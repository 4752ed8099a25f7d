// SPDX-License-Identifier: GPL-3.0-or-later
// Taking turns on a half-duplex line: a frame leaves only while no drive is
// expected to be answering. On two-wire RS-485 a request sent while a drive
// still answers garbles both, so a request that falls in that time waits for
// the answer (or its time-out) and then goes out, in the order asked, with a
// STOP ahead of everything else.
#include "Hexedit.h"
#include "RtuProtocol.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace Rtu;
// USB serial adapters hand on what they received in lumps, some only when
// their 16 ms latency timer runs out, and a busy PC reads late; an answer that
// is on its way must not be taken for a silent drive, or the next request
// would be sent over it.
constexpr double kAdapterAllowanceMs = 50.0;
constexpr int kShortestTimeoutMs = 20;
// Steps by which an answer that is coming in is given more time, and how many
// at most (a quarter of a second: far more than any answer takes to come in).
constexpr int kAnswerExtensionMs = 5;
constexpr int kMostAnswerExtensions = 50;
// Requests waiting for their turn. The rhythms the windows allow never come
// near this; a line far too slow for them keeps the newest of each kind.
constexpr qsizetype kMostWaiting = 32;

bool isStop(const QByteArray& frame)
{
    return frame.size() == ControlRequestLength && quint8(frame[1]) == ControlFunction &&
           quint8(frame[8]) == StopCode;
}

} // namespace

Hexedit::FrameKind Hexedit::KindOf(const QByteArray& frame)
{
    if (frame.size() < 4)
        return FrameKind::Other;
    const quint8 function = quint8(frame[1]);
    const quint8 block = quint8(frame[2]);
    if (function == ControlFunction)
        return FrameKind::Command;
    if (function == ReadFunction && (block == RunningValueBlock || block == StatusBlock))
        return FrameKind::Monitor;
    return FrameKind::Other;
}

int Hexedit::AnswerTimeoutMs(const QByteArray& frame) const
{
    const SerialSettings line = m_port.lineSettings();
    const double characterMs = line.bitsPerCharacter() * 1000.0 / std::max(line.baudRate, 1);
    const int replyLength =
        KindOf(frame) == FrameKind::Monitor ? MonitorReplyLength : ShortReplyLength;
    if (frame.isEmpty() ||
        quint8(frame[0]) == BroadcastAddress) // nobody answers a broadcast: its bytes and the gap
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
    m_answerExtensionsLeft = kMostAnswerExtensions;
    m_answerProgress = 0;
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
    // An answer that has begun to come in (bytes waiting, or a frame in the
    // making since the request went out) is given the time to finish while it
    // keeps coming: adapters deliver in lumps, and a busy machine drains late.
    // A torn answer that stops coming frees the line at the next step.
    const int progress = RxIndex + int(m_port.bytesWaiting());
    if (progress > m_answerProgress && m_answerExtensionsLeft > 0) {
        m_answerProgress = progress;
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
    QByteArray body(11, '\0'); // two registers, four bytes: code, then set-point 0
    body[0] = char(BroadcastAddress);
    body[1] = char(ControlFunction);
    body[2] = char(ControlRegister >> 8);
    body[3] = char(ControlRegister & 0xFF);
    body[5] = 0x02;
    body[6] = 0x04;
    body[8] = char(StopCode);
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
    if (request.size() < 4 || quint8(request[0]) == BroadcastAddress ||
        RxBuffer[0] != quint8(request[0]))
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
    if (RxIndex != 4 || (function != (ReadFunction | ExceptionFlag) &&
                         function != (WriteFunction | ExceptionFlag) &&
                         function != (ControlFunction | ExceptionFlag)))
        return false;
    CalcReceiveCrc();
    if (RxCrcLow != RxBuffer[3] || RxCrcHigh != RxBuffer[4])
        return false;
    m_strayBytes -= 5;
    const QByteArray frame(reinterpret_cast<const char*>(RxBuffer.data()), 5);
    const bool answer = AwaitingAnswer() && m_onWire.size() >= 2 && m_onWire[0] != 0 &&
                        quint8(m_onWire[0]) == RxBuffer[0] &&
                        (quint8(m_onWire[1]) | ExceptionFlag) == function;
    emit exceptionReceived(RxBuffer[0], function, RxBuffer[2]);
    if (answer)
        answerArrived(frame);
    return true;
}
