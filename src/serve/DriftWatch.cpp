// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriftWatch.h"

#include "BlockReader.h"
#include "BrokerLink.h"
#include "CloneJob.h"
#include "DriftReference.h"
#include "ParamSet.h"
#include "RtuProtocol.h"
#include "SerialPort.h"
#include "ServeJournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// A drive silent for this many registers in a row is left for this pass.
constexpr int kSilentLimit = 3;
// How long the watch waits before it tries a drive it could not ask at all.
constexpr int kIdleMs = 3000;

QString isoTime(const QDateTime& t)
{
    return t.toUTC().toString(Qt::ISODateWithMs);
}

// The registers the watch reads, in runs of one group each: every parameter
// that holds a value, but the drive's own address and line settings.
QList<QList<quint16>> groupsOf(const QMap<quint16, quint16>& only)
{
    QList<QList<quint16>> groups;
    const QSet<quint16> leftOut = CloneJob::DefaultLeaveOut();
    int group = -1;
    for (const quint16 reg : ParamCatalogue::offeredRegisters()) {
        if (ParamCatalogue::reserved(reg) || leftOut.contains(reg))
            continue;
        if (!only.isEmpty() && !only.contains(reg))
            continue;
        if (reg >> 8 != group || groups.last().size() >= BlockReader::MostPerRead) {
            groups.append(QList<quint16>());
            group = reg >> 8;
        }
        groups.last() << reg;
    }
    return groups;
}

} // namespace

DriftWatch::DriftWatch(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
                       BrokerLink& broker, QObject* parent)
    : QObject(parent), m_line(line), m_config(config), m_broker(broker),
      m_session(client.openSession(this))
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] {
        if (m_groupAt < m_groups.size())
            nextGroup();
        else
            beginDrive();
    });
}

DriftWatch::~DriftWatch()
{
    delete m_reader;
    delete m_session;
}

void DriftWatch::start()
{
    if (m_running || m_config.driftShare <= 0 || m_line.drives.isEmpty())
        return;
    m_running = true;
    if (!m_pass.isValid())
        m_pass.start();
    // Where it was: a pass cut by a closed port goes on with the same drive.
    m_groups.clear();
    m_wait.start(0);
}

void DriftWatch::stop()
{
    m_running = false;
    ++m_generation; // what the stopped reader still says belongs to nobody
    m_wait.stop();
    if (m_reader)
        m_reader->stop();
    m_session->cancel();
}

void DriftWatch::written(quint8 address, quint16 reg, quint16 raw)
{
    if (!m_drives.contains(address))
        return;
    Drive& d = m_drives[address];
    if (!d.commissioned.contains(reg))
        return;
    d.commissioned[reg] = raw;
    // What someone changed at the keypad is now what was asked for.
    if (const auto it = d.drifts.find(reg); it != d.drifts.end()) {
        const Drift was = *it;
        d.drifts.erase(it);
        publishEvent(address, reg, was, true, raw);
        publishState(address);
    }
}

void DriftWatch::writing(quint8 address, bool busy)
{
    if (busy)
        m_writing.insert(address);
    else
        m_writing.remove(address);
    if (m_driveAt < m_line.drives.size() && m_line.drives[m_driveAt] == address)
        m_writtenThisGroup = true;
}

void DriftWatch::beginDrive()
{
    if (!m_running)
        return;
    if (m_driveAt >= m_line.drives.size()) {
        emit logLine(QStringLiteral("line %1: drift watch: a pass over %2 drives took %3 min "
                                    "(%4 s of the line's time)")
                         .arg(m_line.name)
                         .arg(m_line.drives.size())
                         .arg(QString::number(m_pass.elapsed() / 60000.0, 'f', 1))
                         .arg(QString::number(m_lineMs / 1000.0, 'f', 1)));
        m_driveAt = 0;
        m_lineMs = 0;
        m_pass.start();
    }
    const quint8 address = m_line.drives[m_driveAt];
    Drive& d = m_drives[address];
    if (!m_config.siteRoot.isEmpty()) {
        // Read again for every pass: a new backup, a reference put in place or
        // a write journaled meanwhile is what the drive is compared with.
        QString why;
        const std::optional<SiteFolder> site = SiteFolder::open(m_config.siteRoot, &why);
        const SiteLine* line = site ? site->line(m_line.name, &why) : nullptr;
        const std::optional<DriftReference> ref =
            line ? DriftReference::of(*site, *line, address, &why) : std::nullopt;
        if (!ref) {
            if (d.against != why)
                emit logLine(QStringLiteral("line %1: drift watch: drive %2 is not watched: %3")
                                 .arg(m_line.name)
                                 .arg(address)
                                 .arg(why));
            d.against = why;
            d.commissioned.clear();
            ++m_driveAt;
            m_wait.start(kIdleMs);
            return;
        }
        d.commissioned = ref->values;
        d.against = ref->against;
        // Drifts the journal still holds open carry their first sighting.
        for (auto it = ref->open.cbegin(); it != ref->open.cend(); ++it)
            if (!d.drifts.contains(it.key()) && d.commissioned.contains(it.key()))
                if (const auto now = ParamCatalogue::rawOf(it.key(), it->now))
                    d.drifts.insert(it.key(), {d.commissioned[it.key()], *now, it->firstSeen});
    }
    m_groups = groupsOf(d.commissioned);
    m_groupAt = 0;
    m_found.clear();
    m_silent = 0;
    nextGroup();
}

