// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordValues.h"
#include "TraceStore.h"

#include <QWidget>

class QCPAxis;
class QCustomPlot;
class QCPItemStraightLine;
class QLabel;

// The live chart: one trace per recorded value on a time axis, one value axis
// per unit, event marks with their texts, a cursor line that reads out every
// trace at the time under the mouse (below the plot, never over the traces),
// zoom and pan with the mouse or the keys (arrows pan, + and - zoom, Home shows
// all), and "follow" that keeps the newest samples in view. Only what the
// pixels can show is handed to the plot: the store decimates to the axis width
// on every redraw.
class RecorderChart : public QWidget
{
    Q_OBJECT
public:
    // A value as the windows name it, in the language on show: "Output
    // frequency (Hz)"; the unit stays as it is.
    static QString shownLabel(const RecordValue& value);
    // A trace as recorded ("Drive 1 Output frequency (Hz)", the file's
    // column) as the chart names it; a name it does not know stays as it is.
    static QString shownName(const QString& recorded);
    explicit RecorderChart(QWidget* parent = nullptr);

    // The store outlives the chart's use of it; refresh() after it grows.
    void setStore(const TraceStore* store);
    void refresh();
    // Shows everything recorded, every event included.
    void showAll();
    void setFollow(bool follow);
    bool follow() const { return m_follow; }
    // Seconds of the newest samples kept in view while following.
    void setFollowSpan(double seconds) { m_span = seconds; }

    QCustomPlot* plot() { return m_plot; }
    // The value axis a trace is drawn against.
    QCPAxis* valueAxis(int trace) const;
    QLabel* readOutLabel() { return m_readOut; }
    // The cursor's read-out at a time (seconds since the epoch).
    QString readOut(double time) const;

signals:
    // The user dragged or zoomed: following stops so the view stays put.
    void followChanged(bool follow);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    void redraw();
    void fitValues();
    void placeMarks();
    void moveCursor(double time);
    void setView(std::pair<double, double> view);
    void stopFollowing();

    QCustomPlot* m_plot = nullptr;
    QLabel* m_readOut = nullptr;
    const TraceStore* m_store = nullptr;
    QCPItemStraightLine* m_cursor = nullptr;
    QList<QCPAxis*> m_valueAxes;
    bool m_follow = true;
    // Value axes follow the data in view until the user moves them himself.
    bool m_fitValues = true;
    bool m_busy = false;
    double m_span = 120;
    int m_builtFor = -1;
};
