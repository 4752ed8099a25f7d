// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeParams.h"

#include "BrokerLink.h"
#include "CloneJob.h"
#include "LinkClient.h"
#include "ParamJobs.h"
#include "ParamSet.h"
#include "RtuProtocol.h"
#include "ServeJournal.h"
#include "SiteJournaling.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QRegularExpression>
#include <memory>

namespace {

QString who(const QString& client)
{
    return client.isEmpty() ? QStringLiteral("?") : client;
}

QJsonObject described(quint16 reg)
{
    return {{QStringLiteral("parameter"), ParamCatalogue::number(reg)},
            {QStringLiteral("name"), ParamCatalogue::name(reg).trimmed()},
            {QStringLiteral("unit"), ParamCatalogue::unit(reg)}};
}

QString failure(const LinkResult& r)
{
    return r.outcome == LinkResult::Outcome::Exception
               ? QStringLiteral("exception %1").arg(r.exceptionCode)
           : r.outcome == LinkResult::Outcome::TimedOut ? QStringLiteral("no answer")
                                                        : QStringLiteral("not sent");
}

// A catalogue parameter that holds a value; why not otherwise.
std::optional<quint16> parameterOf(const QString& word, QString* why)
{
    const std::optional<quint16> reg = ParamCatalogue::registerOf(word.trimmed().toUpper());
    if (!reg)
        *why = QStringLiteral("\"%1\" is no parameter of the catalogue (write it as P0.14)")
                   .arg(word.left(40));
    else if (ParamCatalogue::reserved(*reg))
        *why = QStringLiteral("%1 is reserved").arg(ParamCatalogue::number(*reg));
    else
        return reg;
    return std::nullopt;
}

} // namespace

ServeParams::ServeParams(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
                         BrokerLink& broker, QObject* parent)
    : QObject(parent), m_line(line), m_config(config), m_client(client), m_broker(broker),
      m_base(config.prefix + u'/' + line.name + u'/'), m_session(client.openSession(this))
{
}

ServeParams::~ServeParams()
{
    // The job's session goes before the client it asks through.
    m_job.reset();
    delete m_session;
}

QStringList ServeParams::filters() const
{
    return {m_base + QStringLiteral("+/get"), m_base + QStringLiteral("+/set")};
}

QString ServeParams::parseWritable(const QString& value, QList<quint16>& into)
{
    QList<quint16> list;
    for (const QString& word :
         value.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        QString why;
        const std::optional<quint16> reg = parameterOf(word, &why);
        if (!reg)
            return QStringLiteral("writable: ") + why;
        // Written from afar, they would cut the drive off from the line.
        if (CloneJob::DefaultLeaveOut().contains(*reg))
            return QStringLiteral("writable: %1 changes how the drive is reached and is never "
                                  "written from the broker")
                .arg(ParamCatalogue::number(*reg));
        if (!list.contains(*reg))
            list << *reg;
    }
    into = list;
    return {};
}

QString ServeParams::parseShare(const QString& value, double& into)
{
    QString text = value.trimmed();
    if (text.endsWith(u'%'))
        text.chop(1);
    bool ok = false;
    const double percent = text.trimmed().toDouble(&ok);
    if (!ok || !(percent >= 0) || percent > 50)
        return QStringLiteral("share takes a share of the line's time from 0% to 50%, such as "
                              "5%");
    into = percent / 100.0;
    return {};
}

void ServeParams::take(const QString& topic, const QByteArray& payload, bool retained)
{
    if (!topic.startsWith(m_base))
        return;
    const QString rest = topic.mid(m_base.size());
    const QStringList levels = rest.split(u'/');
    if (levels.size() != 2 || (levels[1] != u"get" && levels[1] != u"set"))
        return;
    Request r;
    r.write = levels[1] == u"set";
    bool number = false;
    const int address = levels[0].toInt(&number);
    if (!number || address < 1 || address > Rtu::HighestAddress)
        return;
    r.address = quint8(address);
    // An empty retained message only takes a retained one away.
    if (payload.isEmpty())
        return;
    admit(r, payload, retained);
}

void ServeParams::request(quint8 address, bool write, const QByteArray& payload,
                          const Answered& done)
{
    Request r;
    r.write = write;
    r.address = address;
    r.done = done;
    admit(r, payload, false);
}

void ServeParams::admit(Request& r, const QByteArray& payload, bool retained)
{
    const int address = r.address;
    const QString why = parse(r, payload);
    const QString what = r.write ? QStringLiteral("write") : QStringLiteral("read");
    auto refuse = [&](const QString& reason) {
        emit logLine(QStringLiteral("line %1: refused a parameter %2 from %3 for drive %4: %5")
                         .arg(m_line.name, what, who(r.client))
                         .arg(address)
                         .arg(reason));
        answer(r, {}, QStringLiteral("refused: ") + reason);
    };
    if (!m_config.commands)
        return refuse(QStringLiteral("commands are not enabled on this service"));
    if (retained)
        return refuse(QStringLiteral("retained; a request must be fresh"));
    if (!m_line.drives.contains(r.address))
        return refuse(QStringLiteral("not a drive this service serves"));
    if (!why.isEmpty())
        return refuse(why);
    if (int(m_waiting.size()) >= MostWaiting)
        return refuse(QStringLiteral("busy: %1 requests wait already").arg(MostWaiting));
    m_waiting.push_back(r);
    if (!m_busy)
        next();
}

