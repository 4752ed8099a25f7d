// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form2Rig.h"
#include "Lamp.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Writing a value, the address box, and the lock buttons.
class tst_form2write : public QObject
{
    Q_OBJECT
private slots:
    void enterChecksBounds_data();
    void enterChecksBounds();
    void enterWaitsForTheReplyOfThePick();
    void readAndWriteGoToTheAddressBox();
    void badAddressSendsNothing_data();
    void badAddressSendsNothing();
    void noWriteToEveryDrive();
    void saysWhatBecameOfTheWrite();
    void aRefusedValueReplacesTheWritten();
    void encryption_data();
    void encryption();
    void exitArmsTheLock_data();
    void exitArmsTheLock();
};

void tst_form2write::enterChecksBounds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("frame"); // empty: refused
    QTest::addColumn<QString>("message");
    QTest::newRow("400 -> 01 06 00 06 9C 40") << "400" << request(1, 6, 0, 6, 40000) << QString();
    QTest::newRow("0 -> 01 06 00 06 00 00") << "0" << request(1, 6, 0, 6, 0) << QString();
    QTest::newRow("50.5 -> 01 06 00 06 13 BA") << "50.5" << request(1, 6, 0, 6, 5050) << QString();
    QTest::newRow("400.01") << "400.01" << QByteArray() << kBoundsError;
    QTest::newRow("empty") << "" << QByteArray() << kBoundsError;
    // These read as 0 by their leading digits, yet would write -1 or 500.
    QTest::newRow("-1") << "-1" << QByteArray() << kBoundsError;
    QTest::newRow("blank 500") << " 500" << QByteArray() << kBoundsError;
    QTest::newRow("+500") << "+500" << QByteArray() << kBoundsError;
    QTest::newRow("12abc") << "12abc" << QByteArray()
                           << "The present value is not a number. Nothing was sent.";
    QTest::newRow("abc") << "abc" << QByteArray()
                         << "The present value is not a number. Nothing was sent.";
}

void tst_form2write::enterChecksBounds()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, frame);
    QFETCH(QString, message);
    Form2Rig rig;
    rig.show(QStringLiteral("0"), 6, 5000); // P0.06: 0.00 .. 400.00
    QCOMPARE(rig.window->Text3->text(), QStringLiteral("0.00"));
    QCOMPARE(rig.window->Text4->text(), QStringLiteral("400.00"));
    rig.link.RxIndex = 3;
    rig.window->Text1->setText(typed);
    rig.window->Command1_Click();
    if (frame.isEmpty()) {
        QVERIFY(rig.port.written().isEmpty());
        QCOMPARE(rig.messages(), QStringList{message});
        QCOMPARE(rig.titles(), QStringList{QStringLiteral("Error Warning")});
        QCOMPARE(rig.prompter.history().first().icon, QMessageBox::Warning);
        QCOMPARE(rig.window->Text1->text(), typed); // the typed text stays
    } else {
        QCOMPARE(rig.port.written(), QList<QByteArray>{frame});
        QVERIFY(rig.prompter.history().isEmpty());
        // The line was quiet, so whatever was half assembled answers nothing:
        // the write's answer is assembled from the start.
        QCOMPARE(rig.link.RxIndex, 0);
    }
}

void tst_form2write::enterWaitsForTheReplyOfThePick()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    w.Text1->setText(QStringLiteral("1"));
    w.Command1_Click();                     // nothing read yet
    rig.show(QStringLiteral("0"), 3, 5000); // scale 0.01
    rig.pickIndex(4);                       // scale 1, but no answer yet
    rig.port.clearWritten();
    w.Text1->setText(QStringLiteral("1"));
    w.Command1_Click();
    QVERIFY(rig.port.written().isEmpty());
    QCOMPARE(rig.messages().size(), 2);
    QVERIFY(rig.messages().last().contains(QStringLiteral("Nothing was sent.")));

    rig.receive(request(1, 3, 0, 4, 0));
    w.Text1->setText(QStringLiteral("1"));
    w.Command1_Click();
    QCOMPARE(rig.port.written(), QList<QByteArray>{request(1, 6, 0, 4, 1)});
}

void tst_form2write::readAndWriteGoToTheAddressBox()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    w.Combo3->setCurrentText(QStringLiteral("7"));
    rig.pickGroup(QStringLiteral("A"));
    rig.pickIndex(5);
    QCOMPARE(rig.port.written().last(), request(7, 3, 10, 5));
    rig.receive(request(7, 3, 10, 5, 1000));
    QCOMPARE(w.Text1->text(), QStringLiteral("10"));
    rig.port.clearWritten();
    w.Text1->setText(QStringLiteral("12.5"));
    w.Command1_Click();
    QCOMPARE(rig.port.written(), QList<QByteArray>{request(7, 6, 10, 5, 1250)});
}

