// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The sites opened last, newest first, kept in an INI file beside the main
// window's settings (on Linux ~/.config/vfdtool/sites.conf). With no file
// named (a test, or a window made without one) nothing is kept.
class RecentSites
{
public:
    static constexpr int Kept = 6;

    explicit RecentSites(QString filePath = QString()) : m_filePath(std::move(filePath)) {}

    QString filePath() const { return m_filePath; }
    // The folders as kept; ones no longer there are left in (a stick not
    // plugged in now): opening one says what is wrong.
    QStringList folders() const;
    // The folder goes to the top; false when the file could not be written.
    bool add(const QString& folder);
    bool remove(const QString& folder);

private:
    bool write(const QStringList& list);

    QString m_filePath;
};
