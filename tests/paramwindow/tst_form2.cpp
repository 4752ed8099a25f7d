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

// Picking a parameter, reading it and showing the drive's answer.
class tst_form2 : public QObject
{
    Q_OBJECT
private slots:
    void opensWithGroupZeroAndAddressOne();
    void controlsLookAsDescribed();
    void groupPickReadsIndexZeroOnce_data();
    void groupPickReadsIndexZeroOnce();
    void indexPickReadsOnce();
    void indexPickWhileListRefilledSendsNothing();
    void replyFillsWindow_data();
    void replyFillsWindow();
    void reservedParameterCannotBeWritten();
    void replyForAnotherParameterIsIgnored();
    void optionTextToolTipFollowsText();
    void drainRunsThroughTheLinkTimer();
    void readWaitsVisiblyForItsAnswer();
};

void tst_form2::opensWithGroupZeroAndAddressOne()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    QCOMPARE(rig.items(w.Combo1), numbers(0, 9) << QStringLiteral("A"));
    QCOMPARE(w.Combo1->currentText(), QStringLiteral("0"));
    QCOMPARE(rig.items(w.Combo2), numbers(0, 23));
    QCOMPARE(w.Combo2->currentText(), QStringLiteral("0"));
    QVERIFY(w.ListReady);
    QCOMPARE(rig.items(w.Combo3), numbers(0, 31));
    QCOMPARE(w.Combo3->currentText(), QStringLiteral("1"));
    QVERIFY(w.Combo3->isEditable());
    QVERIFY(!w.Combo1->isEditable() && !w.Combo2->isEditable());
    // Opening the window alone must not talk to a drive.
    QVERIFY(rig.port.written().isEmpty());
}

void tst_form2::controlsLookAsDescribed()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Attribute"));
    QVERIFY(w.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(w.Frame1->title(), QStringLiteral("Machine Type && Parameter Set"));
    QCOMPARE(w.Frame2->title(), QStringLiteral("Attribute"));
    QCOMPARE(w.Label2->text(), QStringLiteral("Root Parameter"));
    QCOMPARE(w.Label10->text(), QStringLiteral("Sub Parameter"));
    QCOMPARE(w.Label10->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QVERIFY(w.Label1->font().bold());
    QCOMPARE(w.Label4->text(), QStringLiteral("Defualt"));
    QCOMPARE(w.Label8->toolTip(), QStringLiteral("绿色可更改，红色不可更改"));
    QCOMPARE(w.findChild<Lamp*>(QStringLiteral("Shape1")), w.Shape1);
    for (QLineEdit* box : {w.Text2, w.Text3, w.Text4, w.Text5})
        QVERIFY(box->isReadOnly() && box->text().isEmpty());
    QVERIFY(w.Text6->isReadOnly());
    QVERIFY(!w.Text1->isReadOnly());
    for (QWidget* box :
         std::initializer_list<QWidget*>{w.Text1, w.Text2, w.Text6, w.Combo1, w.Combo2, w.Combo3}) {
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::green));
    }
    QCOMPARE(w.Text3->accessibleName(), QStringLiteral("Min"));
    QCOMPARE(w.Combo3->accessibleName(), QStringLiteral("Inverter Address"));
    QCOMPARE(w.Command4->text(), QStringLiteral("Encryption"));
    QVERIFY(w.Command1->isEnabled());
}

void tst_form2::groupPickReadsIndexZeroOnce_data()
{
    QTest::addColumn<QString>("digit");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("01 03 0A 00 00 00") << "A" << 12 << request(1, 3, 10, 0);
    QTest::newRow("01 03 02 00 00 00") << "2" << 43 << request(1, 3, 2, 0);
    QTest::newRow("01 03 09 00 00 00") << "9" << 3 << request(1, 3, 9, 0);
}

void tst_form2::groupPickReadsIndexZeroOnce()
{
    QFETCH(QString, digit);
    QFETCH(int, lastIndex);
    QFETCH(QByteArray, frame);
    Form2Rig rig;
    rig.window->Combo2->setCurrentIndex(3); // whatever was picked before
    rig.pickGroup(digit);
    QCOMPARE(rig.items(rig.window->Combo2), numbers(0, lastIndex));
    QCOMPARE(rig.window->Combo2->currentText(), QStringLiteral("0"));
    QVERIFY(rig.window->ListReady);
    QCOMPARE(rig.port.written(), QList<QByteArray>{frame});
    QCOMPARE(rig.link.RxIndex, 0);
}

