// SPDX-License-Identifier: GPL-3.0-or-later
// What the program learns, written into a person's site file in place.
#include "IniText.h"
#include "SiteFile.h"

#include <QStringList>
#include <algorithm>

namespace {

// A list of addresses as a person would write it: "1-3,5".
QString addressList(QList<quint8> addresses)
{
    std::sort(addresses.begin(), addresses.end());
    QStringList items;
    for (qsizetype i = 0; i < addresses.size();) {
        qsizetype j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1)
            ++j;
        items.append(j - i >= 2 ? QStringLiteral("%1-%2").arg(addresses[i]).arg(addresses[j])
                                : QString::number(addresses[i]));
        if (j - i == 1)
            items.append(QString::number(addresses[j]));
        i = j + 1;
    }
    return items.join(u',');
}

// The row of a heading in the text's rows, or -1.
qsizetype headingRow(const QStringList& rows, const QString& heading)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QString h;
        if (IniText::isHeading(rows[i], &h) && h == heading)
            return i;
    }
    return -1;
}

qsizetype sectionEnd(const QStringList& rows, qsizetype heading)
{
    qsizetype end = heading + 1;
    while (end < rows.size() && !IniText::isHeading(rows[end]))
        ++end;
    return end;
}

// The key set to the value in the section: its own row rewritten where it
// stands, else a new row after the section's last setting, else a new
// section at the end (or after the row given).
QString withKey(const QString& text, const QString& heading, const QString& key,
                const QString& value, qsizetype newSectionAfter = -1)
{
    QStringList rows = text.split(u'\n');
    const bool crlf = !rows.isEmpty() && rows.first().endsWith(u'\r');
    const QString cr = crlf ? QStringLiteral("\r") : QString();
    const qsizetype at = headingRow(rows, heading);
    if (at >= 0) {
        const qsizetype end = sectionEnd(rows, at);
        qsizetype last = at;
        for (qsizetype i = at + 1; i < end; ++i) {
            QString k;
            if (!IniText::isSetting(rows[i], &k))
                continue;
            last = i;
            if (k != key)
                continue;
            const QString row = rows[i];
            qsizetype lead = 0;
            while (lead < row.size() && row[lead].isSpace())
                ++lead;
            rows[i] = row.left(lead) + row.mid(lead, row.indexOf(u'=') - lead).trimmed() +
                      QStringLiteral(" = ") + value + (row.endsWith(u'\r') ? cr : QString());
            return rows.join(u'\n');
        }
        rows.insert(last + 1, key + QStringLiteral(" = ") + value + cr);
        return rows.join(u'\n');
    }
    QStringList section{QString(), u'[' + heading + u']' + cr,
                        key + QStringLiteral(" = ") + value + cr};
    qsizetype insertAt = rows.size();
    if (newSectionAfter >= 0) {
        insertAt = newSectionAfter + 1;
    } else {
        // Before the blank rows that end the file, so it keeps its ending.
        while (insertAt > 0 && rows[insertAt - 1].trimmed().isEmpty())
            --insertAt;
    }
    if (insertAt == 0)
        section.removeFirst();
    for (qsizetype i = 0; i < section.size(); ++i)
        rows.insert(insertAt + i, section[i]);
    return rows.join(u'\n');
}

// Where a new drive section of the line goes: after the line's last drive
// section, else after the line's own section; after the section's last
// setting either way.
qsizetype newDriveSectionAfter(const QString& text, const QString& line)
{
    const QStringList rows = text.split(u'\n');
    qsizetype after = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QString h;
        if (!IniText::isHeading(rows[i], &h))
            continue;
        if (h == QStringLiteral("line ") + line ||
            h.startsWith(QStringLiteral("drive %1 ").arg(line))) {
            // After its last setting: a comment below it may open what follows.
            after = sectionEnd(rows, i) - 1;
            while (after > i && !IniText::isSetting(rows[after]))
                --after;
        }
    }
    return after;
}

} // namespace

bool SiteFile::setDriveKey(const QString& line, quint8 address, const QString& key,
                           const QString& value, QString* error)
{
    const SiteLine* l = m_site.line(line);
    if (!l || !l->drive(address)) {
        if (error)
            *error = QStringLiteral("the site has no drive %1 on line %2").arg(address).arg(line);
        return false;
    }
    const QString heading = QStringLiteral("drive %1 %2").arg(line).arg(address);
    return setText(withKey(m_text, heading, key, value, newDriveSectionAfter(m_text, line)), error);
}

bool SiteFile::setDriveName(const QString& line, quint8 address, const QString& name,
                            QString* error)
{
    return setDriveKey(line, address, QStringLiteral("name"), name.trimmed(), error);
}

bool SiteFile::setReference(const QString& line, quint8 address, const QString& file,
                            QString* error)
{
    return setDriveKey(line, address, QStringLiteral("reference"), file.trimmed(), error);
}

bool SiteFile::addDrives(const QString& line, const QList<quint8>& addresses, QString* error)
{
    const SiteLine* l = m_site.line(line);
    if (!l) {
        if (error)
            *error = QStringLiteral("the site has no line %1").arg(line);
        return false;
    }
    QList<quint8> all;
    for (const SiteDrive& d : l->drives)
        all.append(d.address);
    bool added = false;
    for (const quint8 a : addresses)
        if (!all.contains(a)) {
            all.append(a);
            added = true;
        }
    if (!added)
        return true;
    return setText(
        withKey(m_text, QStringLiteral("line ") + line, QStringLiteral("drives"), addressList(all)),
        error);
}
