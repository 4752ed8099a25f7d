// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form2.h"
#include "ParamRig.h"
#include "encoder.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString kDidNotEnter = QStringLiteral("You didn't enter the new password,yet.");
const QString kEnterNumber = QStringLiteral("Enter number,please!");
const QString kPleaseNumber = QStringLiteral("Please enter number!");
const QString kVerifyFirst = QStringLiteral("Please verify the password before change it!");
const QString kLength = QStringLiteral("Please enter 3 to 8 numbers.");
const QString kChanged = QStringLiteral("Password had been changed, please keep it youself!");
const QString kSuccess = QStringLiteral("Successful,you can modify the parameter now!");
const QString kWrong = QStringLiteral("Password error,please try again.");

struct EncoderRig : ParamRig
{
    QPointer<encoder> window = new encoder(lock, prompter, dataSet);
    EncoderRig() { dataSet.setEnabled(false); }
    ~EncoderRig() { delete window; }

    void setPassword(const QString& password)
    {
        window->Text2->setText(password);
        window->Command2_Click();
        prompter.clearHistory();
    }
};

} // namespace

class tst_encoder : public QObject
{
    Q_OBJECT
private slots:
    void opensAsDescribed();
    void verifyKeyWithNoPassword();
    void newPasswordKeyUnlocksWhenNoPasswordExists();
    void newPasswordKeyAfterExitNeedsVerifying();
    void typingGoesThroughTheFilters();
    void pasteCannotBypassTheFilter();
    void lengthsAreChecked_data();
    void lengthsAreChecked();
    void verifying_data();
    void verifying();
    void changingTwiceKeepsThePassword();
    void exitArmsTheLockAndTitleBarDoesNot();
    void lockRoundTripWithTheParameterWindow();
    void asterisksGoWhenTypingStarts();
    void newPasswordIsThreeToEightDigits_data();
    void newPasswordIsThreeToEightDigits();
};

