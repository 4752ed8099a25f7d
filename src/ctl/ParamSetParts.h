// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CtlContext.h"
#include "LinkClient.h"
#include "ParamSet.h"

#include <QJsonValue>
#include <optional>

// What backup, compare, restore and clone share: a set loaded from a file,
// a drive read whole, and how their words name a drive and a file.

// The set in the file, or nullopt with the problem (and its line) said.
std::optional<ParamSet> LoadSetFile(CtlContext& ctx, const QString& file);

// A whole drive read; the parameters it did not answer are said.
struct DriveRead
{
    ParamSet set;
    bool complete = false;
    bool stopped = false;
};
DriveRead ReadWholeDrive(CtlContext& ctx, LinkClient& client, quint8 address);

// ADDRESS FILE of backup, compare and restore; nullopt (said) when the words
// do not fit. With a site FILE may be left out: file is then empty for a
// backup (it goes into the site) and the drive's reference set for compare
// and restore (said when the site names none).
struct DriveAndFile
{
    quint8 address = 0;
    QString file;
};
std::optional<DriveAndFile> DriveAndFileWords(CtlContext& ctx, const char* command,
                                              const QStringList& args, bool referenceByDefault);

QJsonValue ShownOrNull(quint16 reg, const std::optional<quint16>& raw);
// "P0.03\tname\tleft=1\tright=2\tunit"
QString DifferenceLine(const ParamDifference& d, const QString& leftName, const QString& rightName);
