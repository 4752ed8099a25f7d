// SPDX-License-Identifier: GPL-3.0-or-later
// The report's content as HTML: QTextDocument lays it out for the PDF, and
// the same text is written beside it for a browser. Page 1 is the verdict
// (ReportVerdict.cpp), then a page or more a drive, then the appendix.
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
        return QStringLiteral("PASSED");
    if (run.cancelled || !run.sentAnything)
        return QStringLiteral("NOT COMPLETED");
    return QStringLiteral("FAILED: ") + ReportParts::failureOf(run);
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
        return x ? QString::number(*x) : QStringLiteral("no answer");
    };
    return QStringLiteral("<b>Readiness</b>: run commands from P0.04 = %1, frequency from "
                          "P0.01 = %2: %3")
        .arg(v(r.runSource), v(r.frequencySource),
             !r.known()  ? QStringLiteral("not known (not answered).")
             : r.ready() ? QStringLiteral("the drive obeys the line.")
                         : esc(r.problems().join(QStringLiteral("; "))) + u'.');
}

// The port and the drive's own line parameters (its address is said
// before), in a line: they are the same on every drive.
QString lineSection(const ReportInput& in, const DriveRecord& d)
{
    QStringList items;
    for (quint16 reg : {quint16(0x0801), quint16(0x0802), quint16(0x0803)}) {
        const auto raw = d.parameters.raw(reg);
        items << QStringLiteral("%1 %2 = %3")
                     .arg(ParamCatalogue::number(reg), esc(ParamCatalogue::name(reg).trimmed()),
                          raw ? esc(valueText(reg, *raw)) : QStringLiteral("no answer"));
    }
    return QStringLiteral("<b>Line settings</b>: %1%2.")
        .arg(in.portName.isEmpty()
                 ? QString()
                 : QStringLiteral("port %1 at %2; ").arg(esc(in.portName), esc(in.lineSettings)),
             items.join(QStringLiteral("; ")));
}

QString runSection(const TestRunResult& run, int index, bool embed)
{
    QString html = QStringLiteral("<h3>Test run</h3>\n");
    html += QStringLiteral("<p>%1 forward%2, held %3 s%4; started %5. Ended: %6.<br>"
                           "<b>Result: %7</b></p>\n")
                .arg(NumberText::Fixed2(run.plan.hz) + QStringLiteral(" Hz"),
                     run.plan.reverse ? QStringLiteral(" then reverse") : QString(),
                     QString::number(run.plan.holdMs / 1000.0),
                     run.plan.reverse ? QStringLiteral(" each way") : QString(),
                     esc(QLocale().toString(run.started, QLocale::ShortFormat)), esc(run.endReason),
                     esc(runHeadline(run)));
    // The chart draws frequencies and current: other limits are named.
    QStringList apart;
    for (const ExpectLimit& l : run.plan.limits)
        if (l.key != u"current" && !l.key.startsWith(QStringLiteral("freq")))
            apart << l.text();
    if (!apart.isEmpty() && !run.samples.isEmpty())
        html += QStringLiteral("<p>Limits the chart does not draw, checked in the table: %1.</p>\n")
                    .arg(esc(apart.join(QStringLiteral(", "))));
    if (const QStringList missed = run.notReached(); !missed.isEmpty())
        html += QStringLiteral("<p>The run ended before these checks: %1.</p>\n")
                    .arg(esc(missed.join(QStringLiteral(", "))));
    if (!run.samples.isEmpty()) {
        const QString src = embed ? imageData(CommissionReport::Chart(run, QSize(1280, 320)))
                                  : QStringLiteral("chart-%1.png").arg(index);
        html += QStringLiteral("<p><img src=\"%1\" width=\"640\" height=\"160\" "
                               "alt=\"Test run chart\"></p>\n")
                    .arg(src);
    }
    QString rows;
    for (const TestRunCheck& c : run.checks)
        rows += row({c.name, c.expected, c.measured, c.resultWord()});
    return html + table({QStringLiteral("Check"), QStringLiteral("Expected"),
                         QStringLiteral("Measured"), QStringLiteral("Result")},
                        rows);
}

