// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>

// A plant's lines and drives as a person writes them in site.conf at the root
// of a site folder, in the same form (and through the same reader) as the
// service's configuration, so one file can describe the plant and start the
// service. The site reads [site], the lines' port, settings and drives, and
// [drive LINE ADDRESS]; the service's own sections and keys are its own.
//
//   [site]
//   name = Press hall
//   customer = Example Works
//   technician = J. Doe
//
//   [line a]
//   port = /dev/ttyUSB0
//   settings = 9600,E,8,1
//   drives = 1-3
//
//   [drive a 3]
//   name = Conveyor 3
//   reference = conveyor.vfdset
struct SiteDrive
{
    quint8 address = 0;
    QString name;      // empty: not named yet
    QString reference; // a file in the parameter sets folder; empty: none
};

struct SiteLine
{
    QString name;
    QString port;
    QString settings = QStringLiteral("9600,E,8,1");
    QList<SiteDrive> drives; // in the order of the line's drives key
    int definedAt = 0;       // line of the file where the line's section began

    const SiteDrive* drive(quint8 address) const;
};

struct Site
{
    QString name;
    QString customer;
    QString technician;
    int parallel = 1; // how many drives may be test-run at once
    QList<SiteLine> lines;

    const SiteLine* line(const QString& name) const;
};

class SiteFile
{
public:
    static QString fileName() { return QStringLiteral("site.conf"); }

    // The site a text describes; nullopt with "line N: problem" when any
    // line of it is wrong.
    static std::optional<Site> parse(const QString& text, QString* error);

    // The site file in the folder; false (and why) when it cannot be read or
    // is wrong.
    bool load(const QString& folder, QString* error);
    // A text of its own (a new site not saved yet, or a test).
    bool setText(const QString& text, QString* error);

    const Site& site() const { return m_site; }
    QString text() const { return m_text; }

    // What the program learns, written into the text where a person would
    // have written it: the rest of the file (comments, order, keys the site
    // does not know) stays as it was. False (and why) when the result would
    // not read back.
    bool setDriveName(const QString& line, quint8 address, const QString& name, QString* error);
    bool setReference(const QString& line, quint8 address, const QString& file, QString* error);
    // Drives a scan found, added to the line's list (those already there stay).
    bool addDrives(const QString& line, const QList<quint8>& addresses, QString* error);

    // The text saved whole in site.conf of the folder; empty, or why not.
    QString save(const QString& folder) const;

private:
    bool setDriveKey(const QString& line, quint8 address, const QString& key, const QString& value,
                     QString* error);

    QString m_text;
    Site m_site;
};
