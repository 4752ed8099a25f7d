// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartAxes.h"

#include "TraceStore.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ChartAxes {

QString unitOf(const QString& traceName)
{
    static const QRegularExpression unit(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch m = unit.match(traceName);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

QString valueOf(const QString& traceName)
{
    static const QRegularExpression drive(QStringLiteral("^Drive \\d+ "));
    return QString(traceName).remove(drive);
}

QList<Axis> axesFor(const QStringList& traceNames)
{
    QList<Axis> axes;
    for (int i = 0; i < traceNames.size(); ++i) {
        const QString unit = unitOf(traceNames[i]);
        auto at =
            std::find_if(axes.begin(), axes.end(), [&](const Axis& a) { return a.unit == unit; });
        if (at == axes.end()) {
            axes.append({unit, {}, {}});
            at = axes.end() - 1;
        }
        at->traces << i;
    }
    // An axis of one kind of value (the same value of several drives) is
    // titled with that value; an axis shared by several, with their unit.
    for (Axis& a : axes) {
        QStringList kinds;
        for (int i : a.traces)
            if (const QString v = valueOf(traceNames[i]); !kinds.contains(v))
                kinds << v;
        if (kinds.size() == 1)
            a.label = kinds.first();
        else
            a.label = a.unit.isEmpty() ? QStringLiteral("Value") : a.unit;
    }
    return axes;
}

double bounded(double value)
{
    if (std::isnan(value))
        return 0;
    return std::clamp(value, -Largest, Largest);
}

std::pair<double, double> padded(double lowest, double highest)
{
    lowest = bounded(lowest);
    highest = bounded(highest);
    if (highest < lowest)
        std::swap(lowest, highest);
    const double pad = std::max((highest - lowest) * 0.05, 0.5);
    return {lowest - pad, highest + pad};
}

QList<double> ticks(double lowest, double highest, int wanted)
{
    lowest = bounded(lowest);
    highest = bounded(highest);
    wanted = std::max(wanted, 1);
    if (!(highest > lowest))
        return {lowest};
    const double raw = (highest - lowest) / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (double f : {1.0, 2.0, 5.0})
        if (raw <= f * magnitude) {
            step = f * magnitude;
            break;
        }
    // Counted, not stepped to the end: a step lost against a large value
    // would never get there.
    const double first = std::ceil(lowest / step) * step;
    QList<double> list;
    for (int i = 0; i < 2 * wanted + 2; ++i) {
        const double v = first + i * step;
        if (v > highest + step * 1e-9)
            break;
        list << v;
    }
    return list;
}

std::pair<double, double> wholeSpan(const TraceStore& store)
{
    bool any = false;
    double from = 0, to = 0;
    auto take = [&](double t) {
        from = any ? std::min(from, t) : t;
        to = any ? std::max(to, t) : t;
        any = true;
    };
    if (store.size() > 0) {
        take(store.times().front());
        take(store.times().back());
    }
    for (const TraceStore::Mark& m : store.events())
        take(m.time);
    if (!any)
        return {0, 0};
    const double margin = std::max((to - from) * 0.03, 0.5);
    return {from - margin, to + margin};
}

std::pair<double, double> panned(std::pair<double, double> view, double share)
{
    const double by = (view.second - view.first) * share;
    return {view.first + by, view.second + by};
}

std::pair<double, double> zoomed(std::pair<double, double> view, double factor)
{
    const double middle = (view.first + view.second) / 2;
    // A tenth of a second is as close as samples of the line ever come.
    const double half = std::max((view.second - view.first) * factor / 2, 0.05);
    return {middle - half, middle + half};
}

} // namespace ChartAxes