QString faultSection(const DriveRecord& d)
{
    using namespace RunningValues;
    const bool anyUnread =
        std::any_of(d.faultRecords.cbegin(), d.faultRecords.cend(), [](auto& f) { return !f; });
    const bool anyFault = std::any_of(d.faultRecords.cbegin(), d.faultRecords.cend(),
                                      [](auto& f) { return f && *f != 0 && *f != 20; });
    if (!anyFault && !anyUnread)
        return QStringLiteral("<p><b>Fault records</b>: no fault recorded.</p>\n");
    QString html = QStringLiteral("<h3>Fault records</h3>\n");
    QStringList records;
    for (int i = 0; i < 3; ++i) {
        const auto& f = d.faultRecords[size_t(i)];
        records << QStringLiteral("%1: %2").arg(i + 1).arg(
            esc(f ? faultText(*f) : QStringLiteral("no answer")));
    }
    html += QStringLiteral("<p>Latest first: %1.</p>\n").arg(records.join(QStringLiteral("; ")));
    // The values kept at the last fault mean something only where one was.
    const auto& last = d.faultRecords[0];
    if (!last || *last == 0 || *last == 20)
        return html;
    QStringList values;
    for (int i = 0; i < 6; ++i) {
        const RunningValue& v = Table[size_t(FrequencyOutAtLastFault + i)];
        const auto& x = d.atLastFault[size_t(i)];
        const QString name = QLatin1String(v.name).left(QLatin1String(v.name).size() -
                                                        int(qstrlen(" at the last fault")));
        values << QStringLiteral("%1 %2").arg(
            esc(name), x ? esc(withUnit(NumberText::Plain(float(*x)), QString::fromUtf8(v.unit)))
                         : QStringLiteral("no answer"));
    }
    return html + QStringLiteral("<p><b>Values at the last fault</b>: %1.</p>\n")
                      .arg(values.join(QStringLiteral("; ")));
}

QString drivePages(const ReportInput& in, const DriveRecord& d, bool embedCharts)
{
    QString html = QStringLiteral("<h2>Drive %1</h2>\n").arg(esc(driveLabel(in, d.address)));
    if (!d.answered)
        return html + QStringLiteral("<p><b>Drive %1 did not answer</b> on %2 at %3: nothing "
                                     "could be read from it.</p>\n")
                          .arg(d.address)
                          .arg(esc(in.portName), esc(in.lineSettings));
    html +=
        QStringLiteral("<p>Address %1, software edition %2, state %3%4. %5<br>%6</p>\n")
            .arg(d.address)
            .arg(d.edition ? NumberText::Plain(float(*d.edition)) : QStringLiteral("—"),
                 d.running ? QStringLiteral("Run") : QStringLiteral("Stop"),
                 d.fault ? QStringLiteral(", fault ") + esc(faultText(d.faultNumber)) : QString(),
                 lineSection(in, d), readinessSection(d));
    html += parameterSections(in, d);
    int index = 0;
    if (const TestRunResult* run = runOf(in, d.address, &index))
        html += runSection(*run, index, embedCharts);
    else
        html += QStringLiteral("<h3>Test run</h3>\n<p>No test run of this drive is part of "
                               "this report.</p>\n");
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
                       ? c.failure
                       : QStringLiteral("%1: %2 (expected %3)").arg(c.name, c.measured, c.expected);
    return QStringLiteral("the run ended early: %1").arg(run.endReason);
}

QString documentHead()
{
    return QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Commissioning "
        "report</title>\n<style>body { font-family: sans-serif; font-size: 10pt; } "
        "table.grid { border-collapse: collapse; font-size: 8.5pt; } th { background: #e8e8e8; "
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
                        QStringLiteral("Drive %1, continued").arg(driveLabel(in, d.address))};
    if (in.withAppendix())
        for (const DriveRecord& d : in.drives)
            if (!d.parameters.values.isEmpty())
                list << Section{appendix(in, d),
                                QStringLiteral("Drive %1, parameter set, continued")
                                    .arg(driveLabel(in, d.address))};
    return list;
}

QString faultText(int number)
{
    if (number == 20 || number == 0)
        return QStringLiteral("none");
    const auto code = Tab::FaultCode(number);
    QString text = QString::fromStdString(Tab::FaultDescription(number));
    if (!code || code->empty())
        return text;
    const QString name = QString::fromUtf8(code->data(), qsizetype(code->size()));
    // The catalogue's descriptions start with the code ("OC-3:Overcurrent ...").
    if (text.startsWith(name + u':'))
        text = text.mid(name.size() + 1).trimmed();
    return QStringLiteral("%1 %2").arg(name, text);
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
    return name.isEmpty() ? QString::number(address)
                          : QStringLiteral("%1 (%2)").arg(address).arg(name);
}

} // namespace ReportParts

namespace CommissionReport {

QString PageLine(const ReportInput& input, int page, int pages)
{
    return QStringLiteral("vfdtool %1 · %2 · page %3 of %4")
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
