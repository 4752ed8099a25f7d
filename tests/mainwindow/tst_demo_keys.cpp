// SPDX-License-Identifier: GPL-3.0-or-later
// The run-command options from the keyboard: the arrow keys move the focus and
// choose nothing; Space, a click or the accessibility "press" chooses once.
#include "DemoBench.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace {

struct KeyBench : DemoBench
{
    KeyBench()
    {
        window.show();
        window.activateWindow();
        openPort();
    }

    bool ready() { return QTest::qWaitForWindowActive(&window); }

    // The key goes to whichever option has the focus, as a user's would.
    void press(Qt::Key key)
    {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClick(focused, key);
    }

    // The command and refresh ticks: what a chosen option repeats goes out here.
    void tick()
    {
        window.Timer2_Timer();
        window.Timer3_Timer();
    }
};

} // namespace

class tst_demo_keys : public QObject
{
    Q_OBJECT
private slots:
    void arrowsMoveTheFocusAndChooseNothing();
    void arrowsLeaveTheRunningCommandAlone();
    void spaceAndPressChooseOnce();
    void menusAndAddressListsForKeysAndReaders();
};

// From NONE, Up reaches JOG-R and Up again REV: neither is chosen, no jog
// question opens, nothing goes out, however often the ticks come.
void tst_demo_keys::arrowsMoveTheFocusAndChooseNothing()
{
    KeyBench b;
    QVERIFY(b.ready());
    demo& w = b.window;
    w.Option9->setFocus();
    b.press(Qt::Key_Up);
    QVERIFY(w.Option4->hasFocus());
    b.press(Qt::Key_Up);
    QVERIFY(w.Option2->hasFocus());
    b.press(Qt::Key_Up);
    QVERIFY(w.Option1->hasFocus());
    b.press(Qt::Key_Down);
    QVERIFY(w.Option2->hasFocus());
    b.press(Qt::Key_Right);
    QVERIFY(w.Option4->hasFocus());
    b.press(Qt::Key_Left);
    QVERIFY(w.Option3->hasFocus());
    b.tick();
    b.tick();
    QVERIFY(w.Option9->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QVERIFY(!w.Timer2->isActive());
    QVERIFY(b.prompts().isEmpty());
    QVERIFY(b.writtenHex().isEmpty());
}

// FWD runs; moving from it through REV, JOG-F, JOG-R, NONE, REV-S and FWD-S
// (some of which send at once when chosen) changes nothing: FWD keeps going out.
void tst_demo_keys::arrowsLeaveTheRunningCommandAlone()
{
    KeyBench b;
    QVERIFY(b.ready());
    demo& w = b.window;
    QTest::mouseClick(w.Option1, Qt::LeftButton);
    QCOMPARE(w.PendingCommand, RunCommand::Forward);
    w.Option1->setFocus();
    const QList<QPair<Qt::Key, OptionButton*>> steps{
        {Qt::Key_Down, w.Option2}, {Qt::Key_Down, w.Option3}, {Qt::Key_Right, w.Option4},
        {Qt::Key_Down, w.Option9}, {Qt::Key_Down, w.Option8}, {Qt::Key_Left, w.Option7}};
    for (const auto& [key, reached] : steps) {
        b.press(key);
        QVERIFY(reached->hasFocus());
    }
    QVERIFY(w.Option1->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::Forward);
    QVERIFY(b.prompts().isEmpty());
    QVERIFY(b.writtenHex().isEmpty());
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x12, 5000)});
}

void tst_demo_keys::spaceAndPressChooseOnce()
{
    KeyBench b;
    QVERIFY(b.ready());
    demo& w = b.window;
    w.Option9->setFocus();
    b.press(Qt::Key_Up);
    b.press(Qt::Key_Up);
    b.press(Qt::Key_Space);
    QVERIFY(w.Option2->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::Reverse);
    QVERIFY(w.Timer2->isActive());
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x22, 5000)});

    // Down to JOG-F, then Space: the jog question, asked once.
    b.press(Qt::Key_Down);
    QVERIFY(w.Option3->hasFocus());
    QCOMPARE(w.PendingCommand, RunCommand::Reverse);
    b.press(Qt::Key_Space);
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(w.PendingCommand, RunCommand::JogForward);

    // The accessibility "press" on REV-S sends it once, at once.
    b.port.clearWritten();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w.Option8);
    QVERIFY(face && face->actionInterface());
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press shows the button pressed for a moment before it clicks.
    QTRY_VERIFY(w.Option8->isChecked());
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x2E, 5000)});
}

QTEST_MAIN(tst_demo_keys)
// Every entry of the Set, Tools and Help menus can be picked by its own
// letter, its caption otherwise as shown before; a screen reader names the
// address lists by their labels and reads the address as their value.
void tst_demo_keys::menusAndAddressListsForKeysAndReaders()
{
    DemoBench b;
    demo& w = b.window;
    QStringList shown;
    for (QMenu* menu : {w.set, w.tools, w.help}) {
        QSet<QChar> letters;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString text = action->text();
            const qsizetype at = text.indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
            QVERIFY2(!letters.contains(text[at + 1].toLower()), qPrintable(text));
            letters.insert(text[at + 1].toLower());
            shown << QString(text).remove(u'&');
        }
    }
    for (const char* caption : {"Serail Port Set", "Parameter Set", "Password", "Change Skin",
                                "Drive Parameters...", "Recorder...", "User Guide", "About"})
        QVERIFY2(shown.contains(QString::fromUtf8(caption)), caption);

    w.Combo4->setCurrentIndex(w.Combo4->findText(QStringLiteral("3")));
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(w.Combo4);
    QVERIFY(first);
    QCOMPARE(first->role(), QAccessible::ComboBox);
    QCOMPARE(first->text(QAccessible::Name), QStringLiteral("First"));
    QCOMPARE(first->text(QAccessible::Value), QStringLiteral("3"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Combo1)->text(QAccessible::Name),
             QStringLiteral("End"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Combo2)->text(QAccessible::Name),
             QStringLiteral("Single Machine"));
}

#include "tst_demo_keys.moc"
