// SPDX-License-Identifier: GPL-3.0-or-later
// Page 1 of the report: what the customer signs. One line a drive with the
// facts behind its result, the row's result and counts above, and who made
// it where and when, with the acceptance box below.
#include "NumberText.h"
#include "ReportParts.h"
#include "VfdVersion.h"

#include <QLocale>

using namespace ReportParts;

namespace {

QString resultWord(DriveVerdict::Result r)
{
    switch (r) {
    case DriveVerdict::Result::Passed:
        return Report::tr("passed");
    case DriveVerdict::Result::Attention:
        return Report::tr("attention");
    case DriveVerdict::Result::Failed:
        return Report::tr("failed");
    }
    return {};
}

QString colour(DriveVerdict::Result r)
{
    switch (r) {
    case DriveVerdict::Result::Passed:
        return QStringLiteral("#cdeccd");
    case DriveVerdict::Result::Attention:
        return QStringLiteral("#fbe7a6");
    case DriveVerdict::Result::Failed:
        return QStringLiteral("#f4b8b8");
    }
    return {};
}

QString runText(const TestRunResult& run)
{
    if (run.passed())
        return Report::tr("passed");
    if (run.cancelled || !run.sentAnything)
        return Report::tr("not completed");
    return Report::tr("failed: %1").arg(failureOf(run));
}

QString given(const QString& text, const char* missing)
{
    return text.isEmpty() ? QStringLiteral("<b>%1</b>").arg(Report::tr(missing)) : esc(text);
}

} // namespace