void tst_encoder::opensAsDescribed()
{
    EncoderRig rig;
    encoder& w = *rig.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Password "));
    QVERIFY(w.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(w.Frame1->title(), QStringLiteral("Odd Password"));
    QCOMPARE(w.Label1->text(), QStringLiteral("Enter the Password "));
    QCOMPARE(w.Frame2->title(), QStringLiteral("New Password"));
    QCOMPARE(w.Label2->text(), kLength);
    QCOMPARE(w.Text1->text(), QStringLiteral("******"));
    QCOMPARE(w.Text2->text(), QStringLiteral("******"));
    QCOMPARE(w.Text1->accessibleName(), QStringLiteral("Enter the Password "));
    QCOMPARE(w.Command3->text(), QStringLiteral("Exit"));
}

void tst_encoder::verifyKeyWithNoPassword()
{
    EncoderRig rig;
    encoder& w = *rig.window;
    QVERIFY(w.Text1_KeyPress('5'));
    QCOMPARE(rig.messages(), QStringList{kDidNotEnter});
    QCOMPARE(rig.titles(), QStringList{QStringLiteral("Message!")});
    QVERIFY(rig.lock.Unlocked);
    QVERIFY(!rig.lock.PasswordSet);
    QVERIFY(!rig.dataSet.isEnabled()); // the verify box alone does not enable it

    rig.prompter.clearHistory();
    QVERIFY(!w.Text1_KeyPress('a'));
    QCOMPARE(rig.messages(), (QStringList{kDidNotEnter, kEnterNumber}));
    QCOMPARE(rig.titles().last(), QStringLiteral("Erorr Warning!"));

    rig.prompter.clearHistory();
    QVERIFY(w.Text1_KeyPress(8)); // backspace
    QCOMPARE(rig.messages(), QStringList{kDidNotEnter});

    // With a password armed the key passes silently.
    rig.setPassword(QStringLiteral("1234"));
    QVERIFY(w.Text1_KeyPress('7'));
    QVERIFY(rig.messages().isEmpty());
}

void tst_encoder::newPasswordKeyUnlocksWhenNoPasswordExists()
{
    EncoderRig rig;
    rig.lock.PasswordSet = true; // as after "Exit" without a password
    QVERIFY(rig.window->Text2_KeyPress('1'));
    QVERIFY(rig.messages().isEmpty());
    QVERIFY(rig.lock.Unlocked);
    QVERIFY(!rig.lock.PasswordSet);
    QVERIFY(rig.dataSet.isEnabled());

    QVERIFY(!rig.window->Text2_KeyPress('x'));
    QCOMPARE(rig.messages(), QStringList{kPleaseNumber});
    QCOMPARE(rig.titles(), QStringList{QStringLiteral("Error Warning")});
}

void tst_encoder::newPasswordKeyAfterExitNeedsVerifying()
{
    EncoderRig rig;
    rig.setPassword(QStringLiteral("246"));
    rig.lock.Unlocked = false; // as "Exit" leaves it
    for (const int key : {int('x'), int('3'), 8}) {
        rig.prompter.clearHistory();
        QVERIFY(rig.window->Text2_KeyPress(key));
        QCOMPARE(rig.messages(), QStringList{kVerifyFirst});
        QCOMPARE(rig.titles(), QStringList{QStringLiteral("Warning!")});
    }
    QVERIFY(!rig.dataSet.isEnabled());
    // "Enter" does not look at the lock, but takes digits only: letters that
    // got in unverified would make a password nobody can type back.
    rig.prompter.clearHistory();
    rig.window->Text2->setText(QStringLiteral("ab12"));
    rig.window->Command2_Click();
    QCOMPARE(rig.lock.CurrentPassword, QStringLiteral("246"));
    QCOMPARE(rig.messages(), QStringList{kLength});
    rig.window->Text2->setText(QStringLiteral("1234"));
    rig.window->Command2_Click();
    QCOMPARE(rig.lock.CurrentPassword, QStringLiteral("1234"));
}

void tst_encoder::typingGoesThroughTheFilters()
{
    EncoderRig rig;
    encoder& w = *rig.window;
    w.show();
    w.Text1->clear();
    QTest::keyClicks(w.Text1, QStringLiteral("12a3"));
    QCOMPARE(w.Text1->text(), QStringLiteral("123"));
    QCOMPARE(rig.messages().count(kEnterNumber), 1);
    QTest::keyClick(w.Text1, Qt::Key_Backspace);
    QCOMPARE(w.Text1->text(), QStringLiteral("12"));
    const qsizetype before = rig.prompter.history().size();
    QTest::keyClick(w.Text1, Qt::Key_Left); // types nothing: no check, no message
    QTest::keyClick(w.Text1, Qt::Key_A, Qt::ControlModifier);
    // Delete edits the box as the arrows do; X11 attaches U+007F to it.
    w.Text1->setCursorPosition(0);
    QKeyEvent deleteKey(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    QApplication::sendEvent(w.Text1, &deleteKey);
    QCOMPARE(w.Text1->text(), QStringLiteral("2"));
    QCOMPARE(rig.prompter.history().size(), before);
    QTest::keyClick(w.Text1, Qt::Key_Return); // a key like any other non-digit
    QCOMPARE(rig.messages().count(kEnterNumber), 2);

    // Unverified, the new-password box takes letters and complains about each.
    rig.setPassword(QStringLiteral("999"));
    rig.lock.Unlocked = false;
    w.Text2->clear();
    QTest::keyClicks(w.Text2, QStringLiteral("a1"));
    QCOMPARE(w.Text2->text(), QStringLiteral("a1"));
    QCOMPARE(rig.messages(), (QStringList{kVerifyFirst, kVerifyFirst}));
}

void tst_encoder::pasteCannotBypassTheFilter()
{
    EncoderRig rig;
    encoder& w = *rig.window;
    w.show();
    w.Text2->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab"));
    QTest::keyClick(w.Text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Text2->text(), QString());
    QCOMPARE(rig.messages(), QStringList{kPleaseNumber});

    QGuiApplication::clipboard()->setText(QStringLiteral("5678"));
    QTest::keyClick(w.Text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Text2->text(), QStringLiteral("5678"));
    QCOMPARE(rig.messages().size(), 1);
    QCOMPARE(w.Text2->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!w.Text2->acceptDrops());
}

void tst_encoder::lengthsAreChecked_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("longEnough");
    QTest::newRow("2 digits") << "12" << false;
    QTest::newRow("3 digits") << "123" << true;
    QTest::newRow("8 digits") << "12345678" << true;
    QTest::newRow("9 digits") << "123456789" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_encoder::lengthsAreChecked()
{
    QFETCH(QString, entry);
    QFETCH(bool, longEnough);
    EncoderRig rig;
    encoder& w = *rig.window;
    w.Text2->setText(entry);
    w.Command2_Click();
    QCOMPARE(rig.messages(), QStringList{longEnough ? kChanged : kLength});
    QCOMPARE(rig.titles(), QStringList{QStringLiteral("Message!")});
    QCOMPARE(rig.lock.PasswordSet, longEnough);
    QCOMPARE(rig.lock.CurrentPassword, longEnough ? entry : QString());
    QCOMPARE(w.Text2->text(), longEnough ? QStringLiteral("*******") : QString());

    // The verify box: a right length that is wrong is a wrong password.
    rig.prompter.clearHistory();
    rig.lock.CurrentPassword = QStringLiteral("4444");
    w.Text1->setText(entry);
    w.Command1_Click();
    QCOMPARE(rig.messages(), QStringList{longEnough ? kWrong : kLength});
    QCOMPARE(w.Text1->text(), QString());
    QVERIFY(!rig.dataSet.isEnabled());
}

void tst_encoder::verifying_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("default, no password") << ""
                                          << "41736259" << true;
    QTest::newRow("default, password set") << "135"
                                           << "41736259" << true;
    QTest::newRow("own password") << "135"
                                  << "135" << true;
    QTest::newRow("prefix of it") << "1357"
                                  << "135" << false;
    QTest::newRow("no password to match") << ""
                                          << "000" << false;
}

void tst_encoder::verifying()
{
    QFETCH(QString, current);
    QFETCH(QString, entry);
    QFETCH(bool, accepted);
    EncoderRig rig;
    rig.lock.CurrentPassword = current;
    rig.window->Text1->setText(entry);
    rig.window->Command1_Click();
    QCOMPARE(rig.messages(), QStringList{accepted ? kSuccess : kWrong});
    QCOMPARE(rig.lock.Unlocked, accepted);
    QCOMPARE(rig.dataSet.isEnabled(), accepted);
    QCOMPARE(rig.window->Text1->text(), accepted ? QStringLiteral("*******") : QString());
}

void tst_encoder::changingTwiceKeepsThePassword()
{
    EncoderRig rig;
    rig.window->Command2_Click(); // the six asterisks it opens with were never typed
    QCOMPARE(rig.messages(), QStringList{kLength});
    QVERIFY(!rig.lock.PasswordSet);
    rig.setPassword(QStringLiteral("2468"));
    rig.window->Command2_Click(); // now "*******" stands in the box
    QCOMPARE(rig.messages(), QStringList{kLength});
    QCOMPARE(rig.lock.CurrentPassword, QStringLiteral("2468"));
}

void tst_encoder::exitArmsTheLockAndTitleBarDoesNot()
{
    {
        EncoderRig rig;
        rig.lock.Unlocked = true;
        rig.window->show();
        rig.window->close();
        QVERIFY(!rig.lock.PasswordSet);
        QVERIFY(rig.lock.Unlocked);
        QVERIFY(rig.prompter.history().isEmpty());
    }
    EncoderRig rig;
    rig.lock.Unlocked = true;
    rig.window->show();
    rig.window->Command3_Click();
    QVERIFY(rig.lock.PasswordSet);
    QVERIFY(!rig.lock.Unlocked);
    flushDeletes();
    QVERIFY(rig.window.isNull());
}

void tst_encoder::lockRoundTripWithTheParameterWindow()
{
    EncoderRig rig;
    rig.dataSet.setEnabled(true);
    QPointer<Form2> parameters = new Form2(rig.link, rig.prompter, rig.lock, rig.dataSet);
    rig.setPassword(QStringLiteral("8642"));
    parameters->Command4_Click();
    QCOMPARE(rig.messages(), QStringList{QStringLiteral("Encrypted Successfully.")});
    QVERIFY(!rig.dataSet.isEnabled());

    rig.window->Text1->setText(QStringLiteral("8642"));
    rig.window->Command1_Click();
    QVERIFY(rig.dataSet.isEnabled());
    rig.window->Command3_Click();
    parameters->Command2_Click(); // leaving the parameter window locks again
    QVERIFY(!rig.dataSet.isEnabled());
    QVERIFY(rig.port.written().isEmpty());
    flushDeletes();
}

void tst_encoder::asterisksGoWhenTypingStarts()
{
    EncoderRig rig;
    encoder& w = *rig.window;
    w.show();
    // Typed into the box as it opens, cursor behind the asterisks.
    QTest::keyClicks(w.Text2, QStringLiteral("12"));
    QCOMPARE(w.Text2->text(), QStringLiteral("12"));
    QTest::keyClicks(w.Text1, QStringLiteral("41736259"));
    QCOMPARE(w.Text1->text(), QStringLiteral("41736259"));
    // Both boxes hide the digits behind asterisks, the verify box included.
    QCOMPARE(w.Text2->displayText(), QStringLiteral("**"));
    QCOMPARE(w.Text1->displayText(), QStringLiteral("********"));

    // Entering the box by mouse selects them, so the first key replaces them.
    w.Text2->setText(QStringLiteral("*******"));
    w.Text2->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(w.Text2, &focus);
    QCoreApplication::processEvents();
    QCOMPARE(w.Text2->selectedText(), QStringLiteral("*******"));
    // A paste replaces them as well.
    w.Text2->deselect();
    QGuiApplication::clipboard()->setText(QStringLiteral("5678"));
    QTest::keyClick(w.Text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Text2->text(), QStringLiteral("5678"));
}

void tst_encoder::newPasswordIsThreeToEightDigits_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("taken");
    QTest::newRow("asterisks in front") << "******12" << false;
    QTest::newRow("seven asterisks") << "*******" << false;
    QTest::newRow("letters") << "12ab" << false;
    QTest::newRow("blank") << " 123" << false;
    QTest::newRow("full-width digits") << QString::fromUtf8("１２３") << false;
    QTest::newRow("3 digits") << "007" << true;
}

void tst_encoder::newPasswordIsThreeToEightDigits()
{
    QFETCH(QString, entry);
    QFETCH(bool, taken);
    EncoderRig rig;
    rig.window->Text2->setText(entry);
    rig.window->Command2_Click();
    QCOMPARE(rig.messages(), QStringList{taken ? kChanged : kLength});
    QCOMPARE(rig.lock.CurrentPassword, taken ? entry : QString());
    QCOMPARE(rig.lock.PasswordSet, taken);
}

QTEST_MAIN(tst_encoder)

#include "tst_encoder.moc"
