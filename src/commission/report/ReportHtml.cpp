// SPDX-License-Identifier: GPL-3.0-or-later
// The report's content as HTML: QTextDocument lays it out for the PDF, and
// the same text is written beside it for a browser.
#include "CommissionReport.h"
#include "NumberText.h"
#include "RunningValues.h"
#include "Tab.h"
#include "VfdVersion.h"

#include <QBuffer>
#include <cmath>

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString cell(const QString& text, const char* tag = "td")
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), esc(text));
}

QString row(const QStringList& cells, const char* tag = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString& c : cells)
        html += cell(c, tag);
    return html + QStringLiteral("</tr>\n");
}

QString table(const QStringList& header, const QString& rows)
{
    return QStringLiteral("<table class=\"grid\" width=\"100%\" cellspacing=\"0\" "
                          "cellpadding=\"3\" border=\"1\">\n") +
           row(header, "th") + rows + QStringLiteral("</table>\n");
}

QString withUnit(const QString& value, const QString& unit)
{
    return unit.isEmpty() || value == u"Reserve" ? value : value + u' ' + unit;
}

QString faultText(int number)
{
    if (number == 20 || number == 0)
        return QStringLiteral("none");
    const auto code = Tab::FaultCode(number);
    const QString text = QString::fromStdString(Tab::FaultDescription(number));
    return code && !code->empty()
               ? QStringLiteral("%1 %2").arg(QString::fromUtf8(code->data(), code->size()), text)
               : text;
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

// A run counts as passed only when it carried out its plan: a cancelled
// one is said to be not completed, whatever its checks showed so far.
QString runResultWord(const TestRunResult& run)
{
    return run.passed()    ? QStringLiteral("PASS")
           : run.cancelled ? QStringLiteral("NOT COMPLETED")
                           : QStringLiteral("FAIL");
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
    QString html = QStringLiteral("<h3>Readiness</h3>\n");
    const Readiness& r = d.readiness;
    auto v = [](const std::optional<quint16>& x) {
        return x ? QString::number(*x) : QStringLiteral("no answer");
    };
    html += QStringLiteral("<p>Run commands from P0.04 = %1, frequency from P0.01 = %2: %3</p>\n")
                .arg(v(r.runSource), v(r.frequencySource),
                     !r.known()  ? QStringLiteral("not known (not answered).")
                     : r.ready() ? QStringLiteral("the drive obeys the line.")
                                 : esc(r.problems().join(QStringLiteral("; "))) + u'.');
    return html;
}

QString lineSection(const ReportInput& in, const DriveRecord& d)
{
    QString rows;
    for (quint16 reg : {quint16(0x0800), quint16(0x0801), quint16(0x0802), quint16(0x0803)}) {
        const auto raw = d.parameters.raw(reg);
        rows += row({ParamCatalogue::number(reg), ParamCatalogue::name(reg).trimmed(),
                     raw ? withUnit(ParamCatalogue::shown(reg, *raw), ParamCatalogue::unit(reg))
                         : QStringLiteral("no answer")});
    }
    return QStringLiteral("<h3>Line settings</h3>\n<p>Port %1 at %2.</p>\n")
               .arg(esc(in.portName), esc(in.lineSettings)) +
           table({QStringLiteral("Parameter"), QStringLiteral("Name"), QStringLiteral("Value")},
                 rows);
}

QString differencesSection(const DriveRecord& d)
{
    QString html = QStringLiteral("<h3>Differences from the catalogue's defaults</h3>\n");
    if (d.parameters.values.isEmpty())
        return html + QStringLiteral("<p>The parameters could not be read.</p>\n");
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
                                     "catalogue's default (those the drive model sets are not "
                                     "compared).</p>\n");
    if (diffs.isEmpty())
        return html + unanswered +
               QStringLiteral("<p>Those that answered are at the catalogue's defaults.</p>\n");
    QString rows;
    for (const ParamDifference& x : diffs) {
        const QString unit = ParamCatalogue::unit(x.reg);
        rows += row({ParamCatalogue::number(x.reg), ParamCatalogue::name(x.reg).trimmed(),
                     withUnit(ShownOrDash(x.reg, x.left), unit), DefaultText(x.reg)});
    }
    return html + unanswered +
           table({QStringLiteral("Parameter"), QStringLiteral("Name"), QStringLiteral("Value"),
                  QStringLiteral("Default")},
                 rows);
}

