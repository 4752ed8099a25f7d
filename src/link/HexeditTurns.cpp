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
#include <utility>

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

namespace {

// However slow a drive has been, an answer is not waited for longer than this:
// the longest response delay a drive can be set to (P8.03, 1000 ms) and then some.
constexpr double kLongestTimeoutMs = 1200.0;
// A learnt answer time falls back by this share of the gap at each quicker
// answer, so one slow answer is remembered for a while.
constexpr double kAnswerTimeDecay = 0.1;
// Most bytes taken from the port at once when a time-out is judged.
constexpr int kMostBytesTaken = 256;

double characterMsOf(const SerialSettings& line)
{
    return line.bitsPerCharacter() * 1000.0 / std::max(line.baudRate, 1);
}

} // namespace

int Hexedit::AnswerTimeoutMs(const QByteArray& frame) const
{
    return answerTimeoutMs(frame, true);
}

int Hexedit::PlainAnswerTimeoutMs(const QByteArray& frame) const
{
    return answerTimeoutMs(frame, false);
}

int Hexedit::answerTimeoutMs(const QByteArray& frame, bool learnt) const
{
    const double characterMs = characterMsOf(m_port.lineSettings());
    const int block = BlockCountOf(frame);
    const int replyLength = block > 0                             ? 5 + 2 * block
                            : KindOf(frame) == FrameKind::Monitor ? MonitorReplyLength
                                                                  : ShortReplyLength;
    if (frame.isEmpty() ||
        quint8(frame[0]) == BroadcastAddress) // nobody answers a broadcast: its bytes and the gap
        return std::max(1, int(std::ceil((frame.size() + 3.5) * characterMs)));
    // A USB adapter holds the answer for up to its latency timer first.
    const int adapterMs = std::clamp(m_port.adapterLatencyMs().value_or(0), 0, 255);
    double ms = (frame.size() + replyLength + 3.5) * characterMs + m_responseDelayMs +
                kAdapterAllowanceMs + adapterMs;
    // A drive known to answer slowly (a long response delay, a busy gateway)
    // is given half as long again as its answers lately took.
    const double took = learnt ? m_answerMs[quint8(frame[0])] : 0;
    if (took > 0)
        ms = std::max(ms, std::min(kLongestTimeoutMs, took * 1.5 + 3.5 * characterMs));
    return std::max(kShortestTimeoutMs, int(std::ceil(ms)));
}

int Hexedit::QuietAfterTimeoutMs(const QByteArray& frame) const
{
    const double characterMs = characterMsOf(m_port.lineSettings());
    const int gap = std::max(1, int(std::ceil(3.5 * characterMs)));
    if (frame.isEmpty() || quint8(frame[0]) == BroadcastAddress ||
        m_answerMs[quint8(frame[0])] <= 0)
        return gap;
    return std::max(gap, AnswerTimeoutMs(frame));
}

int Hexedit::BlockCountOf(const QByteArray& frame)
{
    if (frame.size() != 8 || quint8(frame[1]) != ReadFunction)
        return 0;
    const int count = quint8(frame[4]) << 8 | quint8(frame[5]);
    return count <= 125 ? count : 0;
}

int Hexedit::SilentAllowanceMs(const QByteArray& frame) const
{
    const double characterMs = characterMsOf(m_port.lineSettings());
    // The request's bytes, the response delay (which runs from the request's
    // last byte; a drive cannot begin before the 3.5 characters that end the
    // request have passed, so the longer of the two), the first character of
    // an answer, and then 3.5 characters more: a line silent that long after
    // an answer was due carries none, and the gap the next request needs has
    // been kept. An answer begun by then is given its time (see
    // AnswerTimer_Timer), so nothing more is needed on a line that hands on
    // each byte as it comes.
    double ms = (frame.size() + 1 + 3.5) * characterMs +
                std::max(3.5 * characterMs, double(m_responseDelayMs));
    if (const std::optional<int> latency = m_port.adapterLatencyMs()) {
        ms += kAdapterAllowanceMs + std::clamp(*latency, 0, 255);
    } else if (m_port.isNetworkLink()) {
        // A gateway: what its drives' answers took beyond the line's own
        // time, once measured; the usual allowance until then.
        const double lineMs = (frame.size() + 3.5 + MonitorReplyLength) * characterMs;
        double worst = -1;
        for (double learnt : m_answerMs) {
            if (learnt > 0)
                worst = std::max(worst, learnt - lineMs - m_responseDelayMs);
        }
        ms += worst >= 0 ? worst + 3.5 * characterMs : kAdapterAllowanceMs;
    }
    return std::max(1, int(std::ceil(ms)));
}

