// SPDX-License-Identifier: GPL-3.0-or-later
// A drive's parameters in the report: what differs from what it was
// commissioned to, then from the defaults (the same comparison as Drive
// Parameters), what the model leaves to the site, the writes made, and the
// whole set at the end. Values are decoded: units and option texts.
#include "CatalogueText.h"
#include "DigitOptions.h"
#include "NumberText.h"
#include "ReportParts.h"
#include "menu.h"

#include <cmath>

using namespace ReportParts;

namespace {

QStringList header(const QString& last)
{
    return {Report::tr("Parameter"), Report::tr("Name"), Report::tr("Value"), last};
}

QString shownOrNone(quint16 reg, const std::optional<quint16>& raw)
{
    return raw ? valueText(reg, *raw) : Report::tr("not set");
}

// A parameter's row: its name, in the report's language, with the English
// manual's beside it.
QString paramRow(quint16 reg, const QString& value, const QString& other)
{
    return QStringLiteral("<tr>") + cell(ParamCatalogue::number(reg)) +
           htmlCell(paramNameHtml(reg)) + cell(value) + cell(other) + QStringLiteral("</tr>\n");
}

QString referenceSection(const ReportInput& in, const DriveRecord& d)
{
    const auto ref = in.references.constFind(d.address);
    if (ref == in.references.cend())
        return {};
    QString html =
        QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Differences from the reference set"));
    const QList<ParamDifference> diffs = CommissionReport::ReferenceDifferences(d, *ref);
    if (diffs.isEmpty())
        return html +
               Report::tr("<p>The drive matches its reference set%1%2.</p>\n")
                   .arg(ref->origin.isEmpty() ? QString()
                                              : Report::tr(" (%1)").arg(esc(ref->origin)),
                        d.setComplete ? QString() : Report::tr(" in every parameter it answered"));
    QString rows;
    for (const ParamDifference& x : diffs)
        rows += paramRow(x.reg, shownOrNone(x.reg, x.left), shownOrNone(x.reg, x.right));
    return html + Report::tr("<p>Reference: %1.</p>\n").arg(esc(ref->origin)) +
           table(header(Report::tr("Reference")), rows);
}

QString defaultsSection(const DriveRecord& d)
{
    QString html = QStringLiteral("<h3>%1</h3>\n")
                       .arg(Report::tr("Differences from the catalogue's defaults"));
    // What did not answer cannot be compared: "no differences" is claimed
    // only of a set that answered whole.
    const QString unanswered =
        d.setComplete ? QString()
                      : Report::tr("<p><b>%1 not answered</b>: not compared with the "
                                   "catalogue's defaults.</p>\n")
                            .arg(d.unanswered == 1 ? Report::tr("1 parameter")
                                                   : Report::tr("%1 parameters").arg(d.unanswered));
    const QList<ParamDifference> diffs = d.differences();
    if (diffs.isEmpty() && d.setComplete)
        return html + Report::tr("<p>No differences: every parameter read is at the "
                                 "catalogue's default.</p>\n");
    if (diffs.isEmpty())
        return html + unanswered +
               Report::tr("<p>Those that answered are at the catalogue's defaults.</p>\n");
    QString rows;
    for (const ParamDifference& x : diffs)
        rows += paramRow(x.reg, shownOrNone(x.reg, x.left), coreText(DefaultText(x.reg)));
    return html + unanswered + table(header(Report::tr("Default")), rows);
}

QString setOnSiteSection(const DriveRecord& d)
{
    const QList<quint16> regs = d.setOnSite();
    if (regs.isEmpty())
        return {};
    // A paragraph, not a table: some twenty short values that would
    // otherwise take a page of their own.
    QStringList items;
    for (quint16 reg : regs)
        items << QStringLiteral("%1 %2 = <b style=\"font-size: 8.5pt\">%3</b>")
                     .arg(ParamCatalogue::number(reg), esc(paramNameText(reg)),
                          esc(valueText(reg, *d.parameters.raw(reg))));
    return QStringLiteral("<h3>%1</h3>\n<p><span style=\"font-size: 8.5pt\">%2</span></p>\n")
        .arg(Report::tr("Set on site"),
             Report::tr("Their defaults depend on the drive's model; the drive holds: %1.")
                 .arg(items.join(Report::tr("; "))));
}

QString writesSection(const ReportInput& in, const DriveRecord& d)
{
    QString rows;
    for (const ReportWrite& w : in.writes) {
        if (w.drive != d.address)
            continue;
        rows += row({locale().toString(w.time, QLocale::ShortFormat), w.tool, w.parameter,
                     w.before.isEmpty() ? Report::tr("not read") : w.before, w.asked,
                     coreText(w.outcome)});
    }
    if (rows.isEmpty())
        return in.names.isEmpty() && in.references.isEmpty()
                   ? QString()
                   : Report::tr("<p><b>Writes made</b>: the site's journal holds no write "
                                "to this drive.</p>\n");
    return QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Writes made")) +
           table({Report::tr("When"), Report::tr("By"), Report::tr("Parameter"),
                  Report::tr("Before"), Report::tr("Written"), Report::tr("Outcome")},
                 rows);
}

} // namespace

