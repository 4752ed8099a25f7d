// SPDX-License-Identifier: GPL-3.0-or-later
// The "Tools" menu of the main window over simulated drives: the scan window
// hands a drive to the main window and takes found settings, the statistics
// window shows the main window's own polls and marks a silent drive.
#include "AnswerBoxes.h"
#include "HealthRig.h"
#include "LineStatisticsWindow.h"
#include "ScanWindow.h"
#include "SimulatedPort.h"
#include "StatusPanels.h"
#include "demo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

struct ToolsBench
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2, 3}};
    demo window{&port};

    ToolsBench()
    {
        answerBoxes(window.prompter());
        window.Command1_Click();
        // The poll is stepped by hand here.
        window.Timer1->stop();
        allowForLoad(window.link());
    }

    bool idle() { return !window.link().AwaitingAnswer() && !window.linkClient().busy(); }

    ScanWindow* openScan(int from, int to)
    {
        window.scan_line->trigger();
        auto* w = window.findChild<ScanWindow*>();
        if (w) {
            w->fromBox->setValue(from);
            w->toBox->setValue(to);
        }
        return w;
    }
};

class tst_healthwindows : public QObject
{
    Q_OBJECT
private slots:
    void toolsMenuEntries();
    void scanListsDrivesAndChosenRowBecomesTheSingleDrive();
    void scanSaysWhichDrivesIgnoreTheLine();
    void heldLineKeepsThePollAtItsItem();
    void foundSettingsAreTakenWhenTheUserAgrees();
    void statisticsShowPollsAndMarkASilentDrive();
};

void tst_healthwindows::toolsMenuEntries()
{
    ToolsBench b;
    QCOMPARE(b.window.tools->title(), QStringLiteral("&Tools"));
    QStringList entries;
    for (const QAction* action : b.window.tools->actions())
        entries << action->text();
    QVERIFY(entries.contains(QStringLiteral("&Scan Line...")));
    QVERIFY(entries.contains(QStringLiteral("&Line Statistics...")));
    // One window per entry: choosing it again brings the same one forward.
    b.window.scan_line->trigger();
    b.window.scan_line->trigger();
    QCOMPARE(b.window.findChildren<ScanWindow*>().size(), 1);
}

void tst_healthwindows::scanListsDrivesAndChosenRowBecomesTheSingleDrive()
{
    ToolsBench b;
    ScanWindow* w = b.openScan(1, 6);
    QVERIFY(w);
    QSignalSpy finished(&w->scan(), &LineScan::finished);
    w->startScan();
    QVERIFY(!w->scanButton->isEnabled());
    QVERIFY(w->cancelButton->isEnabled());
    QVERIFY(finished.wait(10000));
    QCOMPARE(w->table->rowCount(), 3);
    QCOMPARE(w->table->item(1, 0)->text(), QStringLiteral("2"));
    QCOMPARE(w->progressBar->value(), 6);
    QVERIFY(w->scanButton->isEnabled());
    w->copyTable();
    QCOMPARE(QApplication::clipboard()->text(), LineScan::tableText(w->scan().entries()));

    b.window.Check1->setChecked(false);
    b.window.Check1_Click();
    w->table->setCurrentCell(1, 0);
    w->watchChosen();
    QVERIFY(b.window.Check1->isChecked());
    QVERIFY(b.window.Combo2->isEnabled());
    QCOMPARE(b.window.Combo2->currentText(), QStringLiteral("2"));
}

void tst_healthwindows::scanSaysWhichDrivesIgnoreTheLine()
{
    ToolsBench b;
    b.port.bus().drive(2)->factorySources();
    ScanWindow* w = b.openScan(1, 3);
    QVERIFY(w);
    QSignalSpy finished(&w->scan(), &LineScan::finished);
    w->startScan();
    QVERIFY(finished.wait(10000));
    QCOMPARE(w->table->rowCount(), 3);
    const int note = w->table->columnCount() - 1;
    QCOMPARE(w->table->item(0, note)->text(), QString());
    QCOMPARE(w->table->item(1, note)->text(),
             QStringLiteral("ignores run commands (P0.04 = 0); own frequency (P0.01 = 1)"));
    // The main window heard the scan's answers and says it once, asking nothing itself.
    const QString said = b.window.StatusBar1->notice();
    QVERIFY2(said.startsWith(QStringLiteral("drive 2 will ignore run commands from the line")),
             qPrintable(said));
    b.window.StatusBar1->clearNotice();
    w->startScan();
    QVERIFY(finished.wait(10000));
    QCOMPARE(b.window.StatusBar1->notice(), QString());
}

