// SPDX-License-Identifier: GPL-3.0-or-later
#include "CloneJob.h"

#include "NumberText.h"

#include <QTimer>

CloneJob::CloneJob(LinkClient& client, const ParamSet& source, const QList<quint8>& targets,
                   QObject* parent)
    : QObject(parent), m_client(client), m_source(source)
{
    for (quint8 address : targets) {
        Target t;
        t.address = address;
        m_targets.append(t);
    }
}

QList<quint16> CloneJob::sourceRegisters() const
{
    QList<quint16> registers;
    for (auto it = m_source.values.cbegin(); it != m_source.values.cend(); ++it) {
        // What is left out is read all the same: a report that says it
        // differs must know the drive's value.
        if (it->hasValue())
            registers << it.key();
    }
    return registers;
}

void CloneJob::preview()
{
    m_at = 0;
    m_cancelled = false;
    previewNext();
}

void CloneJob::previewNext()
{
    if (m_cancelled || m_at >= m_targets.size()) {
        m_read.reset();
        QTimer::singleShot(0, this, [this] { emit previewReady(); });
        return;
    }
    previewRead(sourceRegisters(), false);
}

void CloneJob::previewRead(const QList<quint16>& registers, bool again)
{
    m_read = std::make_unique<ReadJob>(m_client, m_targets[m_at].address);
    m_read->setRegisters(registers);
    connect(m_read.get(), &ReadJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Reading drive %1").arg(m_targets[m_at].address), done, total);
    });
    connect(m_read.get(), &ReadJob::finished, this, [this, again] {
        Target& t = m_targets[m_at];
        const ParamSet read = m_read->result();
        if (!again) {
            t.before = read;
            t.readFailed = m_read->driveLost() || m_read->cancelled();
        } else {
            for (auto it = read.values.cbegin(); it != read.values.cend(); ++it) {
                if (it->state != ParamValue::State::NoAnswer)
                    t.before.values.insert(it.key(), *it);
            }
        }
        m_read.release()->deleteLater();
        QList<quint16> silent;
        for (auto it = t.before.values.cbegin(); it != t.before.values.cend(); ++it) {
            if (it->state == ParamValue::State::NoAnswer)
                silent << it.key();
        }
        if (!again && !t.readFailed && !m_cancelled && !silent.isEmpty()) {
            // A write planned from a value nobody heard might be needless or
            // hide a drive that is going: ask for those once more first.
            previewRead(silent, true);
            return;
        }
        t.plan = PlanWrites(m_source, t.before, leaveOut);
        ++m_at;
        previewNext();
    });
    m_read->start();
}

void CloneJob::apply()
{
    m_at = 0;
    m_cancelled = false;
    if (const QString refusal = SharedAddressRefusal(m_source, int(m_targets.size()), leaveOut);
        !refusal.isEmpty()) {
        for (Target& t : m_targets)
            t.restoreSummary = refusal;
        QTimer::singleShot(0, this, [this] { emit finished(); });
        return;
    }
    applyNext();
}

QString CloneJob::SharedAddressRefusal(const ParamSet& source, int targetCount,
                                       const QSet<quint16>& leaveOut)
{
    if (targetCount <= 1 || leaveOut.contains(0x0800))
        return QString();
    return QStringLiteral("The drive's address (P8.00) is written to one drive at a time only: "
                          "written to %1 drives, it would give them all the address %2 and they "
                          "would answer over each other. Nothing was written.")
        .arg(targetCount)
        .arg(ShownOrDash(0x0800, source.raw(0x0800)));
}