void DriftWatch::nextGroup()
{
    if (!m_running)
        return;
    const quint8 address = m_line.drives[m_driveAt];
    delete m_reader;
    m_reader = new BlockReader(*m_session, address);
    m_asked.start();
    m_writtenThisGroup = m_writing.contains(address);
    m_reader->read(
        m_groups[m_groupAt],
        [this](quint16 reg, const LinkResult& r) {
            if (r.outcome == LinkResult::Outcome::NotSent)
                return false;
            if (!r.ok()) {
                // A refused register is no drift; a silent drive is left for now.
                m_silent = r.outcome == LinkResult::Outcome::TimedOut ? m_silent + 1 : 0;
                return m_silent < kSilentLimit;
            }
            m_silent = 0;
            return take(reg, r.value);
        },
        [this, generation = m_generation] {
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    if (generation == m_generation)
                        groupDone();
                },
                Qt::QueuedConnection);
        });
}

bool DriftWatch::take(quint16 reg, quint16 raw)
{
    const quint8 address = m_line.drives[m_driveAt];
    // Read while the broker's writes went to the drive: from before or
    // after them, no telling; the next pass reads it again.
    if (m_writtenThisGroup || m_writing.contains(address))
        return true;
    m_found.insert(reg, raw);
    Drive& d = m_drives[address];
    // Without a site the first whole read of the drive is its commissioned set.
    if (m_config.siteRoot.isEmpty() && d.against.isEmpty())
        return true;
    const auto commissioned = d.commissioned.constFind(reg);
    if (commissioned == d.commissioned.cend())
        return true;
    const auto drift = d.drifts.find(reg);
    if (raw == *commissioned) {
        if (drift != d.drifts.end()) {
            const Drift was = *drift;
            d.drifts.erase(drift);
            publishEvent(address, reg, was, true, raw);
            journal(address, reg, was.commissioned, raw, true);
            publishState(address);
        }
        return true;
    }
    if (drift != d.drifts.end() && drift->now == raw && drift->commissioned == *commissioned) {
        // Known already; said again only at the service's start.
        if (!d.statePublished)
            publishState(address);
        return true;
    }
    const bool opened = drift == d.drifts.end();
    Drift now{*commissioned, raw, opened ? QDateTime::currentDateTime() : drift->firstSeen};
    d.drifts.insert(reg, now);
    publishEvent(address, reg, now, false, raw);
    journal(address, reg, *commissioned, raw, false);
    publishState(address);
    return true;
}

void DriftWatch::groupDone()
{
    if (!m_running)
        return;
    const qint64 spent = m_asked.elapsed();
    m_lineMs += spent;
    ++m_groupAt;
    const bool driveDone = m_groupAt >= m_groups.size() || m_silent >= kSilentLimit;
    const quint8 address = m_line.drives[m_driveAt];
    Drive& d = m_drives[address];
    if (driveDone) {
        if (m_config.siteRoot.isEmpty() && d.against.isEmpty() && m_silent < kSilentLimit &&
            !m_found.isEmpty()) {
            d.commissioned = m_found;
            d.against = QStringLiteral("first read %1").arg(isoTime(QDateTime::currentDateTime()));
            emit logLine(QStringLiteral("line %1: drift watch: drive %2 compared with what it "
                                        "held when first read (%3 parameters)")
                             .arg(m_line.name)
                             .arg(address)
                             .arg(m_found.size()));
        }
        if (!d.statePublished && !d.against.isEmpty() && m_silent < kSilentLimit)
            publishState(address);
        m_groupAt = int(m_groups.size());
        ++m_driveAt;
    }
    // Its share of the line: what it took, stretched by the rest.
    const double share = m_config.driftShare;
    const qint64 pause =
        std::max<qint64>(spent > 0 ? 0 : kIdleMs, qint64(std::ceil(spent * (1.0 - share) / share)));
    m_wait.start(int(std::min<qint64>(pause, 3600000)));
}

