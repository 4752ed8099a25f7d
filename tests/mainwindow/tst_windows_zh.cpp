// SPDX-License-Identifier: GPL-3.0-or-later
// Every window in Chinese: known captions, and no English word left in what a
// window shows but names, units and the like; the language chosen in the
// menu kept for the next start.
#include "CatalogueText.h"
#include "DemoBench.h"
#include "Form2.h"
#include "Language.h"
#include "SavedSettings.h"
#include "config.h"
#include "encoder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Words that stay as they are in Chinese: names (of the program, the maker,
// protocols, terminals, file kinds, keys), units, and the words of the limits
// a test run is given, which are typed as they are.
const QSet<QString> kKept = {
    QStringLiteral("vfdtool"), QStringLiteral("KORVANTEX"), QStringLiteral("RS"),
    QStringLiteral("PID"),     QStringLiteral("AVI"),       QStringLiteral("ACI"),
    QStringLiteral("IGBT"),    QStringLiteral("SIM"),       QStringLiteral("COM"),
    QStringLiteral("CSV"),     QStringLiteral("PDF"),       QStringLiteral("Modbus"),
    QStringLiteral("TCP"),     QStringLiteral("RTU"),       QStringLiteral("HOST"),
    QStringLiteral("PORT"),    QStringLiteral("WINDOWS"),   QStringLiteral("CAPS"),
    QStringLiteral("NUM"),     QStringLiteral("INS"),       QStringLiteral("SCRL"),
    QStringLiteral("Home"),    QStringLiteral("Hz"),        QStringLiteral("HZ"),
    QStringLiteral("KHz"),     QStringLiteral("ms"),        QStringLiteral("RPM"),
    QStringLiteral("min"),     QStringLiteral("xxx"),       QStringLiteral("current"),
    QStringLiteral("dc"),      QStringLiteral("bus"),       QStringLiteral("json"),
    QStringLiteral("pdf"),     QStringLiteral("csv"),       QStringLiteral("English"),
    QStringLiteral("rpm"),     QStringLiteral("kHz")};

// The English words of a shown text, with paths, options, links and markup
// taken out first.
QStringList englishWords(QString text)
{
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    static const QRegularExpression pathsAndOptions(
        QStringLiteral("\\S*/\\S*|--\\S+|\\b\\w+://\\S*|\\w+\\.\\w+\\b"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    text.remove(markup).remove(pathsAndOptions).remove(u'&');
    QStringList left;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QString w = it.next().captured();
        if (!kKept.contains(w))
            left << w;
    }
    return left;
}

// What a window shows in words: captions, titles, items, headers, tips and
// hints, each with the object it came from.
QStringList shownTexts(QWidget* window)
{
    QStringList texts;
    const auto add = [&texts](const QObject* from, const QString& text) {
        if (!text.isEmpty())
            texts << from->objectName() + QStringLiteral(": ") + text;
    };
    add(window, window->windowTitle());
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets << window;
    for (QWidget* w : widgets) {
        add(w, w->toolTip());
        // A name that is the object's own (Text1) is no text, only a handle.
        if (w->accessibleName() != w->objectName())
            add(w, w->accessibleName());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(w, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(w, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w))
            add(w, group->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            add(w, edit->placeholderText());
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < box->count(); ++i)
                add(w, box->itemText(i));
        }
        if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i)
                add(w, list->item(i)->text());
        }
        if (auto* table = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < table->columnCount(); ++c) {
                if (const QTableWidgetItem* header = table->horizontalHeaderItem(c))
                    add(w, header->text());
            }
        }
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            add(w, menu->title());
            for (const QAction* action : menu->actions())
                add(w, action->text());
        }
    }
    return texts;
}

QStringList englishLeftIn(QWidget* window)
{
    QStringList faults;
    for (const QString& text : shownTexts(window)) {
        const QString shown = text.section(QStringLiteral(": "), 1);
        if (!englishWords(shown).isEmpty())
            faults << text;
    }
    return faults;
}

} // namespace

class tst_windows_zh : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QCOMPARE(Language::install(QStringLiteral("zh_CN")), QStringList());
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }
    void cleanup()
    {
        Language::install(QStringLiteral("en"));
        QLocale::setDefault(QLocale::c());
    }

    void wordCheckFindsEnglish();
    void mainWindowInChinese();
    void everyWindowInChinese();
    void messagesInChinese();
    void catalogueTextsWithEnglishBeside();
    void settingsWindowKeepsEnglishParity();
    void languageChoiceIsKept();
};

