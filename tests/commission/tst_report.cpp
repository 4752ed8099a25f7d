// SPDX-License-Identifier: GPL-3.0-or-later
// The commissioning report as a reader gets it: the PDF's text read back with
// pdftotext, page by page, and the HTML beside it.
#include "ChartAxes.h"
#include "CommissionReport.h"

#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

// The PDF's text, one string a page; empty (and why) without pdftotext.
QStringList pdfPages(const QString& path, QString* problem)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        *problem = QStringLiteral("pdftotext (poppler-utils) is not installed");
        return {};
    }
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString pageSize(const QString& path)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {path});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QStringLiteral("Page size:")))
            return line;
    return {};
}

// A drive at its factory settings: the defaults as a drive holds them (a few
// of the catalogue's lie outside their limits; the drive holds the limit).
ParamSet atDefaults(quint8 address)
{
    ParamSet set;
    for (quint16 reg : ParamCatalogue::offeredRegisters())
        if (const std::optional<quint16> raw = DefaultAsHeld(reg))
            set.values.insert(reg, {ParamValue::State::Value, *raw});
    set.address = address;
    set.readAt = QDateTime::currentDateTime();
    set.values[0x0800].raw = address; // its own address, as a drive holds it
    return set;
}

DriveRecord drive(quint8 address)
{
    DriveRecord d;
    d.address = address;
    d.answered = true;
    d.edition = 2.1;
    d.parameters = atDefaults(address);
    d.setComplete = true;
    d.readiness.address = address;
    d.readiness.runSource = 0;
    d.readiness.frequencySource = 1;
    d.faultRecords = {3, 20, 20};
    d.atLastFault = {42.5, 50.0, 7.3, 361.0, 540.0, 48.0};
    return d;
}

TestRunResult run(quint8 address)
{
    TestRunResult r;
    r.plan.address = address;
    r.plan.hz = 30;
    r.plan.holdMs = 5000;
    r.started = QDateTime::currentDateTime();
    r.ended = r.started.addSecs(12);
    r.sentAnything = true;
    r.stopAnswered = true;
    r.endReason = QStringLiteral("the drive tripped: fault E.OC1");
    r.keys = TestRunKeys();
    for (int i = 0; i < 40; ++i)
        r.samples << TestRunSample{
            i * 0.25, true, true, false, false, {std::min(i * 1.5, 30.0), 30.0, 3.2, 220.0, 540.0}};
    r.samples[20].values[0] = std::nan(""); // a lost answer stays a gap
    r.checks << TestRunCheck{QStringLiteral("Frequency reached (forward)"),
                             QStringLiteral("30.00 Hz"), QStringLiteral("29.98 Hz after 5.0 s"),
                             true}
             << TestRunCheck{QStringLiteral("No trip"), QStringLiteral("no fault during the run"),
                             QStringLiteral("fault E.OC1 at 9.8 s"), false};
    return r;
}

} // namespace

class tst_report : public QObject
{
    Q_OBJECT
private slots:
    void everySectionReadsBack_data();
    void everySectionReadsBack();
    void aTestRunFileReadsBack();
    void aRunCutShortIsNeverPassed();
    void hugeNumbersInARunStillMakeAChart_data();
    void hugeNumbersInARunStillMakeAChart();
    void pageOneHoldsEveryDrivesVerdict();
    void continuationPagesNameTheDrive();
};

void tst_report::everySectionReadsBack_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("size");
    QTest::newRow("A4") << int(QPageSize::A4) << QStringLiteral("(A4)");
    QTest::newRow("Letter") << int(QPageSize::Letter) << QStringLiteral("(letter)");
}