// After "Enter" the window says in words whether the drive took the value,
// refused it or did not answer; the given controls and boxes stay as they were.
void tst_form2write::saysWhatBecameOfTheWrite()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("0"), 6, 5000); // P0.06, 0.01 a step
    // From here the far end answers only what the test sends.
    QObject::disconnect(&rig.link, &Hexedit::frameSent, &rig.link, nullptr);
    // "Enter" with a value; the frame it sent, or nothing when it said nothing
    // yet of an earlier one and sent exactly one frame.
    auto enter = [&](const QString& typed) {
        w.Text1->setText(typed);
        w.Command1_Click();
        const QList<QByteArray> sent = rig.port.written();
        rig.port.clearWritten();
        return sent.size() == 1 && w.WriteResultLabel->text().isEmpty() ? sent.first()
                                                                        : QByteArray();
    };

    const QByteArray write = enter(QStringLiteral("50.5"));
    QCOMPARE(write, request(1, 6, 0, 6, 5050));
    rig.receive(write); // the drive echoes the write
    passAnswerTimeout(rig.link);
    QCOMPARE(w.WriteResultLabel->text(), QStringLiteral("P0.06 = 50.5 written to drive 1"));

    QVERIFY(!enter(QStringLiteral("60")).isEmpty());
    rig.receive(exceptionAnswer(1, 0x86, 3));
    QCOMPARE(w.WriteResultLabel->text(),
             QStringLiteral("Drive 1 refused P0.06 = 60 (exception 3: the value is not "
                            "allowed now)"));

    QVERIFY(!enter(QStringLiteral("70")).isEmpty());
    passAnswerTimeout(rig.link);
    QCOMPARE(w.WriteResultLabel->text(),
             QStringLiteral("No answer from drive 1: P0.06 = 70 may not have been written"));
    // A read's answer says nothing of a write.
    rig.pickIndex(3);
    rig.receive(request(1, 3, 0, 3, 5000));
    QVERIFY(w.WriteResultLabel->text().startsWith(QStringLiteral("No answer")));
    QVERIFY(rig.prompter.history().isEmpty());
    QCOMPARE(w.Text1->text(), QStringLiteral("50"));

    // Each index offers its parameter's name before any read.
    rig.pickGroup(QStringLiteral("0"));
    QCOMPARE(w.Combo2->itemData(14, Qt::ToolTipRole).toString(),
             QStringLiteral("P0.14 Acceleration time 1"));
    w.Combo2->setCurrentIndex(9);
    QCOMPARE(w.Combo2->toolTip(), QStringLiteral("P0.09 max output voltage"));
    QCOMPARE(w.Combo2->itemText(9), QStringLiteral("9"));
}

// The line speaks of the last "Enter": after a value taken, one refused by
// the window's own checks must not leave "written" standing beside it.
void tst_form2write::aRefusedValueReplacesTheWritten()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("0"), 14, 200); // P0.14 at 20.0, 0.1 a step
    QObject::disconnect(&rig.link, &Hexedit::frameSent, &rig.link, nullptr);
    const QColor green = QColor(0, 110, 0);
    auto colour = [&] { return w.WriteResultLabel->palette().color(QPalette::WindowText); };
    w.Text1->setText(QStringLiteral("5.5"));
    w.Command1_Click();
    const QList<QByteArray> sent = rig.port.written();
    QCOMPARE(sent.size(), 1);
    rig.receive(sent.first());
    passAnswerTimeout(rig.link);
    QCOMPARE(w.WriteResultLabel->text(), QStringLiteral("P0.14 = 5.5 written to drive 1"));
    QCOMPARE(colour(), green);

    rig.port.clearWritten();
    w.Text1->setText(QStringLiteral("5000"));
    w.Command1_Click();
    QVERIFY(rig.port.written().isEmpty());
    QCOMPARE(rig.messages(), QStringList{kBoundsError}); // the given box, as it was
    QCOMPARE(w.WriteResultLabel->text(),
             QStringLiteral("P0.14 = 5000 not sent: outside Min %1 and Max %2")
                 .arg(w.Text3->text(), w.Text4->text()));
    QCOMPARE(colour(), QColor(Qt::red));

    // Any refusal of "Enter" says so; the next value taken is green again.
    w.Combo3->setCurrentText(QStringLiteral("0"));
    w.Text1->setText(QStringLiteral("6"));
    w.Command1_Click();
    QVERIFY(rig.port.written().isEmpty());
    QCOMPARE(w.WriteResultLabel->text(),
             QStringLiteral("P0.14 = 6 not sent: address 0 would reach every drive"));
    w.Combo3->setCurrentText(QStringLiteral("1"));
    w.Command1_Click();
    QCOMPARE(rig.port.written().size(), 1);
    rig.receive(rig.port.written().first());
    passAnswerTimeout(rig.link);
    QCOMPARE(w.WriteResultLabel->text(), QStringLiteral("P0.14 = 6 written to drive 1"));
    QCOMPARE(colour(), green);
    rig.port.close();
    w.Command1_Click();
    QCOMPARE(w.WriteResultLabel->text(),
             QStringLiteral("P0.14 = 6 not sent: the port is not open"));
}

