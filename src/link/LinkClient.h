// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// One request of a tool: read or write one register of one drive.
struct LinkRequest
{
    enum class Kind
    {
        Read,
        Write
    };
    quint8 address = 1;
    Kind kind = Kind::Read;
    quint16 reg = 0;   // group << 8 | index, or a running value or the status
    quint16 value = 0; // written value (writes only)
    // Registers from reg on in one standard read (2..125); 0: the dialect's
    // single read, answered in the drive's own layout.
    quint16 count = 0;
    // How long to wait for the answer (ms); 0: the link's own time-out.
    int timeoutMs = 0;
    // Further attempts after a time-out; -1: the session's.
    int retries = -1;

    static LinkRequest read(quint8 address, quint16 reg) { return {address, Kind::Read, reg, 0}; }
    static LinkRequest readBlock(quint8 address, quint16 reg, quint16 count)
    {
        return {address, Kind::Read, reg, 0, count};
    }
    static LinkRequest write(quint8 address, quint16 reg, quint16 value)
    {
        return {address, Kind::Write, reg, value};
    }
    QByteArray frame() const;
};

// How a request ended.
struct LinkResult
{
    enum class Outcome
    {
        Answered,  // value holds what the drive answered (read) or took (write)
        Exception, // the drive refused: exceptionCode
        TimedOut,  // no fitting answer after every attempt
        NotSent,   // the port was closed or went away, or the request was cancelled
    };
    Outcome outcome = Outcome::NotSent;
    quint16 value = 0;
    quint8 exceptionCode = 0;
    int attempts = 0;
    int damaged = 0;   // attempts that heard bytes making no valid answer
    bool late = false; // the answer came after its time-out, while the line was kept quiet
    // The frame went out on the line at least once: a write that then got no
    // answer may have been taken all the same.
    bool wentOut = false;
    double answerMs = 0;
    QByteArray answer; // the answer frame as it came in
    // A block read's values, from its first register on: as many as the
    // drive answered, which may be fewer than asked.
    QList<quint16> values;

    bool ok() const { return outcome == Outcome::Answered; }
};

class LinkClient;

// What one owner (a window, a job) asks of the link. It lives as a child of
// its owner and dies with it: requests still waiting are dropped, and an
// answer that comes in afterwards reaches nobody. Its retries, its queue and
// its cancel are its own; the line is held while any session holds it.
class LinkSession : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const LinkResult&)>;
    ~LinkSession() override;

    // The result is handed over from the event loop, never from inside the
    // receive path, so the callback may submit the next request.
    void submit(const LinkRequest& request, Done done);
    // Ends this session's requests not yet answered with NotSent; a frame
    // still waiting for its turn on the line does not go out.
    void cancel();
    bool busy() const;

    // Further attempts after the first one times out.
    void setRetries(int retries);
    int retries() const { return m_retries; }

    // A job holds the line while it runs: the main window's poll tick stands
    // aside meanwhile and picks up where it was afterwards.
    void holdLine(bool held);
    bool holdsLine() const { return m_holds; }

    LinkClient* client() const { return m_client; }

    // When its turn comes, up to `turns` requests in a row where other
    // sessions take one, and after each the line waits up to graceMs for its
    // next before another session's goes: for requests that come from afar
    // (the clients of a shared line), whose next is never in the queue the
    // moment the answer to the last is.
    void setTurns(int turns, int graceMs);

private:
    friend class LinkClient;
    LinkSession(LinkClient& client, QObject* owner);

    struct Queued
    {
        LinkRequest request;
        Done done;
    };
    QPointer<LinkClient> m_client;
    std::deque<Queued> m_queue;
    int m_retries = 1;
    bool m_holds = false;
    int m_turns = 1;
    int m_graceMs = 0;
};

// What the link has learnt of one drive since the line was opened: whether it
// answers standard reads of several registers, and how many at most.
struct BlockReads
{
    enum class Known
    {
        NotYet, // not asked yet
        Takes,  // answered the probe right
        Refuses // refused it, stayed silent, or answered what did not fit
    };
    Known known = Known::NotYet;
    int largest = 0; // most registers it answered in one read
    int limit = 0;   // never ask more than this (0: no limit learnt yet)
};

// Requests with answers on the shared link: one request of the client on the
// line at a time, taken from the sessions in turn, its answer matched by
// address, kind and register (and by the ticket of its very frame), retried
// after the link's answer time-out. Frames take their turn in the link's own
// queue, so a run command the user gives goes out between two requests of a
// job, and a STOP before anything else.
class LinkClient : public QObject
{
    Q_OBJECT
public:
    explicit LinkClient(Hexedit& link, QObject* parent = nullptr);
    ~LinkClient() override;

    Hexedit& link() { return m_link; }

    // A session for owner; owner owns it.
    LinkSession* openSession(QObject* owner);

    // Retries of sessions opened from now on (default 1).
    void setRetries(int retries);
    int retries() const { return m_retries; }

    bool busy() const;
    bool lineHeld() const { return m_holds > 0; }

    // Per drive, forgotten whenever the line is opened or closed: a drive is
    // asked once per opening whether it takes block reads (see BlockReader).
    BlockReads blockReads(quint8 address) const { return m_blockReads[address]; }
    void setBlockReads(quint8 address, const BlockReads& reads) { m_blockReads[address] = reads; }

signals:
    void lineHeldChanged(bool held);

private:
    friend class LinkSession;

    struct Current
    {
        LinkSession* session = nullptr; // null once its session is gone
        LinkRequest request;
        LinkSession::Done done;
        QByteArray frame;
        LinkResult result;
        quint64 ticket = 0;
        bool onWire = false;
        double sentAt = 0;
    };

    void detach(LinkSession* session);
    void changeHold(int delta);
    void scheduleNext();
    void startNext();
    void take(size_t index);
    void sendCurrent();
    void onFrameSent();
    void onAnswer(const QByteArray& request, const QByteArray& answer);
    void onTimedOut(const QByteArray& request, int strayBytes);
    void onWatchdog();
    void finish(LinkResult::Outcome outcome);
    bool fits(const QByteArray& answer) const;
    bool isCurrentOnWire(const QByteArray& request) const;

    Hexedit& m_link;
    int m_retries = 1;
    int m_holds = 0;
    std::vector<LinkSession*> m_sessions;
    size_t m_turn = 0;
    std::optional<Current> m_current;
    std::array<BlockReads, 256> m_blockReads{};
    bool m_nextScheduled = false;
    // The session whose request went last, and how many of its went in a row.
    LinkSession* m_last = nullptr;
    int m_inRow = 0;
    QTimer m_grace;
    // Should the link drop a queued frame (port closed meanwhile) no answer or
    // time-out ever comes: this ends the wait.
    QTimer m_watchdog;
};
