// SPDX-License-Identifier: GPL-3.0-or-later
// Bad text in every entry of the main window and the settings window: typed
// through the key filters and pasted past them. Nothing may crash, nothing out
// of range may reach the line, and every box ends as its rules say.
#include "AnswerBoxes.h"
#include "BadInput.h"
#include "LineTurns.h"
#include "LoopbackPort.h"
#include "config.h"
#include "demo.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// The main window over an in-memory port, opened, answering every box itself.
struct Bench
{
    LoopbackPort port;
    demo window{&port};

    Bench()
    {
        answerBoxes(window.prompter());
        answerNothing(window.link());
        window.Command1_Click();
    }

    QStringList wireProblems() const
    {
        QStringList problems;
        for (const QByteArray& frame : port.written()) {
            if (const QString problem = wireProblem(frame); !problem.isEmpty())
                problems << QString::fromLatin1(frame.toHex(' ')) + QStringLiteral(": ") + problem;
        }
        return problems;
    }
};

// The set-point a control write carries, in 0.01 Hz.
int setpointOf(const QByteArray& frame)
{
    return quint8(frame[9]) << 8 | quint8(frame[10]);
}

} // namespace

void tst_badinput::frequencyAndRhythm_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("how");
    QTest::addColumn<QString>("expected"); // null: the box keeps what it held

    // What each box ends with, per class of bad text: typed, then pasted.
    // Frequencies: the key filter lets digits and one point through; a number
    // above 400 becomes "50"; a box left without a number gets its last valid
    // value back when the entry is finished. Rhythms: digits only; below 200
    // becomes "200", above 20000 becomes "10000".
    const QStringList frequencyTyped = {"50", "50", "50", "5", "1.23", "50", "50", "50", "5", "13"};
    const QStringList frequencyPasted = {"50", "50", "50", "50",  "50",
                                         "50", "50", "50", " +5", "50"};
    const QStringList rhythmTyped = {"200",     QString(), "10000",   "200", "10000",
                                     QString(), "10000",   QString(), "200", "2003"};
    const QStringList rhythmPasted = {"200", "200",   "10000", "200", "200",
                                      "200", "10000", "200",   "200", "200"};
    const QList<BadText> texts = badTexts();
    for (int i = 0; i < texts.size(); ++i) {
        const BadText& bad = texts[i];
        for (const char* box : {"Text1", "Text5"}) {
            QTest::addRow("%s typed %s", box, bad.name)
                << box << asTyped(bad.text) << Entry::Typed << frequencyTyped[i];
            QTest::addRow("%s pasted %s", box, bad.name)
                << box << bad.text << Entry::Pasted << frequencyPasted[i];
        }
        for (const char* box : {"Text26", "Text2"}) {
            QTest::addRow("%s typed %s", box, bad.name)
                << box << asTyped(bad.text) << Entry::Typed << rhythmTyped[i];
            QTest::addRow("%s pasted %s", box, bad.name)
                << box << bad.text << Entry::Pasted << rhythmPasted[i];
        }
    }
}

void tst_badinput::frequencyAndRhythm()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(Entry, how);
    QFETCH(QString, expected);
    Bench b;
    demo& w = b.window;
    auto* edit = w.findChild<QLineEdit*>(box);
    QVERIFY(edit);
    const QString before = edit->text();

    enter(edit, text, how);
    QTest::keyClick(edit, Qt::Key_Return); // the entry is finished
    const QString shown = edit->text();
    QCOMPARE(shown, expected.isNull() ? before : expected);
    QVERIFY2(b.port.written().isEmpty(), "typing sent something");

    // Now the box is used.
    if (box == u"Text1" || box == u"Text5") {
        const bool forward = box == u"Text1";
        forward ? w.Option1_Click() : w.Option2_Click();
        w.Timer2_Timer();
        QCOMPARE(b.port.written().size(), 1);
        const QByteArray frame = b.port.written().first();
        QCOMPARE(quint8(frame[8]), quint8(forward ? 0x12 : 0x22));
        QCOMPARE(setpointOf(frame), qRound(shown.trimmed().toDouble() * 100));
    } else if (box == u"Text26") {
        QCOMPARE(w.Timer2->interval(), shown.toInt());
        w.Option5_Click();
        w.Timer2_Timer();
        QCOMPARE(b.port.written().size(), 1);
    } else {
        // A change of the rhythm switches polling on by itself; "Start" then
        // takes the rhythm again.
        QCOMPARE(w.Timer1->isActive(), !expected.isNull());
        if (w.Timer1->isActive())
            QCOMPARE(w.Timer1->interval(), shown.toInt());
        if (w.Command5->text() == u"Start")
            w.Command5_Click();
        QCOMPARE(w.Command5->text(), QStringLiteral("Stop"));
        QCOMPARE(w.Timer1->interval(), shown.toInt());
        w.Timer1_Timer();
        QCOMPARE(b.port.written().size(), 1);
    }
    QVERIFY2(b.wireProblems().isEmpty(), qPrintable(b.wireProblems().join(u'\n')));
    QVERIFY(w.prompter().history().isEmpty());
}

