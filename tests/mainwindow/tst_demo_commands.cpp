// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up, port states, run commands and entries.
#include "DemoBench.h"
#include "StatusPanels.h"
#include "TrafficLogBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using OpenError = SerialPort::OpenError;

class tst_demo_commands : public QObject
{
    Q_OBJECT
private slots:
    void startUpState();
    void openAndCloseFollowTheStateTable();
    void openRaisesSlowControlRhythm();
    void openErrorsAreReported_data();
    void openErrorsAreReported();
    void lostDeviceClosesOnceAndCanReopen();
    void runCommandFrames_data();
    void runCommandFrames();
    void noneStopsTheRepetition();
    void immediateSendInMultiDriveMode();
    void stopIsNeverDroppedSilently();
    void jogYesClosesThePort();
    void jogQuestionIsAskedOnceAtATime();
    void nothingCommandedWhileJogQuestionIsOpen();
    void frequencyIsTakenWhenEditingEnds();
    void refreshTickResendsAndClearsLog();
    void commandTickRestoresPolling();
    void keyFilters_data();
    void keyFilters();
    void rangeRules_data();
    void rangeRules();
    void frequencyWithoutNumberIsNeverSent();
    void driveModeAndAddressRange();
};

void tst_demo_commands::startUpState()
{
    DemoBench b;
    demo& w = b.window;
    QCOMPARE(w.findChild<QPushButton*>("Command1")->text(), QString("Open Serial"));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!w.encode->isEnabled());
    QVERIFY(!w.data_set->isEnabled());
    QVERIFY(!w.save_check->isEnabled());
    QVERIFY(!w.open_check->isEnabled());
    // Shown as given, with Alt+F to open it.
    QCOMPARE(w.file->title(), QString("File(&F)"));
    QCOMPARE(w.com_set->text(), QString("&Serail Port Set"));
    QVERIFY(!w.findChild<QGroupBox*>("Frame4")->isEnabled());
    QVERIFY(!w.findChild<QGroupBox*>("Frame5")->isEnabled());
    QVERIFY(!w.Command5->isEnabled());
    QCOMPARE(w.Command5->text(), QString("Start"));
    QVERIFY(w.Option9->isChecked());
    QVERIFY(w.Check1->isChecked());
    // Their own states, which show once the frame is enabled.
    QVERIFY(!w.Combo1->isEnabledTo(w.Frame4));
    QVERIFY(!w.Combo4->isEnabledTo(w.Frame4));
    QVERIFY(w.Combo2->isEnabledTo(w.Frame4));

    for (const char* name : {"Combo1", "Combo2", "Combo4"}) {
        auto* box = w.findChild<QComboBox*>(name);
        QCOMPARE(box->count(), 32);
        QCOMPARE(box->itemText(0), QString("0"));
        QCOMPARE(box->itemText(31), QString("31"));
    }
    QCOMPARE(w.Combo1->currentText(), QString("31"));
    QCOMPARE(w.Combo2->currentText(), QString("1"));
    QCOMPARE(w.Combo4->currentText(), QString("1"));
    QCOMPARE(w.Combo5->count(), 4);
    QCOMPARE(w.Combo5->currentText(), QString("None"));
    QCOMPARE(w.Combo6->itemText(6), QString::fromUtf8("IGBT Temp at The Last Error(℃)"));

    QCOMPARE(w.Text1->text(), QString("50"));
    QCOMPARE(w.Text5->text(), QString("50"));
    QCOMPARE(w.Text26->text(), QString("500"));
    QCOMPARE(w.Text2->text(), QString("200"));
    QCOMPARE(w.Text27->text(), QString("1.12"));

    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 280);
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(w.Timer2->interval(), 500);
    QVERIFY(w.Timer3->isActive());
    QCOMPARE(w.Timer3->interval(), 4987);

    QCOMPARE(w.StatusBar1->panelText(StatusPanels::Settings), QString("COM1,9600,Even,8,1"));
    QCOMPARE(w.StatusBar1->panelText(StatusPanels::RunState), QString("Stop"));
    QCOMPARE(b.port.portName(), QString("COM1"));
    QCOMPARE(b.port.settings(), QString("9600,E,8,1"));
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QVERIFY(!b.port.isOpen());
}

