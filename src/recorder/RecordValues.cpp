// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordValues.h"

namespace RecordValues {

const QList<RecordValue>& all()
{
    // The running-value block as the main window shows it; fault records and
    // the values stored at the last fault are left to the main window.
    static const QList<RecordValue> values = {
        {0, "freq-out", "Output frequency", "Hz"},
        {1, "freq-set", "Set frequency", "Hz"},
        {2, "current", "Output current", "A"},
        {3, "voltage", "Output voltage", "V"},
        {4, "speed", "Speed", "rpm"},
        {5, "run-speed", "Run speed", "m/s"},
        {6, "speed-set", "Speed set", "m/s"},
        {7, "dc-bus", "DC bus voltage", "V"},
        {8, "input-voltage", "Input voltage", "V"},
        {9, "pid-set", "PID set", ""},
        {10, "pid-feedback", "PID feedback", ""},
        {11, "avi", "AVI", "V"},
        {12, "aci", "ACI", "A"},
        {13, "pulse-in", "Pulse input", "kHz"},
        {14, "inputs", "Terminal inputs", ""},
        {15, "radiator-temp", "Radiator temperature", "°C"},
        {16, "module-temp", "Module temperature", "°C"},
        {17, "count", "Count", ""},
        {18, "count-set", "Count set", ""},
    };
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
