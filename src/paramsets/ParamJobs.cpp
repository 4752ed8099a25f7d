// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamJobs.h"
#include "RtuProtocol.h"

#include <QTimer>

namespace {

// This many parameters in a row without an answer: the drive is gone, and
// waiting out the rest one by one would only keep the user waiting.
constexpr int kSilentLimit = 3;
constexpr quint16 kOwnAddress = 0x0800;   // P8.00
constexpr quint16 kLineSettings = 0x0801; // P8.01

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

// ---------------------------------------------------------------- restore

RestoreJob::RestoreJob(LinkClient& client, quint8 address, const QList<WriteItem>& writes,
                       QObject* parent)
    : QObject(parent), m_session(client.openSession(this)), m_address(address), m_target(address),
      m_items(writes)
{
    // Limits first, whatever order the writes came in; the drive's address
    // and then its line settings last of all.
    auto rank = [](const WriteItem& w) {
        if (w.reg == kLineSettings)
            return 3;
        if (w.reg == kOwnAddress)
            return 2;
        return ParamCatalogue::isLimitParameter(w.reg) ? 0 : 1;
    };
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&](const WriteItem& a, const WriteItem& b) { return rank(a) < rank(b); });
}

void RestoreJob::start()
{
    m_target = m_address;
    m_running = true;
    m_refusal = Refusal::None;
    m_lost = m_cancelled = false;
    auto refuse = [this](Refusal why) {
        m_refusal = why;
        QTimer::singleShot(0, this, [this] { end(); });
    };
    if (m_address == 0)
        return refuse(Refusal::Broadcast);
    if (writesAllowed && !writesAllowed())
        return refuse(Refusal::Locked);
    for (const WriteItem& w : std::as_const(m_items)) {
        if (ParamCatalogue::reserved(w.reg) || !ParamCatalogue::withinLimits(w.reg, w.raw))
            return refuse(Refusal::OutsideLimits);
    }
    m_session->holdLine(true);
    checkStatus();
}

void RestoreJob::cancel()
{
    if (!m_running)
        return;
    // The exchange on the line ends first, so that what it did is known.
    m_cancelled = true;
}

void RestoreJob::checkStatus()
{
    m_session->submit(LinkRequest::read(m_address, Rtu::StatusRegister),
                      [this](const LinkResult& r) {
                          if (m_cancelled)
                              return end();
                          if (!r.ok() || r.answer.size() < 8) {
                              m_refusal = Refusal::NoStatus;
                              return end();
                          }
                          if (quint8(r.answer[6]) & Rtu::RunningFlag) {
                              m_refusal = Refusal::Running;
                              return end();
                          }
                          for (int i = 0; i < m_items.size(); ++i)
                              m_round << i;
                          m_at = 0;
                          emit progress(0, int(m_items.size()));
                          nextWrite();
                      });
}

void RestoreJob::nextWrite()
{
    if (m_cancelled)
        return end();
    if (m_at >= m_round.size())
        return endRound();
    const int item = m_round[m_at];
    const WriteItem& w = m_items[item];
    m_session->submit(LinkRequest::write(m_target, w.reg, w.raw),
                      [this, item](const LinkResult& r) {
                          WriteItem& w = m_items[item];
                          if (r.outcome == LinkResult::Outcome::Exception) {
                              w.outcome = WriteItem::Outcome::Refused;
                              w.exceptionCode = r.exceptionCode;
                              m_refusedNow << item;
                              ++m_at;
                              return m_cancelled ? end() : nextWrite();
                          }
                          if (!r.ok()) {
                              // A write that went out may have been taken
                              // before the drive went: nobody knows.
                              if (r.wentOut)
                                  w.outcome = WriteItem::Outcome::SentNoAnswer;
                              m_lost = !m_cancelled;
                              return end();
                          }
                          // The drive took it; from its new address on, it answers there.
                          w.outcome = WriteItem::Outcome::NotReadBack;
                          if (w.reg == kOwnAddress)
                              m_target = quint8(w.raw);
                          if (m_cancelled)
                              return end();
                          verify(item);
                      });
}

void RestoreJob::verify(int item)
{
    m_session->submit(LinkRequest::read(m_target, m_items[item].reg),
                      [this, item](const LinkResult& r) {
                          if (!r.ok() && r.outcome != LinkResult::Outcome::Exception) {
                              // Taken but not read back: said as such, never as "not written".
                              m_lost = !m_cancelled;
                              return end();
                          }
                          WriteItem& w = m_items[item];
                          w.readBack = r.ok() ? std::optional<quint16>(r.value) : std::nullopt;
                          w.outcome = w.readBack == w.raw ? WriteItem::Outcome::Written
                                                          : WriteItem::Outcome::ReadBackDiffers;
                          m_progressThisRound = true;
                          ++m_at;
                          emit progress(written(), int(m_items.size()));
                          if (m_cancelled)
                              return end();
                          nextWrite();
                      });
}

