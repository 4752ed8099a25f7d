// SPDX-License-Identifier: GPL-3.0-or-later
// Monitoring, what the window shows of the replies, the settings window and
// the menu entries.
#include "DemoBench.h"
#include "Form2.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "TrafficLogBox.h"
#include "VfdVersion.h"
#include "config.h"
#include "encoder.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Addresses of the read requests written so far.
QList<int> polledAddresses(const LoopbackPort& port)
{
    QList<int> addresses;
    for (const QByteArray& frame : port.written())
        addresses << quint8(frame[0]);
    return addresses;
}

} // namespace

class tst_demo_monitor : public QObject
{
    Q_OBJECT
private slots:
    void startAndStop();
    void slowPollRhythmIsRefused();
    void singleDrivePolling();
    void multiDriveSweep_data();
    void multiDriveSweep();
    void faultChoosersPickTheRecord();
    void runningValues_data();
    void runningValues();
    void faultCodes();
    void driveStatus_data();
    void driveStatus();
    void answersOnlyFromTheWatchedDrive();
    void parameterReadKeepsThePolledDriveWatched();
    void receiveLampsAndLog();
    void logIsBounded();
    void logGathersTexts();
    void settingsWindowAppliesOnOk();
    void settingsWindowCancelKeepsEverything();
    void refusedSettingsChangeNothing_data();
    void refusedSettingsChangeNothing();
    void saveFileWritesTheLog();
    void saveFileFailureIsReported();
    void changeSkin();
    void parameterSetStopsAndShowsOneWindow();
    void windowsAreShownOnce();
};

void tst_demo_monitor::startAndStop()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text28->appendTraffic("1 3 ");
    w.Timer3->stop();
    w.Command5_Click();
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 200);
    QCOMPARE(w.Command5->text(), QString("Stop"));
    QVERIFY(w.Text28->toPlainText().isEmpty());
    QVERIFY(w.Timer3->isActive());
    w.Command5_Click();
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.Command5->text(), QString("Start"));
    QVERIFY(b.prompts().isEmpty());
}

void tst_demo_monitor::slowPollRhythmIsRefused()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text2->blockSignals(true);
    w.Text2->setText("150");
    w.Text2->blockSignals(false);
    w.Command5_Click();
    QCOMPARE(w.Text2->text(), QString("200"));
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(b.prompts().first().title, QString("Notice"));
    QCOMPARE(b.prompts().first().text, QString("Communication timt limited at 200ms"));
    QCOMPARE(b.prompts().first().icon, QMessageBox::NoIcon);
    QCOMPARE(w.Command5->text(), QString("Start"));
}

void tst_demo_monitor::singleDrivePolling()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Combo2->setCurrentText("3");
    for (int tick = 0; tick < 29; ++tick) {
        w.link().RxIndex = 7; // a half-received reply must not shift the next one
        w.Timer1_Timer();
        QCOMPARE(w.link().RxIndex, quint8(0));
    }
    const QStringList frames = b.writtenHex();
    QCOMPARE(frames.size(), 29);
    QCOMPARE(polledAddresses(b.port), QList<int>(29, 3));
    QCOMPARE(frames[0], readRequest(3, 0x0E00));
    QCOMPARE(frames[1], readRequest(3, 0x0D00));
    QCOMPARE(frames[21], readRequest(3, 0x0D11));
    QCOMPARE(frames[28], frames[0]);
    QCOMPARE(w.PollItem, quint8(1));
}

void tst_demo_monitor::multiDriveSweep_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QList<int>>("drives");
    QTest::newRow("1..3") << "1"
                          << "3" << QList<int>{1, 2, 3, 1};
    QTest::newRow("31 alone") << "31"
                              << "31" << QList<int>{31, 31};
    QTest::newRow("end below first") << "31"
                                     << "5" << QList<int>{31, 31};
    QTest::newRow("7..8") << "7"
                          << "8" << QList<int>{7, 8, 7};
}

