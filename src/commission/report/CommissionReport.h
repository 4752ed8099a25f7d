// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveSurvey.h"
#include "TestRunResult.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPageSize>
#include <QString>

// A write made to a drive while it was commissioned, as the site's journal
// keeps it, in words.
struct ReportWrite
{
    quint8 drive = 0;
    QDateTime time;
    QString tool;      // "parameters", "vfdctl set", ...
    QString parameter; // "P0.03"
    QString before;    // empty: not read before
    QString asked;
    QString outcome; // "verified", "refused", "reads back 12.5", ...
};

// Everything a commissioning report shows: the drives as read, the test runs
// of them, and who made it where.
struct ReportInput
{
    QString site;
    QString customer;
    QString technician;
    QString portName;
    QString lineSettings; // "9600,E,8,1"
    QDateTime made;
    QList<DriveRecord> drives;
    QList<TestRunResult> runs;
    // From a site: the drives' names, their reference sets (what they were
    // commissioned to), and the writes its journal holds.
    QMap<quint8, QString> names;
    QMap<quint8, ParamSet> references;
    QList<ReportWrite> writes;
    // Whole parameter sets at the end; nullopt: for up to 4 drives.
    std::optional<bool> appendix;
    bool withAppendix() const { return appendix.value_or(drives.size() <= 4); }
};

// Page 1's line for one drive: the facts and the result they make.
struct DriveVerdict
{
    enum class Result
    {
        Passed,
        Attention,
        Failed
    };
    Result result = Result::Passed;
    QString edition, readiness, fault, parameters, testRun;
    QString reason; // why not passed, in a few words
};

namespace CommissionReport {

// The report as HTML. Charts are named chart-N.png (N: the run's place in
// input.runs) unless embedded, which puts them into the page as data: a file
// that travels alone.
QString Html(const ReportInput& input, bool embedCharts);
// The drive's line on page 1.
DriveVerdict VerdictOf(const ReportInput& input, const DriveRecord& drive);
// Parameters that differ from a reference set (left: the drive, right: the
// reference), of those the drive answered.
QList<ParamDifference> ReferenceDifferences(const DriveRecord& drive, const ParamSet& reference);
// Page 1: the result, who and where, a line a drive and the acceptance box.
QString VerdictHtml(const ReportInput& input);
// A test run's chart: output and set frequency and current over time.
QImage Chart(const TestRunResult& run, QSize size);
// The line on every page: program version, time made, "page N of M".
QString PageLine(const ReportInput& input, int page, int pages);

// Writes the PDF at pdfPath and the same report as HTML beside it (same name,
// .html). Returns the error, empty when both were written. Needs a
// QGuiApplication (the offscreen platform does) for fonts.
QString Write(const ReportInput& input, const QString& pdfPath,
              QPageSize::PageSizeId paper = QPageSize::A4);
// The HTML file written beside a PDF.
QString HtmlPathFor(const QString& pdfPath);

} // namespace CommissionReport
