// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartAxes.h"
#include "RecorderChart.h"
#include "TraceStore.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <qcustomplot.h>

class tst_recorderchart : public QObject
{
    Q_OBJECT
private slots:
    void eachUnitHasItsOwnAxis();
    void showAllTakesInEveryEvent();
    void keysPanZoomAndShowAll();
    void readOutStaysOffThePlot();
};

namespace {

// Drive 1's frequency ramps 0..50 Hz and its current 0..5 A while the DC bus
// sits at 540 V; drive 2's frequency ramps too. Samples at 100..119 s.
TraceStore rampStore()
{
    TraceStore store;
    store.reset({QStringLiteral("Drive 1 Output frequency (Hz)"),
                 QStringLiteral("Drive 1 Output current (A)"),
                 QStringLiteral("Drive 1 DC bus voltage (V)"),
                 QStringLiteral("Drive 2 Output frequency (Hz)")});
    for (int i = 0; i < 20; ++i)
        store.append(100 + i, {i * 50.0 / 19, i * 5.0 / 19, 540.0 + (i % 2), i * 25.0 / 19});
    return store;
}

QStringList markTexts(QCustomPlot* plot)
{
    QStringList texts;
    for (int i = 0; i < plot->itemCount(); ++i)
        if (auto* t = qobject_cast<QCPItemText*>(plot->item(i)))
            texts << t->text();
    return texts;
}

} // namespace

// The 540 V of the DC bus must not squeeze the frequencies and currents into
// the bottom of one shared axis: each unit is drawn against its own.
void tst_recorderchart::eachUnitHasItsOwnAxis()
{
    const TraceStore store = rampStore();
    RecorderChart chart;
    chart.resize(800, 500);
    chart.setStore(&store);
    chart.showAll();
    QCOMPARE(chart.plot()->graphCount(), 4);
    QCPAxis* hz = chart.valueAxis(0);
    QCPAxis* amps = chart.valueAxis(1);
    QCPAxis* volts = chart.valueAxis(2);
    QCOMPARE(chart.valueAxis(3), hz);
    QVERIFY(hz != amps && amps != volts && hz != volts);
    QVERIFY(hz->visible() && amps->visible() && volts->visible());
    QCOMPARE(hz->label(), QStringLiteral("Output frequency (Hz)"));
    QCOMPARE(volts->label(), QStringLiteral("DC bus voltage (V)"));
    // Each trace fills most of its axis.
    QVERIFY(hz->range().lower <= 0 && hz->range().upper >= 50 && hz->range().upper < 60);
    QVERIFY(amps->range().lower <= 0 && amps->range().upper >= 5 && amps->range().upper < 7);
    QVERIFY(volts->range().lower > 500 && volts->range().upper >= 541);
    QCOMPARE(chart.plot()->graph(1)->name(), QStringLiteral("Drive 1 Output current (A)"));

    // A recording of other values gets its axes afresh; plain numbers of
    // different kinds share one axis titled for what they are.
    const QList<ChartAxes::Axis> plain =
        ChartAxes::axesFor({QStringLiteral("Drive 1 PID set"), QStringLiteral("Drive 1 Count"),
                            QStringLiteral("Drive 3 Radiator temperature (°C)")});
    QCOMPARE(plain.size(), 2);
    QCOMPARE(plain[0].traces, (QList<int>{0, 1}));
    QCOMPARE(plain[0].label, QStringLiteral("Value"));
    QCOMPARE(plain[1].unit, QStringLiteral("°C"));
    TraceStore other;
    other.reset({QStringLiteral("Drive 1 Speed (rpm)")});
    other.append(1, {1500});
    other.append(2, {1490});
    chart.setStore(&other);
    QCOMPARE(chart.plot()->graphCount(), 1);
    QCOMPARE(chart.plot()->axisRect()->axes(QCPAxis::atLeft | QCPAxis::atRight).size(), 2);
    QVERIFY(!chart.plot()->yAxis2->visible());
    QCOMPARE(chart.valueAxis(0)->label(), QStringLiteral("Speed (rpm)"));
}

