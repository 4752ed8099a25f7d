// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordValues.h"

namespace RecordValues {

const QList<RecordValue>& all()
{
    static const QList<RecordValue> values = [] {
        QList<RecordValue> keyed;
        for (const RecordValue& v : RunningValues::Table)
            if (v.key)
                keyed << v;
        return keyed;
    }();
    return values;
}

std::optional<RecordValue> byKey(const QString& key)
{
    for (const RecordValue& v : all())
        if (key.trimmed().compare(QLatin1String(v.key), Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

std::optional<RecordValue> byIndex(int index)
{
    for (const RecordValue& v : all())
        if (v.index == index)
            return v;
    return std::nullopt;
}

QString label(const RecordValue& value)
{
    const QString name = QString::fromUtf8(value.name);
    return *value.unit ? name + QStringLiteral(" (") + QString::fromUtf8(value.unit) + u')' : name;
}

std::optional<QList<RecordValue>> parseKeys(const QString& list, QString* unknown)
{
    QList<RecordValue> picked;
    for (const QString& key : list.split(u',', Qt::SkipEmptyParts)) {
        const auto v = byKey(key);
        if (!v) {
            if (unknown)
                *unknown = key.trimmed();
            return std::nullopt;
        }
        bool twice = false;
        for (const RecordValue& p : picked)
            twice = twice || p.index == v->index;
        if (!twice)
            picked.append(*v);
    }
    if (picked.isEmpty())
        return std::nullopt;
    return picked;
}

} // namespace RecordValues
