// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveSurvey.h"
#include "TestRunResult.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPageSize>
#include <QString>

// Everything a commissioning report shows: the drives as read, the test runs
// of them, and who made it where.
struct ReportInput
{
    QString site;
    QString technician;
    QString portName;
    QString lineSettings; // "9600,E,8,1"
    QDateTime made;
    QList<DriveRecord> drives;
    QList<TestRunResult> runs;
};

namespace CommissionReport {

// The report as HTML. Charts are named chart-N.png (N: the run's place in
// input.runs) unless embedded, which puts them into the page as data: a file
// that travels alone.
QString Html(const ReportInput& input, bool embedCharts);
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