// A trip found before the first round was complete, and an event at the very
// last sample: "Show all" brings both well inside the view, each with its label.
void tst_recorderchart::showAllTakesInEveryEvent()
{
    TraceStore store = rampStore();
    store.addEvent(99.2, QStringLiteral("Drive 1: trip OC1"), true);
    store.addEvent(119, QStringLiteral("Drive 2: stopped"), false);
    store.addEvent(125, QStringLiteral("Drive 2: trip OU2"), true);
    RecorderChart chart;
    chart.resize(800, 500);
    chart.setStore(&store);
    QSignalSpy follow(&chart, &RecorderChart::followChanged);
    chart.showAll();
    const QCPRange view = chart.plot()->xAxis->range();
    QVERIFY(view.lower < 99.2 - 0.1);
    QVERIFY(view.upper > 125 + 0.1);
    const QStringList texts = markTexts(chart.plot());
    for (const char* t : {"Drive 1: trip OC1", "Drive 2: stopped", "Drive 2: trip OU2"})
        QVERIFY2(texts.join(u'|').contains(QString::fromUtf8(t)), t);
    QCOMPARE(follow.size(), 1);
    QCOMPARE(follow.first().first().toBool(), false);

    // Events alone (a recording that never completed a round) are shown too.
    TraceStore events;
    events.reset({QStringLiteral("Drive 1 Output frequency (Hz)")});
    events.addEvent(50, QStringLiteral("Drive 1: trip OL1"), true);
    chart.setStore(&events);
    chart.showAll();
    QVERIFY(chart.plot()->xAxis->range().contains(50));
    QVERIFY(markTexts(chart.plot()).contains(QStringLiteral("Drive 1: trip OL1")));
}

void tst_recorderchart::keysPanZoomAndShowAll()
{
    const TraceStore store = rampStore();
    RecorderChart chart;
    chart.resize(800, 500);
    chart.setStore(&store);
    QVERIFY(chart.follow());
    QSignalSpy follow(&chart, &RecorderChart::followChanged);
    chart.plot()->xAxis->setRange(104, 114);

    QTest::keyClick(&chart, Qt::Key_Right);
    QVERIFY(!chart.follow());
    QCOMPARE(follow.size(), 1);
    QCOMPARE(chart.plot()->xAxis->range().lower, 105.0);
    QCOMPARE(chart.plot()->xAxis->range().upper, 115.0);
    QTest::keyClick(&chart, Qt::Key_Left);
    QTest::keyClick(&chart, Qt::Key_Left);
    QCOMPARE(chart.plot()->xAxis->range().lower, 103.0);

    QTest::keyClick(&chart, Qt::Key_Plus);
    QCOMPARE(chart.plot()->xAxis->range().center(), 108.0);
    QVERIFY(qAbs(chart.plot()->xAxis->range().size() - 10 / 1.5) < 1e-9);
    QTest::keyClick(&chart, Qt::Key_Minus);
    QTest::keyClick(&chart, Qt::Key_Minus);
    QVERIFY(qAbs(chart.plot()->xAxis->range().size() - 15) < 1e-9);

    const double hzTop = chart.valueAxis(0)->range().upper;
    QTest::keyClick(&chart, Qt::Key_Up);
    QVERIFY(chart.valueAxis(0)->range().upper > hzTop);

    QTest::keyClick(&chart, Qt::Key_Home);
    const auto whole = ChartAxes::wholeSpan(store);
    QCOMPARE(chart.plot()->xAxis->range().lower, whole.first);
    QCOMPARE(chart.plot()->xAxis->range().upper, whole.second);
    QVERIFY(chart.valueAxis(0)->range().upper < 60); // refitted after the move
    QVERIFY(whole.first < 100 && whole.second > 119);
}

// The cursor's values go to a line below the plot, the legend below the
// axes: neither is an item or an inset drawn over the traces.
void tst_recorderchart::readOutStaysOffThePlot()
{
    const TraceStore store = rampStore();
    RecorderChart chart;
    chart.resize(800, 500);
    chart.setStore(&store);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCustomPlot* plot = chart.plot();
    QCOMPARE(plot->axisRect()->insetLayout()->elementCount(), 0);
    QVERIFY(!plot->axisRect()->rect().intersects(plot->legend->outerRect()));
    QVERIFY(markTexts(plot).isEmpty());
    const QPoint at(int(plot->xAxis->coordToPixel(110)), plot->axisRect()->center().y());
    QTest::mouseMove(plot, at);
    QTRY_VERIFY(chart.readOutLabel()->text().contains(QStringLiteral("DC\u00a0bus")));
    QVERIFY(chart.readOutLabel()->text().contains(QStringLiteral("540")));
    QVERIFY(markTexts(plot).isEmpty());
}

QTEST_MAIN(tst_recorderchart)
#include "tst_recorderchart.moc"
