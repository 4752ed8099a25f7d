// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamJobs.h"
#include "RtuProtocol.h"

namespace {

// This many parameters in a row without an answer: the drive is gone, and
// waiting out the rest one by one would only keep the user waiting.
constexpr int kSilentLimit = 3;

} // namespace

// ---------------------------------------------------------------- read

ReadJob::ReadJob(LinkClient& client, quint8 address, QObject* parent)
    : QObject(parent), m_session(client.openSession(this)),
      m_reader(new BlockReader(*m_session, address, this)), m_address(address),
      m_registers(ParamCatalogue::offeredRegisters())
{
}

void ReadJob::start()
{
    m_set = ParamSet{};
    m_set.address = m_address;
    m_set.programVersion = ProgramVersion();
    m_set.origin = QStringLiteral("drive %1").arg(m_address);
    m_at = 0;
    m_silentInARow = 0;
    m_running = true;
    m_cancelled = m_lost = false;
    m_session->holdLine(true);
    emit progress(0, int(m_registers.size()));
    QList<quint16> asked;
    for (quint16 reg : std::as_const(m_registers)) {
        if (!ParamCatalogue::reserved(reg))
            asked << reg;
    }
    m_reader->read(
        asked, [this](quint16 reg, const LinkResult& r) { return take(reg, r); },
        [this] {
            if (!m_lost && !m_cancelled)
                fillReservedBefore(int(m_registers.size()));
            end();
        });
}

void ReadJob::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    m_session->cancel();
}

QList<quint16> ReadJob::unanswered() const
{
    QList<quint16> list;
    for (auto it = m_set.values.cbegin(); it != m_set.values.cend(); ++it) {
        if (it->state == ParamValue::State::NoAnswer || it->state == ParamValue::State::Refused)
            list << it.key();
    }
    return list;
}

void ReadJob::fillReservedBefore(int index)
{
    for (; m_at < index && m_at < m_registers.size(); ++m_at) {
        if (ParamCatalogue::reserved(m_registers[m_at]))
            m_set.values.insert(m_registers[m_at], {ParamValue::State::Reserved, 0});
    }
}

bool ReadJob::take(quint16 reg, const LinkResult& r)
{
    if (m_cancelled)
        return false;
    const qsizetype index = m_registers.indexOf(reg, m_at);
    if (index < 0)
        return true;
    fillReservedBefore(int(index));
    if (r.ok()) {
        m_silentInARow = 0;
        m_set.values.insert(reg, {ParamValue::State::Value, r.value});
    } else if (r.outcome == LinkResult::Outcome::Exception) {
        m_silentInARow = 0;
        m_set.values.insert(reg, {ParamValue::State::Refused, 0});
    } else {
        m_set.values.insert(reg, {ParamValue::State::NoAnswer, 0});
        if (++m_silentInARow >= kSilentLimit || r.outcome == LinkResult::Outcome::NotSent) {
            m_lost = true;
            for (qsizetype i = index + 1; i < m_registers.size(); ++i)
                m_set.values.insert(m_registers[i], {ParamValue::State::NoAnswer, 0});
            m_at = int(m_registers.size());
            emit progress(m_at, m_at);
            return false;
        }
    }
    m_at = int(index) + 1;
    emit progress(m_at, int(m_registers.size()));
    return true;
}

void ReadJob::end()
{
    if (!m_running)
        return;
    m_running = false;
    m_set.readAt = QDateTime::currentDateTime();
    m_session->holdLine(false);
    emit finished();
}

// ---------------------------------------------------------------- plan

WritePlan PlanWrites(const ParamSet& wanted, const ParamSet& drive, const QSet<quint16>& leaveOut)
{
    WritePlan plan;
    QList<WriteItem> limits;
    QList<WriteItem> others;
    for (const ParamDifference& d : CompareSets(wanted, drive)) {
        if (!d.left)
            continue;
        const QString number = ParamCatalogue::number(d.reg);
        if (leaveOut.contains(d.reg)) {
            plan.notAsked << QStringLiteral("%1 (%2): %3 on the drive, %4 wanted")
                                 .arg(number, ParamCatalogue::name(d.reg).trimmed(),
                                      ShownOrDash(d.reg, d.right),
                                      ParamCatalogue::shown(d.reg, *d.left));
            continue;
        }
        if (!d.right) {
            // Written from an unknown value, the report could only say
            // "— -> x": whether the write was needed nobody knows.
            plan.leftOut
                << QStringLiteral("%1: the drive gave no value for it; not written").arg(number);
            continue;
        }
        if (!ParamCatalogue::withinLimits(d.reg, *d.left)) {
            plan.leftOut << QStringLiteral("%1: %2 lies outside %3 .. %4")
                                .arg(number, ParamCatalogue::shown(d.reg, *d.left),
                                     ParamCatalogue::minimumText(d.reg),
                                     ParamCatalogue::maximumText(d.reg));
            continue;
        }
        WriteItem item;
        item.reg = d.reg;
        item.raw = *d.left;
        (ParamCatalogue::isLimitParameter(d.reg) ? limits : others) << item;
    }
    plan.writes = limits + others;
    return plan;
}
