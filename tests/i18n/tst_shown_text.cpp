// SPDX-License-Identifier: GPL-3.0-or-later
// The cores' English results shown in the user's language: every known form
// found with its values in place, texts within texts, and everything else,
// and everything in English, left exactly as it was.
#include "Language.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

namespace {

// The form with each %N replaced by a value of its own.
QString filled(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
    QString out = text;
    out.replace(placeholder, QStringLiteral("v\\1v"));
    return out;
}

} // namespace

class tst_shown_text : public QObject
{
    Q_OBJECT
private slots:
    void englishStaysAsItIs();
    void everyFormIsFound();
    void valuesNestedTextsAndSentences();
    void tableOfItsOwn();
    void cleanupTestCase() { Language::install(QString::fromLatin1(Language::English)); }
};

void tst_shown_text::englishStaysAsItIs()
{
    QCOMPARE(Language::install(QString::fromLatin1(Language::English)), QStringList());
    for (const QString& text : {QStringLiteral("Ended: the drive tripped: fault OH"),
                                QStringLiteral("Drive 2: 3 of 3 written and verified.\nThe drive "
                                               "took its new address: it now answers at 5."),
                                QStringLiteral("\"0\" is no drive address 1..31.")})
        QCOMPARE(ShownText::of(text), text);
}

// Each form, filled in as a core would, comes out as its own translation
// with the same values: no looser form takes it first, no value is lost.
void tst_shown_text::everyFormIsFound()
{
    QCOMPARE(Language::install(QString::fromLatin1(Language::Chinese)), QStringList());
    int checked = 0;
    for (const auto forms : {ShownText::jobForms(), ShownText::siteForms()}) {
        for (const ShownText::Form& form : forms) {
            const QString english = filled(QString::fromUtf8(form.source));
            const QString wanted = filled(QCoreApplication::translate(form.context, form.source));
            QVERIFY2(wanted != english || !english.contains(u' '),
                     qPrintable(QStringLiteral("no translation for ") + english));
            QCOMPARE(ShownText::of(english, form.context), wanted);
            ++checked;
        }
    }
    QVERIFY(checked > 300);
}

void tst_shown_text::valuesNestedTextsAndSentences()
{
    QCOMPARE(Language::install(QString::fromLatin1(Language::Chinese)), QStringList());
    // A reason within the test run's end; values in the translation's order.
    QCOMPARE(ShownText::of(QStringLiteral("Ended: the drive tripped: fault OH")),
             QStringLiteral("已结束：变频器跳闸：故障 OH"));
    QCOMPARE(ShownText::of(QStringLiteral("the drive did not reach 20.00 Hz within 9.0 s")),
             QStringLiteral("变频器未在 9.0 s 内达到 20.00 Hz"));
    // Counts within a clone's verification, the longer form before the shorter.
    QCOMPARE(ShownText::of(QStringLiteral(
                 "Drive 3 verified: 0 differences left, 2 parameters not answered.")),
             QStringLiteral("变频器 3 已校验：剩余 0 处差异，2 个参数 未应答。"));
    // A summary of several lines, line by line; a line nobody knows stays.
    QCOMPARE(ShownText::of(QStringLiteral("Drive 2: 3 of 3 written and verified.\n"
                                          "  P0.03 = 20: reads back as 19.5\nsomething else")),
             QStringLiteral("变频器 2：已写入并校验 3/3 个参数。\n"
                            "  P0.03 = 20：回读值为 19.5\nsomething else"));
    // A parameter's name within a core's line, as the catalogue names it;
    // a value that only looks like one word of a name is left alone.
    QCOMPARE(ShownText::of(QStringLiteral("P8.00 (local address): 2 on the drive, 1 wanted")),
             QStringLiteral("P8.00（本机地址）：变频器中为 2，目标值为 1"));
    QCOMPARE(ShownText::of(QStringLiteral("P8.00 (local): 2 on the drive, 1 wanted")),
             QStringLiteral("P8.00（local）：变频器中为 2，目标值为 1"));
    // A shared line's refusal in serve's log, its reason within it.
    QCOMPARE(ShownText::of(QStringLiteral("line A: share: refused a write from 127.0.0.1 for "
                                          "drive 3 (exception 3): P0.03 = 700.00 lies outside "
                                          "0.00 .. 400.00")),
             QStringLiteral("线路 A：共享：拒绝了 127.0.0.1 对变频器 3 的写入（异常码 3）："
                            "P0.03 = 700.00 超出 0.00 .. 400.00"));
    // A reason made a sentence of, and a value that looks like a placeholder.
    QCOMPARE(ShownText::of(QStringLiteral("\"0\" is no drive address 1..31.")),
             QStringLiteral("“0”不是 1..31 之间的变频器地址。"));
    QCOMPARE(ShownText::of(QStringLiteral("unknown parameter \"%2\"")),
             QStringLiteral("未知参数“%2”"));
    // The same English word in two places, each in its own sense.
    QCOMPARE(ShownText::of(QStringLiteral("failed"), "SiteSteps"), QStringLiteral("失败"));
    QCOMPARE(ShownText::of(QStringLiteral("failed"), "TestRun"), QStringLiteral("未通过"));
    // Near misses are not taken for a form.
    for (const QString& text :
         {QStringLiteral("the drive stopped answering, or so"), QStringLiteral("Drive 2 verified"),
          QString(), QStringLiteral("...")})
        QCOMPARE(ShownText::of(text), text);
}

// A table such as the report keeps: the form with most words of its own
// wins whatever the order it is listed in, values are filled in once, and a
// table whose values never hold "; " leaves a joined line to its caller.
void tst_shown_text::tableOfItsOwn()
{
    // A context with no translation: each form comes back as its source.
    const ShownText::Form forms[] = {
        {"TableTest", "%1 after %2"},
        {"TableTest", "%1 %2 reached after %3, expected within %4 to %5"},
    };
    const ShownText::Table loose(forms);
    const ShownText::Table joined(forms, QStringLiteral("; "));
    const auto marked = [](const QString& value) { return u'[' + value + u']'; };
    const auto same = [](const QString& value) { return value; };
    const QString none = QStringLiteral("(none)");

    QCOMPARE(loose
                 .shown(QStringLiteral("Speed 50 reached after 3 s, expected within 1 to 5"),
                        nullptr, marked)
                 .value_or(none),
             QStringLiteral("[Speed] [50] reached after [3 s], expected within [1] to [5]"));
    QCOMPARE(loose.literal(QStringLiteral("stop after 2 s"), nullptr), qsizetype(7));
    QCOMPARE(loose.literal(QStringLiteral("nothing of the kind"), nullptr), qsizetype(-1));
    QVERIFY(!loose.shown(QStringLiteral("nothing of the kind"), nullptr, marked));
    // A value holding a placeholder of its own stays as it is.
    QCOMPARE(loose.shown(QStringLiteral("%2 after %1"), nullptr, same).value_or(none),
             QStringLiteral("%2 after %1"));

    const QString twoTexts = QStringLiteral("ready; stop after 2 s");
    QCOMPARE(loose.shown(twoTexts, nullptr, marked).value_or(none),
             QStringLiteral("[ready; stop] after [2 s]"));
    QVERIFY(!joined.shown(twoTexts, nullptr, marked));
    QVERIFY(!joined.shown(QStringLiteral(" after 2 s"), nullptr, marked));
    QCOMPARE(loose.shown(QStringLiteral(" after 2 s"), nullptr, marked).value_or(none),
             QStringLiteral("[] after [2 s]"));
}

QTEST_GUILESS_MAIN(tst_shown_text)
#include "tst_shown_text.moc"
