// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunningValues.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A running value a recording can follow: an entry of the running-value table
// with a key, the name the user picks it by on the command line. The scale is
// not fixed here: each reply carries its own decimal code.
using RecordValue = RunningValues::RunningValue;

namespace RecordValues {

// The values of the running-value table that have a key, in its order.
const QList<RecordValue>& all();
std::optional<RecordValue> byKey(const QString& key);
std::optional<RecordValue> byIndex(int index);
// "Output frequency (Hz)", or the bare name when there is no unit.
QString label(const RecordValue& value);
// Keys separated by commas; nullopt names the first key that is not known.
std::optional<QList<RecordValue>> parseKeys(const QString& list, QString* unknown = nullptr);

} // namespace RecordValues