namespace CommissionReport {

DriveVerdict VerdictOf(const ReportInput& in, const DriveRecord& d)
{
    using R = DriveVerdict::Result;
    DriveVerdict v;
    auto worse = [&v](R r) { v.result = std::max(v.result, r); };
    int index = 0;
    const TestRunResult* run = runOf(in, d.address, &index);
    v.testRun = run ? runText(*run) : Report::tr("none");
    if (!d.answered) {
        v.edition = v.readiness = v.fault = v.parameters = QStringLiteral("—");
        v.result = R::Failed;
        v.reason = Report::tr("did not answer");
        return v;
    }
    v.edition = d.edition ? NumberText::Plain(float(*d.edition)) : Report::tr("not read");
    const Readiness& r = d.readiness;
    v.readiness = !r.known()  ? Report::tr("not read")
                  : r.ready() ? Report::tr("ready")
                              : Report::tr("will ignore the line: %1").arg(coreText(r.note()));
    v.fault = d.fault ? faultText(d.faultNumber) : Report::tr("none");

    QStringList reasons;
    if (d.fault) {
        worse(R::Failed);
        reasons << Report::tr("tripped");
    }
    if (run && !run->passed() && !run->cancelled && run->sentAnything) {
        worse(R::Failed);
        reasons << Report::tr("test run failed");
    }
    if (r.known() && !r.ready()) {
        worse(R::Attention);
        reasons << Report::tr("will ignore the line");
    } else if (!r.known()) {
        worse(R::Attention);
        reasons << Report::tr("readiness not read");
    }
    const auto ref = in.references.constFind(d.address);
    if (d.parameters.values.isEmpty()) {
        v.parameters = Report::tr("not read");
        worse(R::Attention);
        reasons << Report::tr("parameters not read");
    } else {
        const int n = ref != in.references.cend() ? int(ReferenceDifferences(d, *ref).size())
                                                  : int(d.differences().size());
        const bool toReference = ref != in.references.cend();
        v.parameters =
            n == 0   ? toReference ? Report::tr("match reference") : Report::tr("match defaults")
              : n == 1 ? toReference ? Report::tr("1 differs from reference")
                                     : Report::tr("1 differs from defaults")
            : toReference ? Report::tr("%1 differ from reference").arg(n)
                          : Report::tr("%1 differ from defaults").arg(n);
        if (!d.setComplete)
            v.parameters += Report::tr("; %1 not read").arg(d.unanswered);
        if (ref != in.references.cend() && n > 0) {
            worse(R::Attention);
            reasons << Report::tr("differs from its reference");
        }
        if (!d.setComplete) {
            worse(R::Attention);
            reasons << Report::tr("parameters not all read");
        }
    }
    if (!run) {
        worse(R::Attention);
        reasons << Report::tr("no test run");
    } else if (run->cancelled || !run->sentAnything) {
        worse(R::Attention);
        reasons << Report::tr("test run not completed");
    }
    v.reason = reasons.join(Report::tr(", "));
    return v;
}

QString VerdictHtml(const ReportInput& in)
{
    QList<DriveVerdict> verdicts;
    int counts[3] = {0, 0, 0};
    for (const DriveRecord& d : in.drives) {
        verdicts << VerdictOf(in, d);
        ++counts[int(verdicts.last().result)];
    }
    const auto overall =
        verdicts.isEmpty()
            ? DriveVerdict::Result::Attention
            : std::max_element(verdicts.cbegin(), verdicts.cend(),
                               [](const auto& a, const auto& b) { return a.result < b.result; })
                  ->result;
    const QString overallText = overall == DriveVerdict::Result::Passed ? Report::tr("PASSED")
                                : overall == DriveVerdict::Result::Failed
                                    ? Report::tr("FAILED")
                                    : Report::tr("NEEDS ATTENTION");
    QString html = QStringLiteral("<h1>%1</h1>\n").arg(esc(Report::tr("Commissioning report")));
    const QString line =
        in.portName.isEmpty()
            ? QString()
            : Report::tr("<br>Line: %1 at %2").arg(esc(in.portName), esc(in.lineSettings));
    const char* unnamed = QT_TRANSLATE_NOOP("Report", "not named");
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">") +
            Report::tr("<tr><td>Site: %1<br>Customer: %2<br>Technician: %3</td>"
                       "<td>Made: %4<br>Program: vfdtool %5%6</td></tr></table>\n")
                .arg(given(in.site, unnamed), given(in.customer, unnamed),
                     given(in.technician, unnamed),
                     esc(locale().toString(in.made, QLocale::LongFormat)),
                     QStringLiteral(VFD_VERSION), line);
    html +=
        QStringLiteral(
            "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"6\" "
            "border=\"1\" style=\"border-collapse: collapse\"><tr><td bgcolor=\"%1\">%2</td></tr>"
            "</table>\n")
            .arg(colour(overall),
                 Report::tr("<b>Result: %1</b> — %2 ready, %3 need attention, %4 failed (of %5)")
                     .arg(overallText)
                     .arg(counts[0])
                     .arg(counts[1])
                     .arg(counts[2])
                     .arg(in.drives.size() == 1 ? Report::tr("1 drive")
                                                : Report::tr("%1 drives").arg(in.drives.size())));
    // Small type: a full line of 31 drives fits on page 1.
    html += QStringLiteral("<p></p><table class=\"grid verdict\" style=\"font-size: 7.5pt\" "
                           "width=\"100%\" cellspacing=\"0\" cellpadding=\"1\" border=\"1\">\n"
                           "<thead>") +
            row({Report::tr("Drive"), Report::tr("Edition"), Report::tr("Readiness"),
                 Report::tr("Active fault"), Report::tr("Parameters"), Report::tr("Test run"),
                 Report::tr("Result")},
                "th") +
            QStringLiteral("</thead>\n");
    for (int i = 0; i < in.drives.size(); ++i) {
        const DriveVerdict& v = verdicts[i];
        const QString result = v.reason.isEmpty()
                                   ? resultWord(v.result)
                                   : Report::tr("%1: %2").arg(resultWord(v.result), v.reason);
        html +=
            QStringLiteral("<tr>") + cell(driveLabel(in, in.drives[i].address)) + cell(v.edition) +
            cell(v.readiness) + cell(v.fault) + cell(v.parameters) + cell(v.testRun) +
            QStringLiteral("<td bgcolor=\"%1\">%2</td></tr>\n").arg(colour(v.result), esc(result));
    }
    html += QStringLiteral("</table>\n");
    html +=
        QStringLiteral(
            "<p></p><table class=\"box\" width=\"100%\" cellspacing=\"0\" cellpadding=\"6\" "
            "border=\"1\">\n<tr><td colspan=\"2\">%1</td></tr>\n"
            "<tr><td width=\"50%\">%2</td><td>%3</td></tr>\n"
            "</table>\n")
            .arg(Report::tr("<b>Acceptance</b>: the drives above were commissioned as this report "
                            "shows."),
                 Report::tr("Technician: %1<br>Date:<br>Signature of the technician:<br><br>")
                     .arg(esc(in.technician)),
                 Report::tr("Customer: %1<br>Date:<br>Signature of the customer:<br><br>")
                     .arg(esc(in.customer)));
    return html;
}

} // namespace CommissionReport
