// SPDX-License-Identifier: GPL-3.0-or-later
#include "SparkplugPayload.h"

#include "sparkplug_b.pb-c.h"

#include <deque>
#include <memory>
#include <vector>

namespace Sparkplug {

namespace {

// Everything a protobuf-c message points at, alive until it is packed.
struct Storage
{
    std::deque<QByteArray> strings;
    std::deque<Vfd__Sparkplug__Metric> metrics;
    std::deque<Vfd__Sparkplug__PropertySet> sets;
    std::deque<Vfd__Sparkplug__PropertyValue> values;
    std::deque<std::vector<char*>> keyLists;
    std::deque<std::vector<Vfd__Sparkplug__PropertyValue*>> valueLists;

    char* text(const QString& s)
    {
        strings.push_back(s.toUtf8());
        return strings.back().data();
    }
};

void setValue(Storage& store, Vfd__Sparkplug__Metric& m, const Metric& metric)
{
    if (std::holds_alternative<std::monostate>(metric.value)) {
        m.has_is_null = true;
        m.is_null = true;
        return;
    }
    switch (metric.type) {
    case Type::Boolean:
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_BOOLEAN_VALUE;
        m.boolean_value = number(metric.value).value_or(0) != 0;
        break;
    case Type::Int32:
    case Type::UInt32:
        // Signed values travel as their two's complement in the unsigned field.
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_INT_VALUE;
        m.int_value = quint32(qint32(number(metric.value).value_or(0)));
        break;
    case Type::Int64:
    case Type::UInt64:
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_LONG_VALUE;
        m.long_value = std::holds_alternative<qint64>(metric.value)
                           ? quint64(std::get<qint64>(metric.value))
                           : quint64(qint64(number(metric.value).value_or(0)));
        break;
    case Type::Float:
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_FLOAT_VALUE;
        m.float_value = float(number(metric.value).value_or(0));
        break;
    case Type::Double:
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_DOUBLE_VALUE;
        m.double_value = number(metric.value).value_or(0);
        break;
    case Type::String:
        m.value_case = VFD__SPARKPLUG__METRIC__VALUE_STRING_VALUE;
        m.string_value = store.text(std::holds_alternative<QString>(metric.value)
                                        ? std::get<QString>(metric.value)
                                        : QString());
        break;
    }
}

Vfd__Sparkplug__PropertySet* properties(Storage& store, const Metric& metric)
{
    if (metric.unit.isEmpty() && !metric.writable && !metric.describe)
        return nullptr;
    auto& keys = store.keyLists.emplace_back();
    auto& values = store.valueLists.emplace_back();
    auto add = [&](const char* key) -> Vfd__Sparkplug__PropertyValue& {
        keys.push_back(store.text(QString::fromLatin1(key)));
        auto& v = store.values.emplace_back();
        vfd__sparkplug__property_value__init(&v);
        values.push_back(&v);
        return v;
    };
    if (!metric.unit.isEmpty()) {
        auto& v = add("engUnit");
        v.has_type = true;
        v.type = quint32(Type::String);
        v.value_case = VFD__SPARKPLUG__PROPERTY_VALUE__VALUE_STRING_VALUE;
        v.string_value = store.text(metric.unit);
    }
    if (metric.describe) {
        auto& v = add("readOnly");
        v.has_type = true;
        v.type = quint32(Type::Boolean);
        v.value_case = VFD__SPARKPLUG__PROPERTY_VALUE__VALUE_BOOLEAN_VALUE;
        v.boolean_value = !metric.writable;
    }
    if (metric.writable) {
        auto& v = add("writable");
        v.has_type = true;
        v.type = quint32(Type::Boolean);
        v.value_case = VFD__SPARKPLUG__PROPERTY_VALUE__VALUE_BOOLEAN_VALUE;
        v.boolean_value = true;
    }
    auto& set = store.sets.emplace_back();
    vfd__sparkplug__property_set__init(&set);
    set.n_keys = keys.size();
    set.keys = keys.data();
    set.n_values = values.size();
    set.values = values.data();
    return &set;
}

Value valueOf(const Vfd__Sparkplug__Metric& m)
{
    if (m.has_is_null && m.is_null)
        return {};
    const Type type = m.has_datatype ? Type(m.datatype) : Type::Float;
    switch (m.value_case) {
    case VFD__SPARKPLUG__METRIC__VALUE_BOOLEAN_VALUE:
        return bool(m.boolean_value);
    case VFD__SPARKPLUG__METRIC__VALUE_INT_VALUE:
        // Int8, Int16 and Int32 (1 to 3) are signed.
        return quint32(type) >= 1 && quint32(type) <= 3 ? qint64(qint32(m.int_value))
                                                        : qint64(m.int_value);
    case VFD__SPARKPLUG__METRIC__VALUE_LONG_VALUE:
        return qint64(m.long_value);
    case VFD__SPARKPLUG__METRIC__VALUE_FLOAT_VALUE:
        return double(m.float_value);
    case VFD__SPARKPLUG__METRIC__VALUE_DOUBLE_VALUE:
        return m.double_value;
    case VFD__SPARKPLUG__METRIC__VALUE_STRING_VALUE:
        return QString::fromUtf8(m.string_value);
    default:
        return {};
    }
}

} // namespace

std::optional<double> number(const Value& value)
{
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    if (const auto* i = std::get_if<qint64>(&value))
        return double(*i);
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    return std::nullopt;
}

QByteArray encode(const Payload& payload)
{
    Storage store;
    std::vector<Vfd__Sparkplug__Metric*> list;
    list.reserve(size_t(payload.metrics.size()));
    for (const Metric& metric : payload.metrics) {
        auto& m = store.metrics.emplace_back();
        vfd__sparkplug__metric__init(&m);
        if (!metric.name.isEmpty())
            m.name = store.text(metric.name);
        if (metric.alias) {
            m.has_alias = true;
            m.alias = *metric.alias;
        }
        if (metric.timestamp) {
            m.has_timestamp = true;
            m.timestamp = metric.timestamp;
        }
        // The type goes in births; data named by alias alone leaves it to the birth.
        if (!metric.name.isEmpty()) {
            m.has_datatype = true;
            m.datatype = quint32(metric.type);
        }
        if (metric.historical) {
            m.has_is_historical = true;
            m.is_historical = true;
        }
        m.properties = properties(store, metric);
        setValue(store, m, metric);
        list.push_back(&m);
    }
    Vfd__Sparkplug__Payload p;
    vfd__sparkplug__payload__init(&p);
    if (payload.timestamp) {
        p.has_timestamp = true;
        p.timestamp = payload.timestamp;
    }
    if (payload.seq) {
        p.has_seq = true;
        p.seq = *payload.seq;
    }
    p.n_metrics = list.size();
    p.metrics = list.data();
    QByteArray out(qsizetype(vfd__sparkplug__payload__get_packed_size(&p)), Qt::Uninitialized);
    vfd__sparkplug__payload__pack(&p, reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

std::optional<Payload> decode(const QByteArray& bytes)
{
    std::unique_ptr<Vfd__Sparkplug__Payload, void (*)(Vfd__Sparkplug__Payload*)> p(
        vfd__sparkplug__payload__unpack(nullptr, size_t(bytes.size()),
                                        reinterpret_cast<const uint8_t*>(bytes.constData())),
        [](Vfd__Sparkplug__Payload* q) {
            if (q)
                vfd__sparkplug__payload__free_unpacked(q, nullptr);
        });
    if (!p)
        return std::nullopt;
    Payload out;
    out.timestamp = p->has_timestamp ? p->timestamp : 0;
    if (p->has_seq)
        out.seq = p->seq;
    for (size_t i = 0; i < p->n_metrics; ++i) {
        const Vfd__Sparkplug__Metric& m = *p->metrics[i];
        Metric metric;
        metric.name = QString::fromUtf8(m.name);
        if (m.has_alias)
            metric.alias = m.alias;
        metric.timestamp = m.has_timestamp ? m.timestamp : 0;
        if (m.has_datatype)
            metric.type = Type(m.datatype);
        metric.historical = m.has_is_historical && m.is_historical;
        metric.value = valueOf(m);
        out.metrics << metric;
    }
    return out;
}

QByteArray withSeq(const QByteArray& encoded, quint64 seq)
{
    // Field 3, a varint: a field after the others reads as well as one before.
    QByteArray out = encoded;
    out.append(char(3 << 3));
    do {
        const quint8 low = seq & 0x7f;
        seq >>= 7;
        out.append(char(seq ? low | 0x80 : low));
    } while (seq);
    return out;
}

} // namespace Sparkplug