void tst_form2::indexPickReadsOnce()
{
    Form2Rig rig;
    rig.pickGroup(QStringLiteral("A"));
    rig.port.clearWritten();
    rig.link.RxIndex = 4; // half a frame from before must not spoil the reply
    rig.pickIndex(5);
    const QByteArray expected = QByteArray::fromHex("01030A050000");
    const quint16 crc =
        Hexedit::Crc16(reinterpret_cast<const quint8*>(expected.constData()), expected.size());
    QCOMPARE(rig.port.written(), QList<QByteArray>{expected + char(crc & 0xFF) + char(crc >> 8)});
    QCOMPARE(rig.link.RxIndex, 0);
}

void tst_form2::indexPickWhileListRefilledSendsNothing()
{
    Form2Rig rig;
    rig.window->ListReady = false;
    rig.window->Combo2->setCurrentIndex(2);
    rig.window->Combo2_Click();
    QVERIFY(rig.port.written().isEmpty());
}

void tst_form2::replyFillsWindow_data()
{
    QTest::addColumn<QString>("digit");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("attributes"); // default, min, max, resolution
    QTest::addColumn<quint32>("lamp");
    QTest::addColumn<QString>("option");
    QTest::addColumn<double>("scale");

    QTest::newRow("P0.03 5000") << "0" << 3 << 5000 << "50"
                                << "Basic Parameter"
                                << "Run Frequency setting"
                                << QStringList{"50.00Hz", "0.00", "400", "0.01Hz"}
                                << ColourValue::Green << "0.00Hz--Max Fre" << 0.01;
    QTest::newRow("P0.03 50") << "0" << 3 << 50 << "0.5"
                              << "Basic Parameter"
                              << "Run Frequency setting"
                              << QStringList{"50.00Hz", "0.00", "400", "0.01Hz"}
                              << ColourValue::Green << "0.00Hz--Max Fre" << 0.01;
    QTest::newRow("P0.13 3") << "0" << 13 << 3 << "0.3"
                             << "Basic Parameter"
                             << "Slip frequency compensation"
                             << QStringList{"0.0", "0.0", "150.0", "0.1"} << ColourValue::Green
                             << "0.0--150.0%" << 0.1;
    QTest::newRow("P0.05 2") << "0" << 5 << 2 << "2"
                             << "Basic Parameter"
                             << "Motor rotation direction selection"
                             << QStringList{"0", "0", "2", "1"} << ColourValue::Green
                             << "Prohibit reverse" << 1.0;
    QTest::newRow("P0.09 380") << "0" << 9 << 380 << "380"
                               << "Basic Parameter"
                               << "max output voltage" << QStringList{"380V", "100", "500", "1"}
                               << ColourValue::Red << "380:200--500V 220:100--250V" << 1.0;
    QTest::newRow("P1.05 1234") << "1" << 5 << 1234 << "1.234"
                                << "Moter and Vector Control Parameter"
                                << "Stator resistance"
                                << QStringList{"model setting", "0.001", "10.000", "0.001"}
                                << ColourValue::Red << "0.001--10.000Ω" << 0.001;
    QTest::newRow("PA.05 65535") << "A" << 5 << 65535 << "655.35"
                                 << "Advanced Function Parameter"
                                 << "Modify the rate by terminal UP/DOWN"
                                 << QStringList{"1.0Hz/S", "0.01", "100.00", "0.01Hz/S"}
                                 << ColourValue::Green << "0.01Hz/S--100.00Hz/S" << 0.01;
}

void tst_form2::replyFillsWindow()
{
    QFETCH(QString, digit);
    QFETCH(int, index);
    QFETCH(int, raw);
    QFETCH(QString, value);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, attributes);
    QFETCH(quint32, lamp);
    QFETCH(QString, option);
    QFETCH(double, scale);
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(digit, index, quint16(raw));
    QCOMPARE(w.Text1->text(), value);
    QCOMPARE(w.Label2->text(), title);
    QCOMPARE(w.Label10->text(), name);
    QCOMPARE((QStringList{w.Text2->text(), w.Text3->text(), w.Text4->text(), w.Text5->text()}),
             attributes);
    QCOMPARE(w.Shape1->fillColour(), lamp);
    QCOMPARE(w.Text6->toPlainText(), option);
    QVERIFY(rig.link.ParameterScale.has_value());
    QCOMPARE(*rig.link.ParameterScale, scale);
    QVERIFY(w.Command1->isEnabled());
}

void tst_form2::reservedParameterCannotBeWritten()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("1"), 9, 1234);
    QCOMPARE(w.Text1->text(), QStringLiteral("Reserve"));
    QVERIFY(!w.Command1->isEnabled());
    QVERIFY(!rig.link.ParameterScale.has_value());
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QCOMPARE(w.Text6->toPlainText(), QString());
    w.Command1_Click();
    QVERIFY(rig.port.written().isEmpty());

    // The next ordinary parameter makes "Enter" usable again.
    rig.show(QStringLiteral("1"), 10, 100);
    QCOMPARE(w.Text1->text(), QStringLiteral("1"));
    QVERIFY(w.Command1->isEnabled());
}

