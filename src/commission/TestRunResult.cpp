// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestRunResult.h"

#include "NumberText.h"
#include "RecordValues.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

QJsonValue optionalNumber(const std::optional<double>& v)
{
    return v ? number(*v) : QJsonValue();
}

std::optional<double> optionalFrom(const QJsonValue& v)
{
    return v.isDouble() ? std::optional<double>(v.toDouble()) : std::nullopt;
}

std::optional<quint16> registerValue(const QJsonValue& v)
{
    if (!v.isDouble() || v.toDouble() < 0 || v.toDouble() > 65535)
        return std::nullopt;
    return quint16(v.toInt());
}

const char* opText(ExpectLimit::Op op)
{
    switch (op) {
    case ExpectLimit::Op::Less:
        return "<";
    case ExpectLimit::Op::LessOrEqual:
        return "<=";
    case ExpectLimit::Op::Greater:
        return ">";
    case ExpectLimit::Op::GreaterOrEqual:
        return ">=";
    }
    return "?";
}

} // namespace

bool ExpectLimit::holds(double value) const
{
    switch (op) {
    case Op::Less:
        return value < bound;
    case Op::LessOrEqual:
        return value <= bound;
    case Op::Greater:
        return value > bound;
    case Op::GreaterOrEqual:
        return value >= bound;
    }
    return false;
}

QString ExpectLimit::text() const
{
    return QStringLiteral("%1 %2 %3")
        .arg(key, QLatin1String(opText(op)), NumberText::ParameterValue(bound));
}

std::optional<ExpectLimit> ExpectLimit::parse(const QString& text, QString* problem)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([A-Za-z][A-Za-z0-9-]*)\\s*(<=|>=|<|>)\\s*(\\S+)\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        *problem = QStringLiteral("\"%1\" is no limit; write it as KEY<NUMBER or KEY>NUMBER, "
                                  "for example current<4.5")
                       .arg(text);
        return std::nullopt;
    }
    const std::optional<RecordValue> value = RecordValues::byKey(m.captured(1));
    if (!value) {
        *problem = QStringLiteral("\"%1\" names no running value; the keys are those of record")
                       .arg(m.captured(1));
        return std::nullopt;
    }
    const std::optional<double> bound = NumberText::ParseDecimal(m.captured(3));
    if (!bound) {
        *problem = QStringLiteral("\"%1\" in \"%2\" is not a number").arg(m.captured(3), text);
        return std::nullopt;
    }
    ExpectLimit limit;
    limit.key = QLatin1String(value->key);
    const QString op = m.captured(2);
    limit.op = op == u"<"    ? Op::Less
               : op == u"<=" ? Op::LessOrEqual
               : op == u">"  ? Op::Greater
                             : Op::GreaterOrEqual;
    limit.bound = *bound;
    return limit;
}

QStringList TestRunKeys()
{
    return {QStringLiteral("freq-out"), QStringLiteral("freq-set"), QStringLiteral("current"),
            QStringLiteral("voltage"), QStringLiteral("dc-bus")};
}

QString TestRunCheck::resultWord() const
{
    return !reached ? QStringLiteral("NOT REACHED")
           : passed ? QStringLiteral("PASS")
                    : QStringLiteral("FAIL");
}

bool TestRunResult::passed() const
{
    if (checks.isEmpty() || !sentAnything || !completed)
        return false;
    for (const TestRunCheck& c : checks)
        if (!c.passed)
            return false;
    return true;
}

QString TestRunResult::verdict() const
{
    if (passed())
        return QStringLiteral("passed");
    return cancelled ? QStringLiteral("not completed") : QStringLiteral("failed");
}

QStringList TestRunResult::notReached() const
{
    QStringList names;
    for (const TestRunCheck& c : checks)
        if (!c.reached)
            names << c.name;
    return names;
}

QJsonObject TestRunResult::json() const
{
    QJsonArray limits;
    for (const ExpectLimit& l : plan.limits)
        limits.append(l.text());
    QJsonArray checkList;
    for (const TestRunCheck& c : checks) {
        QJsonObject check{{QStringLiteral("name"), c.name},
                          {QStringLiteral("expected"), c.expected},
                          {QStringLiteral("measured"), c.measured},
                          {QStringLiteral("passed"), c.passed},
                          {QStringLiteral("reached"), c.reached}};
        if (!c.failure.isEmpty())
            check.insert(QStringLiteral("failure"), c.failure);
        checkList.append(check);
    }
    QJsonArray rows;
    for (const TestRunSample& s : samples) {
        QJsonArray values;
        for (double v : s.values)
            values.append(number(v));
        rows.append(QJsonObject{{QStringLiteral("t"), s.seconds},
                                {QStringLiteral("known"), s.known},
                                {QStringLiteral("running"), s.running},
                                {QStringLiteral("reverse"), s.reverse},
                                {QStringLiteral("fault"), s.fault},
                                {QStringLiteral("values"), values}});
    }
    QJsonObject ready{
        {QStringLiteral("problems"), QJsonArray::fromStringList(readiness.problems())}};
    if (readiness.runSource)
        ready.insert(QStringLiteral("P0.04"), int(*readiness.runSource));
    if (readiness.frequencySource)
        ready.insert(QStringLiteral("P0.01"), int(*readiness.frequencySource));
    return QJsonObject{
        {QStringLiteral("drive"), int(plan.address)},
        {QStringLiteral("hz"), plan.hz},
        {QStringLiteral("holdSeconds"), plan.holdMs / 1000.0},
        {QStringLiteral("reverse"), plan.reverse},
        {QStringLiteral("limits"), limits},
        {QStringLiteral("started"), started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("endedAt"), ended.toString(Qt::ISODateWithMs)},
        {QStringLiteral("readiness"), ready},
        {QStringLiteral("accelerationSeconds"), optionalNumber(accelerationS)},
        {QStringLiteral("decelerationSeconds"), optionalNumber(decelerationS)},
        {QStringLiteral("baseHz"), optionalNumber(baseHz)},
        {QStringLiteral("upperHz"), optionalNumber(upperHz)},
        {QStringLiteral("sentAnything"), sentAnything},
        {QStringLiteral("stopAnswered"), stopAnswered},
        {QStringLiteral("ended"), endReason},
        {QStringLiteral("completed"), completed},
        {QStringLiteral("cancelled"), cancelled},
        {QStringLiteral("passed"), passed()},
        {QStringLiteral("checks"), checkList},
        {QStringLiteral("keys"), QJsonArray::fromStringList(keys)},
        {QStringLiteral("samples"), rows},
    };
}