QString ServeParams::parse(Request& r, const QByteArray& payload) const
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    QJsonObject o = doc.object();
    if (!doc.isObject()) {
        // Plain words: "P0.14 P0.15" to read, "P0.14=12.5" to write.
        const QStringList words = QString::fromUtf8(payload).split(
            QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
        if (!r.write) {
            o.insert(QStringLiteral("parameters"), QJsonArray::fromStringList(words));
        } else {
            QJsonObject values;
            for (const QString& w : words)
                values.insert(w.section(u'=', 0, 0),
                              w.contains(u'=') ? w.section(u'=', 1) : QJsonValue());
            o.insert(QStringLiteral("values"), values);
        }
    }
    r.id = o.value(QStringLiteral("id"));
    r.client = o.value(QStringLiteral("client")).toString().left(128);
    const QString reply = o.value(QStringLiteral("reply")).toString();
    r.reply = m_base + QString::number(r.address) + QStringLiteral("/reply");
    if (!reply.isEmpty()) {
        // Never a wildcard, nor one of the service's own topics other than a reply.
        if (reply.contains(u'+') || reply.contains(u'#') || reply.startsWith(u'$') ||
            reply.size() > 256 ||
            (reply.startsWith(m_config.prefix + u'/') && !reply.endsWith(QStringLiteral("/reply"))))
            return QStringLiteral("reply is a topic without wildcards, not one of the "
                                  "service's own");
        r.reply = reply;
    }
    if (!r.write) {
        QJsonArray list = o.value(QStringLiteral("parameters")).toArray();
        if (o.contains(QStringLiteral("parameter")))
            list.prepend(o.value(QStringLiteral("parameter")));
        if (list.isEmpty())
            return QStringLiteral("name a parameter (\"parameter\": \"P0.14\") or several "
                                  "(\"parameters\")");
        if (list.size() > MostPerRequest)
            return QStringLiteral("at most %1 parameters a request").arg(MostPerRequest);
        for (const QJsonValue& v : std::as_const(list)) {
            QString why;
            const std::optional<quint16> reg = parameterOf(v.toString(), &why);
            if (!reg)
                return why;
            r.registers << *reg;
        }
        return {};
    }
    QJsonObject values = o.value(QStringLiteral("values")).toObject();
    if (o.contains(QStringLiteral("parameter")))
        values.insert(o.value(QStringLiteral("parameter")).toString(),
                      o.value(QStringLiteral("value")));
    if (values.isEmpty())
        return QStringLiteral("name what to write (\"parameter\": \"P0.14\", \"value\": 12.5, "
                              "or \"values\")");
    if (values.size() > MostPerRequest)
        return QStringLiteral("at most %1 parameters a request").arg(MostPerRequest);
    // Every value is checked before anything is sent: one mistake, no write.
    for (auto it = values.begin(); it != values.end(); ++it) {
        QString why;
        const std::optional<quint16> reg = parameterOf(it.key(), &why);
        if (!reg)
            return why;
        const QString number = ParamCatalogue::number(*reg);
        if (!m_config.writable.contains(*reg))
            return QStringLiteral("%1 is not writable from the broker ([commands] writable)")
                .arg(number);
        const QJsonValue v = it.value();
        const QString text = v.isDouble()   ? QString::number(v.toDouble(), 'g', 10)
                             : v.isString() ? v.toString()
                                            : QString();
        if (text.isEmpty())
            return number + QStringLiteral(": no value to write");
        QString problem;
        const std::optional<quint16> raw = ParamCatalogue::rawOf(*reg, text, &problem);
        if (!raw)
            return number + QStringLiteral(": ") + problem;
        WriteItem w;
        w.reg = *reg;
        w.raw = *raw;
        r.writes << w;
    }
    // The restore's order: the limits the others are checked against first.
    std::stable_sort(r.writes.begin(), r.writes.end(), [](const WriteItem& a, const WriteItem& b) {
        return ParamCatalogue::isLimitParameter(a.reg) > ParamCatalogue::isLimitParameter(b.reg);
    });
    return {};
}

void ServeParams::next()
{
    if (m_waiting.empty()) {
        m_busy = false;
        return;
    }
    m_busy = true;
    const Request r = m_waiting.front();
    m_waiting.pop_front();
    if (r.write)
        write(r);
    else
        read(r);
}

