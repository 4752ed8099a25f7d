// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <variant>

// The binary payload of the spBv1.0/ topics (sparkplug_b.proto, encoded with
// protobuf-c), as plain values: what the service writes (births, data,
// deaths) and what it reads (a host's commands).
namespace Sparkplug {

// The codes a host reads as the metric's type.
enum class Type : quint32
{
    Int32 = 3,
    Int64 = 4,
    UInt32 = 7,
    UInt64 = 8,
    Float = 9,
    Double = 10,
    Boolean = 11,
    String = 12,
};

// std::monostate: no value (is_null).
using Value = std::variant<std::monostate, bool, qint64, double, QString>;

struct Metric
{
    QString name; // empty: the alias alone names it (data after the birth)
    std::optional<quint64> alias;
    quint64 timestamp = 0; // ms since 1970; 0: none
    Type type = Type::Float;
    Value value;
    bool historical = false; // read while the broker was away
    // Properties, in births only: the engineering unit, and that a host may write it.
    QString unit;
    bool writable = false;
    // In a birth: whether a host may write it is said either way ("readOnly"
    // true or false, the property hosts honour; "writable" beside it when so).
    bool describe = false;
};

struct Payload
{
    quint64 timestamp = 0;
    std::optional<quint64> seq;
    QList<Metric> metrics;
};

QByteArray encode(const Payload& payload);
// nullopt when the bytes are no payload.
std::optional<Payload> decode(const QByteArray& bytes);

// The payload with its sequence number added: the number goes on as the
// message goes out, so it follows the order on the wire, whatever waited in
// the queue. The payload must carry none yet.
QByteArray withSeq(const QByteArray& encoded, quint64 seq);

// The value as a number (a boolean as 0/1); nullopt for a string or none.
std::optional<double> number(const Value& value);

} // namespace Sparkplug