// The summary's count of differences, with what went unanswered beside it.
QString differencesCell(const DriveRecord& d)
{
    if (!d.answered)
        return QStringLiteral("—");
    const QString count = QString::number(d.differences().size());
    if (d.setComplete)
        return count;
    return QStringLiteral("%1; %2 not answered").arg(count).arg(d.unanswered);
}

QString runSection(const TestRunResult& run, int index, bool embed)
{
    QString html = QStringLiteral("<h3>Test run</h3>\n");
    html +=
        QStringLiteral("<p>%1 forward%2, held %3 s each way; started %4. Ended: %5. "
                       "<b>Result: %6</b></p>\n")
            .arg(NumberText::Fixed2(run.plan.hz) + QStringLiteral(" Hz"),
                 run.plan.reverse ? QStringLiteral(" then reverse") : QString(),
                 QString::number(run.plan.holdMs / 1000.0), esc(run.started.toString(Qt::ISODate)),
                 esc(run.endReason), runResultWord(run));
    if (const QStringList missed = run.notReached(); !missed.isEmpty())
        html += QStringLiteral("<p>The run ended before these checks: %1.</p>\n")
                    .arg(esc(missed.join(QStringLiteral(", "))));
    if (!run.samples.isEmpty()) {
        const QString src = embed ? imageData(CommissionReport::Chart(run, QSize(1280, 560)))
                                  : QStringLiteral("chart-%1.png").arg(index);
        html += QStringLiteral("<p><img src=\"%1\" width=\"640\" height=\"280\" "
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
    QString html = QStringLiteral("<h3>Fault records</h3>\n");
    QString rows;
    for (int i = 0; i < 3; ++i) {
        const auto& f = d.faultRecords[size_t(i)];
        rows += row({QString::number(i + 1), f ? faultText(*f) : QStringLiteral("no answer")});
    }
    html += table({QStringLiteral("Record"), QStringLiteral("Fault")}, rows);
    html += QStringLiteral("<h3>Values at the last fault</h3>\n");
    rows.clear();
    for (int i = 0; i < 6; ++i) {
        const RunningValue& v = Table[size_t(FrequencyOutAtLastFault + i)];
        const auto& x = d.atLastFault[size_t(i)];
        rows += row({QLatin1String(v.name).left(QLatin1String(v.name).size() -
                                                int(qstrlen(" at the last fault"))),
                     x ? withUnit(NumberText::Plain(float(*x)), QString::fromUtf8(v.unit))
                       : QStringLiteral("no answer")});
    }
    return html + table({QStringLiteral("Value"), QStringLiteral("At the last fault")}, rows);
}

QString appendix(const DriveRecord& d)
{
    QString rows;
    for (auto it = d.parameters.values.cbegin(); it != d.parameters.values.cend(); ++it) {
        const quint16 reg = it.key();
        const QString unit = ParamCatalogue::unit(reg);
        const QString value = it->hasValue() ? withUnit(ParamCatalogue::shown(reg, it->raw), unit)
                              : it->state == ParamValue::State::Refused
                                  ? QStringLiteral("refused")
                                  : QStringLiteral("no answer");
        rows += row({ParamCatalogue::number(reg), ParamCatalogue::name(reg).trimmed(), value,
                     DefaultText(reg)});
    }
    return QStringLiteral("<h2 style=\"page-break-before: always\">Appendix: parameter set of "
                          "drive %1</h2>\n<p>Read at %2, %3 parameters.</p>\n")
               .arg(d.address)
               .arg(esc(d.parameters.readAt.toString(Qt::ISODate)))
               .arg(d.parameters.values.size()) +
           table({QStringLiteral("Parameter"), QStringLiteral("Name"), QStringLiteral("Value"),
                  QStringLiteral("Default")},
                 rows);
}

} // namespace

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
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Commissioning "
        "report</title>\n<style>body { font-family: sans-serif; font-size: 10pt; } "
        "table.grid { border-collapse: collapse; } th { background: #e8e8e8; text-align: left; } "
        "h2 { margin-top: 18px; } .box { border: 1px solid black; }</style>\n</head><body>\n");
    html += QStringLiteral("<h1>Commissioning report</h1>\n");
    html += QStringLiteral("<p>Site: %1<br>Technician: %2<br>Made: %3 with vfdtool %4<br>"
                           "Port: %5 at %6</p>\n")
                .arg(esc(in.site.isEmpty() ? QStringLiteral("—") : in.site),
                     esc(in.technician.isEmpty() ? QStringLiteral("—") : in.technician),
                     esc(in.made.toString(Qt::ISODate)), QStringLiteral(VFD_VERSION),
                     esc(in.portName), esc(in.lineSettings));
    QString rows;
    for (const DriveRecord& d : in.drives) {
        int index = 0;
        const TestRunResult* run = runOf(in, d.address, &index);
        rows += row({QString::number(d.address),
                     d.answered ? QStringLiteral("answered") : QStringLiteral("did not answer"),
                     d.edition ? NumberText::Plain(float(*d.edition)) : QStringLiteral("—"),
                     differencesCell(d), run ? runResultWord(*run) : QStringLiteral("none")});
    }
    html +=
        table({QStringLiteral("Drive"), QStringLiteral("Line"), QStringLiteral("Software edition"),
               QStringLiteral("Differences"), QStringLiteral("Test run")},
              rows);

    for (const DriveRecord& d : in.drives) {
        html += QStringLiteral("<h2 style=\"page-break-before: always\">Drive %1</h2>\n")
                    .arg(d.address);
        if (!d.answered) {
            html += QStringLiteral("<p><b>Drive %1 did not answer</b> on %2 at %3: nothing could "
                                   "be read from it.</p>\n")
                        .arg(d.address)
                        .arg(esc(in.portName), esc(in.lineSettings));
            continue;
        }
        html += QStringLiteral("<p>Address %1, software edition %2, state %3%4.</p>\n")
                    .arg(d.address)
                    .arg(d.edition ? NumberText::Plain(float(*d.edition)) : QStringLiteral("—"),
                         d.running ? QStringLiteral("Run") : QStringLiteral("Stop"),
                         d.fault ? QStringLiteral(", fault ") + esc(faultText(d.faultNumber))
                                 : QString());
        html += lineSection(in, d) + readinessSection(d) + differencesSection(d);
        int index = 0;
        if (const TestRunResult* run = runOf(in, d.address, &index))
            html += runSection(*run, index, embedCharts);
        else
            html += QStringLiteral("<h3>Test run</h3>\n<p>No test run of this drive is part of "
                                   "this report.</p>\n");
        html += faultSection(d);
    }

    html += QStringLiteral(
                "<h2 style=\"page-break-before: always\">Acceptance</h2>\n"
                "<table class=\"box\" width=\"100%\" cellspacing=\"0\" cellpadding=\"10\" "
                "border=\"1\">\n<tr><td width=\"30%\">Site</td><td>%1</td></tr>\n"
                "<tr><td>Technician</td><td>%2</td></tr>\n<tr><td>Date</td><td>%3</td></tr>\n"
                "<tr><td>Signature of the technician</td><td><br><br><br></td></tr>\n"
                "<tr><td>Signature of the customer</td><td><br><br><br></td></tr>\n</table>\n")
                .arg(esc(in.site), esc(in.technician), esc(in.made.date().toString(Qt::ISODate)));
    for (const DriveRecord& d : in.drives)
        if (!d.parameters.values.isEmpty())
            html += appendix(d);
    return html + QStringLiteral("</body></html>\n");
}

} // namespace CommissionReport
