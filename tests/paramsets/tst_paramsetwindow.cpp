// SPDX-License-Identifier: GPL-3.0-or-later
// The "Drive Parameters" window and how the main window makes room for it.
#include "BusLine.h"
#include "DemoBench.h"
#include "ParamSetFile.h"
#include "ParamSetWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class tst_paramsetwindow : public QObject
{
    Q_OBJECT
private slots:
    void toolsMenuOpensTheWindow();
    void pollStandsAsideWhileAJobHoldsTheLine();
    void restoreFromFileHonoursTheLockAndLeavesNoDifference();
};

void tst_paramsetwindow::toolsMenuOpensTheWindow()
{
    DemoBench b;
    QCOMPARE(b.window.tools->title(), QStringLiteral("&Tools"));
    QCOMPARE(b.window.drive_parameters->text(), QStringLiteral("Drive Parameters..."));
    b.window.drive_parameters->trigger();
    QVERIFY(b.window.findChild<ParamSetWindow*>());
    QVERIFY(b.port.written().isEmpty()); // opening it sends nothing
}

void tst_paramsetwindow::pollStandsAsideWhileAJobHoldsTheLine()
{
    DemoBench b;
    b.openPort();
    b.window.Command5_Click();
    b.window.Timer1_Timer();
    QCOMPARE(b.writtenHex(), QStringList{readRequest(1, 0x0E00)});
    b.port.clearWritten();
    QObject job;
    LinkSession* session = b.window.linkClient().openSession(&job);
    session->holdLine(true);
    b.window.Timer1_Timer();
    b.window.Timer1_Timer();
    QVERIFY(b.port.written().isEmpty());
    session->holdLine(false);
    b.window.Timer1_Timer();
    // The schedule goes on with its second item, as if no tick had passed.
    QCOMPARE(b.writtenHex(), QStringList{readRequest(1, 0x0D00)});
}

void tst_paramsetwindow::restoreFromFileHonoursTheLockAndLeavesNoDifference()
{
    BusLine line;
    Prompter prompter;
    QList<Prompter::Prompt> prompts;
    prompter.setResponder([&](const Prompter::Prompt& p) {
        prompts << p;
        return QMessageBox::Yes;
    });
    bool unlocked = false;
    ParamSetWindow w(line.client, prompter, [&] { return unlocked; });
    QTemporaryDir dir;
    ParamSet wanted;
    wanted.values.insert(0x000E, {ParamValue::State::Value, 250});
    wanted.values.insert(0x0800, {ParamValue::State::Value, 7}); // never ticked by itself
    const QString file = dir.filePath(QStringLiteral("few.csv"));
    QCOMPARE(ParamSetFile::Save(wanted, file), QString());
    w.chooseOpenFile = [&] { return file; };
    w.OpenA_Click();
    w.ReadB_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    QCOMPARE(w.Differences->rowCount(), 2);
    QCOMPARE(w.Differences->item(0, 0)->checkState(), Qt::Checked);
    QCOMPARE(w.Differences->item(1, 0)->checkState(), Qt::Unchecked);

    line.requests.clear();
    w.Restore_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    QVERIFY(prompts.last().text.contains(QStringLiteral("locked")));
    QVERIFY(line.requests.isEmpty());

    unlocked = true;
    w.Restore_Click();
    QVERIFY(line.runUntil([&] { return !w.busy() && w.Differences->rowCount() == 1; }));
    QCOMPARE(line.writes().size(), 1);
    QCOMPARE(*line.bus.drive(1)->parameters().raw(0, 14), quint16(250));
    // Read again after the restore: only the address, left alone, differs.
    QCOMPARE(w.Differences->item(0, 1)->text(), QStringLiteral("P8.00"));
}

QTEST_MAIN(tst_paramsetwindow)
#include "tst_paramsetwindow.moc"
