// SPDX-License-Identifier: GPL-3.0-or-later
// The "Drive Parameters" window and how the main window makes room for it.
#include "AnswerBoxes.h"
#include "BusLine.h"
#include "DemoBench.h"
#include "ParamSetFile.h"
#include "ParamSetWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
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
    void cloneSaysTheLockBeforeAskingAndTheWindowShowsIt();
    void savingNeverPutsLessInPlaceOfMoreUnasked();
    void unitsCountsAndWhatARestoreWrites();
};

void tst_paramsetwindow::toolsMenuOpensTheWindow()
{
    DemoBench b;
    QCOMPARE(b.window.tools->title(), QStringLiteral("&Tools"));
    QCOMPARE(b.window.drive_parameters->text(), QStringLiteral("&Drive Parameters..."));
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

    // Locked: said before any question, with where the lock opens.
    QVERIFY(w.WriteLock->text().contains(QStringLiteral("locked")));
    line.requests.clear();
    prompts.clear();
    w.Restore_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    QCOMPARE(prompts.size(), 1);
    QCOMPARE(prompts.last().icon, QMessageBox::Warning);
    QVERIFY2(prompts.last().text.contains(QStringLiteral("locked: open the lock in \"Set\" → "
                                                         "\"Password\" first")),
             qPrintable(prompts.last().text));
    QVERIFY(line.requests.isEmpty());

    unlocked = true;
    w.showWriteLock();
    QCOMPARE(w.WriteLock->text(), QStringLiteral("Parameter writing is open."));
    w.Restore_Click();
    QCOMPARE(prompts.last().icon, QMessageBox::Question);
    QCOMPARE(prompts.last().defaultButton, QMessageBox::No);
    QVERIFY(line.runUntil([&] { return !w.busy() && w.Differences->rowCount() == 1; }));
    QCOMPARE(line.writes().size(), 1);
    QCOMPARE(*line.bus.drive(1)->parameters().raw(0, 14), quint16(250));
    // Read again after the restore: only the address, left alone, differs.
    QCOMPARE(w.Differences->item(0, 1)->text(), QStringLiteral("P8.00"));
}

// The clone's question comes only with writing open; the window's line on
// the lock follows the main window's lock as it opens and closes.
void tst_paramsetwindow::cloneSaysTheLockBeforeAskingAndTheWindowShowsIt()
{
    BusLine line;
    Prompter prompter;
    answerBoxes(prompter, QMessageBox::Yes);
    bool unlocked = false;
    ParamSetWindow w(line.client, prompter, [&] { return unlocked; });
    w.AddressA->setValue(1);
    w.ReadA_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    line.bus.drive(2)->parameters().force(0, 14, 123);
    w.CloneTargets->setText(QStringLiteral("2"));
    w.ClonePreview_Click(); // reading is no writing
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    line.requests.clear();
    prompter.clearHistory();
    w.CloneApply_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    QCOMPARE(prompter.history().size(), 1);
    QCOMPARE(prompter.history().first().icon, QMessageBox::Warning);
    QVERIFY(prompter.history().first().text.contains(QStringLiteral("\"Set\" → \"Password\"")));
    QVERIFY(line.writes().isEmpty());

    unlocked = true;
    prompter.clearHistory();
    w.CloneApply_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    QCOMPARE(prompter.history().first().icon, QMessageBox::Question);
    QCOMPARE(prompter.history().first().defaultButton, QMessageBox::No);
    QCOMPARE(*line.bus.drive(2)->parameters().raw(0, 14),
             *line.bus.drive(1)->parameters().raw(0, 14));

    // Opened from the main window, the line follows "Parameter Set".
    DemoBench b;
    b.window.drive_parameters->trigger();
    ParamSetWindow* tool = b.window.findChild<ParamSetWindow*>();
    QVERIFY(tool);
    b.window.data_set->setEnabled(true);
    QCOMPARE(tool->WriteLock->text(), QStringLiteral("Parameter writing is open."));
    b.window.data_set->setEnabled(false);
    QCOMPARE(tool->WriteLock->text(),
             QStringLiteral("Parameter writing is locked: \"Set\" → \"Password\" opens it."));
}

// A read of a silent drive is not saved at all; one that lost P2.05 takes
// the place of a whole backup only when the user says so.
void tst_paramsetwindow::savingNeverPutsLessInPlaceOfMoreUnasked()
{
    BusLine line;
    Prompter prompter;
    QList<Prompter::Prompt> prompts;
    QMessageBox::StandardButton answer = QMessageBox::No;
    prompter.setResponder([&](const Prompter::Prompt& p) {
        prompts << p;
        return answer;
    });
    ParamSetWindow w(line.client, prompter, [] { return false; });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("keep.csv"));
    w.chooseSaveFile = [&] { return file; };
    auto readA = [&](int address) {
        w.AddressA->setValue(address);
        w.ReadA_Click();
        return line.runUntil([&] { return !w.busy(); });
    };
    auto contents = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    QVERIFY(readA(1));
    w.SaveA_Click();
    QVERIFY(prompts.isEmpty());
    const QByteArray whole = contents();
    QCOMPARE(ParamSetFile::Load(file).set->answered(), 185);

    QVERIFY(readA(9)); // no drive there
    w.SaveA_Click();
    QCOMPARE(prompts.size(), 1);
    QCOMPARE(prompts.last().icon, QMessageBox::Warning);
    QVERIFY(prompts.last().text.contains(QStringLiteral("nothing was saved")));
    QCOMPARE(contents(), whole);

    // P2.05 unanswered, alone or in a block of registers.
    line.intercept = [](const QByteArray& r) -> std::optional<QByteArray> {
        const int count = std::max(1, quint8(r[4]) << 8 | quint8(r[5]));
        const bool covers = registerOf(r) <= 0x0205 && 0x0205 < registerOf(r) + count;
        return covers ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    };
    QVERIFY(readA(1));
    w.SaveA_Click();
    QCOMPARE(prompts.size(), 2);
    QCOMPARE(prompts.last().icon, QMessageBox::Question);
    QCOMPARE(prompts.last().defaultButton, QMessageBox::No); // Enter keeps the file
    QVERIFY2(prompts.last().text.contains(QStringLiteral("holds 185 answered parameters; set A "
                                                         "has 184 (1 not answered)")),
             qPrintable(prompts.last().text));
    QCOMPARE(contents(), whole);
    QVERIFY(w.Report->toPlainText().endsWith(QStringLiteral("was left as it was.")));

    answer = QMessageBox::Yes;
    w.SaveA_Click();
    QCOMPARE(prompts.size(), 3);
    QCOMPARE(ParamSetFile::Load(file).set->answered(), 184);
    QVERIFY(
        w.Report->toPlainText().endsWith(QStringLiteral("184 parameters read, 1 not answered.")));
}

