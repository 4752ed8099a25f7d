// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteFolder.h"

#include "Destination.h"
#include "DriveList.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

std::optional<SiteFolder> SiteFolder::open(const QString& folder, QString* error)
{
    SiteFolder site;
    site.m_root = QDir(folder).absolutePath();
    if (!QFileInfo(site.m_root).isDir()) {
        if (error)
            *error = QStringLiteral("%1 is no folder").arg(folder);
        return std::nullopt;
    }
    if (!QFileInfo::exists(QDir(site.m_root).filePath(SiteFile::fileName()))) {
        if (error)
            *error = QStringLiteral("%1 holds no site (no %2)").arg(folder, SiteFile::fileName());
        return std::nullopt;
    }
    if (!site.m_file.load(site.m_root, error))
        return std::nullopt;
    return site;
}

std::optional<SiteFolder> SiteFolder::create(const QString& folder, const NewSite& what,
                                             QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString root = QDir(folder).absolutePath();
    if (QFileInfo::exists(QDir(root).filePath(SiteFile::fileName())))
        return fail(QStringLiteral("%1 holds a site already").arg(folder));
    if (const QString why = folderDestinationProblem(root); !why.isEmpty())
        return fail(why);
    QString text = QStringLiteral("# The site: its lines and drives. Comments and order are kept\n"
                                  "# when vfdtool or vfdctl write what they learn.\n"
                                  "[site]\n");
    // The keys are written only when given: an empty value would not read back.
    if (!what.name.isEmpty())
        text += QStringLiteral("name = %1\n").arg(what.name);
    if (!what.customer.isEmpty())
        text += QStringLiteral("customer = %1\n").arg(what.customer);
    if (!what.technician.isEmpty())
        text += QStringLiteral("technician = %1\n").arg(what.technician);
    text += QStringLiteral("\n[line %1]\nport = %2\nsettings = %3\n")
                .arg(what.line, what.port, what.settings);
    SiteFolder site;
    site.m_root = root;
    QString why;
    if (!site.m_file.setText(text, &why))
        return fail(QStringLiteral("the new site's file would not read: %1").arg(why));
    if (!what.drives.isEmpty() && !site.m_file.addDrives(what.line, what.drives, &why))
        return fail(why);
    if (const QString saved = site.save(); !saved.isEmpty())
        return fail(saved);
    for (const auto kind :
         {SiteLayout::Kind::ParameterSets, SiteLayout::Kind::TestRuns, SiteLayout::Kind::Recordings,
          SiteLayout::Kind::Snapshots, SiteLayout::Kind::Reports})
        if (const QString problem = folderDestinationProblem(site.layout().folder(kind));
            !problem.isEmpty())
            return fail(problem);
    return site;
}

bool SiteFolder::reload(QString* error)
{
    SiteFile again;
    if (!again.load(m_root, error))
        return false;
    m_file = again;
    return true;
}

const SiteLine* SiteFolder::line(const QString& name, QString* error) const
{
    const Site& s = site();
    if (name.isEmpty()) {
        if (s.lines.size() == 1)
            return &s.lines.first();
        if (error) {
            QStringList names;
            for (const SiteLine& l : s.lines)
                names << l.name;
            *error = s.lines.isEmpty()
                         ? QStringLiteral("the site has no line")
                         : QStringLiteral("the site has lines %1: name one").arg(names.join(", "));
        }
        return nullptr;
    }
    if (const SiteLine* l = s.line(name))
        return l;
    if (error)
        *error = QStringLiteral("the site has no line \"%1\"").arg(name);
    return nullptr;
}

std::optional<quint8> SiteFolder::driveOf(const SiteLine& line, const QString& word, QString* error)
{
    const QString w = word.trimmed();
    for (const SiteDrive& d : line.drives)
        if (!d.name.isEmpty() && d.name.compare(w, Qt::CaseInsensitive) == 0)
            return d.address;
    QString why;
    const std::optional<quint8> address = DriveList::parseOne(w, &why);
    if (address && line.drive(*address))
        return address;
    if (error)
        *error =
            address
                ? QStringLiteral("drive %1 is not a drive of line %2").arg(*address).arg(line.name)
                : QStringLiteral("\"%1\" names no drive of line %2").arg(w, line.name);
    return std::nullopt;
}

