// SPDX-License-Identifier: GPL-3.0-or-later
// The report on paper: QTextDocument lays the HTML out page by page at 96
// units an inch, and each page is painted into the PDF with the line that
// every page carries. Text stays text, so it can be selected and searched.
#include "CommissionReport.h"
#include "Destination.h"
#include "ReportPages.h"
#include "ReportParts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace {

constexpr double kMarginMm = 15;
constexpr double kFooterMm = 10;
constexpr double kUnitsPerInch = 96;

double toUnits(double mm)
{
    return mm / 25.4 * kUnitsPerInch;
}

QString saveText(const QString& path, const QByteArray& bytes)
{
    if (const QString problem = destinationProblem(path); !problem.isEmpty())
        return Report::tr("cannot write %1: %2").arg(path, problem);
    if (const QString error = saveWhole(path, bytes); !error.isEmpty())
        return Report::tr("cannot write %1: %2").arg(path, error);
    return {};
}

} // namespace

namespace CommissionReport {

QString HtmlPathFor(const QString& pdfPath)
{
    const QFileInfo info(pdfPath);
    const QString base = info.suffix().compare(u"pdf", Qt::CaseInsensitive) == 0
                             ? info.completeBaseName()
                             : info.fileName();
    return info.dir().filePath(base + QStringLiteral(".html"));
}

QString Write(const ReportInput& input, const QString& pdfPath, QPageSize::PageSizeId paper)
{
    const QPageSize pageSize(paper);
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    const QSizeF body(toUnits(mm.width() - 2 * kMarginMm),
                      toUnits(mm.height() - 2 * kMarginMm - kFooterMm));

    QFont font;
    font.setPointSizeF(9.5);
    // A translated report reads in a script the Latin fonts lack: a CJK font
    // that also draws Latin keeps each line in one face, and is embedded in
    // the PDF like any other, its text searchable.
    if (ReportParts::translated())
        font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("Droid Sans Fallback"), font.defaultFamily()});
    // No ligatures: "ff" drawn as one glyph would not be found by a search
    // for "differences" in the PDF.
    font.setStyleStrategy(QFont::PreferNoShaping);
    QList<QPair<QUrl, QImage>> charts;
    for (int i = 0; i < input.runs.size(); ++i)
        charts << qMakePair(QUrl(QStringLiteral("chart-%1.png").arg(i)),
                            Chart(input.runs[i], QSize(1280, 320)));
    // Each part starts a page; laid out alone, its rows are kept whole.
    struct Part
    {
        std::unique_ptr<QTextDocument> doc;
        int pages;
        QString continued;
    };
    std::vector<Part> parts;
    int pages = 0;
    for (const ReportParts::Section& s : ReportParts::sections(input, false)) {
        auto doc = ReportPages::layOut(ReportParts::documentHead() + s.html +
                                           QStringLiteral("</body></html>\n"),
                                       body, font, charts);
        const int n = doc->pageCount();
        pages += n;
        parts.push_back(Part{std::move(doc), n, s.continued});
    }

    // Written to a file beside the target first: a report that fails half way
    // leaves the last good one in place.
    // A device or a named pipe in the name's place is refused: saving whole
    // would put a file where it stood.
    if (const QString problem = destinationProblem(pdfPath); !problem.isEmpty())
        return Report::tr("cannot write %1: %2").arg(pdfPath, problem);
    QSaveFile pdf(pdfPath);
    if (!pdf.open(QIODevice::WriteOnly))
        return Report::tr("cannot write %1: %2").arg(pdfPath, pdf.errorString());
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(pageSize);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setTitle(Report::tr("Commissioning report"));
        writer.setCreator(QStringLiteral("vfdtool"));
        QPainter painter;
        if (!painter.begin(&writer))
            return Report::tr("cannot write %1: the PDF could not be started").arg(pdfPath);
        const double scale = writer.resolution() / kUnitsPerInch;
        // In pixels of the 96-unit page: a point size would be taken at the
        // writer's own resolution and then scaled once more.
        QFont footFont = font;
        footFont.setPixelSize(11);
        int page = 0;
        for (const Part& part : parts) {
            for (int own = 0; own < part.pages; ++own, ++page) {
                if (page > 0)
                    writer.newPage();
                painter.save();
                painter.scale(scale, scale);
                painter.translate(toUnits(kMarginMm), toUnits(kMarginMm));
                const QRectF clip(0, own * body.height(), body.width(), body.height());
                painter.translate(0, -clip.top());
                QAbstractTextDocumentLayout::PaintContext context;
                context.clip = clip;
                painter.setClipRect(clip);
                part.doc->documentLayout()->draw(&painter, context);
                painter.restore();

                painter.save();
                painter.scale(scale, scale);
                painter.setFont(footFont);
                const QRectF foot(toUnits(kMarginMm),
                                  toUnits(mm.height() - kMarginMm - kFooterMm / 2), body.width(),
                                  toUnits(kFooterMm / 2));
                painter.setPen(QColor(90, 90, 90));
                painter.drawLine(foot.topLeft(), foot.topRight());
                painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                                 PageLine(input, page + 1, pages));
                // A drive's pages after its first name it.
                if (own > 0)
                    painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, part.continued);
                painter.restore();
            }
        }
        painter.end();
    }
    if (const QString error = commitWhole(pdf); !error.isEmpty())
        return Report::tr("cannot write %1: %2").arg(pdfPath, error);
    return saveText(HtmlPathFor(pdfPath), Html(input, true).toUtf8());
}

} // namespace CommissionReport
