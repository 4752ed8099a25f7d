// SPDX-License-Identifier: GPL-3.0-or-later
// vfdctl in the technician's language: the locale or --lang chooses it, the
// words for people change with it, what programs read (JSON) never does.
#include "CtlProcess.h"
#include "SimProcess.h"

#include <QJsonDocument>
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

QTEST_GUILESS_MAIN(tst_ctllang)
#include "tst_ctllang.moc"
