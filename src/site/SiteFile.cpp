// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteFile.h"

#include "BoundedRead.h"
#include "Destination.h"
#include "DriveList.h"
#include "Hexedit.h"
#include "IniText.h"
#include "NumberText.h"
#include "RecordCommand.h"
#include "SerialPort.h"
#include "TestRunResult.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

const SiteDrive* SiteLine::drive(quint8 address) const
{
    for (const SiteDrive& d : drives)
        if (d.address == address)
            return &d;
    return nullptr;
}

SiteTestRun SiteTestRun::over(const SiteTestRun& other) const
{
    SiteTestRun out = *this;
    if (!out.hz)
        out.hz = other.hz;
    if (!out.holdMs)
        out.holdMs = other.holdMs;
    if (!out.reverse)
        out.reverse = other.reverse;
    if (!out.expect)
        out.expect = other.expect;
    return out;
}

const SiteLine* Site::line(const QString& name) const
{
    for (const SiteLine& l : lines)
        if (l.name == name)
            return &l;
    return nullptr;
}

namespace {

// A line's name is a topic level for the service and the first part of the
// site's file names: no separator and no wildcard.
bool isLineName(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return form.match(text).hasMatch();
}

QString textProblem(const QString& key, const QString& value)
{
    if (value.size() > 200)
        return QStringLiteral("%1 takes at most 200 characters").arg(key);
    for (const QChar c : value)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("%1 holds a control character").arg(key);
    return {};
}

QString referenceProblem(const QString& value)
{
    if (value.isEmpty() || value.contains(u'/') || value.contains(u'\\') || value == u"." ||
        value == u"..")
        return QStringLiteral("reference names a file of the parameter sets folder, "
                              "without a folder");
    return textProblem(QStringLiteral("reference"), value);
}

std::optional<bool> yesNo(const QString& value)
{
    const QString v = value.toLower();
    if (v == u"yes" || v == u"true" || v == u"1")
        return true;
    if (v == u"no" || v == u"false" || v == u"0")
        return false;
    return std::nullopt;
}

// The test-run keys of [site] and [line]: nullopt for another key, else
// empty when taken, or the problem.
std::optional<QString> takeTestKey(const QString& key, const QString& value, SiteTestRun& test)
{
    if (key == u"test-hz") {
        const std::optional<double> hz = NumberText::ParseDecimal(value);
        if (!hz || *hz <= 0 || !Hexedit::ControlSetpoint(value))
            return QStringLiteral("test-hz takes the frequency to run at, such as 50 or 12.5");
        test.hz = *hz;
        return QString();
    }
    if (key == u"test-for") {
        const std::optional<qint64> ms = parseDurationMs(value);
        if (!ms || *ms <= 0 || *ms > 3600 * 1000)
            return QStringLiteral("test-for takes a time up to an hour, such as 20s or 1min");
        test.holdMs = *ms;
        return QString();
    }
    if (key == u"test-reverse") {
        const std::optional<bool> yes = yesNo(value);
        if (!yes)
            return QStringLiteral("test-reverse takes yes or no");
        test.reverse = *yes;
        return QString();
    }
    if (key == u"expect") {
        QStringList limits;
        for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
            QString problem;
            const std::optional<ExpectLimit> limit = ExpectLimit::parse(item.trimmed(), &problem);
            if (!limit)
                return QStringLiteral("expect: %1").arg(problem);
            limits << item.trimmed();
        }
        test.expect = limits;
        return QString();
    }
    return std::nullopt;
}

// A drive's section before its line has listed it: kept aside until the end.
struct DriveSection
{
    QString line;
    quint8 address = 0;
    SiteDrive drive;
    int at = 0;
};

} // namespace

