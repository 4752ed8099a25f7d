// SPDX-License-Identifier: GPL-3.0-or-later
// A drive's parameters in the report: what differs from what it was
// commissioned to, then from the defaults (the same comparison as Drive
// Parameters), what the model leaves to the site, the writes made, and the
// whole set at the end. Values are decoded: units and option texts.
#include "DigitOptions.h"
#include "NumberText.h"
#include "ReportParts.h"
#include "menu.h"

#include <cmath>

using namespace ReportParts;

namespace {

QString nameOf(quint16 reg)
{
    return ParamCatalogue::name(reg).trimmed();
}

QStringList header(const char* last)
{
    return {QStringLiteral("Parameter"), QStringLiteral("Name"), QStringLiteral("Value"),
            QString::fromUtf8(last)};
}

QString shownOrNone(quint16 reg, const std::optional<quint16>& raw)
{
    return raw ? valueText(reg, *raw) : QStringLiteral("not set");
}

QString referenceSection(const ReportInput& in, const DriveRecord& d)
{
    const auto ref = in.references.constFind(d.address);
    if (ref == in.references.cend())
        return {};
    QString html = QStringLiteral("<h3>Differences from the reference set</h3>\n");
    const QList<ParamDifference> diffs = CommissionReport::ReferenceDifferences(d, *ref);
    if (diffs.isEmpty())
        return html + QStringLiteral("<p>The drive matches its reference set%1%2.</p>\n")
                          .arg(ref->origin.isEmpty()
                                   ? QString()
                                   : QStringLiteral(" (%1)").arg(esc(ref->origin)),
                               d.setComplete ? QString()
                                             : QStringLiteral(" in every parameter it answered"));
    QString rows;
    for (const ParamDifference& x : diffs)
        rows += row({ParamCatalogue::number(x.reg), nameOf(x.reg), shownOrNone(x.reg, x.left),
                     shownOrNone(x.reg, x.right)});
    return html + QStringLiteral("<p>Reference: %1.</p>\n").arg(esc(ref->origin)) +
           table(header("Reference"), rows);
}

QString defaultsSection(const DriveRecord& d)
{
    QString html = QStringLiteral("<h3>Differences from the catalogue's defaults</h3>\n");
    // What did not answer cannot be compared: "no differences" is claimed
    // only of a set that answered whole.
    const QString unanswered =
        d.setComplete ? QString()
                      : QStringLiteral("<p><b>%1 not answered</b>: not compared with the "
                                       "catalogue's defaults.</p>\n")
                            .arg(NumberText::Counted(d.unanswered, "parameter", "parameters"));
    const QList<ParamDifference> diffs = d.differences();
    if (diffs.isEmpty() && d.setComplete)
        return html + QStringLiteral("<p>No differences: every parameter read is at the "
                                     "catalogue's default.</p>\n");
    if (diffs.isEmpty())
        return html + unanswered +
               QStringLiteral("<p>Those that answered are at the catalogue's defaults.</p>\n");
    QString rows;
    for (const ParamDifference& x : diffs)
        rows += row({ParamCatalogue::number(x.reg), nameOf(x.reg), shownOrNone(x.reg, x.left),
                     DefaultText(x.reg)});
    return html + unanswered + table(header("Default"), rows);
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
                     .arg(ParamCatalogue::number(reg), esc(nameOf(reg)),
                          esc(valueText(reg, *d.parameters.raw(reg))));
    return QStringLiteral("<h3>Set on site</h3>\n<p><span style=\"font-size: 8.5pt\">Their "
                          "defaults depend on the drive's model; the drive holds: %1.</span></p>\n")
        .arg(items.join(QStringLiteral("; ")));
}

QString writesSection(const ReportInput& in, const DriveRecord& d)
{
    QString rows;
    for (const ReportWrite& w : in.writes) {
        if (w.drive != d.address)
            continue;
        rows +=
            row({QLocale().toString(w.time, QLocale::ShortFormat), w.tool, w.parameter,
                 w.before.isEmpty() ? QStringLiteral("not read") : w.before, w.asked, w.outcome});
    }
    if (rows.isEmpty())
        return in.names.isEmpty() && in.references.isEmpty()
                   ? QString()
                   : QStringLiteral("<p><b>Writes made</b>: the site's journal holds no write "
                                    "to this drive.</p>\n");
    return QStringLiteral("<h3>Writes made</h3>\n") +
           table({QStringLiteral("When"), QStringLiteral("By"), QStringLiteral("Parameter"),
                  QStringLiteral("Before"), QStringLiteral("Written"), QStringLiteral("Outcome")},
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
    const std::string_view range = menu::OptionText(group, index, std::nan(""));
    if (option.empty() || option == range) {
        // A value explained digit by digit: each digit's option.
        const std::string digits = menu::DigitOptionText(group, index, int(raw));
        return digits.empty() || *scale != 1
                   ? shown
                   : QStringLiteral("%1 (%2)").arg(shown, QString::fromStdString(digits));
    }
    return QStringLiteral("%1 (%2)").arg(
        shown, QString::fromUtf8(option.data(), qsizetype(option.size())).trimmed());
}

QString parameterSections(const ReportInput& in, const DriveRecord& d)
{
    if (d.parameters.values.isEmpty())
        return QStringLiteral("<h3>Parameters</h3>\n<p>The parameters could not be read.</p>\n");
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
        const QString value = it->hasValue() ? valueText(reg, it->raw)
                              : it->state == ParamValue::State::Refused
                                  ? QStringLiteral("refused")
                                  : QStringLiteral("no answer");
        rows += row({ParamCatalogue::number(reg), nameOf(reg), value, DefaultText(reg)});
    }
    return QStringLiteral("<h2>Appendix: parameter set of drive %1</h2>\n<p>Read at %2, %3 "
                          "parameters (reserved ones left "
                          "out).</p>\n")
               .arg(esc(driveLabel(in, d.address)),
                    esc(QLocale().toString(d.parameters.readAt, QLocale::ShortFormat)))
               .arg(listed) +
           table(header("Default"), rows);
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
