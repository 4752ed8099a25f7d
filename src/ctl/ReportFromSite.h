// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommissionReport.h"

#include <QStringList>

class SiteFolder;
struct SiteLine;

// What a site adds to a report of its drives: their names, reference sets
// and the writes its journal holds. Returns what could not be read (a
// reference that does not load, journal lines that are broken), a sentence
// each; the report is made all the same.
QStringList FillReportFromSite(ReportInput& input, const SiteFolder& site, const SiteLine& line,
                               const QList<quint8>& drives);
