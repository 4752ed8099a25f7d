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
        return QStringLiteral("passed");
    case DriveVerdict::Result::Attention:
        return QStringLiteral("attention");
    case DriveVerdict::Result::Failed:
        return QStringLiteral("failed");
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
        return QStringLiteral("passed");
    if (run.cancelled || !run.sentAnything)
        return QStringLiteral("not completed");
    return QStringLiteral("failed: ") + failureOf(run);
}

QString given(const QString& text, const char* missing)
{
    return text.isEmpty() ? QStringLiteral("<b>%1</b>").arg(QLatin1String(missing)) : esc(text);
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
    v.testRun = run ? runText(*run) : QStringLiteral("none");
    if (!d.answered) {
        v.edition = v.readiness = v.fault = v.parameters = QStringLiteral("—");
        v.result = R::Failed;
        v.reason = QStringLiteral("did not answer");
        return v;
    }
    v.edition = d.edition ? NumberText::Plain(float(*d.edition)) : QStringLiteral("not read");
    const Readiness& r = d.readiness;
    v.readiness = !r.known()  ? QStringLiteral("not read")
                  : r.ready() ? QStringLiteral("ready")
                              : QStringLiteral("will ignore the line: ") + r.note();
    v.fault = d.fault ? faultText(d.faultNumber) : QStringLiteral("none");

    QStringList reasons;
    if (d.fault) {
        worse(R::Failed);
        reasons << QStringLiteral("tripped");
    }
    if (run && !run->passed() && !run->cancelled && run->sentAnything) {
        worse(R::Failed);
        reasons << QStringLiteral("test run failed");
    }
    if (r.known() && !r.ready()) {
        worse(R::Attention);
        reasons << QStringLiteral("will ignore the line");
    } else if (!r.known()) {
        worse(R::Attention);
        reasons << QStringLiteral("readiness not read");
    }
    const auto ref = in.references.constFind(d.address);
    if (d.parameters.values.isEmpty()) {
        v.parameters = QStringLiteral("not read");
        worse(R::Attention);
        reasons << QStringLiteral("parameters not read");
    } else {
        const int n = ref != in.references.cend() ? int(ReferenceDifferences(d, *ref).size())
                                                  : int(d.differences().size());
        const QString against =
            ref != in.references.cend() ? QStringLiteral("reference") : QStringLiteral("defaults");
        v.parameters = n == 0   ? QStringLiteral("match %1").arg(against)
                       : n == 1 ? QStringLiteral("1 differs from %1").arg(against)
                                : QStringLiteral("%1 differ from %2").arg(n).arg(against);
        if (!d.setComplete)
            v.parameters += QStringLiteral("; %1 not read").arg(d.unanswered);
        if (ref != in.references.cend() && n > 0) {
            worse(R::Attention);
            reasons << QStringLiteral("differs from its reference");
        }
        if (!d.setComplete) {
            worse(R::Attention);
            reasons << QStringLiteral("parameters not all read");
        }
    }
    if (!run) {
        worse(R::Attention);
        reasons << QStringLiteral("no test run");
    } else if (run->cancelled || !run->sentAnything) {
        worse(R::Attention);
        reasons << QStringLiteral("test run not completed");
    }
    v.reason = reasons.join(QStringLiteral(", "));
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
    const QString overallText = overall == DriveVerdict::Result::Passed ? QStringLiteral("PASSED")
                                : overall == DriveVerdict::Result::Failed
                                    ? QStringLiteral("FAILED")
                                    : QStringLiteral("NEEDS ATTENTION");
    const QLocale locale;
    QString html = QStringLiteral("<h1>Commissioning report</h1>\n");
    const QString line =
        in.portName.isEmpty()
            ? QString()
            : QStringLiteral("<br>Line: %1 at %2").arg(esc(in.portName), esc(in.lineSettings));
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">"
                           "<tr><td>Site: %1<br>Customer: %2<br>Technician: %3</td>"
                           "<td>Made: %4<br>Program: vfdtool %5%6</td></tr></table>\n")
                .arg(given(in.site, "not named"), given(in.customer, "not named"),
                     given(in.technician, "not named"),
                     esc(locale.toString(in.made, QLocale::LongFormat)),
                     QStringLiteral(VFD_VERSION), line);
    html +=
        QStringLiteral(
            "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"6\" "
            "border=\"1\" style=\"border-collapse: collapse\"><tr><td bgcolor=\"%1\"><b>Result: "
            "%2</b> — %3 ready, %4 need attention, %5 failed (of %6)</td></tr>"
            "</table>\n")
            .arg(colour(overall), overallText)
            .arg(counts[0])
            .arg(counts[1])
            .arg(counts[2])
            .arg(NumberText::Counted(int(in.drives.size()), "drive", "drives"));
    // Small type: a full line of 31 drives fits on page 1.
    html += QStringLiteral("<p></p><table class=\"grid verdict\" style=\"font-size: 7.5pt\" "
                           "width=\"100%\" cellspacing=\"0\" cellpadding=\"1\" border=\"1\">\n"
                           "<thead>") +
            row({QStringLiteral("Drive"), QStringLiteral("Edition"), QStringLiteral("Readiness"),
                 QStringLiteral("Active fault"), QStringLiteral("Parameters"),
                 QStringLiteral("Test run"), QStringLiteral("Result")},
                "th") +
            QStringLiteral("</thead>\n");
    for (int i = 0; i < in.drives.size(); ++i) {
        const DriveVerdict& v = verdicts[i];
        const QString result = v.reason.isEmpty()
                                   ? resultWord(v.result)
                                   : QStringLiteral("%1: %2").arg(resultWord(v.result), v.reason);
        html +=
            QStringLiteral("<tr>") + cell(driveLabel(in, in.drives[i].address)) + cell(v.edition) +
            cell(v.readiness) + cell(v.fault) + cell(v.parameters) + cell(v.testRun) +
            QStringLiteral("<td bgcolor=\"%1\">%2</td></tr>\n").arg(colour(v.result), esc(result));
    }
    html += QStringLiteral("</table>\n");
    html +=
        QStringLiteral(
            "<p></p><table class=\"box\" width=\"100%\" cellspacing=\"0\" cellpadding=\"6\" "
            "border=\"1\">\n<tr><td colspan=\"2\"><b>Acceptance</b>: the drives above were "
            "commissioned as this report shows.</td></tr>\n"
            "<tr><td width=\"50%\">Technician: %1<br>Date:<br>Signature of the technician:<br><br>"
            "</td><td>Customer: %2<br>Date:<br>Signature of the customer:<br><br></td></tr>\n"
            "</table>\n")
            .arg(esc(in.technician), esc(in.customer));
    return html;
}

} // namespace CommissionReport