void tst_report::everySectionReadsBack()
{
    QFETCH(int, paper);
    QFETCH(QString, size);
    QTemporaryDir dir;
    ReportInput in;
    in.site = QStringLiteral("Pump station Nord");
    in.technician = QStringLiteral("A. Field");
    in.portName = QStringLiteral("/dev/ttyUSB0");
    in.lineSettings = QStringLiteral("9600,E,8,1");
    in.made = QDateTime::currentDateTime();
    DriveRecord one = drive(1); // at the catalogue's defaults
    DriveRecord two = drive(2);
    two.parameters.values[0x0003].raw = 3550; // P0.03 35.50 Hz
    two.parameters.values[0x0004].raw = 2;    // P0.04 serial line
    two.readiness.runSource = 2;
    two.readiness.frequencySource = 3;
    DriveRecord absent;
    absent.address = 9;
    in.drives = {one, two, absent};
    in.runs = {run(2)};

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const QString error = CommissionReport::Write(in, pdf, QPageSize::PageSizeId(paper));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QString problem;
    const QStringList pages = pdfPages(pdf, &problem);
    if (!problem.isEmpty())
        QSKIP(qPrintable(problem));
    QVERIFY(pages.size() >= 5);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QVERIFY2(pageSize(pdf).contains(size), qPrintable(pageSize(pdf)));
    // Every page names the program's version, the time and its number.
    for (int i = 0; i < pages.size(); ++i)
        QVERIFY2(
            pages[i].contains(QStringLiteral("vfdtool ")) &&
                pages[i].contains(in.made.toString(QStringLiteral("yyyy-MM-dd HH:mm"))) &&
                pages[i].contains(QStringLiteral("page %1 of %2").arg(i + 1).arg(pages.size())),
            qPrintable(pages[i]));

    const QString text = pages.join(u'\n').simplified();
    auto has = [&](const QString& s) {
        if (!text.contains(s))
            qWarning().noquote() << "missing:" << s;
        return text.contains(s);
    };
    // Drive 1: at defaults, said as such; drive 2's differences with unit and default.
    QVERIFY(has(QStringLiteral("No differences")));
    QVERIFY(has(QStringLiteral("P0.03")));
    QVERIFY(has(QStringLiteral("35.5 Hz")));
    QVERIFY(has(QStringLiteral("P8.00 local address 2 1")));
    QCOMPARE(text.count(QStringLiteral("No differences")), 1);
    // The drive that did not answer is named, not left out.
    QVERIFY(has(QStringLiteral("Drive 9 did not answer")));
    for (const QString& s : {QStringLiteral("Commissioning report"),
                             QStringLiteral("Pump station Nord"),
                             QStringLiteral("A. Field"),
                             QStringLiteral("software edition 2.1"),
                             QStringLiteral("Line settings"),
                             QStringLiteral("/dev/ttyUSB0 at 9600,E,8,1"),
                             QStringLiteral("Readiness"),
                             QStringLiteral("P0.04 = 0"),
                             QStringLiteral("drive 1 will ignore run commands"),
                             QStringLiteral("the drive obeys"),
                             QStringLiteral("Test run"),
                             QStringLiteral("Result: FAIL"),
                             QStringLiteral("Frequency reached (forward)"),
                             QStringLiteral("29.98 Hz after 5.0 s"),
                             QStringLiteral("fault E.OC1 at 9.8 s"),
                             QStringLiteral("No test run of this drive"),
                             QStringLiteral("Fault records"),
                             QStringLiteral("Values at the last fault"),
                             QStringLiteral("42.5 Hz"),
                             QStringLiteral("Acceptance"),
                             QStringLiteral("Signature of the customer"),
                             QStringLiteral("Appendix: parameter set of drive 1"),
                             QStringLiteral("Appendix: parameter set of drive 2")})
        QVERIFY(has(s));
    QVERIFY2(!text.contains(QStringLiteral("Appendix: parameter set of drive 9")),
             "no set, no appendix");

    // The same beside it as HTML, travelling alone (the chart inside).
    QFile html(CommissionReport::HtmlPathFor(pdf));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    QVERIFY(page.contains(QStringLiteral("Drive 9 did not answer")));
    QVERIFY(page.contains(QStringLiteral("No differences")));
    QVERIFY(page.contains(QStringLiteral("src=\"data:image/png;base64,")));

    // Nowhere to write: said, and nothing claimed.
    QVERIFY(
        !CommissionReport::Write(in, dir.filePath(QStringLiteral("no/such/report.pdf"))).isEmpty());
}

