// SPDX-License-Identifier: GPL-3.0-or-later
// The commissioning report of a full line: 31 drives read over an in-memory
// line of simulated drives (so the parameters are what vfdsim's drives hold),
// then the report written without its appendix (and, asked, with it).
// Prints the time each takes and the pages it makes; never asserted.
// Measured on 2026-12-10 (ASan build, a loaded machine): 31 drives without
// appendix 32 pages (the verdict and a page a drive, no test runs) in 5.2 s;
// with it 188 pages in 58 s.
//
// Usage: bench_report [--drives 31] [--appendix]
#include "BusLine.h"
#include "CommissionReport.h"
#include "DriveSurvey.h"
#include "Figures.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>

namespace {

int pagesOf(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--drives"));
    const int count = at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : 31;
    BusLine line;
    QList<quint8> drives;
    for (int a = 1; a <= std::clamp(count, 1, 31); ++a)
        drives << quint8(a);
    line.bus = SimulatedBus(drives);
    line.bus.drive(1)->trip(3);
    line.bus.drive(std::min(2, int(drives.size())))->factorySources();
    DriveSurvey survey(line.client, drives);
    QSignalSpy finished(&survey, &DriveSurvey::finished);
    survey.start();
    if (!line.runUntil([&] { return finished.size() == 1; })) {
        std::fprintf(stderr, "the survey did not end\n");
        return 1;
    }
    ReportInput in;
    in.site = QStringLiteral("Bench");
    in.technician = QStringLiteral("Bench");
    in.made = QDateTime::currentDateTime();
    in.drives = survey.records();
    QTemporaryDir dir;
    const QList<bool> kinds =
        args.contains(QStringLiteral("--appendix")) ? QList<bool>{false, true} : QList<bool>{false};
    for (bool appendix : kinds) {
        in.appendix = appendix;
        const QString pdf =
            dir.filePath(appendix ? QStringLiteral("with.pdf") : QStringLiteral("without.pdf"));
        QElapsedTimer clock;
        clock.start();
        const QString error = CommissionReport::Write(in, pdf);
        const qint64 ms = clock.elapsed();
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("%d drives, %s appendix: %d pages in %lld ms\n", int(drives.size()),
                    appendix ? "with" : "without", pagesOf(pdf), static_cast<long long>(ms));
        Figures::record("report",
                        std::to_string(drives.size()) + " drives' report, " +
                            (appendix ? "with" : "without") + " appendix (" +
                            std::to_string(pagesOf(pdf)) + " pages)",
                        double(ms), "ms",
                        "the survey read from simulated drives in memory, then the PDF laid out "
                        "and written; the time of writing only");
    }
    return 0;
}
