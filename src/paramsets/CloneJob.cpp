// SPDX-License-Identifier: GPL-3.0-or-later
#include "CloneJob.h"

#include <QTimer>

CloneJob::CloneJob(LinkClient& client, const ParamSet& source, const QList<quint8>& targets,
                   QObject* parent)
    : QObject(parent), m_client(client), m_source(source)
{
    for (quint8 address : targets)
        m_targets.append(Target{address, {}, {}, false, {}, false, -1});
}

QList<quint16> CloneJob::sourceRegisters() const
{
    QList<quint16> registers;
    for (auto it = m_source.values.cbegin(); it != m_source.values.cend(); ++it) {
        if (it->hasValue() && !leaveOut.contains(it.key()))
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
    m_read = std::make_unique<ReadJob>(m_client, m_targets[m_at].address);
    m_read->setRegisters(sourceRegisters());
    connect(m_read.get(), &ReadJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Reading drive %1").arg(m_targets[m_at].address), done, total);
    });
    connect(m_read.get(), &ReadJob::finished, this, [this] {
        Target& t = m_targets[m_at];
        t.before = m_read->result();
        t.readFailed = m_read->driveLost() || m_read->cancelled();
        t.plan = PlanWrites(m_source, t.before, leaveOut);
        m_read.release()->deleteLater();
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
    if (m_cancelled || m_at >= m_targets.size()) {
        QTimer::singleShot(0, this, [this] { emit finished(); });
        return;
    }
    Target& t = m_targets[m_at];
    m_restore = std::make_unique<RestoreJob>(m_client, t.address, t.plan.writes);
    m_restore->writesAllowed = writesAllowed;
    connect(m_restore.get(), &RestoreJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Writing drive %1").arg(m_targets[m_at].address), done, total);
    });
    connect(m_restore.get(), &RestoreJob::finished, this, [this] {
        Target& target = m_targets[m_at];
        target.restoreSummary = m_restore->summary();
        target.restoreComplete = m_restore->complete();
        const bool wrote =
            m_restore->refusal() == RestoreJob::Refusal::None && !m_restore->driveLost();
        m_restore.release()->deleteLater();
        if (!wrote || m_cancelled) {
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
        t.differencesAfter = int(CompareSets(wanted, m_read->result()).size());
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
        if (!t.restoreComplete || t.differencesAfter != 0)
            return false;
    }
    return !m_targets.isEmpty();
}