void CloneJob::applyNext()
{
    while (m_at < m_targets.size() && m_targets[m_at].readFailed) {
        m_targets[m_at].restoreSummary =
            QStringLiteral("Drive %1 did not answer the preview: nothing written.")
                .arg(m_targets[m_at].address);
        ++m_at;
    }
    if (m_cancelled) {
        for (; m_at < m_targets.size(); ++m_at) {
            Target& t = m_targets[m_at];
            if (t.restoreSummary.isEmpty())
                t.restoreSummary = QStringLiteral("Drive %1: stopped before its turn; nothing "
                                                  "written.")
                                       .arg(t.address);
        }
    }
    if (m_at >= m_targets.size()) {
        QTimer::singleShot(0, this, [this] { emit finished(); });
        return;
    }
    Target& t = m_targets[m_at];
    m_restore = std::make_unique<RestoreJob>(m_client, t.address, t.plan.writes);
    m_restore->writesAllowed = writesAllowed;
    // Many values to one drive: written one after another, then read back
    // together, in blocks where the drive takes them.
    m_restore->readBack = RestoreJob::ReadBack::AfterWrites;
    connect(m_restore.get(), &RestoreJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Writing drive %1").arg(m_targets[m_at].address), done, total);
    });
    connect(m_restore.get(), &RestoreJob::finished, this, [this] {
        Target& target = m_targets[m_at];
        target.restoreSummary = m_restore->summary();
        target.restoreComplete = m_restore->complete();
        target.writes = m_restore->items();
        const bool wrote =
            m_restore->refusal() == RestoreJob::Refusal::None && !m_restore->driveLost();
        if (wrote && !m_cancelled && verify == Verify::ReadBack) {
            // Every write was read back; what was refused, differs or went
            // unheard is what differs still, with what the plan left out.
            int differs = int(target.plan.leftOut.size());
            int unheard = 0;
            for (const WriteItem& w : m_restore->items()) {
                if (w.outcome == WriteItem::Outcome::NotReadBack ||
                    w.outcome == WriteItem::Outcome::SentNoAnswer)
                    ++unheard;
                else if (w.outcome != WriteItem::Outcome::Written)
                    ++differs;
            }
            target.differencesAfter = differs;
            target.unansweredAfter = unheard;
        }
        m_restore.release()->deleteLater();
        emit targetWritten(m_at);
        if (!wrote || m_cancelled || verify == Verify::ReadBack) {
            ++m_at;
            applyNext();
            return;
        }
        verifyNext();
    });
    m_restore->start();
}

void CloneJob::verifyNext()
{
    m_read = std::make_unique<ReadJob>(m_client, m_targets[m_at].address);
    m_read->setRegisters(sourceRegisters());
    connect(m_read.get(), &ReadJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Verifying drive %1").arg(m_targets[m_at].address), done,
                      total);
    });
    connect(m_read.get(), &ReadJob::finished, this, [this] {
        Target& t = m_targets[m_at];
        ParamSet wanted = m_source;
        for (quint16 reg : leaveOut)
            wanted.values.remove(reg);
        const ParamSet after = m_read->result();
        int differs = 0;
        int unheard = 0;
        for (const ParamDifference& d : CompareSets(wanted, after)) {
            const auto it = after.values.constFind(d.reg);
            if (it != after.values.cend() && it->state == ParamValue::State::NoAnswer)
                ++unheard;
            else
                ++differs;
        }
        t.differencesAfter = differs;
        t.unansweredAfter = unheard;
        m_read.release()->deleteLater();
        ++m_at;
        applyNext();
    });
    m_read->start();
}

void CloneJob::cancel()
{
    m_cancelled = true;
    if (m_read)
        m_read->cancel();
    if (m_restore)
        m_restore->cancel();
}

bool CloneJob::allDone() const
{
    for (const Target& t : m_targets) {
        if (!t.restoreComplete || t.differencesAfter != 0 || t.unansweredAfter != 0)
            return false;
    }
    return !m_targets.isEmpty();
}

QString CloneJob::VerifyLine(const Target& target)
{
    if (target.differencesAfter < 0)
        return QString();
    QString line =
        QStringLiteral("Drive %1 verified: %2 left")
            .arg(target.address)
            .arg(NumberText::Counted(target.differencesAfter, "difference", "differences"));
    if (target.unansweredAfter > 0)
        line += QStringLiteral(", %1 not answered")
                    .arg(NumberText::Counted(target.unansweredAfter, "parameter", "parameters"));
    return line + u'.';
}
