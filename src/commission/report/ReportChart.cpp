// SPDX-License-Identifier: GPL-3.0-or-later
// A test run drawn for paper: frequencies on the left axis, signed by the
// direction the drive reported (reverse below zero), current on the right,
// seconds along the bottom, and each limit the run was given as a line.
// Gaps (no answer) stay gaps.
#include "ChartAxes.h"
#include "CommissionReport.h"
#include "ReportParts.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

double highest(const TestRunResult& run, int column)
{
    double top = 0;
    for (const TestRunSample& s : run.samples) {
        const double v = std::fabs(s.values.value(column, std::nan("")));
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
    // Drawn for a width of 640, scaled to the image: the same type size
    // whatever its height.
    const double unit = size.width() / 640.0;
    QFont font = p.font();
    font.setPixelSize(int(11 * unit));
    p.setFont(font);
    const QRectF plot(70 * unit, 14 * unit, size.width() - 140 * unit, size.height() - 62 * unit);

    const bool reverse =
        run.plan.reverse || std::any_of(run.samples.cbegin(), run.samples.cend(),
                                        [](const TestRunSample& s) { return s.reverse; });
    const double tEnd =
        run.samples.isEmpty()
            ? 1.0
            : std::max(std::min(run.samples.last().seconds, ChartAxes::Largest), 1.0);
    double hzTop = std::max({highest(run, 0), highest(run, 1),
                             std::min(run.plan.hz, ChartAxes::Largest / 2), 1.0}) *
                   1.1;
    double aTop = std::max(highest(run, 2), 0.1) * 1.2;
    for (const ExpectLimit& l : run.plan.limits) {
        if (l.key == u"current" && std::isfinite(l.bound))
            aTop = std::max(aTop, std::min(l.bound, ChartAxes::Largest / 2) * 1.1);
        if (l.key.startsWith(QStringLiteral("freq")) && std::isfinite(l.bound))
            hzTop = std::max(hzTop, std::min(l.bound, ChartAxes::Largest / 2) * 1.1);
    }
    // With a reverse run, zero is the middle: forward above, reverse below.
    const double low = reverse ? -1.0 : 0.0;
    auto x = [&](double t) { return plot.left() + plot.width() * std::clamp(t / tEnd, 0.0, 1.0); };
    auto y = [&](double v, double top) {
        return plot.bottom() - plot.height() * (std::clamp(v / top, low, 1.0) - low) / (1 - low);
    };

    p.setPen(QPen(QColor(220, 220, 220), unit));
    for (double v : ChartAxes::ticks(low * hzTop, hzTop, reverse ? 8 : 5)) {
        p.drawLine(QPointF(plot.left(), y(v, hzTop)), QPointF(plot.right(), y(v, hzTop)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y(v, hzTop) - 8 * unit, plot.left() - 6 * unit, 16 * unit),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        p.setPen(QPen(QColor(220, 220, 220), unit));
    }
    if (reverse) {
        p.setPen(QPen(Qt::black, unit));
        p.drawLine(QPointF(plot.left(), y(0, hzTop)), QPointF(plot.right(), y(0, hzTop)));
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.drawText(QPointF(plot.left() + 6 * unit, plot.top() + 14 * unit), Report::tr("FWD"));
        p.drawText(QPointF(plot.left() + 6 * unit, plot.bottom() - 6 * unit), Report::tr("REV"));
        p.setFont(font);
    }
    p.setPen(QColor(180, 60, 0));
    // Above zero only: half the height in a run both ways, so half the ticks.
    for (double v : ChartAxes::ticks(0, aTop, reverse ? 3 : 5))
        p.drawText(QRectF(plot.right() + 6 * unit, y(v, aTop) - 8 * unit, 50 * unit, 16 * unit),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
    p.setPen(Qt::black);
    for (double t : ChartAxes::ticks(0, tEnd, 8))
        p.drawText(QRectF(x(t) - 25 * unit, plot.bottom() + 3 * unit, 50 * unit, 14 * unit),
                   Qt::AlignHCenter | Qt::AlignTop, QString::number(t));
    p.drawRect(plot);
    p.drawText(QRectF(plot.left(), plot.bottom() + 17 * unit, plot.width(), 14 * unit),
               Qt::AlignHCenter, Report::tr("Time (s)"));
    // The axes' titles, turned to run along them.
    auto verticalTitle = [&](double atX, const QString& text, const QColor& colour) {
        p.save();
        p.setPen(colour);
        p.translate(atX, plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-plot.height() / 2, -8 * unit, plot.height(), 16 * unit), Qt::AlignCenter,
                   text);
        p.restore();
    };
    // FWD and REV mark the halves of a run both ways: the title stays short
    // enough for a low chart.
    verticalTitle(12 * unit, Report::tr("Frequency (Hz)"), Qt::black);
    verticalTitle(size.width() - 12 * unit, Report::tr("Current (A)"), QColor(180, 60, 0));

    // Each limit the run was given, where its value is on the chart.
    for (const ExpectLimit& l : run.plan.limits) {
        const bool current = l.key == u"current";
        if ((!current && !l.key.startsWith(QStringLiteral("freq"))) || !std::isfinite(l.bound))
            continue;
        const double top = current ? aTop : hzTop;
        p.setPen(QPen(QColor(200, 0, 0), 1.2 * unit, Qt::DotLine));
        p.drawLine(QPointF(plot.left(), y(l.bound, top)), QPointF(plot.right(), y(l.bound, top)));
        p.setPen(QColor(200, 0, 0));
        p.drawText(
            QRectF(plot.left(), y(l.bound, top) - 15 * unit, plot.width() - 4 * unit, 14 * unit),
            Qt::AlignRight | Qt::AlignBottom,
            Report::tr("limit %1%2")
                .arg(l.text(), current ? QStringLiteral(" A") : QStringLiteral(" Hz")));
    }

    struct Trace
    {
        int column;
        double top;
        bool signedByDirection;
        QColor colour;
        Qt::PenStyle style;
        const char* label;
    };
    const Trace traces[] = {{1, hzTop, true, QColor(120, 120, 120), Qt::DashLine,
                             QT_TRANSLATE_NOOP("Report", "Set frequency (Hz)")},
                            {0, hzTop, true, QColor(0, 70, 200), Qt::SolidLine,
                             QT_TRANSLATE_NOOP("Report", "Output frequency (Hz)")},
                            {2, aTop, false, QColor(180, 60, 0), Qt::SolidLine,
                             QT_TRANSLATE_NOOP("Report", "Current (A)")}};
    double legendX = plot.left();
    for (const Trace& t : traces) {
        QPainterPath path;
        bool open = false;
        for (const TestRunSample& s : run.samples) {
            double v = s.values.value(t.column, std::nan(""));
            if (!std::isfinite(v)) {
                open = false;
                continue;
            }
            // The drive reports magnitudes; the direction it reported signs them.
            if (t.signedByDirection && s.reverse)
                v = -std::fabs(v);
            const QPointF point(x(s.seconds), y(v, t.top));
            open ? path.lineTo(point) : path.moveTo(point);
            open = true;
        }
        p.setPen(QPen(t.colour, 1.6 * unit, t.style));
        p.drawPath(path);
        const QString label = Report::tr(t.label);
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