void tst_form2write::badAddressSendsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("sentTo"); // -1: refused
    QTest::newRow("300") << "300" << -1;
    QTest::newRow("256") << "256" << -1;
    QTest::newRow("abc") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("3.5") << "3.5" << -1;
    QTest::newRow("-1") << "-1" << -1;
    QTest::newRow("7x") << "7x" << -1;
    QTest::newRow("0000000000000000007") << "0000000000000000007" << 7;
    QTest::newRow("255") << "255" << 255;
}

void tst_form2write::badAddressSendsNothing()
{
    QFETCH(QString, address);
    QFETCH(int, sentTo);
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("0"), 3, 5000);
    w.Combo3->setCurrentText(address);
    rig.pickIndex(3);
    w.Text1->setText(QStringLiteral("10"));
    w.Command1_Click();
    if (sentTo < 0) {
        QVERIFY(rig.port.written().isEmpty());
        QCOMPARE(rig.messages().size(), 2); // one for the read, one for the write
        QVERIFY(rig.messages().first().contains(QStringLiteral("0 to 255")));
        QCOMPARE(rig.titles().first(), QStringLiteral("Error Warning"));
    } else {
        QCOMPARE(rig.port.written(), (QList<QByteArray>{request(quint8(sentTo), 3, 0, 3),
                                                        request(quint8(sentTo), 6, 0, 3, 1000)}));
        QVERIFY(rig.messages().isEmpty());
    }
}

void tst_form2write::noWriteToEveryDrive()
{
    // Address 0 may be read from, but a write there would reach every drive.
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("0"), 3, 5000);
    w.Combo3->setCurrentText(QStringLiteral("0"));
    rig.pickIndex(3);
    QCOMPARE(rig.port.written(), QList<QByteArray>{request(0, 3, 0, 3)});
    w.Text1->setText(QStringLiteral("10"));
    w.Command1_Click();
    QCOMPARE(rig.port.written().size(), 1);
    QCOMPARE(rig.messages().size(), 1);
    QVERIFY(rig.messages().first().startsWith(QStringLiteral("Address 0")));
}

void tst_form2write::encryption_data()
{
    QTest::addColumn<bool>("passwordSet");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("menuEnabled");
    QTest::addColumn<int>("passwordWindows");
    QTest::newRow("armed") << true << "Encrypted Successfully." << false << 0;
    QTest::newRow("no password") << false << "Password did not be setted,please set a password!"
                                 << true << 1;
}

void tst_form2write::encryption()
{
    QFETCH(bool, passwordSet);
    QFETCH(QString, message);
    QFETCH(bool, menuEnabled);
    QFETCH(int, passwordWindows);
    Form2Rig rig;
    rig.window->show();
    rig.lock.PasswordSet = passwordSet;
    QSignalSpy requested(rig.window.data(), &Form2::passwordWindowRequested);
    rig.window->Command4_Click();
    QCOMPARE(rig.messages(), QStringList{message});
    QCOMPARE(rig.titles(), QStringList{QStringLiteral("Message!")});
    QCOMPARE(rig.dataSet.isEnabled(), menuEnabled);
    QCOMPARE(requested.count(), passwordWindows);
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.port.written().isEmpty());
}

void tst_form2write::exitArmsTheLock_data()
{
    QTest::addColumn<bool>("passwordSet");
    QTest::newRow("armed") << true;
    QTest::newRow("not armed") << false;
}

void tst_form2write::exitArmsTheLock()
{
    QFETCH(bool, passwordSet);
    Form2Rig rig;
    rig.window->show();
    rig.lock.PasswordSet = passwordSet;
    rig.window->Command2_Click();
    QCOMPARE(rig.dataSet.isEnabled(), !passwordSet);
    flushDeletes();
    QVERIFY(rig.window.isNull());

    // Closing by the title bar does nothing beyond closing.
    Form2Rig again;
    again.lock.PasswordSet = true;
    again.window->show();
    again.window->close();
    QVERIFY(again.dataSet.isEnabled());
}

QTEST_MAIN(tst_form2write)

#include "tst_form2write.moc"