std::optional<double> Hexedit::AnswerTimeMs(quint8 address) const
{
    const double ms = m_answerMs[address];
    return ms > 0 ? std::optional<double>(ms) : std::nullopt;
}

void Hexedit::learnAnswerTime(quint8 address, double ms)
{
    double& learnt = m_answerMs[address];
    ms = std::max(ms, 0.001); // an answer was heard: never "not answered" again
    learnt = ms >= learnt ? ms : learnt + (ms - learnt) * kAnswerTimeDecay;
}

void Hexedit::SetResponseDelayMs(int ms)
{
    m_responseDelayMs = std::clamp(ms, 0, 1000);
}

int Hexedit::ResponseDelayMs() const
{
    return m_responseDelayMs;
}

bool Hexedit::transmit(const QByteArray& frame, bool followed, quint64 ticket, int timeoutMs)
{
    if (frame.isEmpty() || !m_port.isOpen())
        return false;
    if (followed)
        m_lastRequestAddress = quint8(frame[0]);
    if (!AwaitingAnswer() && m_waiting.empty())
        return writeNow({frame, ticket, timeoutMs});

    const FrameKind kind = KindOf(frame);
    if (isStop(frame)) {
        // Stopping is never held up behind other requests, and no run command
        // waiting to go out may follow it: not one for the drive it stops (a
        // broadcast stops every drive), nor, when the stop is the windows'
        // own, one of theirs. Stops already waiting, for other drives or from
        // others, keep their turn ahead of it; the windows' stop waiting
        // already is not doubled.
        const quint8 to = quint8(frame[0]);
        std::erase_if(m_waiting, [&](const Waiting& queued) {
            return KindOf(queued.frame) == FrameKind::Command && !isStop(queued.frame) &&
                   (to == BroadcastAddress || quint8(queued.frame[0]) == to ||
                    (ticket == 0 && queued.ticket == 0));
        });
        const bool doubled =
            ticket == 0 &&
            std::any_of(m_waiting.begin(), m_waiting.end(), [&](const Waiting& queued) {
                return queued.ticket == 0 && queued.frame == frame;
            });
        if (!doubled) {
            const auto firstOther =
                std::find_if(m_waiting.begin(), m_waiting.end(),
                             [](const Waiting& queued) { return !isStop(queued.frame); });
            m_waiting.insert(firstOther, {frame, ticket, timeoutMs});
        }
        return true;
    }
    if (kind != FrameKind::Other && ticket == 0) {
        // The newest command and the newest poll of the main window carry what
        // the user wants now; an older one of its own still waiting is
        // replaced in its place. A tool's request is its own and always goes.
        const auto same = std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Waiting& q) {
            return q.ticket == 0 && KindOf(q.frame) == kind && !isStop(q.frame);
        });
        if (same != m_waiting.end()) {
            same->frame = frame;
            return true;
        }
    }
    if (qsizetype(m_waiting.size()) >= kMostWaiting)
        return false;
    m_waiting.push_back({frame, ticket, timeoutMs});
    return true;
}

bool Hexedit::writeNow(const Waiting& next)
{
    // Whatever was half-assembled belongs to no request any more: the answer
    // to this one is assembled from the start of the buffer.
    RxIndex = 0;
    m_blockRx.clear();
    if (!m_port.write(next.frame))
        return false;
    m_onWire = next.frame;
    m_onWireTicket = next.ticket;
    ++m_framesWritten;
    m_framesSinceSend = 0;
    m_strayBytes = 0;
    m_sameAsRequest.clear();
    m_awaiting = true;
    m_pastTimeout = false;
    m_sentAtMs = clock();
    m_answerExtensionsLeft = kMostAnswerExtensions;
    m_answerProgress = 0;
    m_answerTimer.start(next.timeoutMs > 0 ? next.timeoutMs : AnswerTimeoutMs(next.frame));
    emit frameSent(next.frame);
    return true;
}

bool Hexedit::AwaitingAnswer() const
{
    return m_awaiting;
}

int Hexedit::WaitingRequests() const
{
    return int(m_waiting.size());
}

void Hexedit::takeWaitingBytes()
{
    m_port.takePending();
    for (int taken = 0; taken < kMostBytesTaken && m_port.bytesWaiting() > 0; ++taken) {
        if (const std::optional<quint8> byte = m_port.readByte())
            ReceiveByte(*byte);
    }
}