std::optional<TestRunResult> TestRunResult::fromJson(const QJsonObject& o, QString* problem)
{
    const int drive = o.value(QStringLiteral("drive")).toInt(-1);
    if (drive < 1 || drive > 31 || !o.value(QStringLiteral("checks")).isArray()) {
        *problem = QStringLiteral("it holds no test run (no drive address or no checks)");
        return std::nullopt;
    }
    TestRunResult r;
    r.plan.address = quint8(drive);
    r.plan.hz = o.value(QStringLiteral("hz")).toDouble();
    // Within what a qint64 of milliseconds holds, whatever number the file gives.
    r.plan.holdMs =
        qint64(std::clamp(o.value(QStringLiteral("holdSeconds")).toDouble(), 0.0, 1e12) * 1000);
    r.plan.reverse = o.value(QStringLiteral("reverse")).toBool();
    for (const QJsonValue& v : o.value(QStringLiteral("limits")).toArray()) {
        QString ignored;
        if (const auto limit = ExpectLimit::parse(v.toString(), &ignored))
            r.plan.limits << *limit;
    }
    r.started = QDateTime::fromString(o.value(QStringLiteral("started")).toString(), Qt::ISODate);
    r.ended = QDateTime::fromString(o.value(QStringLiteral("endedAt")).toString(), Qt::ISODate);
    const QJsonObject ready = o.value(QStringLiteral("readiness")).toObject();
    r.readiness.address = r.plan.address;
    r.readiness.runSource = registerValue(ready.value(QStringLiteral("P0.04")));
    r.readiness.frequencySource = registerValue(ready.value(QStringLiteral("P0.01")));
    r.accelerationS = optionalFrom(o.value(QStringLiteral("accelerationSeconds")));
    r.decelerationS = optionalFrom(o.value(QStringLiteral("decelerationSeconds")));
    r.baseHz = optionalFrom(o.value(QStringLiteral("baseHz")));
    r.upperHz = optionalFrom(o.value(QStringLiteral("upperHz")));
    r.sentAnything = o.value(QStringLiteral("sentAnything")).toBool();
    r.stopAnswered = o.value(QStringLiteral("stopAnswered")).toBool();
    r.endReason = o.value(QStringLiteral("ended")).toString();
    // A file without these words tells by its end alone: only a run that
    // ended "completed" carried out its plan.
    r.completed =
        o.value(QStringLiteral("completed")).toBool(r.endReason == QLatin1String("completed"));
    r.cancelled = o.value(QStringLiteral("cancelled"))
                      .toBool(r.endReason.startsWith(QLatin1String("cancelled")));
    for (const QJsonValue& v : o.value(QStringLiteral("checks")).toArray()) {
        const QJsonObject c = v.toObject();
        r.checks << TestRunCheck{c.value(QStringLiteral("name")).toString(),
                                 c.value(QStringLiteral("expected")).toString(),
                                 c.value(QStringLiteral("measured")).toString(),
                                 c.value(QStringLiteral("passed")).toBool(),
                                 c.value(QStringLiteral("reached")).toBool(true),
                                 c.value(QStringLiteral("failure")).toString()};
    }
    for (const QJsonValue& v : o.value(QStringLiteral("keys")).toArray())
        r.keys << v.toString();
    for (const QJsonValue& v : o.value(QStringLiteral("samples")).toArray()) {
        const QJsonObject s = v.toObject();
        TestRunSample sample;
        sample.seconds = s.value(QStringLiteral("t")).toDouble();
        sample.known = s.value(QStringLiteral("known")).toBool();
        sample.running = s.value(QStringLiteral("running")).toBool();
        sample.reverse = s.value(QStringLiteral("reverse")).toBool();
        sample.fault = s.value(QStringLiteral("fault")).toBool();
        for (const QJsonValue& x : s.value(QStringLiteral("values")).toArray())
            sample.values << (x.isDouble() ? x.toDouble() : std::nan(""));
        if (sample.values.size() != r.keys.size()) {
            *problem = QStringLiteral("a sample at %1 s holds %2 values for %3 keys")
                           .arg(sample.seconds)
                           .arg(sample.values.size())
                           .arg(r.keys.size());
            return std::nullopt;
        }
        r.samples << sample;
    }
    return r;
}