void tst_demo_commands::openAndCloseFollowTheStateTable()
{
    DemoBench b;
    demo& w = b.window;
    w.Command1_Click();
    QVERIFY(b.port.isOpen());
    QCOMPARE(w.Command1->text(), QString("Close Serial"));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Green);
    QVERIFY(w.encode->isEnabled());
    QVERIFY(!w.data_set->isEnabled()); // only the password window enables it
    QVERIFY(w.Frame4->isEnabled());
    QVERIFY(w.Frame5->isEnabled());
    QVERIFY(w.Command5->isEnabled());

    w.data_set->setEnabled(true);
    w.Command5_Click();
    w.Option1->setChecked(true);
    w.Option1_Click();
    QVERIFY(w.Timer1->isActive());
    QVERIFY(w.Timer2->isActive());

    w.Command1_Click();
    QVERIFY(!b.port.isOpen());
    QCOMPARE(w.Command1->text(), QString("Open Serial"));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!w.data_set->isEnabled());
    QVERIFY(w.encode->isEnabled()); // closing leaves it as it was
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(!w.Timer2->isActive());
    QVERIFY(!w.link().DrainTimer().isActive());
    QVERIFY(!w.Frame4->isEnabled());
    QVERIFY(!w.Frame5->isEnabled());
    QVERIFY(!w.Command5->isEnabled());
    QCOMPARE(w.Command5->text(), QString("Start"));
    QVERIFY(w.Option9->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QVERIFY(b.prompts().isEmpty());
}

void tst_demo_commands::openRaisesSlowControlRhythm()
{
    DemoBench b;
    // Only a text that bypassed the range rule can be below 200 here.
    b.window.Text26->blockSignals(true);
    b.window.Text26->setText("150");
    b.window.Text26->blockSignals(false);
    b.window.Command1_Click();
    QCOMPARE(b.window.Text26->text(), QString("200"));
    QCOMPARE(b.window.Timer2->interval(), 200);
}

void tst_demo_commands::openErrorsAreReported_data()
{
    QTest::addColumn<OpenError>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("8002") << OpenError::InvalidPort
                          << QString::fromUtf8("Invalid Port Number，Change Other!");
    QTest::newRow("8005") << OpenError::PortBusy
                          << QString::fromUtf8("This Port Already Open，Change Other!");
    QTest::newRow("8012") << OpenError::DeviceNotOpen << QString("Equipment Don't Open!");
    QTest::newRow("permission") << OpenError::PermissionDenied
                                << QString("You may not use the port COM1");
    QTest::newRow("settings") << OpenError::BadSettings << QString("9600,E,8,1");
    QTest::newRow("other") << OpenError::Other << QString("could not be opened");
}

void tst_demo_commands::openErrorsAreReported()
{
    QFETCH(OpenError, error);
    QFETCH(QString, text);
    DemoBench b;
    b.port.failNextOpen(error);
    b.window.Command1_Click();
    QCOMPARE(b.prompts().size(), 1);
    const Prompter::Prompt& box = b.prompts().first();
    QCOMPARE(box.title, QString("Error Waining!"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY2(box.text.contains(text), qPrintable(box.text));
    QCOMPARE(b.window.Command1->text(), QString("Open Serial"));
    QCOMPARE(b.window.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!b.window.Frame5->isEnabled());
    QVERIFY(!b.window.encode->isEnabled());
}

void tst_demo_commands::lostDeviceClosesOnceAndCanReopen()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Command5_Click();
    w.Option1->setChecked(true);
    w.Option1_Click();

    b.port.simulateDeviceLoss();
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(w.Command1->text(), QString("Open Serial"));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(!w.Timer2->isActive());
    QVERIFY(w.Option9->isChecked());
    QCOMPARE(w.Command5->text(), QString("Start"));
    QVERIFY(!w.Frame5->isEnabled());

    // Ticks still queued after the loss neither send nor ask.
    w.Timer1_Timer();
    w.Timer2_Timer();
    w.Timer3_Timer();
    QCOMPARE(b.prompts().size(), 1);

    w.Command1_Click();
    QVERIFY(b.port.isOpen());
    QCOMPARE(w.Command1->text(), QString("Close Serial"));
    QCOMPARE(b.prompts().size(), 1);
}

void tst_demo_commands::runCommandFrames_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("sentAtOnce");
    QTest::addColumn<QString>("sentByTick");
    const QString fwd = "01 10 20 00 00 02 04 00 12 13 88 C7 3D";
    QTest::newRow("FWD") << "Option1" << QString() << fwd;
    QTest::newRow("REV 25") << "Option2" << QString() << controlWrite(1, 0x22, 2500);
    QTest::newRow("JOG-F") << "Option3" << QString() << controlWrite(1, 0x13, 0);
    QTest::newRow("JOG-R") << "Option4" << QString() << controlWrite(1, 0x23, 0);
    QTest::newRow("STOP") << "Option5" << QString() << controlWrite(1, 0x01, 0);
    QTest::newRow("FWD-S") << "Option7" << controlWrite(1, 0x1E, 5000)
                           << controlWrite(1, 0x1E, 5000);
    QTest::newRow("REV-S") << "Option8" << controlWrite(1, 0x2E, 2500)
                           << controlWrite(1, 0x2E, 2500);
}

