// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A part of the report laid out on pages (not for other users).

#include <QFont>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <memory>

class QTextDocument;

namespace ReportPages {

// The HTML laid out on pages of the given size, with the images it names.
// A table row that would run over a page's end starts the next page
// instead, under its table's header (a table without header moves whole),
// so that no row is ever read in two halves.
std::unique_ptr<QTextDocument> layOut(QString html, QSizeF page, const QFont& font,
                                      const QList<QPair<QUrl, QImage>>& images);

// Where the k-th table of the HTML is broken before its row r (counted
// with its header rows): the table is closed there and opened again on a
// new page with the same header. whole: the page break goes before the
// table itself.
QString breakTable(const QString& html, int table, int row, bool whole);

} // namespace ReportPages
