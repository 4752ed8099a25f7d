// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModbusTcpFrames.h"
#include "ServeConfig.h"
#include "ShareRules.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <list>
#include <memory>

class Hexedit;
class LinkClient;
class LinkSession;
class ServeJournal;
struct LinkRequest;
struct LinkResult;

// A line of the service offered to other masters: a Modbus TCP server on the
// line's `share` address. Each request a client sends goes on the line
// between the service's own, one at a time, and its answer goes back under
// the client's transaction id: the drive's own bytes (the dialect's single
// reads as they are), its exception, or 0x0B when it did not answer.
//
// The clients are one party on the line's link client: between two of the
// service's requests they get at most `share-turns` of theirs, taken from the
// connections in turn, so the service's readings are delayed while a client
// works, never shut out, and three clients take no more than one. A client
// that is not admitted (share-clients) is disconnected at once.
//
// Parameter writes and run commands go only where the line allows them, after
// the checks vfdctl makes (ShareRules), and into the site's journal with the
// client's address. A STOP from any client goes at once, ahead of everything.
class LineShare : public QObject
{
    Q_OBJECT
public:
    // Requests one connection may have waiting; more are answered "busy".
    static constexpr int QueueLimit = 32;
    // How long the line waits after a client's answer for that party's next
    // request before the service's goes: a client on the plant's network
    // sends its next well within this.
    static constexpr int GraceMs = 10;
    // How long the drive's upper limit (P0.06) read for a run command holds.
    static constexpr int UpperLimitMs = 60000;

    LineShare(const ServeLineConfig& line, LinkClient& client, QObject* parent = nullptr);
    ~LineShare() override;

    // Listens; false (and why) when the address cannot be taken.
    bool listen(QString* error);
    void setJournal(ServeJournal* journal) { m_journal = journal; }
    // What the service's last reading of a drive's status said; nullopt: no answer.
    void setDriveState(quint8 address, std::optional<bool> running);

    // The service stops: every request still waiting is answered 0x0A, the
    // connections are closed, and each drive a client started is told to
    // stop. Whether any STOP went.
    bool stop();
    // Whether those stops have been answered, or given up on.
    bool stopsDone() const { return m_finalStops.isEmpty(); }

    int connections() const { return int(m_connections.size()); }
    quint16 port() const { return m_server.serverPort(); }

signals:
    void logLine(const QString& text);

private:
    struct Connection
    {
        QTcpSocket* socket = nullptr; // owned by the share
        QString who;                  // "127.0.0.1:40312"
        ModbusTcp::StreamSplitter stream;
        std::deque<ModbusTcp::Adu> queue;
    };
    using ConnectionRef = std::list<Connection>::iterator;
    // A control frame handed to the link itself (run commands, STOPs).
    struct Direct
    {
        QPointer<QTcpSocket> socket;
        QString who;
        ModbusTcp::Adu request;
        QByteArray frame;
        quint64 ticket = 0;
        bool takesTurn = false; // a run command holds the clients' turn; a STOP does not
        QElapsedTimer since;
    };
    // The client's request on its way, answered "unavailable" should the service stop.
    struct Current
    {
        QPointer<QTcpSocket> socket;
        ModbusTcp::Adu request;
    };
    struct Remembered
    {
        quint16 raw = 0;
        QElapsedTimer at;
    };

    void accept();
    void receive(ConnectionRef c);
    void drop(ConnectionRef c);
    void pump();
    void handle(Connection& c, const ModbusTcp::Adu& request);
    void submit(Connection& c, const ModbusTcp::Adu& request, const LinkRequest& link);
    void parameterWrite(Connection& c, const ModbusTcp::Adu& request);
    void runCommand(Connection& c, const ModbusTcp::Adu& request);
    void sendCommand(QTcpSocket* socket, const QString& who, const ModbusTcp::Adu& request,
                     bool takesTurn);
    void commandEnded(const QByteArray& request, const std::optional<QByteArray>& answer);
    void sweepDirect();
    void turnDone();
    void remember(quint8 unit, quint16 reg, const LinkResult& result);
    std::optional<quint16> recent(quint8 unit, quint16 reg, int withinMs) const;
    void journalWrite(const QString& who, quint8 unit, quint16 reg, quint16 value,
                      const LinkResult& write, std::optional<quint16> before,
                      const LinkResult* readBack);
    void journalCommand(const QString& who, quint8 unit, quint8 code, quint16 setpoint,
                        const QString& result);
    void refuse(QTcpSocket* socket, const QString& who, const ModbusTcp::Adu& request,
                const ShareRules::Refusal& refusal, bool say = true);
    ShareRules::DriveView view(quint8 unit) const;
    static void reply(QTcpSocket* socket, const ModbusTcp::Adu& request, const QByteArray& pdu);
    static void exception(QTcpSocket* socket, const ModbusTcp::Adu& request, quint8 code);

    const ServeLineConfig& m_line;
    LinkClient& m_client;
    Hexedit& m_link;
    LinkSession* m_session; // owned: the clients' requests, as one party
    ServeJournal* m_journal = nullptr;
    QTcpServer m_server;
    std::list<Connection> m_connections;
    size_t m_next = 0;     // whose request goes next, in turn
    bool m_inTurn = false; // a client's request is on its way
    Current m_current;
    quint64 m_generation = 0; // answers after stop() reach nobody
    std::list<Direct> m_direct;
    QTimer m_sweep;
    QHash<quint8, std::optional<bool>> m_running;
    QHash<quint32, Remembered> m_remembered; // unit << 16 | register
    QSet<quint8> m_startedByClients;
    QHash<quint8, QString> m_lastCommand; // journaled last per drive
    QSet<quint8> m_finalStops;
    QSet<QString> m_refusedHosts;         // said once each
    QHash<quint8, QString> m_lastRefusal; // logged last per drive, not again while the same
    bool m_stopping = false;
};
