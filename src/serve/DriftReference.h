// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SiteFolder.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <optional>

// What a drive of a site was commissioned with, as the drift watch compares
// it: the drive's reference set when the site names one that is there, else
// its newest backup; then every write the journal holds since that set was
// made, with what the write left in the drive (a write a tool sent is known,
// not a drift). The drive's own address and line settings (P8.00, P8.01) and
// reserved rows are left out, as a clone leaves them.
struct DriftReference
{
    QMap<quint16, quint16> values; // raw, by register
    QString against;               // "reference conveyor.vfdset", "backup a-d01-....csv"
    // Drifts the journal holds as not cleared yet: when first seen, and the
    // value then found (as shown). A service started again goes on with them.
    struct Open
    {
        QDateTime firstSeen;
        QString now;
    };
    QMap<quint16, Open> open;

    // nullopt (and why) when the site holds neither set for the drive.
    static std::optional<DriftReference> of(const SiteFolder& site, const SiteLine& line,
                                            quint8 address, QString* why);
};