void Hexedit::AnswerTimer_Timer()
{
    if (!m_awaiting)
        return;
    // A timer that fires late is no silent drive: the answer may be waiting in
    // the port already. Take it first.
    const quint64 sent = m_framesWritten;
    takeWaitingBytes();
    if (!m_awaiting || m_framesWritten != sent)
        return; // answered meanwhile
    // An answer that has begun to come in is given the time to finish while it
    // keeps coming: adapters deliver in lumps, and a busy machine drains late.
    // A torn answer that stops coming frees the line at the next step.
    const int received = blockOnWire() ? int(m_blockRx.size()) : int(RxIndex);
    if (received > m_answerProgress && m_answerExtensionsLeft > 0) {
        m_answerProgress = received;
        --m_answerExtensionsLeft;
        m_answerTimer.start(kAnswerExtensionMs);
        return;
    }
    if (!m_sameAsRequest.isEmpty()) {
        // Nothing followed the frame that looked like the request: it was the
        // answer.
        answerArrived(std::exchange(m_sameAsRequest, QByteArray()));
        return;
    }
    if (!m_pastTimeout) {
        // The answer's time is up. Before the line is handed on it stays quiet
        // a little longer, so that an answer starting late is heard out
        // instead of being talked over. For a drive never heard that is only
        // the gap between frames, of which the line, silent since the
        // request's last byte or the last byte heard, has kept some already.
        m_pastTimeout = true;
        int quietMs = QuietAfterTimeoutMs(m_onWire);
        if (m_answerMs[quint8(m_onWire[0])] <= 0) {
            const double characterMs = characterMsOf(m_port.lineSettings());
            const double busyUntilMs =
                std::max(m_sentAtMs + m_onWire.size() * characterMs, m_lastHeardMs);
            quietMs = std::min(quietMs, int(std::ceil(quietMs - (clock() - busyUntilMs))));
        }
        if (quietMs > 0) {
            m_answerTimer.start(quietMs);
            return;
        }
    }
    endWait();
    m_timedOut = m_onWire;
    m_timedOutSentAtMs = m_sentAtMs;
    // Copied: whoever hears of it may put the next frame on the wire at once.
    const QByteArray request = m_onWire;
    emit answerTimedOut(request, std::max(0, m_strayBytes));
    sendNextWaiting();
}

void Hexedit::endWait()
{
    m_answerTimer.stop();
    m_awaiting = false;
    m_pastTimeout = false;
}

void Hexedit::answerArrived(const QByteArray& answer)
{
    const bool late = m_pastTimeout;
    m_sameAsRequest.clear();
    endWait();
    const QByteArray request = m_onWire;
    m_timedOut.clear();
    if (!request.isEmpty())
        learnAnswerTime(quint8(request[0]), clock() - m_sentAtMs);
    if (late)
        emit lateAnswerReceived(request, answer, false);
    emit answerReceived(request, answer);
    sendNextWaiting();
}

void Hexedit::sendNextWaiting()
{
    while (!m_waiting.empty() && !AwaitingAnswer()) {
        const Waiting next = m_waiting.front();
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
    return transmit(ControlFrame(BroadcastAddress, StopCode, 0));
}

bool Hexedit::SendFrame(const QByteArray& frame)
{
    return SubmitFrame(frame) != 0;
}

quint64 Hexedit::SubmitFrame(const QByteArray& frame, int timeoutMs)
{
    if (frame.size() < 4 || frame[0] == 0)
        return 0;
    const quint64 ticket = ++m_lastTicket;
    return transmit(frame, false, ticket, std::max(0, timeoutMs)) ? ticket : 0;
}

bool Hexedit::WithdrawFrame(quint64 ticket)
{
    return ticket != 0 &&
           std::erase_if(m_waiting, [ticket](const Waiting& w) { return w.ticket == ticket; }) > 0;
}

bool Hexedit::IsWaiting(quint64 ticket) const
{
    return ticket != 0 && std::any_of(m_waiting.begin(), m_waiting.end(),
                                      [ticket](const Waiting& w) { return w.ticket == ticket; });
}

bool Hexedit::ReplaceWaitingFrame(quint64 ticket, const QByteArray& frame)
{
    if (ticket == 0 || frame.size() < 4 || frame[0] == 0)
        return false;
    const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [ticket](const Waiting& w) { return w.ticket == ticket; });
    if (waiting == m_waiting.end())
        return false;
    if (!isStop(frame)) {
        waiting->frame = frame;
        return true;
    }
    m_waiting.erase(waiting);
    return transmit(frame, false, ticket);
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