void tst_demo_monitor::multiDriveSweep()
{
    QFETCH(QString, first);
    QFETCH(QString, end);
    QFETCH(QList<int>, drives);
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Check1->setChecked(false);
    w.Combo1->setCurrentText(end);
    w.Combo4->setCurrentText(first);
    QList<int> expected;
    for (int drive : drives)
        expected << QList<int>(Hexedit::PollItemCount, drive);
    for (int tick = 0; tick < expected.size(); ++tick)
        w.Timer1_Timer();
    QCOMPARE(polledAddresses(b.port), expected);
    QCOMPARE(w.link().SlaveAddress, quint8(drives.last()));
}

void tst_demo_monitor::faultChoosersPickTheRecord()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text22->setText("OH");
    w.Combo5->setCurrentText("The 2th Error Code");
    w.Combo5_Click();
    QCOMPARE(w.FaultRecordSelect, 20);
    w.Combo6->setCurrentText("Current Output at The Last Error(A)");
    w.Combo6_Click();
    QCOMPARE(w.LastErrorValueSelect, 24);
    w.PollItem = 23;
    w.Timer1_Timer();
    w.Timer1_Timer();
    QCOMPARE(b.writtenHex(), (QStringList{readRequest(1, 0x0D14), readRequest(1, 0x0D18)}));
    QCOMPARE(w.Text22->text(), QString("OH"));

    w.Combo5->setCurrentText("None");
    w.Combo5_Click();
    QCOMPARE(w.FaultRecordSelect, 0);
    QVERIFY(w.Text22->text().isEmpty());
    w.Text23->setText("12");
    w.Combo6->setCurrentText("None");
    w.Combo6_Click();
    QVERIFY(w.Text23->text().isEmpty());
    b.port.clearWritten();
    w.PollItem = 23;
    w.Timer1_Timer();
    QCOMPARE(b.writtenHex(), QStringList{readRequest(1, 0x0E00)});
}

void tst_demo_monitor::runningValues_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("decimalCode");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shown");
    QTest::newRow("50.00 Hz") << 0 << 0x1388 << 8 << "Text24"
                              << "50.00";
    QTest::newRow("code 2 counts as 1") << 0 << 0x1388 << 2 << "Text24"
                                        << "5000.00";
    QTest::newRow("0.5 A") << 2 << 5 << 4 << "Text3"
                           << "0.50";
    QTest::newRow("speed plain") << 4 << 1450 << 0 << "Text7"
                                 << "1450";
    QTest::newRow("top bits of byte 7 ignored") << 1 << 1234 << 0xE8 << "Text25"
                                                << "12.34";
    QTest::newRow("raw is unsigned") << 7 << 0xFFFF << 4 << "Text10"
                                     << "6553.50";
    QTest::newRow("temperature plain") << 15 << 123 << 4 << "Text18"
                                       << "12.3";
    QTest::newRow("count set") << 18 << 7 << 0 << "Text21"
                               << "7";
    QTest::newRow("last-fault value") << 25 << 3800 << 4 << "Text23"
                                      << "380";
    QTest::newRow("edition") << 28 << 113 << 8 << "Text27"
                             << "1.13";
}

void tst_demo_monitor::runningValues()
{
    QFETCH(int, index);
    QFETCH(int, word);
    QFETCH(int, decimalCode);
    QFETCH(QString, box);
    QFETCH(QString, shown);
    DemoBench b;
    b.openPort();
    b.window.Combo2->setCurrentText("12"); // the drive watched
    b.receive(runningValueAnswer(12, quint8(index), quint16(word), quint8(decimalCode)));
    QCOMPARE(b.window.findChild<QLineEdit*>(box)->text(), shown);
    QCOMPARE(b.window.Label34->text(), QString("12"));
}

void tst_demo_monitor::faultCodes()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    b.receive(runningValueAnswer(1, 20, 8, 0));
    QCOMPARE(w.Text22->text(), fromView(*Tab::FaultCode(8)));
    QCOMPARE(w.Text22->toolTip(), fromView(*Tab::FaultText(8)));
    // 20 empties the box and keeps the tooltip; a number beyond the table leaves both.
    b.receive(runningValueAnswer(1, 21, 20, 0));
    QVERIFY(w.Text22->text().isEmpty());
    QCOMPARE(w.Text22->toolTip(), fromView(*Tab::FaultText(8)));
    b.receive(runningValueAnswer(1, 19, 3, 0));
    b.receive(runningValueAnswer(1, 19, 33, 0));
    b.receive(runningValueAnswer(1, 19, 0, 0));
    QCOMPARE(w.Text22->text(), fromView(*Tab::FaultCode(3)));
    QCOMPARE(w.Text22->toolTip(), fromView(*Tab::FaultText(3)));
    // A control-write echo changes nothing.
    b.receive(withCrc(QByteArray::fromHex("0110200000020400")));
    QCOMPARE(w.Text22->text(), fromView(*Tab::FaultCode(3)));
}