void RestoreJob::endRound()
{
    // A value refused because a parameter bounding it was still to come may
    // go in now; another round only while rounds get somewhere.
    if (!m_refusedNow.isEmpty() && m_progressThisRound) {
        m_round = m_refusedNow;
        m_refusedNow.clear();
        m_progressThisRound = false;
        m_at = 0;
        return nextWrite();
    }
    end();
}

void RestoreJob::end()
{
    if (!m_running)
        return;
    m_running = false;
    for (WriteItem& w : m_items) {
        if (w.outcome == WriteItem::Outcome::Pending)
            w.outcome = WriteItem::Outcome::NotWritten;
    }
    m_session->holdLine(false);
    emit finished();
}

int RestoreJob::written() const
{
    int count = 0;
    for (const WriteItem& w : m_items)
        count += w.outcome == WriteItem::Outcome::Written;
    return count;
}

bool RestoreJob::complete() const
{
    return m_refusal == Refusal::None && !m_lost && !m_cancelled && written() == m_items.size();
}

QString RefusalText(RestoreJob::Refusal refusal, quint8 address)
{
    switch (refusal) {
    case RestoreJob::Refusal::None:
        return QString();
    case RestoreJob::Refusal::Broadcast:
        return QStringLiteral("Address 0 reaches every drive: nothing is written there.");
    case RestoreJob::Refusal::Locked:
        return QStringLiteral(
            "Parameter writing is locked: open the lock with the password first.");
    case RestoreJob::Refusal::Running:
        return QStringLiteral("Drive %1 reports \"Run\": stop it before writing parameters.")
            .arg(address);
    case RestoreJob::Refusal::NoStatus:
        return QStringLiteral("Drive %1 does not answer: nothing was written.").arg(address);
    case RestoreJob::Refusal::OutsideLimits:
        return QStringLiteral("A value lies outside the catalogue's limits or is reserved: "
                              "nothing was written.");
    }
    return QString();
}

QString RestoreJob::summary() const
{
    if (m_refusal != Refusal::None)
        return RefusalText(m_refusal, m_address);
    QStringList lines;
    lines << QStringLiteral("Drive %1: %2 of %3 written and verified.")
                 .arg(m_address)
                 .arg(written())
                 .arg(m_items.size());
    if (m_target != m_address)
        lines << QStringLiteral("The drive took its new address: it now answers at %1.")
                     .arg(m_target);
    if (m_lost)
        lines << QStringLiteral("The drive stopped answering; the restore ended there.");
    if (m_cancelled)
        lines << QStringLiteral("Cancelled after the exchange under way.");
    for (const WriteItem& w : m_items) {
        const QString number = ParamCatalogue::number(w.reg);
        const QString value = ParamCatalogue::shown(w.reg, w.raw);
        switch (w.outcome) {
        case WriteItem::Outcome::Written:
        case WriteItem::Outcome::Pending:
            break;
        case WriteItem::Outcome::Refused:
            lines << QStringLiteral("  %1 = %2: refused by the drive (exception %3)")
                         .arg(number, value)
                         .arg(w.exceptionCode);
            break;
        case WriteItem::Outcome::ReadBackDiffers:
            lines << QStringLiteral("  %1 = %2: reads back as %3")
                         .arg(number, value, ShownOrDash(w.reg, w.readBack));
            break;
        case WriteItem::Outcome::NotReadBack:
            lines << QStringLiteral("  %1 = %2: written (the drive acknowledged it), not read back")
                         .arg(number, value);
            break;
        case WriteItem::Outcome::SentNoAnswer:
        case WriteItem::Outcome::NotWritten:
            lines << QStringLiteral("  %1 = %2: %3").arg(number, value, w.outcomeWord());
            break;
        }
    }
    return lines.join(u'\n');
}

QString WriteItem::outcomeWord() const
{
    switch (outcome) {
    case Outcome::Written:
        return QStringLiteral("verified");
    case Outcome::Refused:
        return QStringLiteral("refused");
    case Outcome::ReadBackDiffers:
        return QStringLiteral("reads back differently");
    case Outcome::NotReadBack:
        return QStringLiteral("written, not read back");
    case Outcome::SentNoAnswer:
        return QStringLiteral("sent, no answer: may have been written");
    case Outcome::Pending:
    case Outcome::NotWritten:
        break;
    }
    return QStringLiteral("not written");
}
