// SPDX-License-Identifier: GPL-3.0-or-later
// Page breaks between table rows. QTextDocument moves a row to the next page
// only when none of its cells' first lines fits on the page; a row whose
// cells wrap is otherwise cut between its lines. So each part is laid out,
// the first row that lies on two pages found by its lines' positions, its
// table broken before it in the HTML, and the part laid out again.
#include "ReportPages.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <cmath>
#include <optional>

namespace {

// More layouts than any real report needs: the loop ends even should a
// break not take the row off the page's end.
constexpr int kMostLayouts = 20;

void tablesIn(QTextFrame* frame, QList<QTextTable*>& list)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            list << table;
        tablesIn(child, list);
    }
}

// The top and bottom of a row's lines in the document; top > bottom for a
// row without a line.
QPair<double, double> rowExtent(const QTextDocument& doc, QTextTable* table, int row)
{
    double top = qInf();
    double bottom = -qInf();
    for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(row, c);
        if (cell.row() != row || cell.column() != c)
            continue; // the rest of a spanning cell
        for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
            const QTextBlock block = it.currentBlock();
            if (!block.isValid() || !block.layout())
                continue;
            const QTextLayout* layout = block.layout();
            const double origin =
                doc.documentLayout()->blockBoundingRect(block).top() - layout->boundingRect().top();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                top = std::min(top, origin + line.y());
                bottom = std::max(bottom, origin + line.y() + line.height());
            }
        }
    }
    return {top, bottom};
}

struct Straddle
{
    int table = 0;
    int row = 0;
    bool whole = false;
};

// The rows whose lines lie on two pages and that a page break before them
// (or before their table) brings onto one, in the order of the document.
// Each break moves what follows by the space it leaves; that is added to
// the later rows' places, so most breaks are found in one layout. Where
// the estimate is off, the next layout finds the rest.
QList<Straddle> straddles(const QTextDocument& doc)
{
    const double page = doc.pageSize().height();
    QList<QTextTable*> tables;
    tablesIn(doc.rootFrame(), tables);
    QList<Straddle> list;
    double shift = 0;
    for (int k = 0; k < tables.size(); ++k) {
        QTextTable* table = tables[k];
        const int headers = std::min(table->format().headerRowCount(), table->rows());
        const double tableTop = rowExtent(doc, table, 0).first + shift;
        // From the header's line to the first row's: what the header takes
        // on the page a break opens.
        const double headerTaken =
            headers > 0 && headers < table->rows()
                ? rowExtent(doc, table, headers).first - rowExtent(doc, table, 0).first
                : 0;
        for (int r = headers; r < table->rows(); ++r) {
            auto [top, bottom] = rowExtent(doc, table, r);
            if (top > bottom)
                continue;
            top += shift;
            bottom += shift;
            const int first = int(std::floor(top / page));
            if (first == int(std::floor((bottom - 0.5) / page)))
                continue;
            // A row as high as half a page would leave too much empty: it
            // stays where it is.
            if (bottom - top > page / 2)
                continue;
            // Without a header to repeat, or at the table's first row, the
            // whole table moves; unless it starts its page already.
            const bool whole = headers == 0 || r == headers;
            if (whole && tableTop - first * page < page / 20)
                continue;
            list << Straddle{k, r, whole};
            const double next = (first + 1) * page;
            shift += whole ? next + (top - tableTop) - top : next + headerTaken - top;
        }
    }
    return list;
}

std::unique_ptr<QTextDocument> make(const QString& html, QSizeF page, const QFont& font,
                                    const QList<QPair<QUrl, QImage>>& images)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDocumentMargin(0);
    doc->setDefaultFont(font);
    for (const auto& [url, image] : images)
        doc->addResource(QTextDocument::ImageResource, url, image);
    doc->setHtml(html);
    doc->setPageSize(page);
    doc->pageCount(); // lays the whole document out
    return doc;
}

const QString kBreak = QStringLiteral("page-break-before: always");

// The table's opening tag with a page break before it.
QString breaking(const QString& tag)
{
    const qsizetype style = tag.indexOf(QStringLiteral("style=\""));
    if (style < 0)
        return QString(tag).insert(6, QStringLiteral(" style=\"%1\"").arg(kBreak));
    return QString(tag).insert(style + 7, kBreak + QStringLiteral("; "));
}

} // namespace

namespace ReportPages {

QString breakTable(const QString& html, int table, int row, bool whole)
{
    qsizetype at = -1;
    for (int k = 0; k <= table; ++k) {
        at = html.indexOf(QStringLiteral("<table"), at + 1);
        if (at < 0)
            return html;
    }
    const qsizetype tagEnd = html.indexOf(u'>', at);
    if (tagEnd < 0)
        return html;
    const QString tag = html.mid(at, tagEnd - at + 1);
    if (whole)
        return html.left(at) + breaking(tag) + html.mid(tagEnd + 1);
    const qsizetype end = html.indexOf(QStringLiteral("</table>"), at);
    const qsizetype head = html.indexOf(QStringLiteral("<thead>"), at);
    const qsizetype headEnd = html.indexOf(QStringLiteral("</thead>"), at);
    if (head < 0 || headEnd < 0 || (end >= 0 && headEnd > end))
        return html.left(at) + breaking(tag) + html.mid(tagEnd + 1);
    qsizetype rowAt = at;
    for (int r = 0; r <= row; ++r) {
        rowAt = html.indexOf(QStringLiteral("<tr"), rowAt + 1);
        if (rowAt < 0 || (end >= 0 && rowAt > end))
            return html;
    }
    const QString header = html.mid(head, headEnd + 8 - head);
    return html.left(rowAt) + QStringLiteral("</table>\n") + breaking(tag) + header +
           html.mid(rowAt);
}

std::unique_ptr<QTextDocument> layOut(QString html, QSizeF page, const QFont& font,
                                      const QList<QPair<QUrl, QImage>>& images)
{
    std::unique_ptr<QTextDocument> doc = make(html, page, font, images);
    for (int i = 0; i < kMostLayouts; ++i) {
        const QList<Straddle> found = straddles(*doc);
        if (found.isEmpty())
            break;
        // From the last to the first: a break adds a table, which would
        // count among those before a later one.
        QString broken = html;
        for (qsizetype j = found.size() - 1; j >= 0; --j)
            broken = breakTable(broken, found[j].table, found[j].row, found[j].whole);
        if (broken == html)
            break;
        html = broken;
        doc = make(html, page, font, images);
    }
    // A paragraph's line that lies on two pages starts the next one.
    const double height = doc->pageSize().height();
    for (int i = 0; i < kMostLayouts; ++i) {
        bool moved = false;
        for (QTextFrame::iterator it = doc->rootFrame()->begin(); !it.atEnd() && !moved; ++it) {
            const QTextBlock block = it.currentBlock();
            if (!block.isValid() || !block.layout())
                continue;
            const QTextLayout* layout = block.layout();
            const double origin = doc->documentLayout()->blockBoundingRect(block).top() -
                                  layout->boundingRect().top();
            for (int l = 0; l < layout->lineCount() && !moved; ++l) {
                const double top = origin + layout->lineAt(l).y();
                const double bottom = top + layout->lineAt(l).height();
                if (std::floor(top / height) == std::floor((bottom - 0.5) / height))
                    continue;
                QTextBlockFormat format;
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).mergeBlockFormat(format);
                doc->pageCount();
                moved = true;
            }
        }
        if (!moved)
            break;
    }
    return doc;
}

} // namespace ReportPages