void tst_demo_commands::runCommandFrames()
{
    QFETCH(QString, option);
    QFETCH(QString, sentAtOnce);
    QFETCH(QString, sentByTick);
    DemoBench b;
    b.answer = QMessageBox::No; // the jog question: keep the port
    demo& w = b.window;
    b.openPort();
    w.Text5->setText("25");
    w.Text5_LostFocus(); // on to the button
    auto* button = w.findChild<QRadioButton*>(option);
    QVERIFY(button);
    button->click();
    QCOMPARE(b.writtenHex(), sentAtOnce.isEmpty() ? QStringList() : QStringList{sentAtOnce});
    QVERIFY(w.Timer2->isActive());
    b.port.clearWritten();
    w.Timer2_Timer();
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), (QStringList{sentByTick, sentByTick}));
}

void tst_demo_commands::noneStopsTheRepetition()
{
    DemoBench b;
    b.openPort();
    b.window.Option1->click();
    b.window.Option9->click();
    QVERIFY(!b.window.Timer2->isActive());
    b.window.Timer2_Timer();
    QVERIFY(b.port.written().isEmpty());
}

void tst_demo_commands::immediateSendInMultiDriveMode()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Check1->setChecked(false);
    // No request has gone out yet: there is no drive to address.
    w.Option7->click();
    QVERIFY(b.port.written().isEmpty());

    w.Combo4->setCurrentText("4");
    w.Combo1->setCurrentText("6");
    w.Timer1_Timer();
    b.port.clearWritten();
    w.Option7->click();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(4, 0x1E, 5000)});
    // The tick sends single-drive commands only in single-drive mode.
    b.port.clearWritten();
    w.Timer2_Timer();
    QVERIFY(b.port.written().isEmpty());
}

void tst_demo_commands::stopIsNeverDroppedSilently()
{
    const QString broadcastStop = controlWrite(0, 0x01, 0);
    const QString toEvery = QStringLiteral("STOP sent to every drive on the line");
    // A sweep that has not polled yet, on a freshly opened port.
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Check1->setChecked(false);
    w.Option1->click();
    w.Timer2_Timer();
    QVERIFY(b.port.written().isEmpty());
    const QString why = w.StatusBar1->notice();
    QVERIFY2(why.contains(u"not sent"), qPrintable(why));
    // Said once, not at every tick.
    w.StatusBar1->clearNotice();
    w.Timer2_Timer();
    QVERIFY(w.StatusBar1->notice().isEmpty());
    w.Option5->click();
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), QStringList{broadcastStop});
    QCOMPARE(w.StatusBar1->notice(), toEvery);

    // "Single Machine" on address 0: STOP to every drive, jog and FWD-S to none.
    DemoBench single;
    single.openPort();
    single.window.Check1->setChecked(true);
    single.window.Combo2->setCurrentText("0");
    single.window.Option5->click();
    single.window.Timer2_Timer();
    single.window.Option7->click();
    single.window.Timer2_Timer();
    QCOMPARE(single.writtenHex(), QStringList{broadcastStop});
    QVERIFY(single.window.StatusBar1->notice().contains(u"not sent"));
}

