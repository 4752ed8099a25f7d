// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteLayout.h"

#include "Destination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString SiteLayout::folder(Kind kind) const
{
    const QDir root(m_root);
    switch (kind) {
    case Kind::ParameterSets:
        return root.filePath(QStringLiteral("parameter-sets"));
    case Kind::TestRuns:
        return root.filePath(QStringLiteral("test-runs"));
    case Kind::Recordings:
        return root.filePath(QStringLiteral("recordings"));
    case Kind::Snapshots:
        return root.filePath(QStringLiteral("recordings/snapshots"));
    case Kind::Reports:
        return root.filePath(QStringLiteral("reports"));
    }
    return m_root;
}

QString SiteLayout::journalPath() const
{
    return QDir(m_root).filePath(QStringLiteral("journal.jsonl"));
}

QString SiteLayout::baseName(const QString& line, quint8 drive, const QDateTime& when,
                             const QString& what)
{
    // Universal time: a name made in the hour the clocks go back still sorts
    // after the one made before it.
    QString name = line;
    if (drive > 0)
        name += QStringLiteral("-d%1").arg(drive, 2, 10, QLatin1Char('0'));
    name += u'-' + when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    if (!what.isEmpty())
        name += u'-' + what;
    return name;
}

QString SiteLayout::create(Kind kind, const QString& line, quint8 drive, const QString& what,
                           const QString& extension, const QDateTime& when, QString* error) const
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    const QString into = folder(kind);
    if (const QString why = folderDestinationProblem(into); !why.isEmpty())
        return fail(why);
    const QString base = QDir(into).filePath(baseName(line, drive, when, what));
    const QString ending = extension.isEmpty() ? QString() : u'.' + extension;
    for (int n = 1; n <= 9999; ++n) {
        const QString path =
            n == 1 ? base + ending : QStringLiteral("%1-%2%3").arg(base).arg(n).arg(ending);
        QFile file(path);
        // O_CREAT | O_EXCL: of two makers of one name, exactly one succeeds.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return fail(QStringLiteral("%1 cannot be made: %2").arg(path, file.errorString()));
    }
    return fail(QStringLiteral("%1: every name of this second is taken").arg(base));
}
