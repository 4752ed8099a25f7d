// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrokerLink.h"

#include "ServeFiles.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>
#include <mqtt_protocol.h>

namespace {

constexpr int kKeepAliveS = 30;
constexpr int kConnectGuardMs = 5000;
constexpr int kReconnectMs = 2000;
// A broker that refuses us (a wrong password) is not asked again at once.
constexpr int kRefusedRetryMs = 30000;
constexpr qint64 kPasswordLimit = 4096;
constexpr qint64 kCaFileLimit = 1 << 20;
// CONNACK codes of MQTT 3.1.1 and their MQTT 5 counterparts.
constexpr int kV3BadProtocol = 1;
constexpr int kV3BadPassword = 4;
constexpr int kV3NotAuthorised = 5;

// Every client of ours carries which connection it was made for: what the
// library reports of a client already dropped is ignored.
struct ClientTag
{
    BrokerLink* link;
    quint64 generation;
};

struct LibraryInit
{
    LibraryInit() { mosquitto_lib_init(); }
};

} // namespace

BrokerLink::BrokerLink(const ServeConfig& config, DiskQueue& queue, QObject* parent)
    : QObject(parent), m_config(config), m_queue(queue)
{
    static LibraryInit init;
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_connected || m_stopping)
            return;
        if (!m_lastError.isEmpty()) {
            say(QStringLiteral("the broker %1:%2 cannot be reached: %3")
                    .arg(m_config.host)
                    .arg(m_config.brokerPort)
                    .arg(lastErrorText()));
        }
        dropClient();
        connectNow();
    });
    m_queueWatch.setInterval(DiskQueue::RetryMs);
    connect(&m_queueWatch, &QTimer::timeout, this, &BrokerLink::onQueueWatch);
}

QString BrokerLink::lastErrorText() const
{
    if (!m_config.tls)
        return m_lastError;
    // What the library says of TLS is OpenSSL's, and names no file: say
    // which file of ours it was reading, and where that is set.
    if (m_lastError.contains(QStringLiteral("certificate verify failed")))
        return m_lastError + QStringLiteral(" (is ca-file %1 the CA that signed the broker's "
                                            "certificate?)")
                                 .arg(m_config.caFile);
    if (m_lastError.contains(QStringLiteral("OpenSSL")) ||
        m_lastError.contains(QStringLiteral("PEM")) || m_lastError.contains(QStringLiteral("TLS")))
        return m_lastError + QStringLiteral(" (reading ca-file %1)").arg(m_config.caFile);
    return m_lastError;
}

BrokerLink::~BrokerLink()
{
    dropClient();
}

QString BrokerLink::serviceTopic() const
{
    return m_config.prefix + QStringLiteral("/service/") + m_config.effectiveClientId();
}

QString BrokerLink::clientIdentity() const
{
    return m_config.effectiveClientId();
}

BrokerMessage BrokerLink::lastWill()
{
    return {serviceTopic(), QByteArrayLiteral("offline"), true};
}

BrokerMessage BrokerLink::farewell()
{
    return {serviceTopic(), QByteArrayLiteral("offline"), true};
}

void BrokerLink::greet()
{
    // The service's own status goes beside the queue: an "online" of an
    // earlier run still queued must never follow this one.
    sendNow({serviceTopic(), QByteArrayLiteral("online"), true});
}

bool BrokerLink::sendNow(const BrokerMessage& message)
{
    if (!m_connected)
        return false;
    const QByteArray topic = message.topic.toUtf8();
    return mosquitto_publish(m_client, nullptr, topic.constData(), int(message.payload.size()),
                             message.payload.constData(), 1, message.retain) == MOSQ_ERR_SUCCESS;
}

void BrokerLink::reconnectSoon()
{
    dropClient();
    m_retry.start(kReconnectMs);
}

