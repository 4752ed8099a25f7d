// SPDX-License-Identifier: GPL-3.0-or-later
// The commissioning report for a reader of Chinese: made by vfdctl from a
// simulated drive and read back with pdftotext, and made here in both
// languages one after the other.
#include "CommissionReport.h"
#include "CtlProcess.h"
#include "Language.h"
#include "SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

CtlRun vfdctl(const SimProcess& sim, const QStringList& arguments)
{
    return runVfdctl(QStringList{QStringLiteral("--lang"), QStringLiteral("zh_CN"),
                                 QStringLiteral("--port"), sim.device()} +
                         arguments,
                     90000);
}

QString pdfText(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), arguments);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The pages on which a row of a table was cut: a page whose first line under
// a repeated header ("参数", "Parameter" in Chinese) has no word in the
// table's first column carries the second half of a row from the page before.
QList<int> pagesWithACutRow(const QString& pdf, int* continued)
{
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                       "yMax=\"([\\d.]+)\">([^<]*)"));
    const double top = 15 / 25.4 * 72; // the top margin, in points
    const double firstColumn = 15 / 25.4 * 72 + 30;
    const QStringList pages = pdfText({QStringLiteral("-bbox"), pdf, QStringLiteral("-")})
                                  .split(QStringLiteral("<page "));
    QList<int> cut;
    for (int i = 1; i < pages.size(); ++i) {
        double headerBottom = -1;
        QList<QPair<double, double>> starts; // x0, y0 of each word
        for (auto it = word.globalMatch(pages[i]); it.hasNext();) {
            const auto m = it.next();
            const double x0 = m.captured(1).toDouble();
            const double y0 = m.captured(2).toDouble();
            if (y0 < top + 10 && x0 < firstColumn && m.captured(4) == u"参数")
                headerBottom = m.captured(3).toDouble();
            starts << qMakePair(x0, y0);
        }
        if (headerBottom < 0)
            continue;
        ++*continued;
        double firstLine = qInf();
        for (const auto& [x0, y0] : starts)
            if (y0 > headerBottom - 1)
                firstLine = std::min(firstLine, y0);
        const bool opensARow = std::any_of(starts.cbegin(), starts.cend(), [&](const auto& s) {
            return std::abs(s.second - firstLine) < 2 && s.first < firstColumn;
        });
        if (!opensARow)
            cut << i;
    }
    return cut;
}

} // namespace

class tst_reportzh : public QObject
{
    Q_OBJECT
private slots:
    void aDriveReportedInChinese();
    void theLanguageChangesOnlyTheWords();
};

void tst_reportzh::aDriveReportedInChinese()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1")}, false);
    QVERIFY(!sim.device().isEmpty());
    // Short ramps: a short run, and two parameters away from their defaults.
    const CtlRun set = vfdctl(sim, {QStringLiteral("set"), QStringLiteral("1"),
                                    QStringLiteral("P0.14=2"), QStringLiteral("P0.15=2")});
    QVERIFY2(set.code == 0, qPrintable(set.err));
    QTemporaryDir dir;
    const QString runFile = dir.filePath(QStringLiteral("run1.json"));
    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("1"),
                     QStringLiteral("--hz"), QStringLiteral("20"), QStringLiteral("--for"),
                     QStringLiteral("1s"), QStringLiteral("-o"), runFile});
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
    const QString pdf = dir.filePath(QStringLiteral("报告.pdf"));
    const CtlRun report =
        vfdctl(sim, {QStringLiteral("--retries"), QStringLiteral("4"), QStringLiteral("report"),
                     QStringLiteral("1"), QStringLiteral("-o"), pdf, QStringLiteral("--test-run"),
                     runFile, QStringLiteral("--site"), QStringLiteral("二号泵站"),
                     QStringLiteral("--technician"), QStringLiteral("王工")});
    QVERIFY2(report.code == 0, qPrintable(report.out + report.err));

    const QString text = pdfText({pdf, QStringLiteral("-")}).simplified();
    QFile htmlFile(CommissionReport::HtmlPathFor(pdf));
    QVERIFY(htmlFile.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(htmlFile.readAll());
    QVERIFY(html.contains(QStringLiteral("<html lang=\"zh-CN\">")));
    // The verdict, a column's title, the catalogue's name with the English
    // manual's beside it, a check of the run and its result, in both files.
    for (const QString& s :
         {QStringLiteral("二号泵站"), QStringLiteral("王工"), QStringLiteral("调试报告"),
          QStringLiteral("结论：合格"), QStringLiteral("就绪状态"), QStringLiteral("加速时间1"),
          QStringLiteral("Acceleration time 1"), QStringLiteral("达到频率（正转）"),
          QStringLiteral("附录：变频器 1 的参数表")}) {
        QVERIFY2(text.contains(s), qPrintable(s + u'\n' + text.left(3000)));
        QVERIFY2(html.contains(s), qPrintable(s));
    }
    for (const QString& english :
         {QStringLiteral("Commissioning report"), QStringLiteral("Result:"),
          QStringLiteral("Readiness"), QStringLiteral("Frequency reached"), QStringLiteral("PASS"),
          QStringLiteral("Appendix")})
        QVERIFY2(!text.contains(english), qPrintable(english));

    // The appendix runs over pages: no row is cut at a page's end, and the
    // pages it carries on to say whose set it is.
    QVERIFY(text.contains(QStringLiteral("变频器 1 参数表（续）")));
    int continued = 0;
    QCOMPARE(pagesWithACutRow(pdf, &continued), QList<int>());
    QVERIFY(continued >= 1);
}

