// SPDX-License-Identifier: GPL-3.0-or-later
// The restore: a plan written to one drive, each write verified by reading it
// back, either at once or, for a drive written many values in a row, all
// together in blocks once its writes are done.
#include "ParamJobs.h"
#include "RtuProtocol.h"

#include <QTimer>
#include <algorithm>

namespace {

constexpr quint16 kOwnAddress = 0x0800;   // P8.00
constexpr quint16 kLineSettings = 0x0801; // P8.01

} // namespace

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
                          m_steps = 0;
                          emitProgress();
                          nextWrite();
                      });
}

void RestoreJob::nextWrite()
{
    if (m_cancelled)
        return readBackThen([this] { end(); });
    if (m_at >= m_round.size())
        return readBackThen([this] { endRound(); });
    const int item = m_round[m_at];
    const WriteItem& w = m_items[item];
    // What was written so far is read back where the drive answers now and at
    // these line settings, and before a second value of the same parameter.
    const bool readFirst = w.reg == kOwnAddress || w.reg == kLineSettings ||
                           std::any_of(m_unverified.cbegin(), m_unverified.cend(),
                                       [&](int other) { return m_items[other].reg == w.reg; });
    if (readFirst && !m_unverified.isEmpty())
        return readBackThen([this] { nextWrite(); });
    m_session->submit(LinkRequest::write(m_target, w.reg, w.raw),
                      [this, item](const LinkResult& r) {
                          WriteItem& w = m_items[item];
                          if (r.outcome == LinkResult::Outcome::Exception) {
                              w.outcome = WriteItem::Outcome::Refused;
                              w.exceptionCode = r.exceptionCode;
                              m_refusedNow << item;
                              ++m_at;
                              ++m_steps;
                              return nextWrite();
                          }
                          if (!r.ok()) {
                              // A write that went out may have been taken
                              // before the drive went: nobody knows.
                              if (r.wentOut)
                                  w.outcome = WriteItem::Outcome::SentNoAnswer;
                              m_lost = !m_cancelled;
                              return readBackThen([this] { end(); });
                          }
                          // The drive took it; from its new address on, it answers there.
                          w.outcome = WriteItem::Outcome::NotReadBack;
                          if (w.reg == kOwnAddress)
                              m_target = quint8(w.raw);
                          if (readBack == ReadBack::EachWrite) {
                              if (m_cancelled)
                                  return end();
                              return verify(item);
                          }
                          m_unverified << item;
                          ++m_steps;
                          emitProgress();
                          ++m_at;
                          nextWrite();
                      });
}

void RestoreJob::verify(int item)
{
    m_session->submit(LinkRequest::read(m_target, m_items[item].reg),
                      [this, item](const LinkResult& r) {
                          if (!judge(item, r))
                              return end();
                          ++m_at;
                          if (m_cancelled)
                              return end();
                          nextWrite();
                      });
}

bool RestoreJob::judge(int item, const LinkResult& r)
{
    if (!r.ok() && r.outcome != LinkResult::Outcome::Exception) {
        // Taken but not read back: said as such, never as "not written".
        m_lost = m_lost || !m_cancelled;
        return false;
    }
    WriteItem& w = m_items[item];
    w.readBack = r.ok() ? std::optional<quint16>(r.value) : std::nullopt;
    w.outcome =
        w.readBack == w.raw ? WriteItem::Outcome::Written : WriteItem::Outcome::ReadBackDiffers;
    m_progressThisRound = true;
    if (readBack == ReadBack::EachWrite)
        emitProgress();
    return true;
}

void RestoreJob::emitProgress()
{
    // Writes first and read-backs afterwards: the writes the drive answered
    // are the way done, so the bar moves while they go out.
    const int total = int(m_items.size());
    emit progress(readBack == ReadBack::EachWrite ? written() : std::min(m_steps, total), total);
}

void RestoreJob::readBackThen(std::function<void()> then)
{
    // Each-write restores have nothing waiting here; with the drive silent
    // (or the job cancelled) in one, the read-back of what it took is owed
    // all the same, but only as long as the drive answers.
    if (m_unverified.isEmpty())
        return then();
    QList<quint16> registers;
    for (int item : std::as_const(m_unverified))
        registers << m_items[item].reg;
    std::sort(registers.begin(), registers.end());
    if (m_reader)
        m_reader->deleteLater();
    m_reader = new BlockReader(*m_session, m_target, this);
    m_recheck.clear();
    m_readBackSilent = false;
    m_reader->read(
        registers, [this](quint16 reg, const LinkResult& r) { return judgeBlock(reg, r); },
        [this, then] {
            m_unverified.clear();
            if (m_readBackSilent) {
                // What read back otherwise in a block stays told so: the
                // drive no longer answers to be asked again.
                m_recheck.clear();
                return end();
            }
            recheckThen(then);
        });
}

bool RestoreJob::judgeBlock(quint16 reg, const LinkResult& r)
{
    const auto it = std::find_if(m_unverified.cbegin(), m_unverified.cend(),
                                 [&](int item) { return m_items[item].reg == reg; });
    if (it == m_unverified.cend())
        return true;
    const int item = *it;
    if (r.ok() && r.value == m_items[item].raw)
        return judge(item, r);
    if (r.outcome == LinkResult::Outcome::TimedOut || r.outcome == LinkResult::Outcome::NotSent) {
        // Asked alone and retried already: the drive does not answer any more,
        // and the rest stays "written, not read back".
        m_lost = m_lost || !m_cancelled;
        m_readBackSilent = true;
        return false;
    }
    // Told as it read back for now; its own read decides.
    m_recheck << item;
    return judge(item, r);
}

void RestoreJob::recheckThen(std::function<void()> then)
{
    if (m_recheck.isEmpty())
        return then();
    const int item = m_recheck.takeFirst();
    m_session->submit(LinkRequest::read(m_target, m_items[item].reg),
                      [this, item, then](const LinkResult& r) {
                          if (!judge(item, r))
                              return end();
                          recheckThen(then);
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
