// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

// One request of a tool: read or write one parameter register of one drive.
struct LinkRequest
{
    enum class Kind
    {
        Read,
        Write
    };
    quint8 address = 1;
    Kind kind = Kind::Read;
    quint16 reg = 0;   // group << 8 | index
    quint16 value = 0; // written value (writes only)

    static LinkRequest read(quint8 address, quint16 reg) { return {address, Kind::Read, reg, 0}; }
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
    int damaged = 0; // attempts that heard bytes making no valid answer
    double answerMs = 0;
    QByteArray answer; // the answer frame as it came in

    bool ok() const { return outcome == Outcome::Answered; }
};

// What the link client has seen of one drive.
struct DriveCounters
{
    int sent = 0;
    int answered = 0;
    int timedOut = 0;
    int damaged = 0;
    int exceptions = 0;
    double totalAnswerMs = 0;
    double maxAnswerMs = 0;
    double meanAnswerMs() const
    {
        return answered + exceptions > 0 ? totalAnswerMs / (answered + exceptions) : 0;
    }
};

// Requests with answers on the shared link: one request of the client on the
// line at a time, its answer matched by address, kind and register, retried
// after the link's answer time-out, and counted per drive. Frames take their
// turn in the link's own queue, so a run command the user gives goes out
// between two requests of a job, and a STOP before anything else.
//
// Results are handed over from the event loop, never from inside the receive
// path, so a caller may submit its next request from the callback.
class LinkClient : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const LinkResult&)>;

    explicit LinkClient(Hexedit& link, QObject* parent = nullptr);

    Hexedit& link() { return m_link; }

    // Further attempts after the first one times out (default 1).
    void setRetries(int retries);
    int retries() const { return m_retries; }

    void submit(const LinkRequest& request, Done done);
    // Ends every request not yet answered with NotSent.
    void cancelAll();
    bool busy() const { return m_current.has_value() || !m_queue.empty(); }

    // A job holds the line while it runs: the main window's poll tick stands
    // aside meanwhile and picks up where it was afterwards.
    void holdLine(bool held);
    bool lineHeld() const { return m_held; }

    DriveCounters counters(quint8 address) const { return m_counters.value(address); }
    void resetCounters() { m_counters.clear(); }

    // Milliseconds of a steady clock; tests put a manual one here.
    std::function<double()> clock;

signals:
    void lineHeldChanged(bool held);

private:
    struct Pending
    {
        LinkRequest request;
        QByteArray frame;
        Done done;
        LinkResult result;
        bool onWire = false;
        double sentAt = 0;
    };

    void startNext();
    void sendCurrent();
    void onFrameSent(const QByteArray& frame);
    void onAnswer(const QByteArray& request, const QByteArray& answer);
    void onTimedOut(const QByteArray& request, int strayBytes);
    void onWatchdog();
    void finish(LinkResult::Outcome outcome);
    bool fits(const QByteArray& answer) const;

    Hexedit& m_link;
    int m_retries = 1;
    bool m_held = false;
    std::optional<Pending> m_current;
    std::deque<Pending> m_queue;
    QMap<quint8, DriveCounters> m_counters;
    // Should the link drop a queued frame (port closed meanwhile) no answer or
    // time-out ever comes: this ends the wait.
    QTimer m_watchdog;
    QElapsedTimer m_steady;
};