// The check itself: English is found, names, units and paths are let through.
void tst_windows_zh::wordCheckFindsEnglish()
{
    QCOMPARE(englishWords(QStringLiteral("Open Serial")),
             (QStringList{QStringLiteral("Open"), QStringLiteral("Serial")}));
    QCOMPARE(
        englishWords(QStringLiteral("输出频率(Hz) 经 RS-485，见 /dev/ttyUSB0、--reset-settings、"
                                    "<a href=\"x\">打开</a>、vfdtool.conf")),
        QStringList());
    QCOMPARE(englishWords(QStringLiteral("变频器 %1 not answering")),
             (QStringList{QStringLiteral("not"), QStringLiteral("answering")}));
}

void tst_windows_zh::mainWindowInChinese()
{
    DemoBench bench;
    demo& w = bench.window;
    QCOMPARE(w.Command1->text(), QStringLiteral("打开串口"));
    QCOMPARE(w.Command5->text(), QStringLiteral("开始"));
    QCOMPARE(w.Frame4->title(), QStringLiteral("变频器站号"));
    QCOMPARE(w.Option1->text(), QStringLiteral("正转"));
    QCOMPARE(w.file->title(), QStringLiteral("文件(&F)"));
    QCOMPARE(w.Combo5->itemText(1), QStringLiteral("第 1 次故障代码"));
    // Qt's own words come in Chinese too (the colour dialog's, the boxes').
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));

    // Captions that change with the state change in Chinese as well.
    bench.openPort();
    QCOMPARE(w.Command1->text(), QStringLiteral("关闭串口"));
    w.Command5_Click();
    QCOMPARE(w.Command5->text(), QStringLiteral("停止"));

    QStringList menus;
    for (QMenu* menu : w.menuBar()->findChildren<QMenu*>())
        menus << englishLeftIn(menu);
    QVERIFY2(menus.isEmpty(), qPrintable(menus.join(u'\n')));
    const QStringList left = englishLeftIn(&w);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
}

// Each window the menus open, the given ones and the tools, walked whole.
void tst_windows_zh::everyWindowInChinese()
{
    DemoBench bench;
    demo& w = bench.window;
    bench.openPort();
    w.com_set_Click();
    w.data_set_Click();
    w.encode_Click();
    w.userhelp_Click();
    w.abouthelp_Click();
    w.drive_parameters_Click();
    w.recorder_Click();
    w.scan_line_Click();
    w.line_statistics_Click();
    w.site_window_Click();
    w.findChild<QAction*>(QStringLiteral("test_run"))->trigger();
    w.findChild<QAction*>(QStringLiteral("commissioning_report"))->trigger();

    QStringList opened;
    QStringList left;
    for (QWidget* window : w.findChildren<QWidget*>()) {
        if (!window->isWindow() || qobject_cast<QMenu*>(window))
            continue;
        opened << window->objectName();
        left << englishLeftIn(window);
    }
    for (const char* name :
         {"config", "Form2", "encoder", "frmSplash", "frmAbout", "ParamSetWindow", "RecorderWindow",
          "ScanWindow", "LineStatisticsWindow", "SiteWindow", "TestRunWindow", "ReportWindow"})
        QVERIFY2(opened.contains(QLatin1String(name)), name);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));

    // The user guide is the operating instruction in Chinese, line for line.
    auto* guide = w.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    QVERIFY(guide);
    QVERIFY(guide->toPlainText().startsWith(QStringLiteral("操作说明：")));
    QVERIFY(englishWords(guide->toPlainText()).isEmpty());
}

// Message boxes and the status bar speak Chinese; a refusal still sends nothing.
void tst_windows_zh::messagesInChinese()
{
    DemoBench bench;
    demo& w = bench.window;
    {
        // As typed: the box's own check would put 200 in at once.
        const QSignalBlocker typed(w.Text2);
        w.Text2->setText(QStringLiteral("100"));
    }
    w.Command5_Click();
    QCOMPARE(bench.prompts().size(), 1);
    QCOMPARE(bench.prompts().last().title, QStringLiteral("提示"));
    QCOMPARE(bench.prompts().last().text, QStringLiteral("通讯周期最小为 200ms"));
    QVERIFY(bench.port.written().isEmpty());

    // The password window's refusal, its given title in Chinese too.
    w.encode_Click();
    auto* lock = w.findChild<encoder*>();
    QVERIFY(lock);
    lock->Text1->setText(QStringLiteral("12"));
    lock->Command1_Click();
    QCOMPARE(bench.prompts().size(), 2);
    QCOMPARE(bench.prompts().last().title, QStringLiteral("提示！"));
    QCOMPARE(bench.prompts().last().text, QStringLiteral("请输入 3 到 8 位数字。"));
}

