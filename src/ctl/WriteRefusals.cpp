// SPDX-License-Identifier: GPL-3.0-or-later
#include "WriteRefusals.h"

#include "CtlRequests.h"
#include "ParamSet.h"
#include "RtuProtocol.h"

QString RefusalBeforeAsking(CtlContext& ctx, LinkClient& client, quint8 address,
                            const QList<WriteItem>& writes, bool* stopped)
{
    using Refusal = RestoreJob::Refusal;
    if (address == Rtu::BroadcastAddress)
        return RefusalText(Refusal::Broadcast, address);
    for (const WriteItem& w : writes) {
        if (ParamCatalogue::reserved(w.reg) || !ParamCatalogue::withinLimits(w.reg, w.raw))
            return RefusalText(Refusal::OutsideLimits, address);
    }
    const QList<LinkResult> status =
        AskAll(ctx, client, {LinkRequest::read(address, Rtu::StatusRegister)}, stopped);
    if (stopped && *stopped)
        return QString();
    if (status.isEmpty() || !status.first().ok() || status.first().answer.size() < 8)
        return RefusalText(Refusal::NoStatus, address);
    if (quint8(status.first().answer[6]) & Rtu::RunningFlag)
        return RefusalText(Refusal::Running, address);
    return QString();
}

QStringList CloneRefusalsBeforeAsking(CtlContext& ctx, LinkClient& client, const CloneJob& job,
                                      bool* stopped)
{
    QStringList refusals;
    for (const CloneJob::Target& t : job.targets()) {
        if (t.readFailed || t.plan.writes.isEmpty())
            continue;
        const QString refusal = RefusalBeforeAsking(ctx, client, t.address, t.plan.writes, stopped);
        if (*stopped)
            return {};
        if (!refusal.isEmpty())
            refusals << refusal;
    }
    return refusals;
}
