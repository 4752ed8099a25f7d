// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniText.h"

#include "DriveList.h"
#include "SerialPort.h"

#include <QSet>
#include <QStringList>

namespace IniText {

namespace {

bool isPassedOver(const QString& row)
{
    return row.isEmpty() || row.startsWith(u'#') || row.startsWith(u';');
}

} // namespace

bool isHeading(const QString& row, QString* heading)
{
    const QString text = row.trimmed();
    if (!text.startsWith(u'[') || !text.endsWith(u']'))
        return false;
    if (heading)
        *heading = text.mid(1, text.size() - 2).simplified();
    return true;
}

bool isSetting(const QString& row, QString* key)
{
    const QString text = row.trimmed();
    if (isPassedOver(text) || text.startsWith(u'['))
        return false;
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return false;
    if (key)
        *key = text.left(eq).trimmed().toLower();
    return true;
}

bool read(const QString& text, const SectionReader& onSection, const KeyReader& onKey,
          QString* error)
{
    QString section;
    QSet<QString> seenKeys;
    QSet<QString> seenSections;
    const QStringList rows = text.split(u'\n');
    for (int i = 0; i < rows.size(); ++i) {
        auto fail = [&](const QString& why) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return false;
        };
        const QString row = rows[i].trimmed();
        if (isPassedOver(row))
            continue;
        if (row.startsWith(u'[')) {
            QString heading;
            if (!isHeading(row, &heading))
                return fail(QStringLiteral("a section heading ends with ']'"));
            if (seenSections.contains(heading))
                return fail(QStringLiteral("[%1] comes twice").arg(heading));
            seenSections.insert(heading);
            seenKeys.clear();
            section.clear();
            if (const QString why = onSection(heading, i + 1); !why.isEmpty())
                return fail(why);
            section = heading;
            continue;
        }
        const qsizetype eq = row.indexOf(u'=');
        if (eq <= 0)
            return fail(QStringLiteral("a setting is written KEY = VALUE"));
        if (section.isEmpty())
            return fail(QStringLiteral("a setting before any section"));
        const QString key = row.left(eq).trimmed().toLower();
        const QString value = row.mid(eq + 1).trimmed();
        if (seenKeys.contains(key))
            return fail(QStringLiteral("\"%1\" is set twice in [%2]").arg(key, section));
        seenKeys.insert(key);
        if (const QString why = onKey(section, key, value, i + 1); !why.isEmpty())
            return fail(why);
    }
    return true;
}

std::optional<QString> takeLineKey(const QString& key, const QString& value, QString& port,
                                   QString& settings, QList<quint8>& drives)
{
    if (key == u"port") {
        port = value;
        return QString();
    }
    if (key == u"settings") {
        if (!SerialSettings::parse(value))
            return QStringLiteral("settings are written BAUD,PARITY,DATA,STOP, such as "
                                  "9600,E,8,1");
        settings = value;
        return QString();
    }
    if (key == u"drives") {
        QString why;
        const auto parsed = DriveList::parse(value, &why);
        if (!parsed)
            return QStringLiteral("drives: ") + why;
        drives = *parsed;
        return QString();
    }
    return std::nullopt;
}

} // namespace IniText