namespace ReportParts {

QString valueText(quint16 reg, quint16 raw)
{
    const QString shown = withUnit(ParamCatalogue::shown(reg, raw), ParamCatalogue::unit(reg));
    const std::optional<double> scale = ParamCatalogue::scale(reg);
    if (!scale)
        return shown;
    // An option's text is told from the range text of a plain number by
    // asking for a value no option has.
    const int group = reg >> 8;
    const int index = reg & 0xFF;
    const std::string_view option = menu::OptionText(group, index, raw * *scale);
    const QString optionShown = CatalogueText::optionText(group, index, raw * *scale).trimmed();
    const std::string_view range = menu::OptionText(group, index, std::nan(""));
    if (option.empty() || option == range) {
        // A value explained digit by digit: each digit's option.
        // In the report's language where its text keeps the digits' marks.
        std::string digits = menu::DigitOptionText(group, index, int(raw));
        if (translated() && !digits.empty()) {
            const std::string shownDigits = menu::DigitOptionTextOf(
                CatalogueText::optionText(group, index, std::nan("")).toStdString(), int(raw));
            if (!shownDigits.empty())
                digits = shownDigits;
        }
        if (digits.empty() || *scale != 1)
            return shown;
        QString text = QString::fromStdString(digits);
        // The digits' own marks as the language writes them: "; " and ": "
        // join the digits and their titles (DigitOptionText).
        if (translated())
            text.replace(QStringLiteral("; "), Report::tr("; "))
                .replace(QStringLiteral(": "), Report::tr(": "));
        return Report::tr("%1 (%2)").arg(shown, text);
    }
    return Report::tr("%1 (%2)").arg(shown, optionShown);
}

QString parameterSections(const ReportInput& in, const DriveRecord& d)
{
    if (d.parameters.values.isEmpty())
        return QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Parameters")) +
               Report::tr("<p>The parameters could not be read.</p>\n");
    return referenceSection(in, d) + defaultsSection(d) + setOnSiteSection(d) +
           writesSection(in, d);
}

QString appendix(const ReportInput& in, const DriveRecord& d)
{
    QString rows;
    int listed = 0;
    for (auto it = d.parameters.values.cbegin(); it != d.parameters.values.cend(); ++it) {
        const quint16 reg = it.key();
        if (ParamCatalogue::reserved(reg) || it->state == ParamValue::State::Reserved)
            continue;
        ++listed;
        const QString value = it->hasValue()                            ? valueText(reg, it->raw)
                              : it->state == ParamValue::State::Refused ? Report::tr("refused")
                                                                        : Report::tr("no answer");
        rows += paramRow(reg, value, coreText(DefaultText(reg)));
    }
    return Report::tr("<h2>Appendix: parameter set of drive %1</h2>\n<p>Read at %2, %3 "
                      "parameters (reserved ones left out).</p>\n")
               .arg(esc(driveLabel(in, d.address)),
                    esc(locale().toString(d.parameters.readAt, QLocale::ShortFormat)))
               .arg(listed) +
           table(header(Report::tr("Default")), rows);
}

} // namespace ReportParts

namespace CommissionReport {

QList<ParamDifference> ReferenceDifferences(const DriveRecord& drive, const ParamSet& reference)
{
    QList<ParamDifference> list;
    for (const ParamDifference& d : CompareSets(drive.parameters, reference))
        if (d.left && d.right && d.reg != 0x0800) // each drive holds its own address
            list << d;
    return list;
}

} // namespace CommissionReport