void tst_report::aTestRunFileReadsBack()
{
    // What testrun -o writes is what report --test-run reads: a lost value
    // stays lost (not 0) and the limits keep their comparison.
    TestRunResult r = run(2);
    QString problem;
    for (const QString& text : {QStringLiteral("current<4.5"), QStringLiteral("dc-bus >= 500"),
                                QStringLiteral("radiator-temp<=60")}) {
        const auto limit = ExpectLimit::parse(text, &problem);
        QVERIFY2(limit, qPrintable(text + u' ' + problem));
        r.plan.limits << *limit;
    }
    QVERIFY(r.plan.limits[0].holds(4.4) && !r.plan.limits[0].holds(4.5));
    QVERIFY(r.plan.limits[1].holds(500) && !r.plan.limits[1].holds(499.9));
    for (const QString& bad : {QStringLiteral("current"), QStringLiteral("amps<4"),
                               QStringLiteral("current<4.5A"), QStringLiteral("current=4")}) {
        problem.clear();
        QVERIFY2(!ExpectLimit::parse(bad, &problem), qPrintable(bad));
        QVERIFY(!problem.isEmpty());
    }
    r.readiness.runSource = 2;
    r.readiness.frequencySource = 3;
    r.accelerationS = 10;

    const std::optional<TestRunResult> back = TestRunResult::fromJson(r.json(), &problem);
    QVERIFY2(back, qPrintable(problem));
    QCOMPARE(back->plan.limits.size(), 3);
    QCOMPARE(back->plan.limits[1].text(), QStringLiteral("dc-bus >= 500"));
    QCOMPARE(back->samples.size(), r.samples.size());
    QVERIFY(std::isnan(back->samples[20].values[0]));
    QCOMPARE(back->samples[21].values[0], 30.0);
    QCOMPARE(back->checks.size(), 2);
    QCOMPARE(back->passed(), false);
    QCOMPARE(back->readiness.ready(), true);
    QCOMPARE(back->accelerationS, std::optional<double>(10));
    QCOMPARE(back->endReason, r.endReason);

    // The chart draws the current's limit; the others are named beside it.
    ReportInput in;
    in.made = QDateTime::currentDateTime();
    in.drives = {drive(2)};
    in.runs = {*back};
    QVERIFY(CommissionReport::Html(in, false).contains(
        QStringLiteral("Limits the chart does not draw, checked in the "
                       "table: dc-bus &gt;= 500, radiator-temp &lt;= 60.")));

    QJsonObject broken = r.json();
    broken.insert(QStringLiteral("keys"), QJsonArray{QStringLiteral("freq-out")});
    QVERIFY(!TestRunResult::fromJson(broken, &problem));
    QVERIFY(!TestRunResult::fromJson(QJsonObject{}, &problem));
}

void tst_report::aRunCutShortIsNeverPassed()
{
    // Every check so far passed, but the user stopped the run during its
    // hold: the result is "not completed", in the file and in the report.
    TestRunResult r = run(2);
    r.checks.removeLast();
    r.endReason = QStringLiteral("cancelled by the user");
    r.cancelled = true;
    r.checks << TestRunCheck{
        QStringLiteral("Held (forward)"), QStringLiteral("30.00 Hz held for 5.0 s"),
        QStringLiteral("held 1.2 s of 5.0 s: the run ended first"), false, false};
    QVERIFY(!r.passed());
    QCOMPARE(r.verdict(), QStringLiteral("not completed"));
    QCOMPARE(r.notReached(), QStringList{QStringLiteral("Held (forward)")});
    QString problem;
    const auto back = TestRunResult::fromJson(r.json(), &problem);
    QVERIFY2(back, qPrintable(problem));
    QVERIFY(!back->passed() && back->cancelled && !back->completed);
    QCOMPARE(back->checks.last().resultWord(), QStringLiteral("NOT REACHED"));

    // A file written before runs knew whether they completed, claiming a
    // pass for a cancelled run, is not believed.
    QJsonObject old = r.json();
    old.remove(QStringLiteral("completed"));
    old.remove(QStringLiteral("cancelled"));
    old.insert(QStringLiteral("passed"), true);
    QJsonArray checks;
    for (const QJsonValue& v : old.value(QStringLiteral("checks")).toArray()) {
        QJsonObject c = v.toObject();
        c.remove(QStringLiteral("reached"));
        c.insert(QStringLiteral("passed"), true);
        checks << c;
    }
    old.insert(QStringLiteral("checks"), checks);
    const auto legacy = TestRunResult::fromJson(old, &problem);
    QVERIFY(legacy && !legacy->passed() && legacy->cancelled);

    ReportInput in;
    in.made = QDateTime::currentDateTime();
    in.drives = {drive(2)};
    in.runs = {*legacy};
    const QString html = CommissionReport::Html(in, false);
    QVERIFY(html.contains(QStringLiteral("Result: NOT COMPLETED")));
    QVERIFY(html.contains(QStringLiteral("<td>not completed</td>")));
    QVERIFY(!html.contains(QStringLiteral("Result: PASS")));
    // A run that completed its plan and whose checks held passes as before.
    TestRunResult done = run(2);
    done.checks.removeLast();
    done.endReason = QStringLiteral("completed");
    done.completed = true;
    QVERIFY(done.passed());
}