void tst_demo_commands::jogYesClosesThePort()
{
    DemoBench b;
    b.answer = QMessageBox::Yes;
    b.openPort();
    b.window.Option3->click();
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(b.prompts().first().title, QString("Notice"));
    QCOMPARE(b.prompts().first().icon, QMessageBox::Question);
    QCOMPARE(b.prompts().first().text,
             QString::fromUtf8(
                 "JOG time relate to communication overrun time ，shutdown communication ?"));
    QVERIFY(!b.port.isOpen());
    QCOMPARE(b.window.Command1->text(), QString("Open Serial"));
    QVERIFY(b.window.Option9->isChecked());
    QCOMPARE(b.window.PendingCommand, RunCommand::None);
    QVERIFY(!b.window.Timer2->isActive());
    QVERIFY(b.port.written().isEmpty());
}

void tst_demo_commands::jogQuestionIsAskedOnceAtATime()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    int asked = 0;
    w.prompter().setResponder([&](const Prompter::Prompt&) {
        ++asked;
        // Refresh ticks arrive while the box is open.
        w.Timer3_Timer();
        w.Timer3_Timer();
        return QMessageBox::No;
    });
    w.Option4->click();
    QCOMPARE(asked, 1);
    QVERIFY(b.port.isOpen());
    QCOMPARE(w.PendingCommand, RunCommand::JogReverse);
    // With the box closed the next refresh asks again.
    w.Timer3_Timer();
    QCOMPARE(asked, 2);
}

void tst_demo_commands::nothingCommandedWhileJogQuestionIsOpen()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Option1->click(); // forward, repeating
    QVERIFY(w.Timer2->isActive());
    bool commandingWhileAsked = true;
    QStringList sentWhileAsked{QStringLiteral("not asked")};
    w.prompter().setResponder([&](const Prompter::Prompt&) {
        b.port.clearWritten();
        w.Timer3_Timer(); // a refresh tick while the user thinks
        commandingWhileAsked = w.Timer2->isActive();
        sentWhileAsked = b.writtenHex();
        return QMessageBox::Yes;
    });
    w.Option3->click();
    QVERIFY(!commandingWhileAsked);
    QCOMPARE(sentWhileAsked, QStringList());
    // "Yes" closed the port without a single jog frame having gone out.
    QVERIFY(!b.port.isOpen());
    QVERIFY(b.writtenHex().isEmpty());
}

void tst_demo_commands::frequencyIsTakenWhenEditingEnds()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Option1->click();
    // Going from 50 to 45 passes through "5" and "4": neither reaches the drive.
    for (const char* typed : {"5", "", "4", "45"}) {
        w.Text1->setText(QString::fromLatin1(typed));
        b.port.clearWritten();
        w.Timer2_Timer();
        QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x12, 5000)});
    }
    emit w.Text1->editingFinished(); // Enter, or on to another control
    b.port.clearWritten();
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x12, 4500)});
}

void tst_demo_commands::refreshTickResendsAndClearsLog()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Combo2->setCurrentText("7");
    w.Option8->click();
    w.Command5_Click();
    b.receive(QByteArray::fromHex("0103"));
    QVERIFY(!w.Text28->logText().isEmpty());
    b.port.clearWritten();
    w.Timer3_Timer();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(7, 0x2E, 5000)});
    QVERIFY(w.findChild<QPlainTextEdit*>("Text28")->toPlainText().isEmpty());
    QVERIFY(w.Timer1->isActive());
    QVERIFY(w.Timer2->isActive());
}

void tst_demo_commands::commandTickRestoresPolling()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Option5->click();
    w.Timer2_Timer();
    QVERIFY(!w.Timer1->isActive());
    w.Command5_Click();
    w.Timer2_Timer();
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(b.port.written().size(), 2);
}

void tst_demo_commands::keyFilters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("digits and a point") << "Text1"
                                        << "1"
                                        << "2.5"
                                        << "12.5";
    QTest::newRow("second point refused") << "Text1"
                                          << "12.5"
                                          << "."
                                          << "12.5";
    QTest::newRow("letter refused") << "Text5"
                                    << "30"
                                    << "a-+"
                                    << "30";
    QTest::newRow("leading point takes Backspace") << "Text5"
                                                   << ".5"
                                                   << "7"
                                                   << ".";
    QTest::newRow("rhythm digits only") << "Text26"
                                        << "300"
                                        << ".a-0"
                                        << "3000";
    QTest::newRow("poll rhythm digits only") << "Text2"
                                             << "250"
                                             << "x5"
                                             << "2505";
}

