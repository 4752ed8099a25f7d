// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <vector>

// What the chart shows, kept compact enough for hours: one shared time axis
// (seconds since the epoch) and one column of single-precision values per
// trace, plus the events with their times.
class TraceStore
{
public:
    struct Mark
    {
        double time;
        QString text;
        bool trip = false;
    };

    void reset(const QStringList& names);
    void append(double time, const QList<double>& values);
    void addEvent(double time, const QString& text, bool trip);

    const QStringList& names() const { return m_names; }
    qsizetype size() const { return qsizetype(m_time.size()); }
    const std::vector<double>& times() const { return m_time; }
    const std::vector<float>& trace(int i) const { return m_values[size_t(i)]; }
    const QList<Mark>& events() const { return m_events; }
    size_t bytes() const;

    // The points a trace needs between two times at a width of some pixel
    // columns: for each column its first, lowest, highest and last sample in
    // time order, so every peak stays visible and nothing is drawn twice the
    // screen can show; gaps (no answer) stay gaps as NaN points.
    QList<QPointF> decimated(int trace, double from, double to, int columns) const;
    // Events between two times, neighbours closer than minGap merged into one
    // mark whose text joins theirs; a merged mark is a trip if any of its are.
    QList<Mark> marks(double from, double to, double minGap) const;

private:
    QStringList m_names;
    std::vector<double> m_time;
    std::vector<std::vector<float>> m_values;
    QList<Mark> m_events;
};
