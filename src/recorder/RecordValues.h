// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A running value a recording can follow: the register it is read from, the
// name the user picks it by on the command line, and the name and unit the
// chart and the file show. The scale is not fixed here: each reply carries
// its own decimal code.
struct RecordValue
{
    quint8 index;     // low byte of the register in the running-value block
    const char* key;  // command-line name
    const char* name; // shown name
    const char* unit; // "" for a plain number
};

namespace RecordValues {

const QList<RecordValue>& all();
std::optional<RecordValue> byKey(const QString& key);
std::optional<RecordValue> byIndex(int index);
// "Output frequency (Hz)", or the bare name when there is no unit.
QString label(const RecordValue& value);
// Keys separated by commas; nullopt names the first key that is not known.
std::optional<QList<RecordValue>> parseKeys(const QString& list, QString* unknown = nullptr);

} // namespace RecordValues
