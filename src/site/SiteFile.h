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
//
// A row of identical drives shares one reference set. The drive the set is
// taken from (the one a technician set up by hand) says so with
// "reference-source = yes" beside its reference: commissioning the row reads
// that drive whole, keeps the read as a backup, and writes its set to every
// drive of the same reference. While the reference file is not there yet
// the read becomes it; a reference file is never replaced, so a source
// drive that no longer matches its file is refused until the file is named
// anew or the drive set back. Without a source drive the file is written as
// it stands. One drive at most is the source of each reference.
//
// How commissioning test-runs a drive, in [site] for every line and in a
// [line] for its own drives (a line's key wins):
//
//   test-hz = 30                     the set frequency (needed to test-run)
//   test-for = 20s                   held in each direction (default 20s)
//   test-reverse = yes               after forward, the same in reverse
//   expect = current<4.5, dc-bus>=500  limits every run is checked against
//
// "parallel = N" in [site] lets N drives be test-run at once (default 1:
// running motors together is the plant's decision).
struct SiteDrive
{
    quint8 address = 0;
    QString name;                 // empty: not named yet
    QString reference;            // a file in the parameter sets folder; empty: none
    bool referenceSource = false; // its set is what the reference holds
};

// How the drives are test-run; what is not given is taken from [site], and
// there from the defaults.
struct SiteTestRun
{
    std::optional<double> hz;
    std::optional<qint64> holdMs;
    std::optional<bool> reverse;
    std::optional<QStringList> expect; // limits as written ("current<4.5"), each checked

    // This, with what it leaves open taken from the other.
    SiteTestRun over(const SiteTestRun& other) const;
};

struct SiteLine
{
    QString name;
    QString port;
    QString settings = QStringLiteral("9600,E,8,1");
    QList<SiteDrive> drives; // in the order of the line's drives key
    int definedAt = 0;       // line of the file where the line's section began
    SiteTestRun test;        // the line's own test-run keys

    const SiteDrive* drive(quint8 address) const;
};

struct Site
{
    QString name;
    QString customer;
    QString technician;
    int parallel = 1; // how many drives may be test-run at once
    SiteTestRun test; // the test-run keys of [site]
    QList<SiteLine> lines;

    const SiteLine* line(const QString& name) const;
    // How a drive of the line is test-run: the line's keys, then the site's.
    SiteTestRun testRunOf(const SiteLine& line) const { return line.test.over(test); }
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