void tst_demo_monitor::driveStatus_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("faultFlag");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("cord");
    QTest::addColumn<quint32>("lamp");
    QTest::newRow("REV Run Normal") << 0 << 0x14 << 0 << "REV"
                                    << "Run"
                                    << "Normal" << ColourValue::Green;
    QTest::newRow("FWD Stop") << 0 << 0x00 << 0 << "FWD"
                              << "Stop"
                              << "Normal" << ColourValue::Green;
    QTest::newRow("fault 3") << 0x0060 << 0x10 << 0x20 << "FWD"
                             << "Run" << fromView(*Tab::FaultText(3)) << ColourValue::Red;
    QTest::newRow("fault 3, top bit set")
        << 0x8060 << 0x04 << 0x20 << "REV"
        << "Stop" << fromView(*Tab::FaultText(3)) << ColourValue::Red;
    QTest::newRow("fault without text") << 0x0280 << 0 << 0x20 << "FWD"
                                        << "Stop"
                                        << "before" << ColourValue::Red;
}

void tst_demo_monitor::driveStatus()
{
    QFETCH(int, word);
    QFETCH(int, flags);
    QFETCH(int, faultFlag);
    QFETCH(QString, direction);
    QFETCH(QString, state);
    QFETCH(QString, cord);
    QFETCH(quint32, lamp);
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text4->setText("before");
    b.receive(statusAnswer(1, quint16(word), quint8(flags), quint8(faultFlag)));
    QCOMPARE(w.Text30->text(), direction);
    QCOMPARE(w.Text29->text(), state);
    QCOMPARE(w.StatusBar1->panelText(StatusPanels::RunState), state);
    QCOMPARE(w.Text4->text(), cord);
    QCOMPARE(w.Shape4->fillColour(), lamp);
}

void tst_demo_monitor::answersOnlyFromTheWatchedDrive()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    // Single drive 1: a running drive 2 answering (stray or late) is not drive 1's state.
    const quint32 lampBefore = w.Shape4->fillColour();
    b.receive(statusAnswer(2, 0, 0x14, 0x20));
    QCOMPARE(w.Text29->text(), QString());
    QCOMPARE(w.Shape4->fillColour(), lampBefore);
    b.receive(statusAnswer(1, 0, 0x10, 0));
    QCOMPARE(w.Text29->text(), QString("Run"));
    // Likewise for the values: drive 2's frequency never stands among drive 1's.
    b.receive(runningValueAnswer(2, 0, 0x1388, 8));
    QCOMPARE(w.Text24->text(), QString());
    QCOMPARE(w.Label34->text(), QString());
    b.receive(runningValueAnswer(1, 0, 0x0FA0, 8));
    QCOMPARE(w.Text24->text(), QString("40.00"));
    QCOMPARE(w.Label34->text(), QString("1"));
    // Watching drive 2 instead: drive 1's state does not stand as drive 2's.
    w.Timer1_Timer();
    QCOMPARE(w.Text29->text(), QString("Run"));
    w.Combo2->setCurrentText("2");
    w.Timer1_Timer();
    QCOMPARE(w.Text29->text(), QString());
    QCOMPARE(w.StatusBar1->panelText(StatusPanels::RunState), QString());
    QCOMPARE(w.Shape4->fillColour(), ColourValue::Black);
    QCOMPARE(w.Text24->text(), QString());
    QCOMPARE(w.Label34->text(), QString());
    w.Combo2->setCurrentText("1");

    // Several drives: the state shown is that of the drive polled last.
    w.Check1->setChecked(false);
    w.Check1_Click();
    w.Combo4->setCurrentText("3");
    w.Combo4_Click();
    w.Timer1_Timer();
    const QString direction = w.Text30->text();
    b.receive(statusAnswer(4, 0, 0x04, 0));
    QCOMPARE(w.Text30->text(), direction);
    b.receive(statusAnswer(3, 0, 0x04, 0));
    QCOMPARE(w.Text30->text(), QString("REV"));
}

