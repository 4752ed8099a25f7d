// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecorderChart.h"

#include "ChartAxes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace {

const QList<QColor> kColours{QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                             QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                             QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                             QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f)};

const char* const kKeysHint =
    QT_TRANSLATE_NOOP("RecorderChart", "Point at the chart to read the values. Arrow keys pan, + "
                                       "and - zoom, Home shows all.");

} // namespace

QString RecorderChart::shownLabel(const RecordValue& value)
{
    const QString name = QCoreApplication::translate("RunningValues", value.name);
    return *value.unit ? name + QStringLiteral(" (") + QString::fromUtf8(value.unit) + u')' : name;
}

QString RecorderChart::shownName(const QString& recorded)
{
    static const QRegularExpression drive(QStringLiteral("^Drive (\\d+) (.+)$"));
    const QRegularExpressionMatch m = drive.match(recorded);
    if (!m.hasMatch())
        return recorded;
    for (const RecordValue& v : RecordValues::all()) {
        if (RecordValues::label(v) == m.captured(2))
            return tr("Drive %1 %2").arg(m.captured(1), shownLabel(v));
    }
    return recorded;
}

RecorderChart::RecorderChart(QWidget* parent)
    : QWidget(parent), m_plot(new QCustomPlot(this)), m_readOut(new QLabel(tr(kKeysHint), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_readOut);
    m_readOut->setObjectName(QStringLiteral("readOut"));
    m_readOut->setWordWrap(true);
    // Room for a few traces' values from the start, so the plot does not
    // jump when the mouse first comes over it.
    m_readOut->setMinimumHeight(m_readOut->fontMetrics().lineSpacing() * 3);
    m_readOut->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_readOut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_plot->setObjectName(QStringLiteral("chart"));
    // The keys work once the chart is clicked or tabbed to; the plot itself
    // takes no focus, so its key presses come here.
    setFocusPolicy(Qt::StrongFocus);
    m_plot->setFocusPolicy(Qt::NoFocus);
    setAccessibleName(tr("Chart"));
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    m_plot->xAxis->setTicker(ticker);
    m_plot->xAxis->setLabel(tr("Time"));
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    m_plot->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    m_plot->axisRect()->setRangeZoom(Qt::Horizontal);
    // The legend goes below the plot, where it covers no trace.
    m_plot->legend->setVisible(true);
    m_plot->legend->setFont(font());
    m_plot->legend->setBorderPen(Qt::NoPen);
    m_plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    m_plot->legend->setWrap(3);
    m_plot->plotLayout()->addElement(1, 0, m_plot->legend);
    m_plot->plotLayout()->setRowStretchFactor(1, 0.001);
    m_plot->setNoAntialiasingOnDrag(true);
    // Thousands of decimated points a trace: plain polylines draw them
    // several times faster than antialiased ones and look the same at this density.
    m_plot->setPlottingHint(QCP::phFastPolylines, true);
    m_plot->setNotAntialiasedElements(QCP::aePlottables);

    m_cursor = new QCPItemStraightLine(m_plot);
    m_cursor->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    m_cursor->setVisible(false);

    connect(m_plot, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* e) { moveCursor(m_plot->xAxis->pixelToCoord(e->position().x())); });
    connect(m_plot, &QCustomPlot::mousePress, this, [this] {
        // A drag may move the value axes: they stay where the user puts them.
        m_fitValues = false;
        stopFollowing();
    });
    connect(m_plot, &QCustomPlot::mouseWheel, this, &RecorderChart::stopFollowing);
    // A new view range gets its own decimation.
    connect(m_plot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        if (!m_busy)
            redraw();
    });
}

void RecorderChart::setStore(const TraceStore* store)
{
    m_store = store;
    m_builtFor = -1;
    refresh();
}

void RecorderChart::setFollow(bool follow)
{
    m_follow = follow;
    m_fitValues = m_fitValues || follow;
    refresh();
}

void RecorderChart::stopFollowing()
{
    if (m_follow) {
        m_follow = false;
        emit followChanged(false);
    }
}