void ServeParams::read(const Request& r)
{
    auto results = std::make_shared<QList<LinkResult>>();
    for (const quint16 reg : r.registers)
        m_session->submit(
            LinkRequest::read(r.address, reg), [this, r, results](const LinkResult& x) {
                results->append(x);
                if (results->size() < r.registers.size())
                    return;
                QJsonArray list;
                for (int i = 0; i < r.registers.size(); ++i) {
                    const quint16 reg = r.registers[i];
                    const LinkResult& got = results->at(i);
                    QJsonObject o = described(reg);
                    if (got.ok()) {
                        o.insert(QStringLiteral("value"), ParamCatalogue::shown(reg, got.value));
                        o.insert(QStringLiteral("raw"), got.value);
                    } else {
                        o.insert(QStringLiteral("error"), failure(got));
                    }
                    list.append(o);
                }
                answer(r, list);
                next();
            });
}

void ServeParams::write(const Request& r)
{
    // The value each write replaces, for the answer and the journal, as vfdctl set reads it.
    auto before = std::make_shared<QMap<quint16, quint16>>();
    auto count = std::make_shared<int>(0);
    for (const WriteItem& w : r.writes)
        m_session->submit(LinkRequest::read(r.address, w.reg),
                          [this, r, before, count, reg = w.reg](const LinkResult& x) {
                              if (x.ok())
                                  before->insert(reg, x.value);
                              if (++*count == r.writes.size())
                                  finishWrite(r, *before);
                          });
}

void ServeParams::finishWrite(const Request& r, const QMap<quint16, quint16>& before)
{
    emit writing(r.address, true);
    m_job = std::make_unique<RestoreJob>(m_client, r.address, r.writes);
    connect(m_job.get(), &RestoreJob::finished, this, [this, r, before] {
        // Handed on from the event loop: the job is done with its own signal.
        QMetaObject::invokeMethod(
            this,
            [this, r, before] {
                const std::unique_ptr<RestoreJob> job = std::move(m_job);
                ParamSet was;
                for (auto it = before.begin(); it != before.end(); ++it)
                    was.values.insert(it.key(), {ParamValue::State::Value, it.value()});
                const QString refusal = RefusalText(job->refusal(), r.address);
                if (m_journal)
                    for (const WriteItem& w : job->items())
                        if (const auto outcome = SiteJournaling::outcomeOf(w))
                            m_journal->wrote(SiteJournaling::writeEntry(
                                QStringLiteral("serve, ") + ServeJournal::askedBy(r.client),
                                m_line.name, r.address, w.reg, was.raw(w.reg), w.raw, *outcome,
                                w.outcome == WriteItem::Outcome::Written ? std::nullopt
                                                                         : w.readBack));
                QJsonArray list;
                for (const WriteItem& w : job->items()) {
                    QJsonObject o = described(w.reg);
                    if (const auto b = was.raw(w.reg))
                        o.insert(QStringLiteral("before"), ParamCatalogue::shown(w.reg, *b));
                    o.insert(QStringLiteral("value"), ParamCatalogue::shown(w.reg, w.raw));
                    o.insert(QStringLiteral("raw"), w.raw);
                    o.insert(QStringLiteral("outcome"), w.outcomeWord());
                    if (w.readBack)
                        o.insert(QStringLiteral("readBack"),
                                 ParamCatalogue::shown(w.reg, *w.readBack));
                    // As the journal has it: what a write may have left in the drive.
                    if (const auto outcome = SiteJournaling::outcomeOf(w);
                        outcome && *outcome != JournalEntry::Outcome::Refused)
                        emit written(r.address, w.reg,
                                     w.outcome == WriteItem::Outcome::ReadBackDiffers && w.readBack
                                         ? *w.readBack
                                         : w.raw);
                    list.append(o);
                }
                emit writing(r.address, false);
                emit logLine(QStringLiteral("line %1: drive %2: parameter write from %3: %4")
                                 .arg(m_line.name)
                                 .arg(r.address)
                                 .arg(who(r.client), refusal.isEmpty() ? job->summary() : refusal));
                answer(r, list,
                       refusal.isEmpty() ? QString() : QStringLiteral("refused: ") + refusal);
                next();
            },
            Qt::QueuedConnection);
    });
    m_job->start();
}

void ServeParams::answer(const Request& r, const QJsonArray& results, const QString& error)
{
    QJsonObject o;
    if (!r.id.isUndefined())
        o.insert(QStringLiteral("id"), r.id);
    o.insert(QStringLiteral("request"), r.write ? QStringLiteral("set") : QStringLiteral("get"));
    o.insert(QStringLiteral("drive"), r.address);
    if (!r.client.isEmpty())
        o.insert(QStringLiteral("client"), r.client);
    if (!results.isEmpty())
        o.insert(QStringLiteral("results"), results);
    if (!error.isEmpty())
        o.insert(QStringLiteral("error"), error);
    o.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    if (r.done) {
        r.done(o);
        return;
    }
    const QString topic = r.reply.isEmpty()
                              ? m_base + QString::number(r.address) + QStringLiteral("/reply")
                              : r.reply;
    m_broker.publish(topic, QJsonDocument(o).toJson(QJsonDocument::Compact), false);
}