void tst_form2::replyForAnotherParameterIsIgnored()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    rig.show(QStringLiteral("0"), 3, 5000);
    const QStringList before{w.Text1->text(), w.Text2->text(), w.Text6->toPlainText(),
                             w.Label10->text()};
    // Late answers to earlier picks: another index, another group.
    rig.receive(request(1, 3, 0, 4, 1));
    rig.receive(request(1, 3, 1, 3, 77));
    QCOMPARE(
        (QStringList{w.Text1->text(), w.Text2->text(), w.Text6->toPlainText(), w.Label10->text()}),
        before);
    QCOMPARE(*rig.link.ParameterScale, 0.01);
}

void tst_form2::optionTextToolTipFollowsText()
{
    Form2Rig rig;
    rig.show(QStringLiteral("0"), 2, 0);
    const QString text = rig.window->Text6->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("LED 1:SAVE")));
    QCOMPARE(rig.window->Text6->toolTip(), text);
    rig.show(QStringLiteral("0"), 5, 3); // no text for this value
    QCOMPARE(rig.window->Text6->toPlainText(), QString());
    QCOMPARE(rig.window->Text6->toolTip(), QString());
}

void tst_form2::drainRunsThroughTheLinkTimer()
{
    Form2Rig rig;
    QCOMPARE(rig.window->Timer1, &rig.link.DrainTimer());
    rig.pickIndex(3);
    rig.port.inject(request(1, 3, 0, 3, 5000)); // the first byte goes at once
    QVERIFY(rig.window->Timer1->isActive());
    while (rig.port.bytesWaiting() > 0)
        rig.window->Timer1_Timer();
    QCOMPARE(rig.window->Text1->text(), QStringLiteral("50"));
    rig.window->Timer1_Timer();
    QVERIFY(!rig.window->Timer1->isActive());
}
void tst_form2::readWaitsVisiblyForItsAnswer()
{
    Form2Rig rig;
    Form2& w = *rig.window;
    // Here the time-outs pass when the test says so.
    QObject::disconnect(&rig.link, &Hexedit::frameSent, &rig.link, nullptr);
    rig.show(QStringLiteral("0"), 3, 5000);
    const QColor green = w.Text1->palette().color(QPalette::Text);
    const QColor blue = w.Label10->palette().color(QPalette::WindowText);
    rig.pickIndex(4);
    // Until the drive answers, what stands there is P0.03's, not P0.04's.
    for (QWidget* field :
         std::initializer_list<QWidget*>{w.Text1, w.Text6, w.Text2, w.Text3, w.Text4, w.Text5}) {
        QCOMPARE(field->palette().color(QPalette::Text), QColor(Qt::gray));
    }
    QCOMPARE(w.Label10->palette().color(QPalette::WindowText), QColor(Qt::gray));
    QVERIFY(rig.link.AwaitingAnswer());
    QVERIFY(w.NoAnswerLabel->text().isEmpty());
    passAnswerTimeout(rig.link); // the link's time-out passes, nothing heard
    QCOMPARE(w.NoAnswerLabel->text(), QStringLiteral("No answer from drive 1"));
    // A late answer for P0.03 is not the one awaited.
    rig.receive(request(1, 3, 0, 3, 5000));
    QCOMPARE(w.Text1->palette().color(QPalette::Text), QColor(Qt::gray));

    // Nor is drive 3's P0.04, read by another window.
    rig.receive(request(3, 3, 0, 4, 9));
    QCOMPARE(w.Text1->palette().color(QPalette::Text), QColor(Qt::gray));
    QCOMPARE(w.NoAnswerLabel->text(), QStringLiteral("No answer from drive 1"));

    rig.receive(request(1, 3, 0, 4, 7));
    QVERIFY(w.NoAnswerLabel->text().isEmpty());
    QCOMPARE(w.Text1->text(), QStringLiteral("7"));
    QCOMPARE(w.Text1->palette().color(QPalette::Text), green);
    QCOMPARE(w.Text3->palette().color(QPalette::Text), green);
    QCOMPARE(w.Label10->palette().color(QPalette::WindowText), blue);

    w.Combo3->setCurrentText(QStringLiteral("7"));
    rig.pickGroup(QStringLiteral("1"));
    // Another request's time-out is not this read's.
    emit rig.link.answerTimedOut(request(7, 3, 1, 5, 0), 0);
    QVERIFY(w.NoAnswerLabel->text().isEmpty());
    passAnswerTimeout(rig.link);
    QCOMPARE(w.NoAnswerLabel->text(), QStringLiteral("No answer from drive 7"));
}

QTEST_MAIN(tst_form2)

#include "tst_form2.moc"