void tst_demo_monitor::parameterReadKeepsThePolledDriveWatched()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.data_set->setEnabled(true);
    w.data_set->trigger();
    auto* parameters = w.findChild<Form2*>();
    QVERIFY(parameters);
    // Drives 3..3 are polled while the parameter window reads P0.00 of drive 5.
    w.Check1->setChecked(false);
    w.Check1_Click();
    w.Combo1->setCurrentText("3");
    w.Combo4->setCurrentText("3");
    w.Timer1_Timer();
    parameters->Combo3->setCurrentText("5");
    parameters->Combo1_Click();
    QCOMPARE(b.writtenHex().last(), readRequest(5, 0x0000));
    // Drive 3's answers are still the ones shown.
    b.receive(statusAnswer(3, 0, 0x10, 0));
    QCOMPARE(w.Text29->text(), QString("Run"));
    b.receive(runningValueAnswer(3, 0, 0x0FA0, 8));
    QCOMPARE(w.Text24->text(), QString("40.00"));
    QCOMPARE(w.Label34->text(), QString("3"));
}

void tst_demo_monitor::receiveLampsAndLog()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Shape2->setFillColour(ColourValue::Red);
    w.Shape3->setFillColour(ColourValue::Red);
    b.receive(QByteArray::fromHex("20") + withCrc(QByteArray::fromHex("01030E0000011000")));
    QCOMPARE(w.Shape3->fillColour(), ColourValue::Black);
    QCOMPARE(w.Shape2->fillColour(), ColourValue::LampGreen);
    QCOMPARE(w.Text28->logText(), QString("20 1 3 E 0 0 1 10 0 EF E9 \n"));
    QTest::mouseDClick(w.Text28->viewport(), Qt::LeftButton);
    QVERIFY(w.Text28->toPlainText().isEmpty());
}

void tst_demo_monitor::logIsBounded()
{
    DemoBench b;
    TrafficLogBox& log = *b.window.Text28;
    const QString frame = QStringLiteral("1 3 D 0 13 88 0 8 F1 2E \r\n");
    for (int i = 0; i < 20000; ++i)
        log.appendTraffic(frame);
    // Bytes that never make a frame end up on one endless line; still bounded.
    for (int i = 0; i < 40000; ++i)
        log.appendTraffic(QStringLiteral("FF "));
    QVERIFY(log.document()->characterCount() <= TrafficLogBox::CharacterLimit);
    QVERIFY(log.toPlainText().endsWith(QStringLiteral("FF FF ")));
}

void tst_demo_monitor::logGathersTexts()
{
    DemoBench b;
    TrafficLogBox& log = *b.window.Text28;
    // Texts wait and are shown together by the log's timer (fired here by hand).
    log.appendTraffic(QStringLiteral("1 "));
    log.appendTraffic(QStringLiteral("3 "));
    log.appendTraffic(QStringLiteral("\r\n"));
    QVERIFY(log.toPlainText().isEmpty());
    log.flush();
    QCOMPARE(log.toPlainText(), QStringLiteral("1 3 \n"));
    // A flood is shown without waiting for the timer, so it cannot pile up unseen.
    for (int i = 0; i < TrafficLogBox::MaxPendingPieces; ++i)
        log.appendTraffic(QStringLiteral("FF "));
    QVERIFY(log.toPlainText().startsWith(QStringLiteral("1 3 \nFF FF ")));
    // Clearing drops what still waits, so it cannot reappear after the clear.
    log.appendTraffic(QStringLiteral("20 "));
    b.window.Text28_DblClick();
    log.flush();
    QVERIFY(log.toPlainText().isEmpty());
}

