// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveList.h"

#include <QRegularExpression>

namespace {

std::nullopt_t fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

QString notAnAddress(const QString& item)
{
    return QStringLiteral("\"%1\" is no drive address %2..%3")
        .arg(item.trimmed())
        .arg(DriveList::kLowestAddress)
        .arg(DriveList::kHighestAddress);
}

bool inRange(int address)
{
    return address >= DriveList::kLowestAddress && address <= DriveList::kHighestAddress;
}

} // namespace

namespace DriveList {

std::optional<QList<quint8>> parse(const QString& text, QString* error)
{
    if (text.trimmed().isEmpty())
        return fail(error, QStringLiteral("no drive address is given"));
    // ASCII digits only: a digit of another script would read as no number.
    static const QRegularExpression item(
        QStringLiteral("^\\s*([0-9]{1,3})\\s*(?:-\\s*([0-9]{1,3})\\s*)?$"));
    QList<quint8> drives;
    for (const QString& part : text.split(u',')) {
        if (part.trimmed().isEmpty())
            return fail(error,
                        QStringLiteral("\"%1\" has an empty item (two commas in a row, or one "
                                       "at an end)")
                            .arg(text.trimmed()));
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch())
            return fail(error, notAnAddress(part));
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        if (!inRange(first) || !inRange(last))
            return fail(error, notAnAddress(part));
        if (first > last)
            return fail(error,
                        QStringLiteral("the range \"%1\" runs backwards").arg(part.trimmed()));
        for (int a = first; a <= last; ++a) {
            if (!drives.contains(quint8(a)))
                drives.append(quint8(a));
        }
    }
    return drives;
}

std::optional<quint8> parseOne(const QString& text, QString* error)
{
    static const QRegularExpression single(QStringLiteral("^\\s*([0-9]{1,3})\\s*$"));
    const QRegularExpressionMatch m = single.match(text);
    if (!m.hasMatch() || !inRange(m.captured(1).toInt()))
        return fail(error, notAnAddress(text));
    return quint8(m.captured(1).toInt());
}

} // namespace DriveList