void tst_healthwindows::heldLineKeepsThePollAtItsItem()
{
    ToolsBench b;
    QSignalSpy sent(&b.window.link(), &Hexedit::frameSent);
    b.window.PollItem = 5;
    QObject job;
    LinkSession* session = b.window.linkClient().openSession(&job);
    session->holdLine(true);
    b.window.Timer1_Timer();
    QCOMPARE(sent.size(), 0);
    QCOMPARE(b.window.PollItem, quint8(5));
    session->holdLine(false);
    b.window.Timer1_Timer();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(b.window.PollItem, quint8(6));
}

void tst_healthwindows::foundSettingsAreTakenWhenTheUserAgrees()
{
    ToolsBench b;
    b.port.setDriveSettings(SerialSettings::parse(QStringLiteral("19200,O,8,2")));
    ScanWindow* w = b.openScan(2, 2);
    QStringList asked;
    b.window.prompter().setResponder([&](const Prompter::Prompt& box) {
        asked << box.text;
        // Declined the first time, taken the second.
        return asked.size() > 1 ? QMessageBox::Yes : QMessageBox::No;
    });
    QSignalSpy finished(&w->search(), &SettingsSearch::finished);
    w->startSearch();
    QVERIFY(finished.wait(10000));
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].contains(QStringLiteral("19200,O,8,2")));
    QCOMPARE(b.window.prompter().history().last().title, QStringLiteral("Line Settings"));
    QCOMPARE(b.port.settings(), QStringLiteral("9600,E,8,1"));
    QCOMPARE(b.window.keptSettings().BaudRate, QStringLiteral("9600"));

    w->startSearch();
    QVERIFY(finished.wait(10000));
    QCOMPARE(b.port.settings(), QStringLiteral("19200,O,8,2"));
    QCOMPARE(b.window.keptSettings().settingsText(), QStringLiteral("19200,O,8,2"));
    QCOMPARE(b.window.StatusBar1->panelText(StatusPanels::Settings),
             b.window.keptSettings().panelText());
}

void tst_healthwindows::statisticsShowPollsAndMarkASilentDrive()
{
    ToolsBench b;
    b.window.line_statistics->trigger();
    auto* w = b.window.findChild<LineStatisticsWindow*>();
    QVERIFY(w);
    QSignalSpy silent(&b.window.lineStatistics(), &LineStatistics::driveNotAnswering);
    b.window.Check1->setChecked(true);
    b.window.Check1_Click();
    // Drive 2 answers the main window's polls; drive 9, asked by a tool, is
    // not on the line.
    b.window.Combo2->setCurrentText(QStringLiteral("2"));
    QObject tool;
    LinkSession* session = b.window.linkClient().openSession(&tool);
    session->setRetries(0);
    for (int round = 0; round < 4; ++round) {
        b.window.Timer1_Timer();
        QVERIFY(waitUntil([&] { return b.idle(); }));
        session->submit(LinkRequest::read(9, 0x0E00), [](const LinkResult&) {});
        QVERIFY(waitUntil([&] { return b.idle(); }));
    }
    QCOMPARE(silent.size(), 1);
    QVERIFY(b.window.StatusBar1->notice().contains(QStringLiteral("drive 9 not answering")));
    w->refresh();
    QCOMPARE(w->table->rowCount(), 2);
    QCOMPARE(w->table->item(0, 0)->text(), QStringLiteral("2"));
    QCOMPARE(w->table->item(0, 2)->text(), QStringLiteral("4"));
    QCOMPARE(w->table->item(1, 3)->text(), QStringLiteral("0")); // no late answers
    QCOMPARE(w->table->item(1, 4)->text(), QStringLiteral("4")); // time-outs
    QCOMPARE(w->table->item(1, 0)->foreground().color(), LineStatisticsWindow::failingColour());
    QVERIFY(w->table->item(0, 0)->foreground().color() != LineStatisticsWindow::failingColour());
    w->copyTable();
    QCOMPARE(QApplication::clipboard()->text(), b.window.lineStatistics().tableText());
    w->resetButton->click();
    w->refresh();
    QCOMPARE(w->table->rowCount(), 0);
}

QTEST_MAIN(tst_healthwindows)
#include "tst_healthwindows.moc"