void tst_reportzh::theLanguageChangesOnlyTheWords()
{
    ReportInput in;
    in.site = QStringLiteral("Pump station Nord");
    in.made = QDateTime(QDate(2026, 3, 7), QTime(14, 5));
    DriveRecord d;
    d.address = 3;
    d.answered = true;
    d.edition = 2.1;
    d.fault = true;
    d.faultNumber = 3;
    d.faultRecords = {3, 20, 20};
    d.readiness.address = 3;
    d.readiness.runSource = 0;
    d.readiness.frequencySource = 1;
    d.parameters.values.insert(0x0801, {ParamValue::State::Value, 13});
    d.parameters.values.insert(0x0003, {ParamValue::State::Value, 4000});
    in.drives << d;
    TestRunResult r;
    r.plan.address = 3;
    r.plan.hz = 30;
    r.sentAnything = true;
    r.completed = true;
    r.endReason = QStringLiteral(
        "drive 3 reports fault OH (OH:Radiator overheating) at the start: nothing was sent");
    r.checks << TestRunCheck{QStringLiteral("Held (reverse)"),
                             QStringLiteral("30.00 Hz held for 5.0 s"),
                             QStringLiteral("held 2.0 s of 5.0 s: the run ended first"), false,
                             false}
             << TestRunCheck{QStringLiteral("No trip"), QStringLiteral("no fault during the run"),
                             QStringLiteral("fault OC-3 at 9.8 s"), false};
    r.checks.last().failure = QStringLiteral("tripped: fault OC-3 at 9.8 s");
    r.checks << TestRunCheck{QStringLiteral("A check of tomorrow"), QStringLiteral("x"),
                             QStringLiteral("y"), true};
    in.runs << r;

    const QString english = CommissionReport::Html(in, false);
    Language::install(QString::fromLatin1(Language::Chinese));
    QCOMPARE(Language::current(), QString::fromLatin1(Language::Chinese));
    const QString chinese = CommissionReport::Html(in, false);
    Language::install(QString::fromLatin1(Language::English));
    // Back in English nothing of the Chinese lingers.
    QCOMPARE(CommissionReport::Html(in, false), english);

    // Texts the run's file keeps in English, nested ones too, read in Chinese;
    // one the report does not know stays as it is rather than going missing.
    for (const QString& s :
         {QStringLiteral("保持（反转）"), QStringLiteral("30.00 Hz 保持 5.0 s"),
          QStringLiteral("运行中无故障"), QStringLiteral("不合格：故障跳闸：故障 OC-3，于 9.8 s"),
          QStringLiteral("A check of tomorrow"), QStringLiteral("2026年3月7日"),
          QStringLiteral("不接受运行命令（P0.04 = 0）；使用自身频率（P0.01 = 1）"),
          QStringLiteral("变频器 3 开始时报告故障 OH（OH:散热器过热）：未发送任何命令"),
          QStringLiteral("13（波特率选择：9600BPS；数据格式：奇校验"),
          QStringLiteral("运行频率设定")})
        QVERIFY2(chinese.contains(s), qPrintable(s));
    QVERIFY(english.contains(QStringLiteral("Baud Rate Selection: 9600BPS; Data Format: Odd")));
    QVERIFY(!chinese.contains(QStringLiteral("Held (reverse)")));
    QVERIFY(!chinese.contains(QStringLiteral("Baud Rate")));
    // The verdict's colours are the same in either language.
    for (const QString& colour : {QStringLiteral("#f4b8b8"), QStringLiteral("#fbe7a6")})
        QCOMPARE(chinese.count(colour), english.count(colour));
}

QTEST_MAIN(tst_reportzh)
#include "tst_reportzh.moc"
