// SPDX-License-Identifier: GPL-3.0-or-later
#include "Destination.h"

#include "BoundedRead.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace {

// Tried rather than judged from permission bits, which root passes and a
// read-only mount does not show.
QString takesNoFiles(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vfdtool-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("the folder %1 takes no new files: %2")
            .arg(folder, probe.errorString());
    return QString();
}

} // namespace

QString destinationProblem(const QString& path)
{
    const QFileInfo file(path);
    if (path.trimmed().isEmpty() || file.fileName().isEmpty())
        return QStringLiteral("no file is named");
    if (file.isDir())
        return QStringLiteral("%1 is a folder").arg(path);
    if (const std::optional<QString> kind = notAFile(path))
        return QStringLiteral("%1 is %2, not a file").arg(path, *kind);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is a file, not a folder").arg(folder.filePath());
    if (const QString problem = takesNoFiles(folder.filePath()); !problem.isEmpty())
        return problem;
    if (file.exists() && !file.isWritable())
        return QStringLiteral("%1 may not be replaced").arg(path);
    return QString();
}

QString commitWhole(QSaveFile& file)
{
    if (!file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        file.commit(); // only to close it; the target is left alone
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString saveWhole(const QString& path, const QByteArray& bytes)
{
    if (const std::optional<QString> kind = notAFile(path))
        return QStringLiteral("%1 is %2, not a file").arg(path, *kind);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        file.commit();
        return error;
    }
    return commitWhole(file);
}

QString folderDestinationProblem(const QString& directory)
{
    const QString folder = directory.isEmpty() ? QStringLiteral(".") : directory;
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 is a file, not a folder").arg(folder);
    if (!info.exists() && !QDir().mkpath(folder))
        return QStringLiteral("the folder %1 could not be made").arg(folder);
    return takesNoFiles(folder);
}
