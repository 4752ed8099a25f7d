// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// Where each kind of thing lives in a site folder, and the names of its
// files: they sort by line, drive and time, and none is ever reused. A
// second backup of a drive within the same second is a second file
// (NAME-2, NAME-3 ...), and each name is taken by creating its file
// exclusively, so two tools (or two processes) saving at once never share one.
class SiteLayout
{
public:
    enum class Kind
    {
        ParameterSets, // reference sets and every backup
        TestRuns,
        Recordings,
        Snapshots, // the recordings' trip snapshots
        Reports
    };

    explicit SiteLayout(QString root) : m_root(std::move(root)) {}

    QString root() const { return m_root; }
    QString folder(Kind kind) const;
    QString journalPath() const;

    // "LINE-dNN-YYYYMMDDTHHMMSSZ-WHAT" (drive 0: the whole line, no "-dNN").
    static QString baseName(const QString& line, quint8 drive, const QDateTime& when,
                            const QString& what);

    // A new empty file of the kind, its name never used before in the folder
    // (which is made when it is not there yet). The caller writes into it.
    // Empty (and why) when no file could be made.
    QString create(Kind kind, const QString& line, quint8 drive, const QString& what,
                   const QString& extension, const QDateTime& when, QString* error) const;

private:
    QString m_root;
};
