// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class TraceStore;

// How the chart lays its traces on axes, without a widget: traces of one unit
// share a value axis (so 540 V of the DC bus does not squeeze 0..50 Hz into a
// line), and "show all" takes in every sample and every event.
namespace ChartAxes {

// "Hz" of "Drive 1 Output frequency (Hz)"; "" for a plain number.
QString unitOf(const QString& traceName);
// "Output frequency (Hz)" of "Drive 1 Output frequency (Hz)".
QString valueOf(const QString& traceName);

struct Axis
{
    QString unit;
    QString label;     // what the axis is titled with
    QList<int> traces; // indices of the traces drawn against it
};
// One axis per unit, in the order the units first appear.
QList<Axis> axesFor(const QStringList& traceNames);

// The largest magnitude an axis takes: beyond it a span or a step between
// ticks no longer fits a double (a file may hold 1.6e308, valid as JSON), and
// the recorder's plot refuses a range past 1e250 altogether.
constexpr double Largest = 1e200;
// A value as an axis can take it: finite and within ±Largest (NaN gives 0).
double bounded(double value);

// A value range with room above and below, so a flat trace is not drawn on
// the plot's edge; always finite, whatever the values.
std::pair<double, double> padded(double lowest, double highest);

// Round values (1, 2 or 5 times a power of ten apart) from lowest to highest
// for about `wanted` steps, never more than 2 * wanted + 2 of them, whatever
// the numbers.
QList<double> ticks(double lowest, double highest, int wanted);

// The time range that shows every sample and every event of the store, with a
// margin on either side so a mark at the very start or end is not drawn on
// the axis; nullopt-like {0, 0} when the store is empty.
std::pair<double, double> wholeSpan(const TraceStore& store);

// The view moved by a share of its width (negative: back in time).
std::pair<double, double> panned(std::pair<double, double> view, double share);
// The view zoomed about its middle: factor < 1 narrows it.
std::pair<double, double> zoomed(std::pair<double, double> view, double factor);

} // namespace ChartAxes
