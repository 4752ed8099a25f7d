// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinkClient.h"

#include <algorithm>

namespace {

constexpr quint8 kRead = 3;
constexpr quint8 kWrite = 6;

quint8 byteAt(const QByteArray& frame, int offset)
{
    return quint8(frame.at(offset));
}

} // namespace

QByteArray LinkRequest::frame() const
{
    QByteArray body;
    body.append(char(address));
    body.append(char(kind == Kind::Read ? kRead : kWrite));
    body.append(char(reg >> 8));
    body.append(char(reg & 0xFF));
    // The drives read one register with a count of 0.
    const quint16 word = kind == Kind::Read ? 0 : value;
    body.append(char(word >> 8));
    body.append(char(word & 0xFF));
    return Hexedit::WithCrc(body);
}

LinkClient::LinkClient(Hexedit& link, QObject* parent) : QObject(parent), m_link(link)
{
    m_steady.start();
    clock = [this] { return m_steady.nsecsElapsed() / 1e6; };
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &LinkClient::onWatchdog);
    connect(&m_link, &Hexedit::frameSent, this, &LinkClient::onFrameSent);
    connect(&m_link, &Hexedit::answerReceived, this, &LinkClient::onAnswer);
    connect(&m_link, &Hexedit::answerTimedOut, this, &LinkClient::onTimedOut);
    // While a job holds the line its answers are taken as they come, not one
    // byte per drain tick: at 38400 baud the tick alone would double the time
    // of every exchange. Same assembler, same bytes in the traffic log.
    connect(&m_link.port(), &SerialPort::bytesReceived, this, [this] {
        for (int guard = 0; m_held && guard < 256 && m_link.port().bytesWaiting() > 0; ++guard)
            m_link.DrainTick();
    });
    connect(&m_link, &Hexedit::lineReset, this, [this] {
        if (m_current)
            finish(LinkResult::Outcome::NotSent);
    });
}

void LinkClient::setRetries(int retries)
{
    m_retries = std::clamp(retries, 0, 10);
}

void LinkClient::holdLine(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    emit lineHeldChanged(held);
}

void LinkClient::submit(const LinkRequest& request, Done done)
{
    Pending pending;
    pending.request = request;
    pending.frame = request.frame();
    pending.done = std::move(done);
    m_queue.push_back(std::move(pending));
    if (!m_current)
        startNext();
}

void LinkClient::cancelAll()
{
    std::deque<Pending> dropped;
    dropped.swap(m_queue);
    if (m_current)
        finish(LinkResult::Outcome::NotSent);
    for (Pending& p : dropped) {
        p.result.outcome = LinkResult::Outcome::NotSent;
        QTimer::singleShot(0, this, [done = p.done, result = p.result] {
            if (done)
                done(result);
        });
    }
}

void LinkClient::startNext()
{
    if (m_current || m_queue.empty())
        return;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    sendCurrent();
}

void LinkClient::sendCurrent()
{
    Pending& p = *m_current;
    p.onWire = false;
    ++p.result.attempts;
    // The frame may wait behind a poll or a command; the watchdog allows for
    // that, and for the link's own time-out with its extensions.
    m_watchdog.start(4 * m_link.AnswerTimeoutMs(p.frame) + 2000);
    if (!m_link.SendFrame(p.frame))
        finish(LinkResult::Outcome::NotSent);
}

void LinkClient::onFrameSent(const QByteArray& frame)
{
    if (!m_current || m_current->onWire || frame != m_current->frame)
        return;
    m_current->onWire = true;
    m_current->sentAt = clock();
    ++m_counters[m_current->request.address].sent;
}

bool LinkClient::fits(const QByteArray& answer) const
{
    const QByteArray& request = m_current->frame;
    if (answer.size() < 5 || answer[0] != request[0])
        return false;
    if (byteAt(answer, 1) == (byteAt(request, 1) | 0x80))
        return true;
    return answer.size() >= 6 && answer[1] == request[1] && answer[2] == request[2] &&
           answer[3] == request[3];
}

void LinkClient::onAnswer(const QByteArray& request, const QByteArray& answer)
{
    if (!m_current || !m_current->onWire || request != m_current->frame || !fits(answer))
        return;
    Pending& p = *m_current;
    p.result.answerMs = std::max(0.0, clock() - p.sentAt);
    p.result.answer = answer;
    DriveCounters& c = m_counters[p.request.address];
    c.totalAnswerMs += p.result.answerMs;
    c.maxAnswerMs = std::max(c.maxAnswerMs, p.result.answerMs);
    if (byteAt(answer, 1) & 0x80) {
        p.result.exceptionCode = byteAt(answer, 2);
        ++c.exceptions;
        finish(LinkResult::Outcome::Exception);
        return;
    }
    p.result.value = quint16(byteAt(answer, 4) << 8 | byteAt(answer, 5));
    ++c.answered;
    finish(LinkResult::Outcome::Answered);
}

void LinkClient::onTimedOut(const QByteArray& request, int strayBytes)
{
    if (!m_current || !m_current->onWire || request != m_current->frame)
        return;
    Pending& p = *m_current;
    DriveCounters& c = m_counters[p.request.address];
    if (strayBytes > 0) {
        ++p.result.damaged;
        ++c.damaged;
    } else {
        ++c.timedOut;
    }
    if (p.result.attempts > m_retries) {
        finish(LinkResult::Outcome::TimedOut);
        return;
    }
    // Sent again from the event loop, not from inside the link's time-out.
    p.onWire = false;
    m_watchdog.stop();
    QTimer::singleShot(0, this, [this, frame = p.frame] {
        if (m_current && !m_current->onWire && m_current->frame == frame)
            sendCurrent();
    });
}

void LinkClient::onWatchdog()
{
    if (m_current)
        finish(m_current->onWire ? LinkResult::Outcome::TimedOut : LinkResult::Outcome::NotSent);
}

void LinkClient::finish(LinkResult::Outcome outcome)
{
    m_watchdog.stop();
    Pending done = std::move(*m_current);
    m_current.reset();
    done.result.outcome = outcome;
    QTimer::singleShot(0, this, [this, callback = std::move(done.done), result = done.result] {
        if (callback)
            callback(result);
        startNext();
    });
}
