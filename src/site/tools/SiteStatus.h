// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Readiness.h"
#include "SiteFolder.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What each tool saves into a site as (SiteLayout::create's WHAT and
// extension), so that every tool finds what the others made.
namespace SiteOutputs {
inline QString backupWhat()
{
    return QStringLiteral("backup");
}
inline QString backupExtension()
{
    return QStringLiteral("csv");
}
inline QString testRunWhat()
{
    return QStringLiteral("testrun");
}
inline QString testRunExtension()
{
    return QStringLiteral("json");
}
inline QString recordingWhat()
{
    return QStringLiteral("recording");
}
inline QString recordingExtension()
{
    return QStringLiteral("csv");
}
inline QString reportWhat()
{
    return QStringLiteral("report");
}
inline QString reportExtension()
{
    return QStringLiteral("pdf");
} // the HTML beside it
} // namespace SiteOutputs

// One row of a site's table: a drive of a line, what the site's files say of
// it and, once asked (SiteStatusJob), what the drive says.
struct SiteDriveStatus
{
    QString line;
    quint8 address = 0;
    QString name; // empty: not named

    // ---- what the drive says (SiteStatusJob)
    bool asked = false;    // the job has been through this drive
    bool answered = false; // it answered its status
    std::optional<double> edition;
    Readiness readiness; // P0.04 and P0.01 as read
    bool running = false;
    bool reverse = false;
    bool fault = false;
    int faultNumber = 0;
    QString faultText; // "Normal" without a fault

    // ---- the parameters against the drive's reference set
    enum class Parameters
    {
        NoReference,         // the site names no reference set for the drive
        ReferenceUnreadable, // it names one that cannot be read (parametersProblem)
        NotRead,             // no backup of the drive in the site
        NotReadSinceWrite,   // a write went to the drive after its newest backup
        Compared             // differences / notAnswered hold the comparison
    };
    Parameters parameters = Parameters::NoReference;
    int differences = 0; // parameters of the reference the backup holds otherwise
    int notAnswered = 0; // parameters of the reference the drive did not answer in it
    QString parametersProblem;
    QString reference; // path of the reference set, empty without one
    QString backup;    // path of the newest backup, empty without one
    QDateTime backupTime;

    // ---- the newest test run, recording and report (of the drive, or of
    // its whole line for recordings and reports made of several drives)
    QString testRun = QStringLiteral("none"); // "passed", "failed: CHECK", "not completed", "none"
    bool testRunFailed = false;
    QString testRunFile;
    QDateTime testRunTime;
    QString recordingFile;
    QDateTime recordingTime;
    QString reportFile;
    QDateTime reportTime;

    // "Conveyor 3" or "3" when not named.
    QString label() const;
    // "ready", "P0.04 = 0 (keypad) ..." (Readiness::note), "not read", "no answer".
    QString readinessText() const;
    // "stop", "run forward", "run reverse, fault: …", "no answer", "not read".
    QString stateText() const;
    // "matches", "3 differ", "3 differ, 2 not answered", "not read",
    // "not read since the last write", "no reference", "reference not readable".
    QString parametersText() const;
    // "20261209T120005Z file-name" style: the file's name and time, or "none".
    static QString fileText(const QString& path, const QDateTime& time);

    // A fault, not ready, parameters that differ, or a failed test run.
    bool attention() const;
    QStringList attentionReasons() const;
    // What the drive said, taken from a newer reading of it; what the site's
    // files say is kept.
    void takeWhatTheDriveSaid(const SiteDriveStatus& newer);
    QJsonObject json() const;
};

namespace SiteStatus {

// The rows of a line's drives from the site's files alone (no line needed):
// the drive's newest backup compared with its reference set (the drive's own
// address and line settings, P8.00 and P8.01, left out as a clone leaves
// them), any write in the journal since that backup (every write that may
// have been taken: all but the refused ones), and the newest test run,
// recording and report.
QList<SiteDriveStatus> fromFiles(const SiteFolder& site, const SiteLine& line);
// Every line's.
QList<SiteDriveStatus> fromFiles(const SiteFolder& site);

// The time in a site file's name (LINE-dNN-YYYYMMDDTHHMMSSZ-...), UTC;
// invalid when the name holds none.
QDateTime timeOfName(const QString& path);

// A table as vfdctl prints it: tab-separated, a heading line first.
QStringList columnTitles();
QStringList rowTexts(const SiteDriveStatus& row);

} // namespace SiteStatus