QCPAxis* RecorderChart::valueAxis(int trace) const
{
    return trace >= 0 && trace < m_plot->graphCount() ? m_plot->graph(trace)->valueAxis() : nullptr;
}

void RecorderChart::rebuild()
{
    m_plot->clearGraphs();
    QCPAxisRect* rect = m_plot->axisRect();
    for (QCPAxis* a : rect->axes(QCPAxis::atLeft | QCPAxis::atRight))
        if (a != m_plot->yAxis && a != m_plot->yAxis2)
            rect->removeAxis(a);
    m_valueAxes.clear();
    m_plot->yAxis->setLabel(QString());
    const QStringList names = m_store ? m_store->names() : QStringList();
    const QList<ChartAxes::Axis> axes = ChartAxes::axesFor(names);
    // Left, right, then outwards on either side in turn.
    for (int k = 0; k < axes.size(); ++k) {
        QCPAxis* axis = k == 0   ? m_plot->yAxis
                        : k == 1 ? m_plot->yAxis2
                                 : rect->addAxis(k % 2 == 0 ? QCPAxis::atLeft : QCPAxis::atRight);
        axis->setVisible(true);
        axis->setTickLabels(true);
        axis->setLabel(axes[k].label);
        const QColor colour = axes[k].traces.size() == 1
                                  ? kColours[axes[k].traces.first() % kColours.size()]
                                  : QColor(Qt::black);
        axis->setLabelColor(colour);
        axis->setTickLabelColor(colour);
        m_valueAxes << axis;
    }
    if (axes.size() < 2)
        m_plot->yAxis2->setVisible(false);
    // Graphs go in the store's order, so graph(i) is trace i and the legend
    // lists them as recorded.
    QList<QCPAxis*> axisOf(names.size());
    for (int k = 0; k < axes.size(); ++k)
        for (int i : axes[k].traces)
            axisOf[i] = m_valueAxes[k];
    for (int i = 0; i < names.size(); ++i) {
        QCPGraph* g = m_plot->addGraph(m_plot->xAxis, axisOf[i]);
        g->setName(shownName(names[i]));
        g->setPen(QPen(kColours[i % kColours.size()], 1));
        // The points are decimated already; the plot need not sample again.
        g->setAdaptiveSampling(false);
    }
    m_plot->axisRect()->setRangeDragAxes(QList<QCPAxis*>{m_plot->xAxis}, m_valueAxes);
    m_fitValues = true;
    m_builtFor = int(names.size());
}

void RecorderChart::refresh()
{
    if (!m_store)
        return;
    if (m_builtFor != int(m_store->names().size()))
        rebuild();
    if (m_follow && m_store->size() > 0) {
        const double last = m_store->times().back();
        const double first = m_store->times().front();
        m_busy = true;
        m_plot->xAxis->setRange(std::max(first, last - m_span), std::max(last, first + 1));
        m_busy = false;
    }
    redraw();
}

void RecorderChart::showAll()
{
    if (!m_store || (m_store->size() == 0 && m_store->events().isEmpty()))
        return;
    stopFollowing();
    m_fitValues = true;
    setView(ChartAxes::wholeSpan(*m_store));
}

void RecorderChart::setView(std::pair<double, double> view)
{
    m_busy = true;
    m_plot->xAxis->setRange(view.first, view.second);
    m_busy = false;
    redraw();
}

void RecorderChart::redraw()
{
    if (!m_store)
        return;
    const QCPRange view = m_plot->xAxis->range();
    const int columns = std::max(50, m_plot->axisRect()->width());
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QList<QPointF> pts = m_store->decimated(i, view.lower, view.upper, columns);
        QVector<double> x, y;
        x.reserve(pts.size());
        y.reserve(pts.size());
        for (const QPointF& p : pts) {
            x << p.x();
            y << p.y();
        }
        m_plot->graph(i)->setData(x, y, true);
    }
    if (m_follow || m_fitValues || m_store->size() < 3)
        fitValues();
    placeMarks();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RecorderChart::fitValues()
{
    const QCPRange view = m_plot->xAxis->range();
    for (QCPAxis* axis : m_valueAxes) {
        bool found = false;
        QCPRange all;
        for (QCPGraph* g : axis->graphs()) {
            bool ok = false;
            const QCPRange r = g->getValueRange(ok, QCP::sdBoth, view);
            if (ok)
                all = found ? QCPRange(std::min(all.lower, r.lower), std::max(all.upper, r.upper))
                            : r;
            found = found || ok;
        }
        if (found) {
            const auto [lo, hi] = ChartAxes::padded(all.lower, all.upper);
            axis->setRange(lo, hi);
        }
    }
}

