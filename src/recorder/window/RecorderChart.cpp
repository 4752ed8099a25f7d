// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecorderChart.h"

#include <QDateTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace {

const QList<QColor> kColours{QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                             QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                             QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                             QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f)};

} // namespace

RecorderChart::RecorderChart(QWidget* parent) : QWidget(parent), m_plot(new QCustomPlot(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);
    m_plot->setObjectName(QStringLiteral("chart"));
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    m_plot->xAxis->setTicker(ticker);
    m_plot->xAxis->setLabel(QStringLiteral("Time"));
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    m_plot->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    m_plot->axisRect()->setRangeZoom(Qt::Horizontal);
    m_plot->legend->setVisible(true);
    m_plot->legend->setFont(font());
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    m_plot->setNoAntialiasingOnDrag(true);
    // Thousands of decimated points a trace: plain polylines draw them
    // several times faster than antialiased ones and look the same at this density.
    m_plot->setPlottingHint(QCP::phFastPolylines, true);
    m_plot->setNotAntialiasedElements(QCP::aePlottables);

    m_cursor = new QCPItemStraightLine(m_plot);
    m_cursor->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    m_cursor->setVisible(false);
    m_cursorText = new QCPItemText(m_plot);
    m_cursorText->setPositionAlignment(Qt::AlignTop | Qt::AlignRight);
    m_cursorText->position->setType(QCPItemPosition::ptAxisRectRatio);
    m_cursorText->position->setCoords(0.99, 0.01);
    m_cursorText->setTextAlignment(Qt::AlignLeft);
    m_cursorText->setBrush(QColor(255, 255, 255, 230));
    m_cursorText->setPen(QPen(Qt::gray));
    m_cursorText->setPadding(QMargins(4, 2, 4, 2));
    m_cursorText->setVisible(false);

    connect(m_plot, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* e) { moveCursor(m_plot->xAxis->pixelToCoord(e->position().x())); });
    connect(m_plot, &QCustomPlot::mousePress, this, [this] {
        if (m_follow) {
            m_follow = false;
            emit followChanged(false);
        }
    });
    connect(m_plot, &QCustomPlot::mouseWheel, this, [this] {
        if (m_follow) {
            m_follow = false;
            emit followChanged(false);
        }
    });
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
    refresh();
}

void RecorderChart::rebuild()
{
    m_plot->clearGraphs();
    const int n = m_store ? int(m_store->names().size()) : 0;
    for (int i = 0; i < n; ++i) {
        QCPGraph* g = m_plot->addGraph();
        g->setName(m_store->names()[i]);
        g->setPen(QPen(kColours[i % kColours.size()], 1));
        // The points are decimated already; the plot need not sample again.
        g->setAdaptiveSampling(false);
    }
    m_builtFor = n;
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
    if (!m_store || m_store->size() == 0)
        return;
    m_follow = false;
    emit followChanged(false);
    m_busy = true;
    m_plot->xAxis->setRange(m_store->times().front(),
                            std::max(m_store->times().back(), m_store->times().front() + 1));
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
    if (m_follow || m_plot->yAxis->range().size() <= 0 || m_store->size() < 3) {
        bool found = false;
        QCPRange all;
        for (int i = 0; i < m_plot->graphCount(); ++i) {
            bool ok = false;
            const QCPRange r = m_plot->graph(i)->getValueRange(ok, QCP::sdBoth, view);
            if (ok)
                all = found ? QCPRange(std::min(all.lower, r.lower), std::max(all.upper, r.upper))
                            : r;
            found = found || ok;
        }
        if (found) {
            const double pad = std::max(all.size() * 0.05, 0.5);
            m_plot->yAxis->setRange(all.lower - pad, all.upper + pad);
        }
    }
    placeMarks();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RecorderChart::placeMarks()
{
    // Marks are few; they are laid out afresh for each view.
    for (int i = m_plot->itemCount() - 1; i >= 0; --i) {
        QCPAbstractItem* item = m_plot->item(i);
        if (item != m_cursor && item != m_cursorText)
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
        auto* text = new QCPItemText(m_plot);
        text->position->setTypeX(QCPItemPosition::ptPlotCoords);
        text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        text->position->setCoords(m.time, 0.98);
        text->setPositionAlignment(Qt::AlignBottom | Qt::AlignLeft);
        text->setRotation(-90);
        text->setColor(colour);
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
        lines << m_store->names()[k] + QStringLiteral(": ") +
                     (std::isnan(v) ? QStringLiteral("—") : QString::number(double(v), 'g', 6));
    }
    return lines.join(u'\n');
}

void RecorderChart::moveCursor(double time)
{
    const bool show = m_store && m_store->size() > 0;
    m_cursor->setVisible(show);
    m_cursorText->setVisible(show);
    if (show) {
        m_cursor->point1->setCoords(time, 0);
        m_cursor->point2->setCoords(time, 1);
        m_cursorText->setText(readOut(time));
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