std::optional<Site> SiteFile::parse(const QString& text, QString* error)
{
    Site site;
    SiteLine* line = nullptr;
    QList<DriveSection> driveSections;
    DriveSection* drive = nullptr;
    bool inSite = false;
    auto onSection = [&](const QString& heading, int at) -> QString {
        line = nullptr;
        drive = nullptr;
        inSite = heading == u"site";
        if (inSite || heading == u"broker" || heading == u"publish" || heading == u"commands" ||
            heading == u"drift" || heading == u"sparkplug" || heading == u"discovery")
            return {};
        const QStringList words = heading.split(u' ');
        if (words.first() == u"line" && words.size() == 2) {
            if (!isLineName(words[1]))
                return QStringLiteral("a line's name is one topic level: letters, digits, "
                                      "'_', '.' and '-'");
            site.lines.append(SiteLine{});
            line = &site.lines.last();
            line->name = words[1];
            line->definedAt = at;
            return {};
        }
        if (words.first() == u"drive" && words.size() == 3) {
            QString why;
            const auto address = DriveList::parseOne(words[2], &why);
            if (!address)
                return QStringLiteral("[drive LINE ADDRESS]: ") + why;
            driveSections.append(DriveSection{words[1], *address, SiteDrive{}, at});
            drive = &driveSections.last();
            drive->drive.address = *address;
            return {};
        }
        return QStringLiteral("[%1] is not a section here: [site], [line NAME], "
                              "[drive LINE ADDRESS], [broker], [publish], [commands], "
                              "[sparkplug] or [discovery]")
            .arg(heading);
    };
    auto onKey = [&](const QString& section, const QString& key, const QString& value,
                     int) -> QString {
        if (inSite) {
            if (key == u"name" || key == u"customer" || key == u"technician") {
                if (const QString why = textProblem(key, value); !why.isEmpty())
                    return why;
                (key == u"name"       ? site.name
                 : key == u"customer" ? site.customer
                                      : site.technician) = value;
                return {};
            }
            if (key == u"parallel") {
                bool ok = false;
                const int n = value.toInt(&ok);
                if (!ok || n < 1 || n > DriveList::kHighestAddress)
                    return QStringLiteral("parallel takes 1 to %1 drives")
                        .arg(DriveList::kHighestAddress);
                site.parallel = n;
                return {};
            }
            if (const auto taken = takeTestKey(key, value, site.test))
                return *taken;
        } else if (line) {
            QList<quint8> addresses;
            if (const auto taken =
                    IniText::takeLineKey(key, value, line->port, line->settings, addresses)) {
                for (const quint8 a : addresses)
                    line->drives.append(SiteDrive{a, {}, {}});
                return *taken;
            }
            if (const auto taken = takeTestKey(key, value, line->test))
                return *taken;
            // What the service reads of a line is the service's to check.
            if (key == u"values" || key == u"interval" || key == u"share" ||
                key.startsWith(QStringLiteral("share-")))
                return {};
        } else if (drive) {
            if (key == u"name") {
                if (value.isEmpty())
                    return QStringLiteral("a drive's name is not empty");
                if (const QString why = textProblem(key, value); !why.isEmpty())
                    return why;
                drive->drive.name = value;
                return {};
            }
            if (key == u"reference") {
                if (const QString why = referenceProblem(value); !why.isEmpty())
                    return why;
                drive->drive.reference = value;
                return {};
            }
            if (key == u"reference-source") {
                const std::optional<bool> yes = yesNo(value);
                if (!yes)
                    return QStringLiteral("reference-source takes yes or no");
                drive->drive.referenceSource = *yes;
                return {};
            }
        } else {
            return {}; // the service's own sections
        }
        return QStringLiteral("\"%1\" is not a setting of [%2]").arg(key, section);
    };
    if (!IniText::read(text, onSection, onKey, error))
        return std::nullopt;

    auto fail = [&](int at, const QString& why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(at).arg(why);
        return std::nullopt;
    };
    QHash<QString, int> names;   // a name may stand for an address: one drive each
    QHash<QString, int> sources; // a reference's source drive, by the line it is given on
    for (const DriveSection& d : driveSections) {
        SiteLine* owner = nullptr;
        for (SiteLine& l : site.lines)
            if (l.name == d.line)
                owner = &l;
        if (!owner)
            return fail(d.at, QStringLiteral("[drive %1 %2] names no line of the site")
                                  .arg(d.line)
                                  .arg(d.address));
        SiteDrive* into = nullptr;
        for (SiteDrive& sd : owner->drives)
            if (sd.address == d.address)
                into = &sd;
        if (!into)
            return fail(d.at, QStringLiteral("drive %1 is not among the drives of [line %2]")
                                  .arg(d.address)
                                  .arg(d.line));
        if (!d.drive.name.isEmpty()) {
            const QString key = d.drive.name.toCaseFolded();
            if (names.contains(key))
                return fail(d.at, QStringLiteral("the name \"%1\" is given on line %2 already")
                                      .arg(d.drive.name)
                                      .arg(names.value(key)));
            names.insert(key, d.at);
        }
        if (d.drive.referenceSource) {
            if (d.drive.reference.isEmpty())
                return fail(d.at, QStringLiteral("reference-source needs the drive's reference "
                                                 "(reference = FILE)"));
            if (sources.contains(d.drive.reference))
                return fail(d.at, QStringLiteral("%1 has its source drive on line %2 already")
                                      .arg(d.drive.reference)
                                      .arg(sources.value(d.drive.reference)));
            sources.insert(d.drive.reference, d.at);
        }
        into->name = d.drive.name;
        into->reference = d.drive.reference;
        into->referenceSource = d.drive.referenceSource;
    }
    for (const SiteLine& l : site.lines)
        if (l.port.isEmpty())
            return fail(l.definedAt, QStringLiteral("[line %1] names no port").arg(l.name));
    return site;
}

bool SiteFile::setText(const QString& text, QString* error)
{
    auto site = parse(text, error);
    if (!site)
        return false;
    m_text = text;
    m_site = *site;
    return true;
}

bool SiteFile::load(const QString& folder, QString* error)
{
    const QString path = QDir(folder).filePath(fileName());
    const BoundedRead read = readFileAtMost(path, 1024 * 1024);
    if (read.outcome != BoundedRead::Outcome::Read) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(
                path, read.outcome == BoundedRead::Outcome::TooLarge
                          ? QStringLiteral("larger than a site's file can be")
                          : read.error);
        return false;
    }
    QString why;
    if (!setText(QString::fromUtf8(read.bytes), &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

QString SiteFile::save(const QString& folder) const
{
    return saveWhole(QDir(folder).filePath(fileName()), m_text.toUtf8());
}
