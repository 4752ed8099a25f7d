// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueText.h"
#include "Language.h"
#include "Tab.h"
#include "menu.h"

#include <QtTest>

#include <QRegularExpression>
#include <cmath>
#include <functional>

namespace {

QString q(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

struct TextPair
{
    QString where;
    QString shown;   // in the language installed
    QString english; // as the catalogue holds it
};

// Every text the catalogue has, each as shown and in English: the group
// titles, the names, the option texts of every value a parameter selects and
// its range text, and the fault texts (with one number the tables lack).
QList<TextPair> everyText()
{
    QList<TextPair> all;
    for (int g = 0; g < Tab::GroupCount; ++g) {
        all.append({QStringLiteral("group %1").arg(g), CatalogueText::groupTitle(g),
                    CatalogueText::englishGroupTitle(g)});
        for (int i = 0; i < Tab::GroupRowCount(g); ++i) {
            const int row = Tab::CatalogueRow(g, i);
            const QString number = q(Tab::ParamNumber(row));
            all.append(
                {number, CatalogueText::paramName(row), CatalogueText::englishParamName(row)});
            for (double value :
                 {std::nan(""), 0.0, 1.0, 2.0, 3.0, 5.0, 8.0, 10.0, 17.0, 32.0, 99.0})
                all.append({number + QStringLiteral(" = %1").arg(value),
                            CatalogueText::optionText(g, i, value),
                            CatalogueText::englishOptionText(g, i, value)});
        }
    }
    for (int f = 1; f <= 25; ++f)
        all.append({QStringLiteral("fault %1").arg(f), CatalogueText::faultDescription(f),
                    CatalogueText::englishFaultDescription(f)});
    return all;
}

// Words a technician reads as text, not as a unit or a terminal's name.
bool hasWords(const QString& text)
{
    static const QRegularExpression units(
        QStringLiteral("KHz|Hz|rpm|BPS|AVI|ACI|MIN|MAX|mA|mH|ms"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    return QString(text).remove(units).contains(word);
}

// The numbers of a text in order ("0.1--3600 ... P3.09" -> 0.1 3600 3.09).
QStringList numbers(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+(\\.\\d+)?"));
    QStringList found;
    for (const QRegularExpressionMatch& m : number.globalMatch(text))
        found << m.captured(0);
    return found;
}

} // namespace

class tst_catalogue_text : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Language::install(QString::fromLatin1(Language::English)); }
    void englishIsTheCataloguesOwn();
    void chineseTranslatesEveryWordedText();
    void chineseKeepsNumbersAndKnownTerms();
};

// Without a translation every text is exactly the catalogue's, byte for byte,
// and the tables' own look-ups give the same.
void tst_catalogue_text::englishIsTheCataloguesOwn()
{
    QCOMPARE(Language::install(QStringLiteral("en")), QStringList());
    for (const TextPair& t : everyText())
        QVERIFY2(t.shown == t.english, qPrintable(t.where));
    QCOMPARE(CatalogueText::paramName(3), q(Tab::ParamName(3)));
    QCOMPARE(CatalogueText::optionText(0, 5, 1.0), q(menu::OptionText(0, 5, 1.0)));
    QCOMPARE(CatalogueText::faultDescription(25), QStringLiteral("Fault 25"));
    QCOMPARE(CatalogueText::faultText(20), std::nullopt);
    QCOMPARE(CatalogueText::paramName(-1), QString());
    QCOMPARE(CatalogueText::groupTitle(11), QString());
    QCOMPARE(CatalogueText::optionText(12, 0, 0.0), QString());
}

// Every text with words in it reads differently in Chinese (so each table's
// texts are marked, translated, and looked up under the context they were
// marked with), while the English stays reachable beside it.
void tst_catalogue_text::chineseTranslatesEveryWordedText()
{
    QCOMPARE(Language::install(QStringLiteral("zh_CN")), QStringList());
    QStringList untranslated;
    int translated = 0;
    for (const TextPair& t : everyText()) {
        if (t.shown != t.english)
            ++translated;
        else if (hasWords(t.english))
            untranslated << t.where + QStringLiteral(": ") + t.english;
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
    QVERIFY(translated > 300);
    QCOMPARE(CatalogueText::englishParamName(3), QStringLiteral("Run Frequency setting"));
    QCOMPARE(CatalogueText::englishGroupTitle(0), QStringLiteral("Basic Parameter"));
}

// The numbers (settings, units' values, parameter numbers) are those of the
// English; a few texts as a Chinese manual names them.
void tst_catalogue_text::chineseKeepsNumbersAndKnownTerms()
{
    Language::install(QStringLiteral("zh_CN"));
    QStringList changed;
    for (const TextPair& t : everyText()) {
        if (numbers(t.shown) != numbers(t.english))
            changed << t.where + QStringLiteral(": ") + t.english + QStringLiteral(" -> ") +
                           t.shown;
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(u'\n')));

    QCOMPARE(CatalogueText::groupTitle(0), QStringLiteral("基本运行参数"));
    QCOMPARE(CatalogueText::paramName(3), QStringLiteral("运行频率设定"));
    QCOMPARE(CatalogueText::paramName(Tab::CatalogueRow(0, 14)), QStringLiteral("加速时间1"));
    QCOMPARE(CatalogueText::optionText(0, 5, 1.0), QStringLiteral("反转"));
    QCOMPARE(CatalogueText::optionText(4, 0, 9.0), QStringLiteral("9:正转点动控制"));
    QCOMPARE(CatalogueText::faultDescription(1), QStringLiteral("OC-1:加速运行过电流"));
    QCOMPARE(CatalogueText::faultDescription(25), QStringLiteral("故障 25"));
    // A text with no words is the catalogue's own.
    QCOMPARE(CatalogueText::optionText(2, 1, std::nan("")), QStringLiteral("0.00--10.00Hz"));
}

QTEST_GUILESS_MAIN(tst_catalogue_text)
#include "tst_catalogue_text.moc"