bool BrokerLink::start(QString* error)
{
    if (!m_config.passwordFile.isEmpty()) {
        // The password stays out of the configuration and the command line,
        // where anyone listing processes or reading the file would see it.
        const auto read = ServeFiles::readInput(QStringLiteral("password-file"),
                                                m_config.passwordFile, kPasswordLimit, error);
        if (!read)
            return false;
        m_password = read->split('\n').value(0);
        if (m_password.endsWith('\r'))
            m_password.chop(1);
    }
    if (m_config.tls) {
        const auto ca =
            ServeFiles::readInput(QStringLiteral("ca-file"), m_config.caFile, kCaFileLimit, error);
        if (!ca)
            return false;
        if (!ServeFiles::holdsPemCertificate(*ca)) {
            if (error)
                *error = QStringLiteral("the ca-file %1 holds no certificate in PEM form "
                                        "(-----BEGIN CERTIFICATE-----)")
                             .arg(m_config.caFile);
            return false;
        }
    }
    connectNow();
    return true;
}

void BrokerLink::connectNow()
{
    static quint64 generation = 0;
    auto* tag = new ClientTag{this, ++generation};
    const QByteArray id = clientIdentity().toUtf8();
    // A clean session: what the broker kept of an earlier one would be sent
    // again beside the queue.
    m_client = mosquitto_new(id.constData(), true, tag);
    if (!m_client) {
        delete tag;
        say(QStringLiteral("no MQTT client could be made"));
        m_retry.start(kReconnectMs);
        return;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION,
                         m_v5 ? MQTT_PROTOCOL_V5 : MQTT_PROTOCOL_V311);
    const BrokerMessage will = lastWill();
    const QByteArray willTopic = will.topic.toUtf8();
    mosquitto_will_set(m_client, willTopic.constData(), int(will.payload.size()),
                       will.payload.constData(), 1, will.retain);
    if (!m_config.user.isEmpty())
        mosquitto_username_pw_set(m_client, m_config.user.toUtf8().constData(),
                                  m_password.constData());
    if (m_config.tls) {
        const int rc = mosquitto_tls_set(m_client, m_config.caFile.toLocal8Bit().constData(),
                                         nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            m_lastError = QString::fromUtf8(mosquitto_strerror(rc));
    }
    mosquitto_connect_callback_set(m_client, &BrokerLink::connectCallback);
    mosquitto_disconnect_callback_set(m_client, &BrokerLink::disconnectCallback);
    mosquitto_publish_callback_set(m_client, &BrokerLink::publishCallback);
    mosquitto_log_callback_set(m_client, &BrokerLink::logCallback);
    mosquitto_message_callback_set(m_client, &BrokerLink::messageCallback);
    // The library's own retries in the thread, until this object drops the client.
    mosquitto_reconnect_delay_set(m_client, 2, 2, false);
    const QByteArray host = m_config.host.toUtf8();
    const int rc =
        mosquitto_connect_async(m_client, host.constData(), m_config.brokerPort, kKeepAliveS);
    if (rc != MOSQ_ERR_SUCCESS)
        m_lastError = rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(strerror(errno))
                                           : QString::fromUtf8(mosquitto_strerror(rc));
    if (const int loop = mosquitto_loop_start(m_client); loop != MOSQ_ERR_SUCCESS)
        m_lastError = QString::fromUtf8(mosquitto_strerror(loop));
    m_retry.start(kConnectGuardMs);
}

void BrokerLink::dropClient()
{
    if (!m_client)
        return;
    auto* tag = static_cast<ClientTag*>(mosquitto_userdata(m_client));
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, true);
    mosquitto_destroy(m_client);
    delete tag;
    m_client = nullptr;
    m_sentIds.clear();
    m_acked.clear();
    if (m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
}

template <class Call> void BrokerLink::handOver(mosquitto* client, void* self, Call call)
{
    const auto* tag = static_cast<ClientTag*>(self);
    BrokerLink* link = tag->link;
    QMetaObject::invokeMethod(
        link,
        [link, client, generation = tag->generation, call = std::move(call)] {
            if (link->m_client == client &&
                static_cast<ClientTag*>(mosquitto_userdata(client))->generation == generation)
                call(link);
        },
        Qt::QueuedConnection);
}

void BrokerLink::connectCallback(mosquitto* client, void* self, int rc)
{
    handOver(client, self, [rc](BrokerLink* link) { link->onConnect(rc); });
}

void BrokerLink::disconnectCallback(mosquitto* client, void* self, int rc)
{
    handOver(client, self, [rc](BrokerLink* link) { link->onDisconnect(rc); });
}

void BrokerLink::publishCallback(mosquitto* client, void* self, int mid)
{
    handOver(client, self, [mid](BrokerLink* link) { link->onPublished(mid); });
}

void BrokerLink::messageCallback(mosquitto* client, void* self, const mosquitto_message* message)
{
    // Copied here: the library frees the message once this returns.
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    handOver(client, self, [topic, payload, retained](BrokerLink* link) {
        emit link->messageReceived(topic, payload, retained);
    });
}

void BrokerLink::logCallback(mosquitto*, void* self, int level, const char* text)
{
    if (level != MOSQ_LOG_ERR)
        return;
    BrokerLink* link = static_cast<ClientTag*>(self)->link;
    const QString line = QString::fromUtf8(text);
    QMetaObject::invokeMethod(
        link, [link, line] { link->m_lastError = line; }, Qt::QueuedConnection);
}

void BrokerLink::onConnect(int rc)
{
    if (m_v5 && (rc == kV3BadProtocol || rc == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION)) {
        say(QStringLiteral("the broker %1:%2 speaks MQTT 3.1.1 only: a command left retained "
                           "is told from a fresh one only by the time it carries")
                .arg(m_config.host)
                .arg(m_config.brokerPort));
        m_v5 = false;
        dropClient();
        m_retry.start(0);
        return;
    }
    if (rc != 0) {
        // Refused (a wrong password, a client id not allowed): the library
        // would try again at once, and again; say why and wait.
        const bool password = rc == kV3BadPassword || rc == MQTT_RC_BAD_USERNAME_OR_PASSWORD;
        const bool denied = rc == kV3NotAuthorised || rc == MQTT_RC_NOT_AUTHORIZED;
        QString why = password ? QStringLiteral("bad user name or password")
                      : denied ? QStringLiteral("not authorised")
                               : QString::fromUtf8(rc >= 128 ? mosquitto_reason_string(rc)
                                                             : mosquitto_connack_string(rc));
        why.remove(QStringLiteral("Connection Refused: "));
        if (why.endsWith(u'.'))
            why.chop(1);
        if (password || denied)
            why += QStringLiteral(" (check user and password-file; trying again in %1 s)")
                       .arg(kRefusedRetryMs / 1000);
        say(QStringLiteral("the broker %1:%2 refused the connection: %3")
                .arg(m_config.host)
                .arg(m_config.brokerPort)
                .arg(why));
        m_lastError.clear();
        dropClient();
        m_retry.start(kRefusedRetryMs);
        return;
    }
    m_retry.stop();
    m_connected = true;
    m_lastError.clear();
    say(QStringLiteral("connected to the broker %1:%2")
            .arg(m_config.host)
            .arg(m_config.brokerPort));
    // A clean session forgets them: asked for again on every connection,
    // before anything that may be answered on them goes out.
    for (const QString& filter : m_filters)
        subscribeNow(filter);
    greet();
    const QByteArray status = serviceTopic().toUtf8();
    if (const qint64 dropped = m_queue.takeDropped(); dropped > 0) {
        say(QStringLiteral("the queue was full: the %1 oldest readings were dropped").arg(dropped));
        QJsonObject o;
        o.insert(QStringLiteral("dropped"), dropped);
        o.insert(QStringLiteral("time"),
                 QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        const QByteArray payload = QJsonDocument(o).toJson(QJsonDocument::Compact);
        const QByteArray topic = status + "/dropped";
        mosquitto_publish(m_client, nullptr, topic.constData(), int(payload.size()),
                          payload.constData(), 1, false);
    }
    if (!m_config.queueDir.isEmpty())
        publishQueueState();
    emit connectedChanged(true);
    pump();
}

void BrokerLink::onDisconnect(int rc)
{
    if (m_stopping)
        return;
    say(QStringLiteral("the connection to the broker was lost (%1); %2 readings wait")
            .arg(QString::fromUtf8(mosquitto_strerror(rc)))
            .arg(m_queue.size()));
    dropClient();
    m_retry.start(kReconnectMs);
}

void BrokerLink::onPublished(int mid)
{
    bool ours = false;
    for (int id : m_sentIds)
        ours = ours || id == mid;
    if (!ours)
        return;
    m_acked.insert(mid);
    int done = 0;
    while (!m_sentIds.empty() && m_acked.count(m_sentIds.front())) {
        m_acked.erase(m_sentIds.front());
        m_sentIds.pop_front();
        ++done;
    }
    m_queue.popFront(done);
    queueChanged();
    pump();
}

void BrokerLink::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    const qint64 droppedBefore = m_queue.droppedEver();
    m_queue.push({topic, payload, retain});
    // A full queue dropped its oldest, which may have been on the wire: the
    // ids sent follow the queue's front.
    for (qint64 n = m_queue.droppedEver() - droppedBefore; n > 0 && !m_sentIds.empty(); --n) {
        m_acked.erase(m_sentIds.front());
        m_sentIds.pop_front();
    }
    queueChanged();
    pump();
}

void BrokerLink::subscribe(const QString& filter)
{
    if (m_filters.contains(filter))
        return;
    m_filters << filter;
    if (m_connected)
        subscribeNow(filter);
}

void BrokerLink::subscribeNow(const QString& filter)
{
    const QByteArray f = filter.toUtf8();
    // Retain as published: a command someone left retained keeps its flag
    // even when it comes while we are subscribed, so it can be refused.
    if (m_v5)
        mosquitto_subscribe_v5(m_client, nullptr, f.constData(), 1,
                               MQTT_SUB_OPT_RETAIN_AS_PUBLISHED, nullptr);
    else
        mosquitto_subscribe(m_client, nullptr, f.constData(), 1);
}

void BrokerLink::pump()
{
    while (m_connected && !holding() && int(m_sentIds.size()) < InFlight &&
           int(m_sentIds.size()) < m_queue.size()) {
        const BrokerMessage& m = m_queue.at(int(m_sentIds.size()));
        const QByteArray topic = m.topic.toUtf8();
        const QByteArray payload = outgoing(m);
        int mid = 0;
        const int rc = mosquitto_publish(m_client, &mid, topic.constData(), int(payload.size()),
                                         payload.constData(), 1, m.retain);
        if (rc != MOSQ_ERR_SUCCESS) {
            // The connection is going; its loss is reported and the queue
            // starts again there.
            m_lastError = QString::fromUtf8(mosquitto_strerror(rc));
            return;
        }
        m_sentIds.push_back(mid);
    }
}

void BrokerLink::stop(int waitMs)
{
    if (m_connected) {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer wake;
        connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
        wake.start(20);
        while (m_connected && !m_queue.empty() && clock.elapsed() < waitMs)
            loop.exec();
        if (m_connected) {
            sendNow(farewell());
            // Until the broker has it: the library's thread sends it.
            while (m_connected && mosquitto_want_write(m_client) && clock.elapsed() < waitMs + 1000)
                loop.exec();
            loop.processEvents(QEventLoop::AllEvents, 200);
        }
    }
    m_stopping = true;
    m_retry.stop();
    dropClient();
    QString why;
    if (!m_queue.flush(&why))
        say(QStringLiteral("the queue could not be written: ") + why);
    else if (!m_queue.empty())
        say(QStringLiteral("%1 readings kept for the next start").arg(m_queue.size()));
}

void BrokerLink::say(const QString& text)
{
    if (text == m_lastSaid)
        return;
    m_lastSaid = text;
    emit logLine(text);
}
