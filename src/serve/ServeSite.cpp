// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeSite.h"

#include "SiteFolder.h"

#include <QDir>
#include <QFileInfo>

namespace ServeSite {

QString folderOf(const QString& configPath)
{
    const QFileInfo info(configPath);
    return info.fileName() == SiteFile::fileName() ? info.absolutePath() : QString();
}

QString misplaced(const ServeConfig& config, const QString& path)
{
    if (config.siteSectionAt == 0)
        return {};
    return QStringLiteral("%1, line %2: [site] and [drive ...] sections belong in a site's %3; "
                          "start the service with that file or --site DIR")
        .arg(path)
        .arg(config.siteSectionAt)
        .arg(SiteFile::fileName());
}

std::optional<ServeConfig> read(const QString& folder, QString* error)
{
    // The site's reader first: a mistake in a drive's section or a line's
    // drives is the site's, said with its line as every tool says it.
    QString why;
    std::optional<SiteFolder> site = SiteFolder::open(folder, &why);
    if (!site) {
        *error = why;
        return std::nullopt;
    }
    const QString path = QDir(site->root()).filePath(SiteFile::fileName());
    auto config = ServeConfigText::parse(site->file().text(), &why, true);
    if (!config) {
        *error = path + QStringLiteral(": ") + why;
        return std::nullopt;
    }
    config->siteRoot = site->root();
    for (ServeLineConfig& line : config->lines) {
        const SiteLine* own = site->site().line(line.name);
        if (!own)
            continue;
        for (const SiteDrive& d : own->drives)
            if (!d.name.isEmpty())
                line.driveNames.insert(d.address, d.name);
    }
    return config;
}

bool pickLine(ServeConfig& config, const QString& name, bool lineOptions, QString* error)
{
    QStringList names;
    for (const ServeLineConfig& l : config.lines)
        names << l.name;
    if (name.isEmpty()) {
        if (!lineOptions || config.lines.size() <= 1)
            return true;
        *error = QStringLiteral("the site has lines %1: name the one the options are for "
                                "with --line NAME")
                     .arg(names.join(QStringLiteral(", ")));
        return false;
    }
    for (const ServeLineConfig& l : config.lines)
        if (l.name == name) {
            // One service per line, all from the one file: the line keeps
            // their client ids and queue folders apart.
            if (config.lines.size() > 1) {
                if (!config.clientId.isEmpty())
                    config.clientId += u'-' + name;
                if (!config.queueDir.isEmpty())
                    config.queueDir = QDir(config.queueDir).filePath(name);
            }
            const ServeLineConfig kept = l;
            config.lines = {kept};
            return true;
        }
    *error = names.isEmpty() ? QStringLiteral("the site has no line")
                             : QStringLiteral("the site has no line \"%1\" (its lines: %2)")
                                   .arg(name, names.join(QStringLiteral(", ")));
    return false;
}

} // namespace ServeSite
