// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Journal.h"
#include "SiteFile.h"
#include "SiteLayout.h"

#include <QList>
#include <QString>
#include <optional>

// A site opened in its folder: the file a person edits, where each kind of
// thing is saved, and the journal. Every tool that works inside a site (the
// Site window, the tool windows, vfdctl --site, the service) goes through
// this one object, so a drive's name means the same drive everywhere and a
// file is found where the others put it.
class SiteFolder
{
public:
    // The site in the folder; nullopt (and why) when it has no site file or
    // the file is wrong ("…/site.conf: line N: …").
    static std::optional<SiteFolder> open(const QString& folder, QString* error);

    // A new site in a folder that is empty or not there yet: a site file
    // with [site] and one line of drives, and the kinds' folders. Refused
    // (and why) where a site file is already there: a site is never replaced.
    struct NewSite
    {
        QString name;
        QString customer;
        QString technician;
        QString line = QStringLiteral("line1");
        QString port;
        QString settings = QStringLiteral("9600,E,8,1");
        QList<quint8> drives;
    };
    static std::optional<SiteFolder> create(const QString& folder, const NewSite& what,
                                            QString* error);

    QString root() const { return m_root; }
    const Site& site() const { return m_file.site(); }
    SiteLayout layout() const { return SiteLayout(m_root); }
    Journal journal() const { return Journal(layout().journalPath()); }

    // The file as it stands, to be edited (SiteFile's set... calls) and then
    // saved; a failed save leaves the file on disk as it was.
    SiteFile& file() { return m_file; }
    QString save() const { return m_file.save(m_root); }
    // Reads the file again (a person may have edited it meanwhile).
    bool reload(QString* error);

    // A line by its name; an empty name picks the site's only line. nullptr
    // (and why) when there is no such line, or several and none named.
    const SiteLine* line(const QString& name, QString* error) const;

    // A drive of the line named by its address or by its name (case does not
    // matter); nullopt (and why) when the line has no such drive.
    static std::optional<quint8> driveOf(const SiteLine& line, const QString& word, QString* error);
    // A list of drives: addresses and ranges as everywhere ("1,4-7") or names,
    // separated by commas; empty words stand for all the line's drives.
    // nullopt (and why) at the first word that names no drive of the line.
    static std::optional<QList<quint8>> drivesOf(const SiteLine& line, const QString& words,
                                                 QString* error);
    // "3" or "3 (Conveyor 3)": how a drive is named in messages.
    static QString driveLabel(const SiteLine& line, quint8 address);

    // The path of the drive's reference set, or empty when it has none.
    QString referencePath(const SiteLine& line, quint8 address) const;

    // The newest file of a kind for a drive of a line (drive 0: files of the
    // whole line), optionally only those made as WHAT ("backup", "testrun");
    // empty when there is none. Names sort by time; NAME-2 is newer than NAME.
    QString newest(SiteLayout::Kind kind, const QString& line, quint8 drive,
                   const QString& what = QString(), const QString& extension = QString()) const;
    // Every such file, oldest first.
    QStringList files(SiteLayout::Kind kind, const QString& line, quint8 drive,
                      const QString& what = QString(), const QString& extension = QString()) const;

    // An entry appended to the journal, stamped now when it carries no time;
    // empty when it is in the file, else why not.
    QString record(JournalEntry entry) const;

private:
    QString m_root;
    SiteFile m_file;
};