void tst_report::hugeNumbersInARunStillMakeAChart_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("seconds");
    QTest::newRow("1.6e308 Hz") << 1.6e308 << 1.0;
    QTest::newRow("-1.6e308 Hz") << -1.6e308 << 1.0;
    QTest::newRow("1e300 Hz") << 1e300 << 1.0;
    QTest::newRow("1.6e308 s") << 30.0 << 1.6e308;
    QTest::newRow("1e-300 s") << 30.0 << 1e-300;
}

void tst_report::hugeNumbersInARunStillMakeAChart()
{
    // Valid JSON may hold any of these; each once made an axis whose tick
    // loop never ended.
    QFETCH(double, value);
    QFETCH(double, seconds);
    TestRunResult r = run(2);
    r.samples.last().values = {value, value, value, 220.0, 540.0};
    r.samples.last().seconds = seconds;
    QString problem;
    const auto back = TestRunResult::fromJson(r.json(), &problem);
    QVERIFY2(back, qPrintable(problem));
    const QImage chart = CommissionReport::Chart(*back, QSize(640, 280));
    QCOMPARE(chart.size(), QSize(640, 280));
    ReportInput in;
    in.made = QDateTime::currentDateTime();
    in.drives = {drive(2)};
    in.runs = {*back};
    QVERIFY(CommissionReport::Html(in, true).contains(QStringLiteral("data:image/png")));

    // The recorder's axes take the same numbers and stay finite and few.
    for (double top : {value, seconds, qInf(), -qInf(), qQNaN()}) {
        const auto [lo, hi] = ChartAxes::padded(-top, top);
        QVERIFY(std::isfinite(lo) && std::isfinite(hi) && lo < hi);
        const QList<double> ticks = ChartAxes::ticks(lo, hi, 5);
        QVERIFY(!ticks.isEmpty() && ticks.size() <= 12);
    }
    QCOMPARE(ChartAxes::ticks(0, 50, 5), (QList<double>{0, 10, 20, 30, 40, 50}));
}