void tst_demo_monitor::settingsWindowAppliesOnOk()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.com_set->trigger();
    auto* window = w.findChild<config*>("config");
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("SERIAL PORT SETTING"));
    QCOMPARE(window->Combo1->currentText(), QString("COM1"));
    QCOMPARE(window->Combo4->currentText(), QString("Even"));
    QVERIFY(window->Combo1->findText("SIM") >= 0);
    QVERIFY(window->Combo1->isEditable());
    window->Combo1->setCurrentText("COM12");
    window->Combo2->setCurrentText("19200");
    window->Combo4->setCurrentText("Space");
    window->Combo5->setCurrentText("2");
    window->ok->click();

    QCOMPARE(b.port.portName(), QString("COM12"));
    QCOMPARE(b.port.settings(), QString("19200,S,8,2"));
    QCOMPARE(b.port.inputBufferSize(), 1024);
    QCOMPARE(b.port.outputBufferSize(), 502);
    QCOMPARE(w.keptSettings().panelText(), QString("COM12,19200,Space,8,2"));
    QCOMPARE(w.StatusBar1->panelText(StatusPanels::Settings), QString("COM12,19200,Space,8,2"));
    // The open port was closed and the window went with it.
    QVERIFY(!b.port.isOpen());
    QCOMPARE(w.Command1->text(), QString("Open Serial"));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!w.Frame5->isEnabled());
    QVERIFY(b.prompts().isEmpty());

    // A typed device path is taken as it is.
    w.com_set->trigger();
    window = w.findChild<config*>("config");
    QVERIFY(window);
    QCOMPARE(window->Combo1->currentText(), QString("COM12"));
    window->Combo1->setEditText("/dev/ttyUSB7");
    window->ok->click();
    QCOMPARE(b.port.portName(), QString("/dev/ttyUSB7"));
}