// The catalogue's texts in Chinese, the drive manual's English in the tooltip.
void tst_windows_zh::catalogueTextsWithEnglishBeside()
{
    DemoBench bench;
    demo& w = bench.window;
    bench.openPort();
    w.data_set_Click();
    auto* parameters = w.findChild<Form2*>();
    QVERIFY(parameters);
    parameters->Combo2_Click(); // asks drive 1 for P0.00
    emit w.link().parameterReceived({1, 0, 0, 1});
    const QString name = CatalogueText::paramName(0);
    QVERIFY(name != CatalogueText::englishParamName(0));
    QCOMPARE(parameters->Label10->text(), name);
    QCOMPARE(parameters->Label10->toolTip(), CatalogueText::englishParamName(0));
    QCOMPARE(parameters->Label2->toolTip(), CatalogueText::englishGroupTitle(0));
    QVERIFY(englishWords(parameters->Label10->text()).isEmpty());
    QVERIFY(parameters->Text6->toolTip().endsWith(CatalogueText::englishOptionText(0, 0, 1)));
    const QString listed = parameters->Combo2->itemData(0, Qt::ToolTipRole).toString();
    QVERIFY2(listed.startsWith(QStringLiteral("P0.00 ") + name), qPrintable(listed));
    QVERIFY(listed.endsWith(CatalogueText::englishParamName(0)));

    // A trip shows in Chinese; its English and how to clear it in the tooltip.
    StatusReply trip;
    trip.address = 1;
    trip.fault = true;
    trip.faultNumber = 1;
    w.ShowDriveStatus(trip);
    QCOMPARE(w.Text4->text(), *CatalogueText::faultText(1));
    QVERIFY(w.Text4->toolTip().contains(CatalogueText::englishFaultDescription(1)));
    QVERIFY(englishWords(w.Text4->toolTip().section(u'\n', 2)).isEmpty());
}

// The parity shows in Chinese; what is kept and set on the port is the English name.
void tst_windows_zh::settingsWindowKeepsEnglishParity()
{
    DemoBench bench;
    demo& w = bench.window;
    w.com_set_Click();
    auto* settings = w.findChild<config*>();
    QVERIFY(settings);
    settings->Combo4->setCurrentIndex(settings->Combo4->findData(QStringLiteral("Even")));
    QCOMPARE(settings->Combo4->currentText(), QStringLiteral("偶校验"));
    settings->ok_Click();
    QCOMPARE(w.keptSettings().ParityName, QStringLiteral("Even"));
    QCOMPARE(bench.port.settings().section(u',', 1, 1), QStringLiteral("E"));
    QVERIFY(w.keptSettings().panelText().contains(QStringLiteral("偶校验")));
}

// "Tools" > "Language": kept in the settings file for the next start, said
// once; following the system again takes the key out.
void tst_windows_zh::languageChoiceIsKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("vfdtool.conf"));
    DemoBench bench;
    demo& w = bench.window;
    SavedSettings saved(file);
    QVERIFY(w.findChild<QAction*>(QStringLiteral("language_system"))->isChecked());

    // Chinese is on show already: keeping it needs no message.
    w.findChild<QAction*>(QStringLiteral("language_zh_CN"))->trigger();
    QVERIFY(bench.prompts().isEmpty());
    QVERIFY(saved.store(w));
    QCOMPARE(SavedSettings::keptLanguage(file), QStringLiteral("zh_CN"));

    w.findChild<QAction*>(QStringLiteral("language_en"))->trigger();
    QCOMPARE(bench.prompts().size(), 1);
    QCOMPARE(bench.prompts().last().text, QStringLiteral("语言将在下次启动 vfdtool 时更改。"));
    QVERIFY(w.findChild<QAction*>(QStringLiteral("language_en"))->isChecked());
    QVERIFY(saved.store(w));
    QCOMPARE(SavedSettings::keptLanguage(file), QStringLiteral("en"));

    w.findChild<QAction*>(QStringLiteral("language_system"))->trigger();
    QVERIFY(saved.store(w));
    QCOMPARE(SavedSettings::keptLanguage(file), QString());
    QVERIFY(!QSettings(file, QSettings::IniFormat).contains(QStringLiteral("language")));

    // A language the program does not have, written by hand, is no choice.
    {
        QSettings s(file, QSettings::IniFormat);
        s.setValue(QStringLiteral("language"), QStringLiteral("tlh"));
    }
    QCOMPARE(SavedSettings::keptLanguage(file), QString());
    w.setLanguageChoice(QStringLiteral("tlh"));
    QCOMPARE(w.languageChoice(), QString());
    QVERIFY(w.findChild<QAction*>(QStringLiteral("language_system"))->isChecked());
}

QTEST_MAIN(tst_windows_zh)
#include "tst_windows_zh.moc"
