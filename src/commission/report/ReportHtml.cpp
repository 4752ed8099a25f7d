// SPDX-License-Identifier: GPL-3.0-or-later
// The report's content as HTML: QTextDocument lays it out for the PDF, and
// the same text is written beside it for a browser. Page 1 is the verdict
// (ReportVerdict.cpp), then a page or more a drive, then the appendix.
#include "CatalogueText.h"
#include "Language.h"
#include "NumberText.h"
#include "ReportParts.h"
#include "RunningValues.h"
#include "Tab.h"
#include "VfdVersion.h"

#include <QBuffer>
#include <QLocale>
#include <cmath>

using namespace ReportParts;

namespace {

// A run counts as passed only when it carried out its plan: a cancelled
// one is said to be not completed, whatever its checks showed so far. A
// failed one names the check that failed and what was measured.
QString runHeadline(const TestRunResult& run)
{
    if (run.passed())
        return Report::tr("PASSED");
    if (run.cancelled || !run.sentAnything)
        return Report::tr("NOT COMPLETED");
    return Report::tr("FAILED: %1").arg(ReportParts::failureOf(run));
}

QString imageData(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QString readinessSection(const DriveRecord& d)
{
    const Readiness& r = d.readiness;
    auto v = [](const std::optional<quint16>& x) {
        return x ? QString::number(*x) : Report::tr("no answer");
    };
    QStringList problems;
    for (const QString& problem : r.problems())
        problems << coreText(problem);
    return Report::tr("<b>Readiness</b>: run commands from P0.04 = %1, frequency from "
                      "P0.01 = %2: %3")
        .arg(v(r.runSource), v(r.frequencySource),
             !r.known()  ? Report::tr("not known (not answered).")
             : r.ready() ? Report::tr("the drive obeys the line.")
                         : Report::tr("%1.").arg(esc(problems.join(Report::tr("; ")))));
}

// The port and the drive's own line parameters (its address is said
// before), in a line: they are the same on every drive.
QString lineSection(const ReportInput& in, const DriveRecord& d)
{
    QStringList items;
    for (quint16 reg : {quint16(0x0801), quint16(0x0802), quint16(0x0803)}) {
        const auto raw = d.parameters.raw(reg);
        items << QStringLiteral("%1 %2 = %3")
                     .arg(ParamCatalogue::number(reg), esc(paramNameText(reg)),
                          raw ? esc(valueText(reg, *raw)) : Report::tr("no answer"));
    }
    return Report::tr("<b>Line settings</b>: %1%2.")
        .arg(in.portName.isEmpty()
                 ? QString()
                 : Report::tr("port %1 at %2; ").arg(esc(in.portName), esc(in.lineSettings)),
             items.join(Report::tr("; ")));
}

QString runSection(const TestRunResult& run, int index, bool embed)
{
    QString html = QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Test run"));
    html += Report::tr("<p>%1 forward%2, held %3 s%4; started %5. Ended: %6.<br>"
                       "<b>Result: %7</b></p>\n")
                .arg(NumberText::Fixed2(run.plan.hz) + QStringLiteral(" Hz"),
                     run.plan.reverse ? Report::tr(" then reverse") : QString(),
                     QString::number(run.plan.holdMs / 1000.0),
                     run.plan.reverse ? Report::tr(" each way") : QString(),
                     esc(locale().toString(run.started, QLocale::ShortFormat)),
                     esc(coreText(run.endReason)), esc(runHeadline(run)));
    // The chart draws frequencies and current: other limits are named.
    QStringList apart;
    for (const ExpectLimit& l : run.plan.limits)
        if (l.key != u"current" && !l.key.startsWith(QStringLiteral("freq")))
            apart << l.text();
    if (!apart.isEmpty() && !run.samples.isEmpty())
        html += Report::tr("<p>Limits the chart does not draw, checked in the table: %1.</p>\n")
                    .arg(esc(apart.join(Report::tr(", "))));
    if (QStringList missed = run.notReached(); !missed.isEmpty()) {
        for (QString& check : missed)
            check = coreText(check);
        html += Report::tr("<p>The run ended before these checks: %1.</p>\n")
                    .arg(esc(missed.join(Report::tr(", "))));
    }
    if (!run.samples.isEmpty()) {
        const QString src = embed ? imageData(CommissionReport::Chart(run, QSize(1280, 320)))
                                  : QStringLiteral("chart-%1.png").arg(index);
        html += QStringLiteral("<p><img src=\"%1\" width=\"640\" height=\"160\" "
                               "alt=\"%2\"></p>\n")
                    .arg(src, esc(Report::tr("Test run chart")));
    }
    QString rows;
    for (const TestRunCheck& c : run.checks)
        rows += row({coreText(c.name), coreText(c.expected), coreText(c.measured),
                     coreText(c.resultWord())});
    return html + table({Report::tr("Check"), Report::tr("Expected"), Report::tr("Measured"),
                         Report::tr("Result")},
                        rows);
}

// The values a drive keeps at its last fault, in the order it keeps them.
const char* const kAtLastFault[] = {
    QT_TRANSLATE_NOOP("Report", "Output frequency"),
    QT_TRANSLATE_NOOP("Report", "Set frequency"),
    QT_TRANSLATE_NOOP("Report", "Output current"),
    QT_TRANSLATE_NOOP("Report", "Output voltage"),
    QT_TRANSLATE_NOOP("Report", "DC bus voltage"),
    QT_TRANSLATE_NOOP("Report", "Module temperature"),
};

QString faultSection(const DriveRecord& d)
{
    using namespace RunningValues;
    const bool anyUnread =
        std::any_of(d.faultRecords.cbegin(), d.faultRecords.cend(), [](auto& f) { return !f; });
    const bool anyFault = std::any_of(d.faultRecords.cbegin(), d.faultRecords.cend(),
                                      [](auto& f) { return f && *f != 0 && *f != 20; });
    if (!anyFault && !anyUnread)
        return Report::tr("<p><b>Fault records</b>: no fault recorded.</p>\n");
    QString html = QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Fault records"));
    QStringList records;
    for (int i = 0; i < 3; ++i) {
        const auto& f = d.faultRecords[size_t(i)];
        records << Report::tr("%1: %2").arg(i + 1).arg(
            esc(f ? faultText(*f) : Report::tr("no answer")));
    }
    html += Report::tr("<p>Latest first: %1.</p>\n").arg(records.join(Report::tr("; ")));
    // The values kept at the last fault mean something only where one was.
    const auto& last = d.faultRecords[0];
    if (!last || *last == 0 || *last == 20)
        return html;
    QStringList values;
    for (int i = 0; i < 6; ++i) {
        const RunningValue& v = Table[size_t(FrequencyOutAtLastFault + i)];
        const auto& x = d.atLastFault[size_t(i)];
        const QString name = Report::tr(kAtLastFault[i]);
        values << Report::tr("%1 %2").arg(
            esc(name), x ? esc(withUnit(NumberText::Plain(float(*x)), QString::fromUtf8(v.unit)))
                         : Report::tr("no answer"));
    }
    return html + Report::tr("<p><b>Values at the last fault</b>: %1.</p>\n")
                      .arg(values.join(Report::tr("; ")));
}

QString drivePages(const ReportInput& in, const DriveRecord& d, bool embedCharts)
{
    QString html = Report::tr("<h2>Drive %1</h2>\n").arg(esc(driveLabel(in, d.address)));
    if (!d.answered)
        return html + Report::tr("<p><b>Drive %1 did not answer</b> on %2 at %3: nothing "
                                 "could be read from it.</p>\n")
                          .arg(d.address)
                          .arg(esc(in.portName), esc(in.lineSettings));
    html +=
        Report::tr("<p>Address %1, software edition %2, state %3%4. %5<br>%6</p>\n")
            .arg(d.address)
            .arg(d.edition ? NumberText::Plain(float(*d.edition)) : QStringLiteral("—"),
                 d.running ? Report::tr("Run") : Report::tr("Stop"),
                 d.fault ? Report::tr(", fault %1").arg(esc(faultText(d.faultNumber))) : QString(),
                 lineSection(in, d), readinessSection(d));
    html += parameterSections(in, d);
    int index = 0;
    if (const TestRunResult* run = runOf(in, d.address, &index))
        html += runSection(*run, index, embedCharts);
    else
        html += QStringLiteral("<h3>%1</h3>\n").arg(Report::tr("Test run")) +
                Report::tr("<p>No test run of this drive is part of this report.</p>\n");
    return html + faultSection(d);
}

} // namespace

namespace ReportParts {

QString failureOf(const TestRunResult& run)
{
    for (const TestRunCheck& c : run.checks)
        if (c.reached && !c.passed)
            // A file from before checks said what failed: the check's own words.
            return !c.failure.isEmpty()
                       ? coreText(c.failure)
                       : Report::tr("%1: %2 (expected %3)")
                             .arg(coreText(c.name), coreText(c.measured), coreText(c.expected));
    return Report::tr("the run ended early: %1").arg(coreText(run.endReason));
}

QString documentHead()
{
    // The language named for a browser's fonts and a screen reader's voice;
    // the English page stays as it always was.
    const QString html = translated() ? QStringLiteral("<html lang=\"%1\">")
                                            .arg(QString(Language::current()).replace(u'_', u'-'))
                                      : QStringLiteral("<html>");
    return QStringLiteral("<!DOCTYPE html>\n%1<head><meta charset=\"utf-8\">\n<title>%2</title>\n")
               .arg(html, esc(Report::tr("Commissioning report"))) +
           QStringLiteral(
               "<style>body { font-family: sans-serif; font-size: 10pt; } "
               "table.grid { border-collapse: collapse; font-size: 8.5pt; } th { background: "
               "#e8e8e8; "
               "text-align: left; } "
               "table.verdict { font-size: 8pt; } "
               "h2 { margin-top: 0px; margin-bottom: 4px; } "
               "h3 { font-size: 10.5pt; margin-top: 6px; margin-bottom: 2px; } "
               "p { margin-top: 2px; margin-bottom: 2px; } .box { border: 1px solid black; "
               "}</style>\n</head><body>\n");
}

QList<Section> sections(const ReportInput& in, bool embedCharts)
{
    QList<Section> list{{CommissionReport::VerdictHtml(in), QString()}};
    for (const DriveRecord& d : in.drives)
        list << Section{drivePages(in, d, embedCharts),
                        Report::tr("Drive %1, continued").arg(driveLabel(in, d.address))};
    if (in.withAppendix())
        for (const DriveRecord& d : in.drives)
            if (!d.parameters.values.isEmpty())
                list << Section{appendix(in, d), Report::tr("Drive %1, parameter set, continued")
                                                     .arg(driveLabel(in, d.address))};
    return list;
}

QString faultText(int number)
{
    if (number == 20 || number == 0)
        return Report::tr("none");
    const auto code = Tab::FaultCode(number);
    QString text = CatalogueText::faultDescription(number);
    if (!code || code->empty())
        return text;
    const QString name = QString::fromUtf8(code->data(), qsizetype(code->size()));
    // The catalogue's descriptions start with the code ("OC-3:Overcurrent ...").
    if (text.startsWith(name + u':'))
        text = text.mid(name.size() + 1).trimmed();
    return Report::tr("%1 %2").arg(name, text);
}

const TestRunResult* runOf(const ReportInput& in, quint8 address, int* index)
{
    // The latest run of the drive, should several be given.
    for (int i = int(in.runs.size()) - 1; i >= 0; --i)
        if (in.runs[i].plan.address == address) {
            *index = i;
            return &in.runs[i];
        }
    return nullptr;
}

QString driveLabel(const ReportInput& in, quint8 address)
{
    const QString name = in.names.value(address);
    return name.isEmpty() ? QString::number(address) : Report::tr("%1 (%2)").arg(address).arg(name);
}

} // namespace ReportParts

namespace CommissionReport {

QString PageLine(const ReportInput& input, int page, int pages)
{
    return Report::tr("vfdtool %1 · %2 · page %3 of %4")
        .arg(QStringLiteral(VFD_VERSION), input.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        .arg(page)
        .arg(pages);
}

QString Html(const ReportInput& in, bool embedCharts)
{
    QString html = ReportParts::documentHead();
    const QList<ReportParts::Section> parts = ReportParts::sections(in, embedCharts);
    for (int i = 0; i < parts.size(); ++i) {
        // A browser prints each part from a page of its own, as the PDF has it.
        html += i == 0 ? parts[i].html
                       : QStringLiteral("<div style=\"page-break-before: always\"></div>\n") +
                             parts[i].html;
    }
    return html + QStringLiteral("</body></html>\n");
}

} // namespace CommissionReport
