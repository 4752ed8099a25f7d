// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinkClient.h"
#include "RtuProtocol.h"

#include <algorithm>
#include <limits>

QByteArray LinkRequest::frame() const
{
    // The drives read one register with a count of 0; a count of 2 or more
    // is the standard read of that many registers.
    return kind == Kind::Read ? Hexedit::ShortFrame(address, Rtu::ReadFunction, reg, count)
                              : Hexedit::ShortFrame(address, Rtu::WriteFunction, reg, value);
}

// ---------------------------------------------------------------- session

LinkSession::LinkSession(LinkClient& client, QObject* owner)
    : QObject(owner), m_client(&client), m_retries(client.retries())
{
}

LinkSession::~LinkSession()
{
    if (m_client)
        m_client->detach(this);
}

void LinkSession::submit(const LinkRequest& request, Done done)
{
    if (!m_client) {
        LinkResult result;
        QTimer::singleShot(0, this, [done = std::move(done), result] {
            if (done)
                done(result);
        });
        return;
    }
    m_queue.push_back({request, std::move(done)});
    m_client->scheduleNext();
}

void LinkSession::cancel()
{
    std::deque<Queued> dropped;
    dropped.swap(m_queue);
    for (Queued& q : dropped) {
        QTimer::singleShot(0, this, [done = std::move(q.done)] {
            if (done)
                done(LinkResult{});
        });
    }
    if (m_client && m_client->m_current && m_client->m_current->session == this) {
        m_client->m_link.WithdrawFrame(m_client->m_current->ticket);
        m_client->finish(LinkResult::Outcome::NotSent);
    }
}

bool LinkSession::busy() const
{
    return !m_queue.empty() ||
           (m_client && m_client->m_current && m_client->m_current->session == this);
}

void LinkSession::setRetries(int retries)
{
    m_retries = std::clamp(retries, 0, 10);
}

void LinkSession::setTurns(int turns, int graceMs)
{
    m_turns = std::clamp(turns, 1, 1000);
    m_graceMs = std::clamp(graceMs, 0, 1000);
}

void LinkSession::holdLine(bool held)
{
    if (held == m_holds)
        return;
    m_holds = held;
    if (m_client)
        m_client->changeHold(held ? 1 : -1);
}

// ---------------------------------------------------------------- client

LinkClient::LinkClient(Hexedit& link, QObject* parent) : QObject(parent), m_link(link)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &LinkClient::onWatchdog);
    m_grace.setSingleShot(true);
    connect(&m_grace, &QTimer::timeout, this, [this] {
        // Its next did not come in time: the others' turn.
        m_inRow = std::numeric_limits<int>::max();
        startNext();
    });
    connect(&m_link, &Hexedit::frameSent, this, &LinkClient::onFrameSent);
    connect(&m_link, &Hexedit::answerReceived, this, &LinkClient::onAnswer);
    connect(&m_link, &Hexedit::answerTimedOut, this, &LinkClient::onTimedOut);
    connect(&m_link, &Hexedit::lateAnswerReceived, this,
            [this](const QByteArray& request, const QByteArray&, bool timedOut) {
                if (!timedOut && isCurrentOnWire(request))
                    m_current->result.late = true;
            });
    // While a job holds the line its answers are taken as they come, not one
    // byte per drain tick: at 38400 baud the tick alone would double the time
    // of every exchange. Same assembler, same bytes in the traffic log.
    connect(&m_link.port(), &SerialPort::bytesReceived, this, [this] {
        for (int guard = 0; lineHeld() && guard < 256 && m_link.port().bytesWaiting() > 0; ++guard)
            m_link.DrainTick();
    });
    connect(&m_link, &Hexedit::lineReset, this, [this] {
        m_blockReads.fill(BlockReads{});
        if (m_current)
            finish(LinkResult::Outcome::NotSent);
    });
}

LinkClient::~LinkClient()
{
    // Sessions outliving the client (their owners die later) must not call back.
    for (LinkSession* session : m_sessions)
        session->m_client = nullptr;
}

LinkSession* LinkClient::openSession(QObject* owner)
{
    auto* session = new LinkSession(*this, owner);
    m_sessions.push_back(session);
    return session;
}

void LinkClient::setRetries(int retries)
{
    m_retries = std::clamp(retries, 0, 10);
}

bool LinkClient::busy() const
{
    return m_current.has_value() || std::any_of(m_sessions.cbegin(), m_sessions.cend(),
                                                [](LinkSession* s) { return !s->m_queue.empty(); });
}

void LinkClient::detach(LinkSession* session)
{
    std::erase(m_sessions, session);
    if (m_last == session) {
        m_last = nullptr;
        m_grace.stop();
        scheduleNext();
    }
    if (session->m_holds)
        changeHold(-1);
    if (!m_current || m_current->session != session)
        return;
    // Its answer, should it come, reaches nobody; a frame not yet sent stays
    // off the line.
    m_current->session = nullptr;
    m_current->done = nullptr;
    if (!m_current->onWire) {
        m_link.WithdrawFrame(m_current->ticket);
        m_watchdog.stop();
        m_current.reset();
        scheduleNext();
    }
}

void LinkClient::changeHold(int delta)
{
    const bool was = lineHeld();
    m_holds = std::max(0, m_holds + delta);
    if (lineHeld() != was)
        emit lineHeldChanged(lineHeld());
}

void LinkClient::scheduleNext()
{
    if (!m_current)
        startNext();
}

