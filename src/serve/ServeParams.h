// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>

class BrokerLink;
class LinkClient;
class LinkSession;
class RestoreJob;
class ServeJournal;
struct WriteItem;

// Parameters of the line's drives read and written from the broker, as
// `vfdctl get` and `vfdctl set` do them on the line itself:
//   PREFIX/LINE/DRIVE/get  {"id": "7", "parameters": ["P0.14", "P0.15"], "reply": "scada/answers"}
//   PREFIX/LINE/DRIVE/set  {"id": "8", "values": {"P0.14": 12.5}, "client": "scada-1"}
// ("parameter"/"value" for one; a plain "P0.14 P0.15" or "P0.14=12.5" is taken too).
// The answer goes to the topic the request names in "reply", else to
// PREFIX/LINE/DRIVE/reply, with the request's id: each parameter's value,
// unit and raw value, or the drive's exception or its silence; a write also
// with the value before it, what became of it and what was read back.
//
// Nothing is obeyed unless the configuration enables commands, and a write
// only for the parameters it lists as writable ([commands] writable). Like
// vfdctl set, every value is checked against the catalogue's limits before
// anything is sent (one mistake, no write), the value each write replaces is
// read first, the drive must answer its status and be stopped, and each
// write is read back and journaled when the service runs from a site.
// Requests are taken one at a time, on a session of the line's link client:
// the drives' readings go on between their exchanges.
class ServeParams : public QObject
{
    Q_OBJECT
public:
    // Requests waiting beyond the one under way; more are refused as busy.
    static constexpr int MostWaiting = 16;
    // Parameters one request may name.
    static constexpr int MostPerRequest = 32;

    ServeParams(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
                BrokerLink& broker, QObject* parent = nullptr);
    ~ServeParams() override;

    QStringList filters() const;
    void take(const QString& topic, const QByteArray& payload, bool retained);
    // A request that comes another way than the plain topics (a Sparkplug
    // host's DCMD): the payload as a get or set topic takes it, the same
    // checks, queue and journal; its answer goes to `done` instead of a
    // reply topic, refusals included.
    using Answered = std::function<void(const QJsonObject& answer)>;
    void request(quint8 address, bool write, const QByteArray& payload, const Answered& done);
    void setJournal(ServeJournal* journal) { m_journal = journal; }

    // The configuration's key "writable": parameters such as "P0.14, P0.15";
    // empty on success, else why not.
    static QString parseWritable(const QString& value, QList<quint16>& into);
    // The key "share" of [drift]: "5%" or "5" (per cent, 0 to 50).
    static QString parseShare(const QString& value, double& into);

signals:
    void logLine(const QString& text);
    // Writes to the drive begin (true) or are over (false): what it reads
    // back meanwhile is no drift.
    void writing(quint8 address, bool busy);
    // A parameter was written, and what it now holds as far as known: not a drift.
    void written(quint8 address, quint16 reg, quint16 raw);

private:
    struct Request
    {
        bool write = false;
        quint8 address = 0;
        QJsonValue id;
        QString reply;
        QString client;
        QList<quint16> registers; // a read
        QList<WriteItem> writes;  // a write, in the order they go
        Answered done;            // set: the answer goes here, not to the broker
    };

    void admit(Request& r, const QByteArray& payload, bool retained);

    // Why the request cannot be obeyed, before anything is sent; empty when it can.
    QString parse(Request& r, const QByteArray& payload) const;
    void next();
    void read(const Request& r);
    void write(const Request& r);
    void finishWrite(const Request& r, const QMap<quint16, quint16>& before);
    void answer(const Request& r, const QJsonArray& results, const QString& error = {});

    const ServeLineConfig& m_line;
    const ServeConfig& m_config;
    LinkClient& m_client;
    BrokerLink& m_broker;
    ServeJournal* m_journal = nullptr;
    QString m_base; // PREFIX/LINE/
    LinkSession* m_session;
    std::unique_ptr<RestoreJob> m_job;
    std::deque<Request> m_waiting;
    bool m_busy = false;
};