namespace {

// A drive set up for the line, with a test run that did what it was asked.
DriveRecord readyDrive(quint8 address)
{
    DriveRecord d = drive(address);
    d.parameters.values[0x0004].raw = 2;
    d.parameters.values[0x0001].raw = 3;
    d.readiness.runSource = 2;
    d.readiness.frequencySource = 3;
    d.faultRecords = {20, 20, 20};
    return d;
}

TestRunResult passedRun(quint8 address)
{
    TestRunResult r = run(address);
    r.checks.removeLast();
    r.completed = true;
    r.endReason = QStringLiteral("completed");
    return r;
}

QString rawText(const QString& pdf, int page)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-raw"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

void tst_report::pageOneHoldsEveryDrivesVerdict()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ReportInput in;
    in.site = QStringLiteral("Pump station Nord");
    in.customer = QStringLiteral("Example Works");
    in.technician = QStringLiteral("A. Field");
    in.made = QDateTime::currentDateTime();
    DriveRecord tripped = readyDrive(4);
    tripped.fault = true;
    tripped.faultNumber = 3;
    tripped.faultRecords = {3, 20, 20};
    tripped.parameters.values[0x0801].raw = 16; // no baud rate has the digit 6
    DriveRecord ignoring = readyDrive(5);
    ignoring.readiness.runSource = 0;
    ignoring.readiness.frequencySource = 1;
    DriveRecord absent;
    absent.address = 9;
    in.drives = {readyDrive(1), tripped,       ignoring, readyDrive(6),
                 readyDrive(7), readyDrive(8), absent};
    in.names.insert(4, QStringLiteral("Conveyor 4"));
    ParamSet reference = readyDrive(6).parameters;
    reference.values[0x0003].raw = 4000; // commissioned to 40 Hz, the drive holds 50 Hz
    reference.origin = QStringLiteral("parameter-sets/pump.csv");
    in.references.insert(6, reference);
    in.references.insert(1, readyDrive(1).parameters);
    TestRunResult failed = passedRun(7);
    failed.completed = true;
    failed.checks << TestRunCheck{QStringLiteral("Limit current < 4.5"),
                                  QStringLiteral("every sample of the run"),
                                  QStringLiteral("highest 5.1 A"), false};
    TestRunResult cancelled = passedRun(8);
    cancelled.completed = false;
    cancelled.cancelled = true;
    in.runs = {passedRun(1), failed, cancelled};

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QCOMPARE(CommissionReport::Write(in, pdf), QString());
    const QString first = rawText(pdf, 1);
    auto has = [&](const QString& s) {
        if (!first.contains(s))
            qWarning().noquote() << "missing on page 1:" << s << "\n" << first;
        return first.contains(s);
    };
    QVERIFY(has(QStringLiteral("Result: FAILED")));
    QVERIFY(has(QStringLiteral("1 ready, 3 need attention, 3 failed")));
    for (const QString& s :
         {QStringLiteral("Example Works"), QStringLiteral("A. Field"),
          QStringLiteral("4 (Conveyor 4)"), QStringLiteral("OC-3"), QStringLiteral("tripped"),
          QStringLiteral("will ignore the line"), QStringLiteral("1 differs from reference"),
          QStringLiteral("match reference"), QStringLiteral("Limit current < 4.5"),
          QStringLiteral("highest 5.1 A"), QStringLiteral("not completed"),
          QStringLiteral("did not answer"), QStringLiteral("Signature of the customer")})
        QVERIFY(has(s));
    // The drive's own page: the reference's differences before the defaults',
    // the failing check named in the run's headline.
    const QString html = CommissionReport::Html(in, false);
    const qsizetype six = html.indexOf(QStringLiteral("<h2>Drive 6"));
    QVERIFY(html.indexOf(QStringLiteral("Differences from the reference set"), six) <
            html.indexOf(QStringLiteral("Differences from the catalogue's defaults"), six));
    QVERIFY(html.contains(QStringLiteral("<td>50 Hz</td><td>40 Hz</td>")));
    QVERIFY(html.contains(QStringLiteral("Result: FAILED: Limit current &lt; 4.5: highest 5.1 A")));
    QVERIFY(html.contains(QStringLiteral("no fault recorded.")));
    QVERIFY(!html.contains(QStringLiteral("each way"))); // every run here is forward only
    // An option is named by its text, not by its number alone; one set digit
    // by digit by each digit's option, in the catalogue's words.
    QVERIFY2(html.contains(QStringLiteral("<td>2 (")), "P0.04 = 2 with its option's text");
    QVERIFY(html.contains(QStringLiteral(
        "P8.01 communication setting = 13 (Baud Rate Selection: 9600BPS; Data Format: Odd; "
        "Action Selection after communication failure: stop)")));
    // A digit the catalogue does not list: the number alone.
    QVERIFY(html.contains(QStringLiteral("P8.01 communication setting = 16;")));
    // Seven drives: no appendix unless asked for.
    QVERIFY(!html.contains(QStringLiteral("Appendix")));
    in.appendix = true;
    QVERIFY(CommissionReport::Html(in, false).contains(QStringLiteral("Appendix")));

