// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DiskQueue.h"
#include "ServeConfig.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <set>

struct mosquitto;
struct mosquitto_message;

// The connection to the MQTT broker, through libmosquitto on its own network
// thread (mosquitto_loop_start): the library keeps the connection, its
// keep-alive and the TLS handshake going while this process's event loop
// reads the drives, and whatever it reports is handed to this object's
// thread before anything is touched.
//
// Every message goes through the disk queue and leaves it only once the
// broker has acknowledged it (QoS 1). A connection that breaks is closed for
// good and a new client made for the next one, so nothing the old session
// held is sent again by the library behind the queue's back: the queue alone
// decides the order, and after a reconnect it starts again at its oldest
// unacknowledged message.
class BrokerLink : public QObject
{
    Q_OBJECT
public:
    // Messages on the wire at once, waiting for their acknowledgement.
    static constexpr int InFlight = 50;

    BrokerLink(const ServeConfig& config, DiskQueue& queue, QObject* parent = nullptr);
    ~BrokerLink() override;

    // Checks what can be checked before connecting (password file, CA file)
    // and starts connecting; false (and why) if it cannot.
    bool start(QString* error);
    // Says "offline" on the service's topic, waits up to waitMs for the queue
    // to empty, and disconnects.
    void stop(int waitMs);

    void publish(const QString& topic, const QByteArray& payload, bool retain);
    // The queue's front went or it changed otherwise: its health is said.
    void queueChanged();
    // Messages on the topics of the filter are wanted, on every connection.
    void subscribe(const QString& filter);
    bool connected() const { return m_connected; }
    // Where the connection's own state goes (its queue's, its journal's).
    virtual QString serviceTopic() const;

signals:
    void connectedChanged(bool connected);
    // A message on a subscribed topic.
    void messageReceived(const QString& topic, const QByteArray& payload, bool retained);
    // A line for the log (the journal, when run as a service).
    void logLine(const QString& text);

protected:
    // How a connection presents itself. The plain topics' connection: the
    // client id, "offline" on the service's topic as its will and when it
    // stops, "online" when it connects. Another way of writing the same
    // readings (Sparkplug) has a connection and queue of its own.
    virtual QString clientIdentity() const;
    // Asked once for every new connection, before it is made.
    virtual BrokerMessage lastWill();
    // Connected and subscribed: what goes out before the queue.
    virtual void greet();
    virtual BrokerMessage farewell();
    // The payload of a queued message as it goes out now.
    virtual QByteArray outgoing(const BrokerMessage& message) { return message.payload; }
    // Whether the queue waits although connected.
    virtual bool holding() const { return false; }
    // Beside the queue, at once; false when not connected.
    bool sendNow(const BrokerMessage& message);
    // Ends this connection and makes a new one a little later.
    void reconnectSoon();
    void pump();
    const ServeConfig& m_config;
    DiskQueue& m_queue;

private:
    void connectNow();
    void dropClient();
    void onConnect(int rc);
    void onDisconnect(int rc);
    void onPublished(int mid);
    void say(const QString& text);
    void subscribeNow(const QString& filter);
    // What the library said last, with the file it was reading when that
    // was the TLS set-up.
    QString lastErrorText() const;
    void publishQueueState();
    void onQueueWatch();

    // Runs call(link) on the link's own thread, unless the client it came
    // from has been dropped meanwhile.
    template <class Call> static void handOver(mosquitto* client, void* self, Call call);
    static void connectCallback(mosquitto*, void* self, int rc);
    static void disconnectCallback(mosquitto*, void* self, int rc);
    static void publishCallback(mosquitto*, void* self, int mid);
    static void messageCallback(mosquitto*, void* self, const mosquitto_message* message);
    static void logCallback(mosquitto*, void* self, int level, const char* text);

    QByteArray m_password;
    mosquitto* m_client = nullptr;
    bool m_connected = false;
    bool m_stopping = false;
    // Message ids of the queue's first messages, those sent on this connection.
    std::deque<int> m_sentIds;
    std::set<int> m_acked;
    QStringList m_filters;
    QTimer m_retry;
    // What the library last logged as an error: the reason a connection failed.
    QString m_lastError;
    QString m_lastSaid;
    // MQTT 5 keeps a message's retain flag for a subscriber already
    // subscribed; a broker that speaks only 3.1.1 is asked in that.
    bool m_v5 = true;
    // While the queue's file cannot be written: tried again, and said.
    QTimer m_queueWatch;
    int m_atRiskPublished = -1;
    QElapsedTimer m_atRiskLogged;
};