void DriftWatch::publishEvent(quint8 address, quint16 reg, const Drift& d, bool cleared,
                              quint16 value)
{
    QJsonObject o{{QStringLiteral("parameter"), ParamCatalogue::number(reg)},
                  {QStringLiteral("name"), ParamCatalogue::name(reg).trimmed()},
                  {QStringLiteral("unit"), ParamCatalogue::unit(reg)},
                  {QStringLiteral("commissioned"), ParamCatalogue::shown(reg, d.commissioned)},
                  {QStringLiteral("now"), ParamCatalogue::shown(reg, value)},
                  {QStringLiteral("first_seen"), isoTime(d.firstSeen)},
                  {QStringLiteral("cleared"), cleared},
                  {QStringLiteral("time"), isoTime(QDateTime::currentDateTime())}};
    emit logLine(QStringLiteral("line %1: drive %2: %3 %4 (commissioned %5)")
                     .arg(m_line.name)
                     .arg(address)
                     .arg(ParamCatalogue::number(reg),
                          cleared ? QStringLiteral("back at its commissioned value")
                                  : QStringLiteral("is %1").arg(ParamCatalogue::shown(reg, value)),
                          ParamCatalogue::shown(reg, d.commissioned)));
    m_broker.publish(driveTopic(address) + QStringLiteral("/drift"),
                     QJsonDocument(o).toJson(QJsonDocument::Compact), false);
}

void DriftWatch::publishState(quint8 address)
{
    Drive& d = m_drives[address];
    d.statePublished = true;
    QJsonArray list;
    for (auto it = d.drifts.cbegin(); it != d.drifts.cend(); ++it)
        list.append(QJsonObject{
            {QStringLiteral("parameter"), ParamCatalogue::number(it.key())},
            {QStringLiteral("name"), ParamCatalogue::name(it.key()).trimmed()},
            {QStringLiteral("unit"), ParamCatalogue::unit(it.key())},
            {QStringLiteral("commissioned"), ParamCatalogue::shown(it.key(), it->commissioned)},
            {QStringLiteral("now"), ParamCatalogue::shown(it.key(), it->now)},
            {QStringLiteral("first_seen"), isoTime(it->firstSeen)}});
    const QJsonObject o{{QStringLiteral("drifted"), list},
                        {QStringLiteral("against"), d.against},
                        {QStringLiteral("time"), isoTime(QDateTime::currentDateTime())}};
    m_broker.publish(driveTopic(address) + QStringLiteral("/drift/state"),
                     QJsonDocument(o).toJson(QJsonDocument::Compact), true);
}

void DriftWatch::journal(quint8 address, quint16 reg, quint16 commissioned, quint16 now,
                         bool cleared)
{
    if (!m_journal)
        return;
    JournalEntry e;
    e.kind = JournalEntry::Kind::Drift;
    e.tool = QStringLiteral("serve, drift watch");
    e.line = m_line.name;
    e.drive = address;
    e.parameter = ParamCatalogue::number(reg);
    e.before = ParamCatalogue::shown(reg, commissioned);
    e.readBack = ParamCatalogue::shown(reg, now);
    e.result = cleared ? QStringLiteral("cleared") : QStringLiteral("changed");
    m_journal->wrote(e);
}

QString DriftWatch::driveTopic(quint8 address) const
{
    return m_config.prefix + u'/' + m_line.name + u'/' + QString::number(address);
}

QList<quint16> DriftWatch::watchedRegisters()
{
    QList<quint16> all;
    for (const QList<quint16>& group : groupsOf({}))
        all += group;
    return all;
}

double DriftWatch::passSeconds(int drives, const QString& settings, double share, bool blocks,
                               double responseDelayMs)
{
    const auto line = SerialSettings::parse(settings);
    if (!line || share <= 0)
        return 0;
    const double characterMs = line->bitsPerCharacter() * 1000.0 / line->baudRate;
    // Each exchange: the request's 8 bytes, the answer, and the silence
    // before it (the drive's delay, at least 3.5 characters).
    const double gap = std::max(3.5 * characterMs, responseDelayMs);
    double ms = 0;
    for (const QList<quint16>& group : groupsOf({})) {
        if (blocks)
            ms += (8 + 5 + 2 * group.size()) * characterMs + gap;
        else
            ms += group.size() * ((8 + Rtu::ShortReplyLength) * characterMs + gap);
    }
    return drives * ms / 1000.0 / share;
}