void LinkClient::startNext()
{
    if (m_current || m_sessions.empty())
        return;
    // A session with turns to spare goes on, or is waited for a little.
    if (m_last && m_inRow < m_last->m_turns) {
        const auto at = std::find(m_sessions.cbegin(), m_sessions.cend(), m_last);
        if (!m_last->m_queue.empty()) {
            take(size_t(at - m_sessions.cbegin()));
            return;
        }
        if (m_last->m_graceMs > 0) {
            if (!m_grace.isActive())
                m_grace.start(m_last->m_graceMs);
            return;
        }
    }
    // The sessions take turns, a request each, so a long job never shuts out
    // another window's single read.
    for (size_t tried = 0; tried < m_sessions.size(); ++tried) {
        const size_t index = (m_turn + tried) % m_sessions.size();
        if (m_sessions[index]->m_queue.empty())
            continue;
        take(index);
        return;
    }
}

void LinkClient::take(size_t index)
{
    LinkSession* session = m_sessions[index];
    m_grace.stop();
    m_turn = (index + 1) % m_sessions.size();
    m_inRow = session == m_last ? std::min(m_inRow, std::numeric_limits<int>::max() - 1) + 1 : 1;
    m_last = session;
    LinkSession::Queued next = std::move(session->m_queue.front());
    session->m_queue.pop_front();
    Current current;
    current.session = session;
    current.request = next.request;
    current.done = std::move(next.done);
    current.frame = next.request.frame();
    m_current = std::move(current);
    sendCurrent();
}

void LinkClient::sendCurrent()
{
    Current& c = *m_current;
    c.onWire = false;
    ++c.result.attempts;
    // The frame may wait behind a poll or a command; the watchdog allows for
    // that, and for the link's own time-out with its extensions.
    m_watchdog.start(4 * m_link.AnswerTimeoutMs(c.frame) + 2000);
    c.ticket = m_link.SubmitFrame(c.frame, c.request.timeoutMs);
    if (c.ticket == 0)
        finish(LinkResult::Outcome::NotSent);
    else
        onFrameSent(); // it may have gone out at once, before its ticket was known here
}

bool LinkClient::isCurrentOnWire(const QByteArray& request) const
{
    return m_current && m_current->onWire && m_current->ticket == m_link.OnWireTicket() &&
           request == m_current->frame;
}

void LinkClient::onFrameSent()
{
    if (!m_current || m_current->onWire || m_current->ticket != m_link.OnWireTicket())
        return;
    m_current->onWire = true;
    m_current->result.wentOut = true;
    m_current->sentAt = m_link.clock();
}

bool LinkClient::fits(const QByteArray& answer) const
{
    const QByteArray& request = m_current->frame;
    if (answer.size() < 5 || answer[0] != request[0])
        return false;
    if (quint8(answer[1]) == (quint8(request[1]) | Rtu::ExceptionFlag))
        return true;
    if (const int count = Hexedit::BlockCountOf(request); count > 0) {
        const int bytes = quint8(answer[2]);
        return answer[1] == request[1] && bytes >= 2 && bytes % 2 == 0 && bytes <= 2 * count &&
               answer.size() == 5 + bytes;
    }
    return answer.size() >= 6 && answer[1] == request[1] && answer[2] == request[2] &&
           answer[3] == request[3];
}

void LinkClient::onAnswer(const QByteArray& request, const QByteArray& answer)
{
    if (!isCurrentOnWire(request) || !fits(answer))
        return;
    Current& c = *m_current;
    c.result.answerMs = std::max(0.0, m_link.clock() - c.sentAt);
    c.result.answer = answer;
    if (quint8(answer[1]) & Rtu::ExceptionFlag) {
        c.result.exceptionCode = quint8(answer[2]);
        finish(LinkResult::Outcome::Exception);
        return;
    }
    if (Hexedit::BlockCountOf(c.frame) > 0) {
        for (int at = 3; at + 1 < answer.size() - 2; at += 2)
            c.result.values << quint16(quint8(answer[at]) << 8 | quint8(answer[at + 1]));
        c.result.value = c.result.values.value(0);
    } else {
        c.result.value = quint16(quint8(answer[4]) << 8 | quint8(answer[5]));
    }
    finish(LinkResult::Outcome::Answered);
}

void LinkClient::onTimedOut(const QByteArray& request, int strayBytes)
{
    if (!isCurrentOnWire(request))
        return;
    Current& c = *m_current;
    if (strayBytes > 0)
        ++c.result.damaged;
    const int retries = c.request.retries >= 0 ? c.request.retries
                        : c.session            ? c.session->m_retries
                                               : 0;
    if (c.result.attempts > retries) {
        finish(LinkResult::Outcome::TimedOut);
        return;
    }
    // Sent again from the event loop, not from inside the link's time-out.
    c.onWire = false;
    m_watchdog.stop();
    QTimer::singleShot(0, this, [this, frame = c.frame] {
        if (m_current && !m_current->onWire && m_current->frame == frame)
            sendCurrent();
    });
}

void LinkClient::onWatchdog()
{
    if (m_current) {
        m_link.WithdrawFrame(m_current->ticket);
        finish(m_current->onWire ? LinkResult::Outcome::TimedOut : LinkResult::Outcome::NotSent);
    }
}

void LinkClient::finish(LinkResult::Outcome outcome)
{
    m_watchdog.stop();
    Current done = std::move(*m_current);
    m_current.reset();
    done.result.outcome = outcome;
    // The callback goes with its session: once the owner is gone, nobody is
    // called. The next request is started afterwards, from the event loop.
    if (done.session && done.done) {
        QTimer::singleShot(
            0, done.session,
            [callback = std::move(done.done), result = done.result] { callback(result); });
    }
    if (!m_nextScheduled) {
        m_nextScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_nextScheduled = false;
            startNext();
        });
    }
}
