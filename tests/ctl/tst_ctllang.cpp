// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl in the technician's language: the locale or --lang chooses it, the
// words for people change with it, what programs read (JSON) never does.
#include "CtlProcess.h"
#include "SimProcess.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The environment of a desktop in the given locale ("C.UTF-8", "zh_CN.UTF-8").
QProcessEnvironment inLocale(const QString& locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), locale);
    return env;
}

CtlRun vfdctlIn(const QString& locale, const QStringList& arguments)
{
    return CtlProcess(arguments, {}, inLocale(locale)).finish();
}

const QString C = QStringLiteral("C.UTF-8");
const QString Chinese = QStringLiteral("zh_CN.UTF-8");

} // namespace

class tst_ctllang : public QObject
{
    Q_OBJECT
private slots:
    void usageFollowsTheLocaleAndLang();
    void catalogueAndMessagesInChinese();
    void jsonIsTheSameInEveryLanguage();
    void jobResultsInTheLanguage();
};

void tst_ctllang::usageFollowsTheLocaleAndLang()
{
    const CtlRun english = vfdctlIn(C, {QStringLiteral("--help")});
    QCOMPARE(english.code, 0);
    QVERIFY(english.out.startsWith(QStringLiteral("Usage: vfdctl --port NAME")));
    QVERIFY(english.out.contains(QStringLiteral("\nCommands:\n")));
    QVERIFY(english.out.contains(QStringLiteral("[--lang en|zh_CN]")));

    const CtlRun chinese = vfdctlIn(Chinese, {QStringLiteral("--help")});
    QCOMPARE(chinese.code, 0);
    QVERIFY2(chinese.out.startsWith(QStringLiteral("用法：vfdctl --port NAME")),
             qPrintable(chinese.out));
    QVERIFY(chinese.out.contains(QStringLiteral("\n命令：\n")));
    QVERIFY(chinese.out.contains(QStringLiteral("读取参数（P0.14 ...）")));    // a command's line
    QVERIFY(chinese.out.contains(QStringLiteral("将变频器发布到 MQTT 代理"))); // serve's
    QVERIFY(!chinese.out.contains(QStringLiteral("Exit status")));

    // --lang wins over the locale, in either spelling, either way round.
    QCOMPARE(vfdctlIn(Chinese,
                      {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help")})
                 .out,
             english.out);
    QCOMPARE(vfdctlIn(C, {QStringLiteral("--help"), QStringLiteral("--lang=zh_CN")}).out,
             chinese.out);

    // A language it does not have is a usage error, said in the locale's.
    const CtlRun refused =
        vfdctlIn(C, {QStringLiteral("--lang"), QStringLiteral("de"), QStringLiteral("--port"),
                     QStringLiteral("SIM"), QStringLiteral("get"), QStringLiteral("1"),
                     QStringLiteral("P0.03")});
    QCOMPARE(refused.code, 2);
    QVERIFY2(refused.err.contains(QStringLiteral("--lang takes en or zh_CN.")),
             qPrintable(refused.err));
    const CtlRun refusedZh =
        vfdctlIn(Chinese, {QStringLiteral("--lang=fr"), QStringLiteral("--help")});
    QCOMPARE(refusedZh.code, 2);
    QVERIFY2(refusedZh.err.contains(QStringLiteral("--lang 取 en 或 zh_CN。")),
             qPrintable(refusedZh.err));
}

void tst_ctllang::catalogueAndMessagesInChinese()
{
    SimProcess sim({QStringLiteral("--trip"), QStringLiteral("1:11")});
    QVERIFY(!sim.device().isEmpty());
    const QStringList port{QStringLiteral("--port"), sim.device()};

    const QStringList get =
        port + QStringList{QStringLiteral("get"), QStringLiteral("1"), QStringLiteral("P0.03")};
    const CtlRun zh = vfdctlIn(Chinese, get);
    QCOMPARE(zh.code, 0);
    QVERIFY2(zh.out.startsWith(QStringLiteral("P0.03\t运行频率设定\t")), qPrintable(zh.out));
    QVERIFY(zh.out.contains(QStringLiteral("原始值")));
    const CtlRun en =
        vfdctlIn(Chinese, QStringList{QStringLiteral("--lang"), QStringLiteral("en")} + get);
    QCOMPARE(en.code, 0);
    QVERIFY2(en.out.startsWith(QStringLiteral("P0.03\tRun Frequency setting\t")),
             qPrintable(en.out));
    QVERIFY(en.out.contains(QStringLiteral("\traw ")));

    // The fault's text from the catalogue, the rest of the line vfdctl's own.
    const CtlRun status =
        vfdctlIn(Chinese, port + QStringList{QStringLiteral("status"), QStringLiteral("1")});
    QVERIFY2(status.out.contains(QStringLiteral("变频器 1：")), qPrintable(status.out));
    QVERIFY2(status.out.contains(QStringLiteral("OH:散热器过热")), qPrintable(status.out));
    QVERIFY(!status.out.contains(QStringLiteral("Radiator")));

    const CtlRun wrong =
        vfdctlIn(Chinese, port + QStringList{QStringLiteral("get"), QStringLiteral("1"),
                                             QStringLiteral("P0.99")});
    QCOMPARE(wrong.code, 2);
    QVERIFY2(wrong.err.contains(QStringLiteral("vfdctl: “P0.99”不是参数表中的参数")),
             qPrintable(wrong.err));
}

// Keys, values and messages of the JSON document are the same whatever the
// locale or --lang says.
void tst_ctllang::jsonIsTheSameInEveryLanguage()
{
    SimProcess sim({QStringLiteral("--trip"), QStringLiteral("1:11")});
    QVERIFY(!sim.device().isEmpty());
    const QStringList port{QStringLiteral("--json"), QStringLiteral("--port"), sim.device()};
    const QList<QStringList> commands{
        {QStringLiteral("get"), QStringLiteral("1"), QStringLiteral("P0.03"),
         QStringLiteral("P4.07")},
        {QStringLiteral("status"), QStringLiteral("1")},
        {QStringLiteral("get"), QStringLiteral("1"), QStringLiteral("P0.99")},
    };
    for (const QStringList& command : commands) {
        const CtlRun english = vfdctlIn(C, port + command);
        const CtlRun chinese =
            vfdctlIn(Chinese, QStringList{QStringLiteral("--lang"), QStringLiteral("zh_CN")} +
                                  port + command);
        QCOMPARE(chinese.code, english.code);
        const QJsonDocument a = QJsonDocument::fromJson(english.out.toUtf8());
        QVERIFY2(a.isObject(), qPrintable(english.out));
        QCOMPARE(QJsonDocument::fromJson(chinese.out.toUtf8()), a);
        QCOMPARE(chinese.err, english.err);
    }
}

// What the jobs say (a restore's and a clone's results, a test run's end and
// checks, the scan's table, a bad address) reads in Chinese where a person
// reads it, and under the C locale exactly as it always did.
void tst_ctllang::jobResultsInTheLanguage()
{
    SimProcess sim;
    QVERIFY(!sim.device().isEmpty());
    const QStringList port{QStringLiteral("--port"), sim.device()};
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("drive1.csv"));
    const auto run = [&](const QString& locale, const QString& words) {
        return vfdctlIn(locale, port + words.split(u' '));
    };
    QCOMPARE(run(C, QStringLiteral("backup 1 ") + file).code, 0);

    QCOMPARE(run(C, QStringLiteral("set 2 P0.03=25 --yes")).code, 0);
    const CtlRun restored = run(Chinese, QStringLiteral("restore 2 %1 --yes").arg(file));
    QCOMPARE(restored.code, 0);
    QVERIFY2(restored.out.contains(QStringLiteral("\n变频器 2：已写入并校验 1/1 个参数。\n")),
             qPrintable(restored.out));
    QVERIFY2(restored.out.contains(QStringLiteral("P8.00（本机地址）：变频器中为 2，目标值为 1")),
             qPrintable(restored.out));
    QCOMPARE(run(C, QStringLiteral("set 3 P0.03=25 --yes")).code, 0);
    const CtlRun cloned = run(C, QStringLiteral("clone %1 3 --yes").arg(file));
    QCOMPARE(cloned.code, 0);
    QVERIFY2(cloned.out.contains(QStringLiteral("\nDrive 3: 1 of 1 written and verified.\n"
                                                "Drive 3 verified: 0 differences left.\n")),
             qPrintable(cloned.out));

    // Refused before anything was sent: the reason, within the verdict too.
    const QString tooFast = QStringLiteral("testrun 1 --hz 400 --for 1s --yes");
    const CtlRun zh = run(Chinese, tooFast);
    QCOMPARE(zh.code, 1);
    QVERIFY2(zh.out.contains(QStringLiteral(
                 "已结束：400.00 Hz 高于变频器的上限频率 P0.06 = 50.00 Hz：未发送任何内容\n")),
             qPrintable(zh.out));
    QVERIFY2(zh.out.contains(QStringLiteral("通过  就绪：P0.04 = 2，P0.01 = 3")),
             qPrintable(zh.out));
    QVERIFY(zh.out.contains(QStringLiteral("变频器 1 试运行未通过；")));
    const CtlRun en = run(C, tooFast);
    QCOMPARE(en.code, 1);
    QVERIFY2(en.out.contains(QStringLiteral("Ended: 400.00 Hz lies above the drive's upper limit "
                                            "P0.06 = 50.00 Hz: nothing was sent\nPASS  "
                                            "Readiness: P0.04 = 2, P0.01 = 3 (expected P0.04 = 2 "
                                            "(serial line), P0.01 = 3 (serial line))\n")),
             qPrintable(en.out));

    const CtlRun scanZh = run(Chinese, QStringLiteral("scan --to 2"));
    QCOMPARE(scanZh.code, 0);
    QVERIFY2(scanZh.out.startsWith(QStringLiteral("地址\t状态\t方向\t故障\t版本\t备注\n"
                                                  "1\t停机\t正转\t正常\t")),
             qPrintable(scanZh.out));
    const CtlRun scanEn = run(C, QStringLiteral("scan --to 2"));
    QVERIFY2(scanEn.out.startsWith(QStringLiteral("Address\tState\tDirection\tFault\tEdition\t"
                                                  "Note\n1\tStop\tFWD\tNormal\t")),
             qPrintable(scanEn.out));

    const CtlRun badZh = run(Chinese, QStringLiteral("status 0"));
    QCOMPARE(badZh.code, 2);
    QVERIFY2(badZh.err.contains(QStringLiteral("vfdctl: “0”不是 1..31 之间的变频器地址。")),
             qPrintable(badZh.err));
    QVERIFY(run(C, QStringLiteral("status 0"))
                .err.contains(QStringLiteral("vfdctl: \"0\" is no drive address 1..31.")));
}

QTEST_GUILESS_MAIN(tst_ctllang)
#include "tst_ctllang.moc"
