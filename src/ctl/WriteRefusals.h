// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CloneJob.h"
#include "CtlContext.h"
#include "LinkClient.h"
#include "ParamJobs.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a restore would refuse only once it starts, looked at before the
// user is asked: a value outside the catalogue's limits, a drive that does
// not answer its status or reports "Run". Asked first, a "Yes" would be
// answered in vain. Empty: nothing stands in the way.
QString RefusalBeforeAsking(CtlContext& ctx, LinkClient& client, quint8 address,
                            const QList<WriteItem>& writes, bool* stopped = nullptr);

// The same for each target of a previewed clone that has writes to take.
QStringList CloneRefusalsBeforeAsking(CtlContext& ctx, LinkClient& client, const CloneJob& job,
                                      bool* stopped);