void tst_demo_monitor::settingsWindowCancelKeepsEverything()
{
    DemoBench b;
    b.window.com_set->trigger();
    auto* window = b.window.findChild<config*>("config");
    window->Combo1->setCurrentText("COM3");
    window->Combo2->setCurrentText("1200");
    window->cancel->click();
    QCOMPARE(b.port.portName(), QString("COM1"));
    QCOMPARE(b.port.settings(), QString("9600,E,8,1"));
    QCOMPARE(b.window.keptSettings().panelText(), QString("COM1,9600,Even,8,1"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    b.window.com_set->trigger();
    window = b.window.findChild<config*>("config");
    QCOMPARE(window->Combo1->currentText(), QString("COM1"));
    QCOMPARE(window->Combo2->currentText(), QString("9600"));
}

void tst_demo_monitor::refusedSettingsChangeNothing_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("dataBits");
    QTest::addColumn<QString>("stopBits");
    QTest::addColumn<QString>("named");
    QTest::newRow("9 data bits") << "COM1"
                                 << "9"
                                 << "1"
                                 << "9 data bits";
    QTest::newRow("no port") << "  "
                             << "8"
                             << "1"
                             << "No port";
#ifndef Q_OS_WIN
    QTest::newRow("1.5 stop bits") << "COM2"
                                   << "8"
                                   << "1.5"
                                   << "1.5 stop bits";
#endif
}

void tst_demo_monitor::refusedSettingsChangeNothing()
{
    QFETCH(QString, port);
    QFETCH(QString, dataBits);
    QFETCH(QString, stopBits);
    QFETCH(QString, named);
    DemoBench b;
    b.openPort();
    b.window.com_set->trigger();
    auto* window = b.window.findChild<config*>("config");
    window->Combo1->setEditText(port);
    window->Combo3->setCurrentText(dataBits);
    window->Combo5->setCurrentText(stopBits);
    window->ok->click();
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(b.prompts().first().title, QString("Error Waining!"));
    QVERIFY2(b.prompts().first().text.contains(named), qPrintable(b.prompts().first().text));
    QCOMPARE(b.port.settings(), QString("9600,E,8,1"));
    QCOMPARE(b.port.portName(), QString("COM1"));
    QCOMPARE(b.window.keptSettings().panelText(), QString("COM1,9600,Even,8,1"));
    QVERIFY(b.port.isOpen());
    QVERIFY(window->isVisible()); // left open to be corrected
}

void tst_demo_monitor::saveFileWritesTheLog()
{
    DemoBench b;
    b.openPort();
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    b.window.chooseSaveFile = [&] { return path; };
    b.window.Timer1_Timer();
    b.receive(statusAnswer(1, 0x1234, 0x10, 0));
    b.window.save_file->trigger();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    // The program's one version, as --version says it.
    QVERIFY(lines[0].startsWith(
        QStringLiteral("# Traffic of vfdtool %1 on COM1,9600,Even,8,1").arg(VFD_VERSION)));
    QVERIFY(lines[2].endsWith("  request  " + readRequest(1, 0x0E00)));
    QVERIFY(lines[3].endsWith("  reply    " + hex(statusAnswer(1, 0x1234, 0x10, 0))));
    QVERIFY(b.prompts().isEmpty());

    b.window.chooseSaveFile = [] { return QString(); }; // cancelled
    b.window.save_file->trigger();
    QVERIFY(b.prompts().isEmpty());
}

void tst_demo_monitor::saveFileFailureIsReported()
{
    DemoBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/log.txt");
    b.window.chooseSaveFile = [&] { return path; };
    b.window.Text28->appendTraffic("1 3 ");
    b.window.save_file->trigger();
    QCOMPARE(b.prompts().size(), 1);
    QVERIFY(b.prompts().first().text.contains("log.txt"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(b.window.Text28->logText(), QString("1 3 "));
}

void tst_demo_monitor::changeSkin()
{
    DemoBench b;
    demo& w = b.window;
    const QList<QWidget*> skinned = {&w,
                                     w.Frame1,
                                     w.Frame2,
                                     w.Frame3,
                                     w.Frame4,
                                     w.Frame5,
                                     w.Frame7,
                                     w.Option1,
                                     w.Option9,
                                     w.Check1,
                                     w.ControlRhythmLabel,
                                     w.CommunicationRhythmLabel};
    const QColor before = w.Frame5->palette().color(QPalette::Window);
    QColor offered;
    w.chooseColour = [&](const QColor& initial) {
        offered = initial;
        return QColor();
    };
    w.replacing->trigger();
    for (QWidget* widget : skinned)
        QCOMPARE(widget->palette().color(QPalette::Window), before);

    w.chooseColour = [&](const QColor& initial) {
        offered = initial;
        return QColor(Qt::darkCyan);
    };
    w.replacing->trigger();
    for (QWidget* widget : skinned)
        QCOMPARE(widget->palette().color(QPalette::Window), QColor(Qt::darkCyan));
    QVERIFY(w.Text24->palette().color(QPalette::Base) == Qt::black);
    w.replacing->trigger();
    QCOMPARE(offered, QColor(Qt::darkCyan)); // opens on the colour it returned last
}

void tst_demo_monitor::parameterSetStopsAndShowsOneWindow()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.data_set->setEnabled(true);
    w.Option1->click();
    w.Command5_Click();
    w.data_set->trigger();
    QVERIFY(w.Option9->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(w.Command5->text(), QString("Start"));
    auto* parameters = w.findChild<Form2*>();
    QVERIFY(parameters);
    QVERIFY(parameters->isVisible());
    QVERIFY(parameters->isWindow());

    // Polling switched on by the rhythm entry is stopped too, not restarted.
    w.Text2->setText("300");
    QVERIFY(w.Timer1->isActive());
    w.data_set->trigger();
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.Command5->text(), QString("Start"));
    QCOMPARE(w.findChildren<Form2*>().size(), 1);

    // "Encryption" without a password brings up the main window's password window.
    emit parameters->passwordWindowRequested();
    w.encode->trigger();
    QCOMPARE(w.findChildren<encoder*>().size(), 1);
}

void tst_demo_monitor::windowsAreShownOnce()
{
    DemoBench b;
    demo& w = b.window;
    w.userhelp->trigger();
    w.userhelp->trigger();
    w.abouthelp->trigger();
    w.abouthelp->trigger();
    QCOMPARE(w.findChildren<frmSplash*>().size(), 1);
    QCOMPARE(w.findChildren<frmAbout*>().size(), 1);
    QVERIFY(w.findChild<frmSplash*>()->isVisible());
    // Closed, it is gone; the next choice builds it afresh.
    w.findChild<frmAbout*>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(w.findChildren<frmAbout*>().size(), 0);
    w.abouthelp->trigger();
    QCOMPARE(w.findChildren<frmAbout*>().size(), 1);
}

QTEST_MAIN(tst_demo_monitor)
#include "tst_demo_monitor.moc"
