// SPDX-License-Identifier: GPL-3.0-or-later
// A test run drawn for paper: frequencies on the left axis, current on the
// right, seconds along the bottom. Gaps (no answer) stay gaps.
#include "ChartAxes.h"
#include "CommissionReport.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

double highest(const TestRunResult& run, int column)
{
    double top = 0;
    for (const TestRunSample& s : run.samples) {
        const double v = s.values.value(column, std::nan(""));
        if (std::isfinite(v))
            top = std::max(top, v);
    }
    // Room is made above the highest value; a huge one must not make the
    // axis infinite.
    return std::min(top, ChartAxes::Largest / 2);
}

} // namespace

namespace CommissionReport {

QImage Chart(const TestRunResult& run, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = size.height() / 280.0; // drawn for 280 rows, scaled to the image
    QFont font = p.font();
    font.setPixelSize(int(11 * unit));
    p.setFont(font);
    const QRectF plot(56 * unit, 14 * unit, size.width() - 112 * unit, size.height() - 58 * unit);

    const double tEnd =
        run.samples.isEmpty()
            ? 1.0
            : std::max(std::min(run.samples.last().seconds, ChartAxes::Largest), 1.0);
    const double hzTop = std::max({highest(run, 0), highest(run, 1),
                                   std::min(run.plan.hz, ChartAxes::Largest / 2), 1.0}) *
                         1.1;
    const double aTop = std::max(highest(run, 2), 0.1) * 1.2;
    // Points beyond the plot are drawn on its edge, never far outside it.
    auto x = [&](double t) { return plot.left() + plot.width() * std::clamp(t / tEnd, 0.0, 1.0); };
    auto y = [&](double v, double top) {
        return plot.bottom() - plot.height() * std::clamp(v / top, 0.0, 1.0);
    };

    p.setPen(QPen(QColor(220, 220, 220), unit));
    for (double v : ChartAxes::ticks(0, hzTop, 5)) {
        p.drawLine(QPointF(plot.left(), y(v, hzTop)), QPointF(plot.right(), y(v, hzTop)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y(v, hzTop) - 8 * unit, plot.left() - 6 * unit, 16 * unit),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        p.setPen(QPen(QColor(220, 220, 220), unit));
    }
    p.setPen(QColor(180, 60, 0));
    for (double v : ChartAxes::ticks(0, aTop, 5))
        p.drawText(QRectF(plot.right() + 6 * unit, y(v, aTop) - 8 * unit, 50 * unit, 16 * unit),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
    p.setPen(Qt::black);
    for (double t : ChartAxes::ticks(0, tEnd, 8))
        p.drawText(QRectF(x(t) - 25 * unit, plot.bottom() + 3 * unit, 50 * unit, 14 * unit),
                   Qt::AlignHCenter | Qt::AlignTop, QString::number(t));
    p.drawRect(plot);
    p.drawText(QRectF(plot.left(), plot.bottom() + 17 * unit, plot.width(), 14 * unit),
               Qt::AlignHCenter, QStringLiteral("seconds"));

    struct Trace
    {
        int column;
        double top;
        QColor colour;
        Qt::PenStyle style;
        const char* label;
    };
    const Trace traces[] = {{1, hzTop, QColor(120, 120, 120), Qt::DashLine, "Set frequency (Hz)"},
                            {0, hzTop, QColor(0, 70, 200), Qt::SolidLine, "Output frequency (Hz)"},
                            {2, aTop, QColor(180, 60, 0), Qt::SolidLine, "Current (A)"}};
    double legendX = plot.left();
    for (const Trace& t : traces) {
        QPainterPath path;
        bool open = false;
        for (const TestRunSample& s : run.samples) {
            const double v = s.values.value(t.column, std::nan(""));
            if (!std::isfinite(v)) {
                open = false;
                continue;
            }
            // The drive reports magnitudes; the direction is in the checks.
            const QPointF point(x(s.seconds), y(v, t.top));
            open ? path.lineTo(point) : path.moveTo(point);
            open = true;
        }
        p.setPen(QPen(t.colour, 1.6 * unit, t.style));
        p.drawPath(path);
        const QString label = QString::fromUtf8(t.label);
        const double y0 = size.height() - 10 * unit;
        p.drawLine(QPointF(legendX, y0), QPointF(legendX + 20 * unit, y0));
        p.setPen(Qt::black);
        const double w = p.fontMetrics().horizontalAdvance(label);
        p.drawText(QPointF(legendX + 24 * unit, y0 + 4 * unit), label);
        legendX += 24 * unit + w + 18 * unit;
    }
    return image;
}

} // namespace CommissionReport
