// SPDX-License-Identifier: GPL-3.0-or-later
// The commissioning report of a full line: 31 drives read over an in-memory
// line of simulated drives (so the parameters are what vfdsim's drives hold),
// one real test run of drive 3 (5 Hz held 1 s, a current limit) given to
// every drive from 3 on as its run, so each drive's page carries a chart and
// its checks; then the report written without its appendix (and, asked, with
// it). Prints the time each takes and the pages it makes; never asserted.
// Measured on 2026-12-10 (ASan build, load average near 8 from other
// builds): 31 drives without appendix 32 pages (page 1 and a page a drive, 29
// of them with a test run) in 7.5 s; with it 156 pages in 42 s.
//
// Usage: bench_report [--drives 31] [--appendix]
#include "BusLine.h"
#include "CommissionReport.h"
#include "DriveSurvey.h"
#include "Figures.h"
#include "TestRun.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
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
    // The drives' time is the bench's: the run ramps and holds as a drive does.
    QElapsedTimer wall;
    wall.start();
    TestRunPlan plan;
    plan.address = quint8(std::min(3, int(drives.size())));
    plan.hz = 5;
    plan.holdMs = 1000;
    QString problem;
    plan.limits << *ExpectLimit::parse(QStringLiteral("current<4.5"), &problem);
    TestRun run(line.client, plan);
    bool ran = false;
    QObject::connect(&run, &TestRun::finished, [&] { ran = true; });
    run.start();
    while (!ran && wall.elapsed() < 60000) {
        line.bus.advanceTo(wall.nsecsElapsed() / 1000);
        line.runUntil([&] { return ran; }, 50);
        QThread::msleep(2);
    }
    if (!ran) {
        std::fprintf(stderr, "the test run did not end\n");
        return 1;
    }
    ReportInput in;
    in.site = QStringLiteral("Bench");
    in.technician = QStringLiteral("Bench");
    in.made = QDateTime::currentDateTime();
    in.drives = survey.records();
    for (quint8 a : drives)
        if (a >= plan.address) {
            in.runs << run.result();
            in.runs.last().plan.address = a;
        }
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