void tst_demo_commands::keyFilters()
{
    QFETCH(QString, box);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    DemoBench b;
    b.openPort();
    auto* edit = b.window.findChild<QLineEdit*>(box);
    edit->setText(before);
    edit->end(false);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), after);
    // Backspace always passes.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text().size(), qMax<qsizetype>(0, after.size() - 1));
}

void tst_demo_commands::rangeRules_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("commandPeriod");
    QTest::addColumn<int>("pollPeriod");
    QTest::newRow("450 Hz") << "Text1"
                            << "450"
                            << "50" << 500 << 280;
    QTest::newRow("400 Hz kept") << "Text5"
                                 << "400"
                                 << "400" << 500 << 280;
    QTest::newRow("0 Hz kept") << "Text1"
                               << "0"
                               << "0" << 500 << 280;
    QTest::newRow("3 ms") << "Text26"
                          << "3"
                          << "200" << 200 << 280;
    QTest::newRow("25000 ms") << "Text26"
                              << "25000"
                              << "10000" << 10000 << 280;
    QTest::newRow("1000 ms") << "Text26"
                             << "1000"
                             << "1000" << 1000 << 280;
    QTest::newRow("poll 300") << "Text2"
                              << "300"
                              << "300" << 500 << 300;
    QTest::newRow("poll 20001") << "Text2"
                                << "20001"
                                << "10000" << 500 << 10000;
}

void tst_demo_commands::rangeRules()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, commandPeriod);
    QFETCH(int, pollPeriod);
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.findChild<QLineEdit*>(box)->setText(typed);
    QCOMPARE(w.findChild<QLineEdit*>(box)->text(), shown);
    QCOMPARE(w.Timer2->interval(), commandPeriod);
    QCOMPARE(w.Timer1->interval(), pollPeriod);
    // A change of the poll rhythm switches polling on, even with "Start" showing.
    QCOMPARE(w.Timer1->isActive(), box == "Text2");
    QCOMPARE(w.Command5->text(), QString("Start"));
    if (box == "Text1")
        QCOMPARE(w.Text5->text(), QString("50"));
}

void tst_demo_commands::frequencyWithoutNumberIsNeverSent()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text1->setText("60");
    w.Text1_LostFocus();
    w.Option1->click();
    for (const QString& text : {QString(), QString("."), QString("abc"), QString("1e9")}) {
        w.Text1->setText(text);
        b.port.clearWritten();
        w.Timer2_Timer();
        QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x12, 6000)});
    }
    w.Option7->click();
    QCOMPARE(b.writtenHex().last(), controlWrite(1, 0x1E, 6000));
    // Leaving the box puts the value that is in force back in it.
    emit w.Text1->editingFinished();
    QCOMPARE(w.Text1->text(), QString("60"));
}

void tst_demo_commands::driveModeAndAddressRange()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Check1->setChecked(false);
    QVERIFY(w.Combo1->isEnabled());
    QVERIFY(w.Combo4->isEnabled());
    QVERIFY(!w.Combo2->isEnabled());

    w.Combo4->setCurrentText("5");
    w.Combo1->setCurrentText("5");
    w.Combo1_Click();
    QCOMPARE(w.Combo1->currentText(), QString("6"));
    w.Combo4->setCurrentText("9");
    w.Combo4_Click();
    QCOMPARE(w.Combo1->currentText(), QString("10"));
    w.Combo1->setCurrentText("31");
    w.Combo4->setCurrentText("31");
    w.Combo4_Click();
    QCOMPARE(w.Combo1->currentText(), QString("31"));

    w.Check1->setChecked(true);
    QVERIFY(!w.Combo1->isEnabled());
    QVERIFY(!w.Combo4->isEnabled());
    QVERIFY(w.Combo2->isEnabled());
}

QTEST_MAIN(tst_demo_commands)
#include "tst_demo_commands.moc"