void tst_badinput::addressLists_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    for (const BadText& bad : badTexts()) {
        for (const char* box : {"Combo2", "Combo4", "Combo1"})
            QTest::addRow("%s typed %s", box, bad.name) << box << asTyped(bad.text);
    }
}

void tst_badinput::addressLists()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    Bench b;
    demo& w = b.window;
    const bool single = box == u"Combo2";
    w.Check1->setChecked(single);
    auto* list = w.findChild<QComboBox*>(box);
    QVERIFY(list);
    QVERIFY(list->isEnabled());
    // Keys in a drop-down list pick items by their first characters; nothing
    // else may come of them.
    typeKeys(list, text.left(40));
    QVERIFY(list->currentIndex() >= 0 && list->currentIndex() <= 31);
    QCOMPARE(list->currentText(), QString::number(list->currentIndex()));

    const int first = demo::ShownNumber(w.Combo4);
    const int last = std::max(first, demo::ShownNumber(w.Combo1));
    for (int t = 0; t < 2 * Hexedit::PollItemCount; ++t) {
        b.port.clearWritten();
        w.Timer1_Timer();
        QCOMPARE(b.port.written().size(), 1);
        const int address = quint8(b.port.written().first()[0]);
        if (single)
            QCOMPARE(address, demo::ShownNumber(w.Combo2));
        else
            QVERIFY2(address >= first && address <= last, qPrintable(QString::number(address)));
    }
    QVERIFY2(b.wireProblems().isEmpty(), qPrintable(b.wireProblems().join(u'\n')));
}

void tst_badinput::settingsPortBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("how");
    for (const BadText& bad : badTexts()) {
        QTest::addRow("typed %s", bad.name) << asTyped(bad.text) << Entry::Typed;
        QTest::addRow("pasted %s", bad.name) << bad.text << Entry::Pasted;
    }
}

void tst_badinput::settingsPortBox()
{
    QFETCH(QString, text);
    QFETCH(Entry, how);
    demo w; // the program's own port, so a bad name meets a real open
    answerBoxes(w.prompter());
    w.com_set_Click();
    auto* settings = w.findChild<config*>();
    QVERIFY(settings);
    enter(settings->Combo1->lineEdit(), text, how);
    settings->ok_Click();

    const QString name = text.trimmed();
    if (name.isEmpty()) {
        // Refused, and the kept settings stay as they were.
        QCOMPARE(w.prompter().history().size(), 1);
        QCOMPARE(w.keptSettings().PortName, QStringLiteral("COM1"));
        return;
    }
    QVERIFY(w.prompter().history().isEmpty());
    QCOMPARE(w.keptSettings().PortName, name);
    QCOMPARE(w.port().portName(), name);
    // No such port: one message, and the window stays closed.
    w.Command1_Click();
    QCOMPARE(w.prompter().history().size(), 1);
    QCOMPARE(w.prompter().history().first().title, QStringLiteral("Error Waining!"));
    QCOMPARE(w.Command1->text(), QStringLiteral("Open Serial"));
    QVERIFY(!w.port().isOpen());
    QVERIFY(!w.Command5->isEnabled());
}

QTEST_MAIN(tst_badinput)