std::optional<QList<quint8>> SiteFolder::drivesOf(const SiteLine& line, const QString& words,
                                                  QString* error)
{
    QList<quint8> out;
    if (words.trimmed().isEmpty()) {
        for (const SiteDrive& d : line.drives)
            out << d.address;
        return out;
    }
    for (const QString& item : words.split(u',')) {
        QString why;
        std::optional<QList<quint8>> some;
        if (const auto named = driveOf(line, item, nullptr))
            some = QList<quint8>{*named};
        else
            some = DriveList::parse(item, &why);
        if (!some) {
            if (error)
                *error = QStringLiteral("\"%1\" names no drive of line %2")
                             .arg(item.trimmed(), line.name);
            return std::nullopt;
        }
        for (const quint8 a : *some) {
            if (!line.drive(a)) {
                if (error)
                    *error =
                        QStringLiteral("drive %1 is not a drive of line %2").arg(a).arg(line.name);
                return std::nullopt;
            }
            if (!out.contains(a))
                out << a;
        }
    }
    return out;
}

QString SiteFolder::driveLabel(const SiteLine& line, quint8 address)
{
    const SiteDrive* d = line.drive(address);
    if (!d || d->name.isEmpty())
        return QString::number(address);
    return QStringLiteral("%1 (%2)").arg(address).arg(d->name);
}

QString SiteFolder::referencePath(const SiteLine& line, quint8 address) const
{
    const SiteDrive* d = line.drive(address);
    if (!d || d->reference.isEmpty())
        return {};
    return QDir(layout().folder(SiteLayout::Kind::ParameterSets)).filePath(d->reference);
}

QStringList SiteFolder::files(SiteLayout::Kind kind, const QString& line, quint8 drive,
                              const QString& what, const QString& extension) const
{
    // LINE[-dNN]-YYYYMMDDTHHMMSSZ[-WHAT][-N][.EXT], as SiteLayout names them.
    const QString drivePart =
        drive > 0 ? QStringLiteral("-d%1").arg(drive, 2, 10, QLatin1Char('0')) : QString();
    const QString whatPart =
        what.isEmpty() ? QStringLiteral("(?:-.+?)?") : u'-' + QRegularExpression::escape(what);
    const QString extPart = extension.isEmpty()
                                ? QStringLiteral("(?:\\.[^.]+)?")
                                : QStringLiteral("\\.") + QRegularExpression::escape(extension);
    const QRegularExpression form(u'^' + QRegularExpression::escape(line) + drivePart +
                                  QStringLiteral("-(\\d{8}T\\d{6}Z)") + whatPart +
                                  QStringLiteral("(?:-(\\d+))?") + extPart + u'$');
    struct Found
    {
        QString time;
        int n;
        QString path;
    };
    QList<Found> found;
    const QDir dir(layout().folder(kind));
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
        const QRegularExpressionMatch m = form.match(info.fileName());
        if (!m.hasMatch())
            continue;
        found.append(
            {m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(), info.filePath()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.time != b.time ? a.time < b.time : a.n < b.n;
    });
    QStringList paths;
    for (const Found& f : found)
        paths << f.path;
    return paths;
}

QString SiteFolder::newest(SiteLayout::Kind kind, const QString& line, quint8 drive,
                           const QString& what, const QString& extension) const
{
    const QStringList all = files(kind, line, drive, what, extension);
    return all.isEmpty() ? QString() : all.last();
}

QString SiteFolder::record(JournalEntry entry) const
{
    if (!entry.time.isValid())
        entry.time = QDateTime::currentDateTime();
    return journal().append(entry);
}
