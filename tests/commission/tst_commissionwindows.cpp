// SPDX-License-Identifier: GPL-3.0-or-later
// The test run and report windows on simulated drives in real time: closing
// the test run window mid-run stops the drive, and the report window names a
// drive that does not answer.
#include "AnswerBoxes.h"
#include "DemoBench.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "ReportWindow.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"
#include "TestRun.h"
#include "TestRunWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct SimLine
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2}};
    Hexedit link{port};
    LinkClient client{link};
    Prompter prompter;

    SimLine()
    {
        port.open();
        answerBoxes(prompter, QMessageBox::Yes);
        for (quint8 a : {1, 2}) {
            DriveParameters& p = port.bus().drive(a)->parameters();
            p.force(0, 14, 5); // 0.5 s ramps
            p.force(0, 15, 5);
            p.force(8, 2, 0); // no communication time-out: only a STOP stops it
        }
    }
};

} // namespace

class tst_commissionwindows : public QObject
{
    Q_OBJECT
private slots:
    void closingTheTestRunWindowStopsTheDrive();
    void theReportWindowNamesASilentDrive();
    void theToolsMenuOpensEachOnceAndPassesRunsOn();
};

void tst_commissionwindows::closingTheTestRunWindowStopsTheDrive()
{
    SimLine line;
    SimulatedDrive* drive = line.port.bus().drive(1);
    QPointer<TestRunWindow> window = new TestRunWindow(line.client, line.prompter);
    window->show();
    window->hzBox->setValue(20);
    window->holdBox->setValue(600);
    window->startRun();
    QTRY_VERIFY_WITH_TIMEOUT(drive->isRunning() && drive->outputFrequency() > 10, 10000);
    QVERIFY(!window->startButton->isEnabled());
    // The confirmation named the drive before anything moved.
    QVERIFY(line.prompter.history().first().text.contains(QStringLiteral("Drive 1 will run")));
    window->close();
    QTRY_VERIFY(window.isNull());
    // The simulated drives move on as requests reach them: a status read
    // each time lets the one told to stop ramp down.
    QTRY_VERIFY_WITH_TIMEOUT((line.link.SendRead(1, Rtu::StatusRegister), !drive->isRunning()),
                             5000);

    // Run to its end in the window: the checks are shown, each with its result.
    window = new TestRunWindow(line.client, line.prompter);
    window->driveBox->setValue(2);
    window->hzBox->setValue(15);
    window->holdBox->setValue(1);
    window->reverseBox->setChecked(true);
    window->limitsEdit->setText(QStringLiteral("current<100"));
    window->startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!window->run()->running(), 20000);
    QCOMPARE(window->results().size(), 1);
    QVERIFY2(window->results().first().passed(), qPrintable(window->results().first().endReason));
    QCOMPARE(window->checks->rowCount(), int(window->results().first().checks.size()));
    QVERIFY(window->stateLabel->text().startsWith(QStringLiteral("Passed")));
    QVERIFY(!line.port.bus().drive(2)->isRunning());
    delete window.data();
}

void tst_commissionwindows::theReportWindowNamesASilentDrive()
{
    SimLine line;
    QTemporaryDir dir;
    ReportWindow window(line.client, line.prompter);
    window.drivesEdit->setText(QStringLiteral("2,9"));
    window.siteEdit->setText(QStringLiteral("Hall 3"));
    window.fileEdit->setText(dir.filePath(QStringLiteral("r.pdf")));
    // No technician: asked for before anything is read.
    line.prompter.clearHistory();
    window.makeReport();
    QCOMPARE(line.prompter.history().size(), 1);
    QVERIFY(window.makeButton->isEnabled());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("r.pdf"))));
    window.technicianEdit->setText(QStringLiteral("R. Ohm"));
    window.makeReport();
    QTRY_VERIFY_WITH_TIMEOUT(window.stateLabel->text().startsWith(QStringLiteral("Written")),
                             60000);
    QVERIFY2(window.stateLabel->text().contains(QStringLiteral("Not answering (named in the "
                                                               "report): 9")),
             qPrintable(window.stateLabel->text()));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("r.pdf"))).size() > 1000);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("r.html"))));

    // A bad drive list is said, and nothing is read.
    window.drivesEdit->setText(QStringLiteral("1,40"));
    line.prompter.clearHistory();
    window.makeReport();
    QCOMPARE(line.prompter.history().size(), 1);
    QVERIFY(window.makeButton->isEnabled());
}

void tst_commissionwindows::theToolsMenuOpensEachOnceAndPassesRunsOn()
{
    DemoBench bench;
    auto* testRun = bench.window.findChild<QAction*>(QStringLiteral("test_run"));
    auto* report = bench.window.findChild<QAction*>(QStringLiteral("commissioning_report"));
    QVERIFY(testRun && report);
    QCOMPARE(testRun->text(), QStringLiteral("&Test Run..."));
    QCOMPARE(report->text(), QStringLiteral("&Commissioning Report..."));
    testRun->trigger();
    testRun->trigger();
    QCOMPARE(bench.window.findChildren<TestRunWindow*>().size(), 1);
    report->trigger();
    auto* reportWindow = bench.window.findChild<ReportWindow*>();
    QVERIFY(reportWindow);

    // A run that ends while the report window is open joins its list, once.
    TestRunResult result;
    result.plan.address = 3;
    emit bench.window.findChild<TestRunWindow*>()->runFinished(result);
    QCOMPARE(reportWindow->runs().size(), 1);
    QCOMPARE(reportWindow->runs().first().plan.address, quint8(3));
}

QTEST_MAIN(tst_commissionwindows)
#include "tst_commissionwindows.moc"