void RecorderChart::placeMarks()
{
    // Marks are few; they are laid out afresh for each view.
    for (int i = m_plot->itemCount() - 1; i >= 0; --i) {
        QCPAbstractItem* item = m_plot->item(i);
        if (item != m_cursor)
            m_plot->removeItem(item);
    }
    const QCPRange view = m_plot->xAxis->range();
    const double minGap = view.size() / std::max(1, m_plot->axisRect()->width()) * 60;
    for (const TraceStore::Mark& m : m_store->marks(view.lower, view.upper, minGap)) {
        const QColor colour = m.trip ? QColor(200, 0, 0) : QColor(0, 120, 0);
        auto* line = new QCPItemStraightLine(m_plot);
        line->point1->setCoords(m.time, 0);
        line->point2->setCoords(m.time, 1);
        line->setPen(QPen(colour, m.trip ? 2 : 1, m.trip ? Qt::SolidLine : Qt::DotLine));
        // Written upwards along the right of its line, from near the bottom.
        auto* text = new QCPItemText(m_plot);
        text->position->setTypeX(QCPItemPosition::ptPlotCoords);
        text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        text->position->setCoords(m.time, 0.98);
        text->setPositionAlignment(Qt::AlignTop | Qt::AlignLeft);
        text->setRotation(-90);
        text->setColor(colour);
        text->setBrush(QColor(255, 255, 255, 200));
        text->setText(m.text);
    }
}

QString RecorderChart::readOut(double time) const
{
    if (!m_store || m_store->size() == 0)
        return {};
    const auto& t = m_store->times();
    auto at = std::lower_bound(t.begin(), t.end(), time);
    if (at == t.end())
        --at;
    else if (at != t.begin() && time - *(at - 1) < *at - time)
        --at;
    const size_t i = size_t(at - t.begin());
    QStringList lines{QDateTime::fromMSecsSinceEpoch(qint64(std::llround(t[i] * 1000)))
                          .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))};
    for (int k = 0; k < m_store->names().size(); ++k) {
        const float v = m_store->trace(k)[i];
        lines << shownName(m_store->names()[k]) + QStringLiteral(": ") +
                     (std::isnan(v) ? QStringLiteral("—") : QString::number(double(v), 'g', 6));
    }
    return lines.join(u'\n');
}

void RecorderChart::moveCursor(double time)
{
    const bool show = m_store && m_store->size() > 0;
    m_cursor->setVisible(show);
    if (show) {
        m_cursor->point1->setCoords(time, 0);
        m_cursor->point2->setCoords(time, 1);
        // One entry a trace, each kept whole on its line when the label wraps.
        QStringList entries = readOut(time).split(u'\n');
        for (QString& e : entries)
            e.replace(u' ', QChar(0x00A0));
        m_readOut->setText(entries.join(QStringLiteral("   ")));
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RecorderChart::keyPressEvent(QKeyEvent* event)
{
    const QCPRange r = m_plot->xAxis->range();
    const std::pair<double, double> view{r.lower, r.upper};
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        stopFollowing();
        setView(ChartAxes::panned(view, event->key() == Qt::Key_Left ? -0.1 : 0.1));
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_fitValues = false;
        for (QCPAxis* axis : m_valueAxes)
            axis->moveRange(axis->range().size() * (event->key() == Qt::Key_Up ? 0.1 : -0.1));
        m_plot->replot(QCustomPlot::rpQueuedReplot);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        stopFollowing();
        m_fitValues = true;
        setView(ChartAxes::zoomed(view, event->key() == Qt::Key_Minus ? 1.5 : 1 / 1.5));
        break;
    case Qt::Key_Home:
        showAll();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
