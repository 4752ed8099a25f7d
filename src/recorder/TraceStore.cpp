// SPDX-License-Identifier: GPL-3.0-or-later
#include "TraceStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

void TraceStore::reset(const QStringList& names)
{
    m_names = names;
    m_time.clear();
    m_values.assign(size_t(names.size()), {});
    m_events.clear();
}

void TraceStore::append(double time, const QList<double>& values)
{
    // Times only go forward; a clock set back must not fold the chart over.
    if (!m_time.empty() && time < m_time.back())
        time = m_time.back();
    m_time.push_back(time);
    for (size_t i = 0; i < m_values.size(); ++i)
        m_values[i].push_back(float(values.value(qsizetype(i), std::nan(""))));
}

void TraceStore::addEvent(double time, const QString& text, bool trip)
{
    m_events.append({time, text, trip});
}

size_t TraceStore::bytes() const
{
    size_t n = m_time.capacity() * sizeof(double);
    for (const auto& v : m_values)
        n += v.capacity() * sizeof(float);
    return n;
}

QList<QPointF> TraceStore::decimated(int trace, double from, double to, int columns) const
{
    QList<QPointF> out;
    if (trace < 0 || size_t(trace) >= m_values.size() || m_time.empty() || to <= from)
        return out;
    const std::vector<float>& y = m_values[size_t(trace)];
    // One sample either side of the view so lines run on to the edges.
    size_t lo = size_t(std::lower_bound(m_time.begin(), m_time.end(), from) - m_time.begin());
    size_t hi = size_t(std::upper_bound(m_time.begin(), m_time.end(), to) - m_time.begin());
    lo = lo > 0 ? lo - 1 : 0;
    hi = std::min(hi + 1, m_time.size());
    columns = std::max(columns, 1);
    if (hi - lo <= size_t(columns) * 4) {
        for (size_t i = lo; i < hi; ++i)
            out.append({m_time[i], double(y[i])});
        return out;
    }
    const double width = (to - from) / columns;
    size_t i = lo;
    while (i < hi) {
        const double col = std::floor((m_time[i] - from) / width);
        size_t first = i, minAt = i, maxAt = i, last = i;
        bool gap = std::isnan(y[i]);
        size_t j = i + 1;
        for (; j < hi && std::floor((m_time[j] - from) / width) == col; ++j) {
            if (std::isnan(y[j])) {
                gap = true;
                continue;
            }
            if (std::isnan(y[minAt]) || y[j] < y[minAt])
                minAt = j;
            if (std::isnan(y[maxAt]) || y[j] > y[maxAt])
                maxAt = j;
            last = j;
        }
        size_t picks[4] = {first, std::min(minAt, maxAt), std::max(minAt, maxAt), last};
        size_t prev = std::numeric_limits<size_t>::max();
        for (size_t p : picks) {
            if (p != prev && !std::isnan(y[p]))
                out.append({m_time[p], double(y[p])});
            prev = p;
        }
        if (gap) // a missing answer in the column breaks the line there
            out.append({m_time[last], std::nan("")});
        i = j;
    }
    return out;
}

QList<TraceStore::Mark> TraceStore::marks(double from, double to, double minGap) const
{
    QList<Mark> out;
    for (const Mark& m : m_events) {
        if (m.time < from || m.time > to)
            continue;
        if (!out.isEmpty() && m.time - out.last().time < minGap) {
            out.last().text += QStringLiteral("; ") + m.text;
            out.last().trip = out.last().trip || m.trip;
        } else {
            out.append(m);
        }
    }
    return out;
}