QTEST_MAIN(tst_paramsetwindow)
#include "tst_paramsetwindow.moc"

// The table's units come from the catalogue's texts whatever their spelling,
// counted words agree with their number, a comparison is reported once
// however often the table is shown another way, and the restore's question
// lists each change.
void tst_paramsetwindow::unitsCountsAndWhatARestoreWrites()
{
    QCOMPARE(ParamCatalogue::unit(0x0003), QStringLiteral("Hz")); // "0.01Hz"
    QCOMPARE(ParamCatalogue::unit(0x0009), QStringLiteral("V"));  // "1", default "380V"
    QCOMPARE(ParamCatalogue::unit(0x000E), QStringLiteral("s"));  // range "... unit is seconds"
    QCOMPARE(ParamCatalogue::unit(0x0105), QStringLiteral("Ω"));  // range "0.001--10.000Ω"
    QCOMPARE(ParamCatalogue::unit(0x010C), QStringLiteral("s"));  // "0.1", default "0.2S"
    QCOMPARE(ParamCatalogue::unit(0x0001), QString());            // an option number
    QCOMPARE(ParamCatalogue::unitOfText(QStringLiteral("0.OOS")), QStringLiteral("s"));
    QCOMPARE(ParamCatalogue::unitOfText(QStringLiteral("0.1KHz")), QStringLiteral("kHz"));
    QCOMPARE(ParamCatalogue::unitOfText(QStringLiteral("1mS")), QStringLiteral("ms"));
    QCOMPARE(ParamCatalogue::unitOfText(QStringLiteral("10O%")), QStringLiteral("%"));
    QCOMPARE(ParamCatalogue::unitOfText(QStringLiteral("model setting")), QString());
    // No parameter with a unit offers it in two spellings.
    QHash<QString, QString> spelt;
    for (quint16 reg : ParamCatalogue::offeredRegisters()) {
        const QString u = ParamCatalogue::unit(reg);
        QVERIFY2(!spelt.contains(u.toLower()) || spelt.value(u.toLower()) == u, qPrintable(u));
        spelt.insert(u.toLower(), u);
    }

    BusLine line;
    Prompter prompter;
    QList<Prompter::Prompt> prompts;
    prompter.setResponder([&](const Prompter::Prompt& p) {
        prompts << p;
        return QMessageBox::No;
    });
    ParamSetWindow w(line.client, prompter, [] { return true; });
    QTemporaryDir dir;
    ParamSet wanted;
    wanted.values.insert(0x000E, {ParamValue::State::Value, 250});
    wanted.values.insert(0x0009,
                         {ParamValue::State::Value, *line.bus.drive(1)->parameters().raw(0, 9)});
    const QString file = dir.filePath(QStringLiteral("one.csv"));
    QCOMPARE(ParamSetFile::Save(wanted, file), QString());
    w.chooseOpenFile = [&] { return file; };
    w.OpenA_Click();
    w.ReadB_Click();
    QVERIFY(line.runUntil([&] { return !w.busy(); }));
    auto said = [&] { return w.Report->toPlainText().count(QStringLiteral("between A and B")); };
    QVERIFY(w.Report->toPlainText().contains(QStringLiteral("1 difference between A and B.")));
    QCOMPARE(said(), 1);
    w.DifferencesOnly->setChecked(false);
    QCOMPARE(w.Differences->rowCount(), 2);
    QCOMPARE(w.Differences->item(0, 5)->text(), QStringLiteral("V"));
    QCOMPARE(w.Differences->item(1, 5)->text(), QStringLiteral("s"));
    w.DifferencesOnly->setChecked(true);
    QCOMPARE(said(), 1);

    const QString from = ParamCatalogue::shown(0x000E, *line.bus.drive(1)->parameters().raw(0, 14));
    w.Restore_Click();
    QCOMPARE(prompts.size(), 1);
    QVERIFY(prompts[0].text.startsWith(QStringLiteral("Write 1 parameter to drive 1?")));
    QVERIFY2(prompts[0].text.contains(
                 QStringLiteral("P0.14 Acceleration time 1: %1 s -> 25 s").arg(from)),
             qPrintable(prompts[0].text));
    QVERIFY(!prompts[0].text.contains(QStringLiteral("P0.09")));
    QCOMPARE(prompts[0].defaultButton, QMessageBox::No);
    QVERIFY(line.writes().isEmpty()); // answered No
}
