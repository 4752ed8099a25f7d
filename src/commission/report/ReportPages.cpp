// SPDX-License-Identifier: GPL-3.0-or-later
// Page breaks between table rows. QTextDocument moves a row to the next page
// only when none of its cells' first lines fits on the page; a row whose
// cells wrap is otherwise cut between its lines. So each part is laid out,
// the first row that lies on two pages found by its lines' positions, its
// table broken before it in the HTML, and the part laid out again.
#include "ReportPages.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <cmath>
#include <optional>

namespace {

// More breaks than any real report needs: the loop ends even should a
// break not take the row off the page's end.
constexpr int kMostBreaks = 500;

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

// The first row whose lines lie on two pages and that a page break before
// it (or before its table) brings onto one.
std::optional<Straddle> firstStraddle(const QTextDocument& doc)
{
    const double page = doc.pageSize().height();
    QList<QTextTable*> tables;
    tablesIn(doc.rootFrame(), tables);
    for (int k = 0; k < tables.size(); ++k) {
        QTextTable* table = tables[k];
        const int headers = std::min(table->format().headerRowCount(), table->rows());
        const double tableTop = rowExtent(doc, table, 0).first;
        for (int r = headers; r < table->rows(); ++r) {
            const auto [top, bottom] = rowExtent(doc, table, r);
            if (top > bottom)
                continue;
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
            return Straddle{k, r, whole};
        }
    }
    return std::nullopt;
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
    for (int i = 0; i < kMostBreaks; ++i) {
        const std::optional<Straddle> s = firstStraddle(*doc);
        if (!s)
            break;
        const QString broken = breakTable(html, s->table, s->row, s->whole);
        if (broken == html)
            break;
        html = broken;
        doc = make(html, page, font, images);
    }
    return doc;
}

} // namespace ReportPages
