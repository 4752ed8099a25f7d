// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecentSites.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("sites/recent");

QString cleaned(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace

QStringList RecentSites::folders() const
{
    if (m_filePath.isEmpty())
        return {};
    const QSettings s(m_filePath, QSettings::IniFormat);
    QStringList list;
    for (const QString& f : s.value(kKey).toStringList()) {
        if (!f.isEmpty() && !list.contains(f))
            list << f;
    }
    return list.mid(0, Kept);
}

bool RecentSites::add(const QString& folder)
{
    QStringList list = folders();
    const QString path = cleaned(folder);
    list.removeAll(path);
    list.prepend(path);
    return write(list.mid(0, Kept));
}

bool RecentSites::remove(const QString& folder)
{
    QStringList list = folders();
    list.removeAll(cleaned(folder));
    return write(list);
}

bool RecentSites::write(const QStringList& list)
{
    if (m_filePath.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSettings s(m_filePath, QSettings::IniFormat);
    s.setValue(kKey, list);
    s.sync();
    return s.status() == QSettings::NoError;
}