    // A row whose technician was never named says so instead of a dash.
    in.technician.clear();
    QVERIFY(
        CommissionReport::VerdictHtml(in).contains(QStringLiteral("Technician: <b>not named</b>")));
}

void tst_report::continuationPagesNameTheDrive()
{
    // Every parameter of two drives, changed, runs the tables over several
    // pages: each page they run onto starts with the table's header and
    // names the drive it carries on.
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ReportInput in;
    in.made = QDateTime::currentDateTime();
    in.technician = QStringLiteral("A. Field");
    for (quint8 a : {1, 2}) {
        DriveRecord d = readyDrive(a);
        for (auto it = d.parameters.values.begin(); it != d.parameters.values.end(); ++it)
            if (ParamCatalogue::withinLimits(it.key(), quint16(it->raw + 1)))
                it->raw += 1;
        in.drives << d;
        in.names.insert(a, QStringLiteral("Fan %1").arg(a));
    }
    // Writes whose outcomes take one to ten lines: rows of several lines
    // end pages.
    for (int i = 0; i < 150; ++i)
        in.writes << ReportWrite{1,
                                 in.made,
                                 QStringLiteral("parameters"),
                                 QStringLiteral("P0.03"),
                                 QStringLiteral("50"),
                                 QString::number(i),
                                 QStringLiteral("reads back %1, written again by the technician "
                                                "after the drive refused it. ")
                                     .arg(i + 1)
                                     .repeated(i % 5 + 1)};
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    // On A5 the narrow columns wrap many rows, and some reach a page's end.
    QCOMPARE(CommissionReport::Write(in, pdf, QPageSize::A5), QString());
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                       "yMax=\"([\\d.]+)\">([^<]*)"));
    // In points: the text starts at the top margin (15 mm), the first
    // column within 30 points of the left one.
    const double top = 15 / 25.4 * 72;
    const double firstColumn = 15 / 25.4 * 72 + 30;
    const QStringList pages = xml.split(QStringLiteral("<page "));
    QVERIFY(pages.size() > 6);
    int continuationHeaders = 0;
    for (int i = 1; i < pages.size(); ++i) {
        bool headerSeen = false;
        double headerBottom = 0;
        struct Word
        {
            double x0, y0;
            QString text;
        };
        QList<Word> words;
        for (auto it = word.globalMatch(pages[i]); it.hasNext();) {
            const auto m = it.next();
            const double x0 = m.captured(1).toDouble();
            const double y0 = m.captured(2).toDouble();
            // A table's header first on the page: the table carries on.
            if (y0 < top + 10 && x0 < firstColumn &&
                (m.captured(4) == u"Parameter" || m.captured(4) == u"When")) {
                headerSeen = true;
                headerBottom = m.captured(3).toDouble();
            }
            words << Word{x0, y0, m.captured(4)};
        }
        continuationHeaders += headerSeen;
        // No row split over the page's end: the first line below the
        // repeated header opens a row of its own, with words in its first
        // column; a row's second half would have words in later ones only.
        if (headerSeen) {
            double firstLine = qInf();
            for (const Word& w : words)
                if (w.y0 > headerBottom - 1)
                    firstLine = std::min(firstLine, w.y0);
            QVERIFY2(std::any_of(words.cbegin(), words.cend(),
                                 [&](const Word& w) {
                                     return std::abs(w.y0 - firstLine) < 2 && w.x0 < firstColumn;
                                 }),
                     qPrintable(
                         QStringLiteral("page %1: a row carried on from the page before").arg(i)));
        }
        // A page that carries on a drive's tables names the drive.
        if (headerSeen)
            QVERIFY2(pages[i].contains(QStringLiteral(">(Fan<")) &&
                         pages[i].contains(QStringLiteral(">continued<")),
                     qPrintable(QString::number(i)));
    }
    QVERIFY(continuationHeaders >= 2);
}

QTEST_MAIN(tst_report)
#include "tst_report.moc"
