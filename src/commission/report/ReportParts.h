// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pieces of the report's HTML shared by its sections (not for other users).

#include "CommissionReport.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QStringList>

// The report's own words, translated in a context of their own; with no
// translation installed every text is exactly the one written here.
class Report
{
    Q_DECLARE_TR_FUNCTIONS(Report)
};

namespace ReportParts {

inline QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

inline QString cell(const QString& text, const char* tag = "td")
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), esc(text));
}

inline QString row(const QStringList& cells, const char* tag = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString& c : cells)
        html += cell(c, tag);
    return html + QStringLiteral("</tr>\n");
}

inline QString table(const QStringList& header, const QString& rows)
{
    // thead: QTextDocument repeats it on every page the table runs onto.
    return QStringLiteral("<table class=\"grid\" style=\"font-size: 8.5pt\" width=\"100%\" "
                          "cellspacing=\"0\" cellpadding=\"2\" border=\"1\">\n<thead>") +
           row(header, "th") + QStringLiteral("</thead>\n") + rows + QStringLiteral("</table>\n");
}

// A cell whose content is HTML already.
inline QString htmlCell(const QString& html)
{
    return QStringLiteral("<td>%1</td>").arg(html);
}

inline QString withUnit(const QString& value, const QString& unit)
{
    return unit.isEmpty() || value == u"Reserve" ? value : value + u' ' + unit;
}

// "OC-3 over-current ..." for a fault number; "none" for no fault.
QString faultText(int number);
// What failed in a run that failed, in a sentence with units.
QString failureOf(const TestRunResult& run);
// The latest run of a drive in the input, and its place there.
const TestRunResult* runOf(const ReportInput& in, quint8 address, int* index);
// "3 (Conveyor 3)" or "3".
QString driveLabel(const ReportInput& in, quint8 address);
// A parameter's value as shown, with its unit and, for one that selects an
// option, the option's text: "13 (9600, even parity ...)".
QString valueText(quint16 reg, quint16 raw);

// Whether the report speaks the program's language other than English.
bool translated();
// Dates and numbers as the report's reader writes them: the language's
// country when translated, else the system's as ever.
QLocale locale();
// A parameter's name in the report's language; the drive's English manual
// names it too where the two differ: on a line of its own in a table cell
// (HTML), in brackets in running text.
QString paramName(quint16 reg);
QString paramNameHtml(quint16 reg);
QString paramNameText(quint16 reg);
// A text the commissioning core wrote in English (a check's name, what it
// measured, why a run ended: kept so in a test run's file) in the report's
// language, where the report knows its form; otherwise as it stands.
QString coreText(const QString& text);

} // namespace ReportParts

namespace ReportParts {

// A drive's parameter sections: differences from its reference, from the
// defaults, what was set on site, and the writes made to it.
QString parameterSections(const ReportInput& in, const DriveRecord& d);
// The drive's whole set, reserved parameters left out.
QString appendix(const ReportInput& in, const DriveRecord& d);

// A part of the report that starts on a page of its own: page 1, a drive's
// pages, a drive's appendix. Its pages after the first carry "continued".
struct Section
{
    QString html; // without the page break before it
    QString continued;
};
QList<Section> sections(const ReportInput& in, bool embedCharts);
// The HTML document's head with its style sheet, up to <body>.
QString documentHead();

} // namespace ReportParts
