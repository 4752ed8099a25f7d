// SPDX-License-Identifier: GPL-3.0-or-later
// A test run drawn for paper: frequencies on the left axis, current on the
// right, seconds along the bottom. Gaps (no answer) stay gaps.
#include "CommissionReport.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

double niceStep(double span, int ticks)
{
    const double raw = span / std::max(ticks, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (raw <= f * magnitude)
            return f * magnitude;
    return 10 * magnitude;
}

double highest(const TestRunResult& run, int column)
{
    double top = 0;
    for (const TestRunSample& s : run.samples) {
        const double v = s.values.value(column, std::nan(""));
        if (std::isfinite(v))
            top = std::max(top, v);
    }
    return top;
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

    const double tEnd = run.samples.isEmpty() ? 1.0 : std::max(run.samples.last().seconds, 1.0);
    const double hzTop = std::max({highest(run, 0), highest(run, 1), run.plan.hz, 1.0}) * 1.1;
    const double aTop = std::max(highest(run, 2), 0.1) * 1.2;
    auto x = [&](double t) { return plot.left() + plot.width() * t / tEnd; };
    auto y = [&](double v, double top) { return plot.bottom() - plot.height() * v / top; };

    p.setPen(QPen(QColor(220, 220, 220), unit));
    const double hzStep = niceStep(hzTop, 5);
    for (double v = 0; v <= hzTop; v += hzStep) {
        p.drawLine(QPointF(plot.left(), y(v, hzTop)), QPointF(plot.right(), y(v, hzTop)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y(v, hzTop) - 8 * unit, plot.left() - 6 * unit, 16 * unit),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        p.setPen(QPen(QColor(220, 220, 220), unit));
    }
    const double aStep = niceStep(aTop, 5);
    p.setPen(QColor(180, 60, 0));
    for (double v = 0; v <= aTop; v += aStep)
        p.drawText(QRectF(plot.right() + 6 * unit, y(v, aTop) - 8 * unit, 50 * unit, 16 * unit),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
    p.setPen(Qt::black);
    const double tStep = niceStep(tEnd, 8);
    for (double t = 0; t <= tEnd + 1e-9; t += tStep)
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
