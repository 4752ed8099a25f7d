// SPDX-License-Identifier: GPL-3.0-or-later
// The Site window in the main window, on simulated drives in real time: the
// rows of a site folder, the mark of a drive that needs attention, a name
// written back into the person's file, the tools opened on the drives chosen
// and saving into the site, and the parameter window's writes in the journal.
#include "AnswerBoxes.h"
#include "CommissionWindow.h"
#include "Form2.h"
#include "Journal.h"
#include "NewSiteDialog.h"
#include "ParamSetWindow.h"
#include "RecorderWindow.h"
#include "ReportWindow.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"
#include "SiteFolder.h"
#include "SiteNote.h"
#include "SiteWindow.h"
#include "SmallDisk.h"
#include "TestRunWindow.h"
#include "demo.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kSiteText = "# Press hall, written by hand\n"
                             "[site]\n"
                             "name = Press hall\n"
                             "technician = J. Doe\n"
                             "\n"
                             "[line a]\n"
                             "port = SIM\n"
                             "settings = 9600,E,8,1\n"
                             "drives = 1-3\n"
                             "\n"
                             "# the belt at the press\n"
                             "[drive a 2]\n"
                             "name = Conveyor 2\n";

// The main window over simulated drives 1 to 3, its port open, and a site
// folder written as a person would.
struct SiteBench
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2, 3}};
    demo window{&port};
    QTemporaryDir dir;
    QList<QByteArray> sent;

    explicit SiteBench(const QString& folder = QString())
    {
        answerBoxes(window.prompter(), QMessageBox::Yes);
        window.Command1_Click();
        QObject::connect(&window.link(), &Hexedit::frameSent,
                         [this](const QByteArray& f) { sent << f; });
        writeSite(folder.isEmpty() ? dir.path() : folder);
    }
    static void writeSite(const QString& folder)
    {
        QFile f(folder + QStringLiteral("/site.conf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kSiteText);
    }
    SiteWindow* siteWindow()
    {
        window.site_window_Click();
        return window.findChild<SiteWindow*>();
    }
    SiteWindow* opened(const QString& folder)
    {
        SiteWindow* w = siteWindow();
        if (!w->openFolder(folder))
            return nullptr;
        return w;
    }
    QString cell(SiteWindow* w, quint8 address, int column)
    {
        for (int r = 0; r < w->table->rowCount(); ++r)
            if (w->table->item(r, SiteWindow::AddressColumn)->text() == QString::number(address))
                return w->table->item(r, column)->text();
        return QStringLiteral("(no row)");
    }
    void choose(SiteWindow* w, const QList<int>& rows)
    {
        w->table->clearSelection();
        for (int r : rows)
            w->table->selectionModel()->select(w->table->model()->index(r, 0),
                                               QItemSelectionModel::Select |
                                                   QItemSelectionModel::Rows);
    }
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class tst_sitewindow : public QObject
{
    Q_OBJECT
private slots:
    void rowsOfTheSiteAndTheAttentionMark();
    void aNameIsWrittenBackWithTheCommentsKept();
    void aNameThatCannotBeSavedIsSaidAndTheOldKept();
    void toolsOpenOnTheChosenDrives();
    void toolsSaveIntoTheSiteWithoutReplacing();
    void aParameterWriteIsJournaledAsItWentOut();
    void aNewSiteIsRememberedAndTheDrivesReadOnlyWhileShown();
    void aTestRunIsSavedAndJournaled();
    void aRowIsCommissionedFromTheWindow();
    void closingTheCommissionStopsTheRunningDrives();
};

void tst_sitewindow::rowsOfTheSiteAndTheAttentionMark()
{
    SiteBench bench;
    bench.port.bus().drive(3)->trip(2);
    bench.port.bus().drive(1)->parameters().force(0, 4, 0); // run commands from the keypad
    SiteWindow* w = bench.opened(bench.dir.path());
    QVERIFY(w);
    QVERIFY(bench.window.openSite());
    QCOMPARE(w->table->rowCount(), 3);
    QCOMPARE(bench.cell(w, 2, SiteWindow::NameColumn), QStringLiteral("Conveyor 2"));
    QCOMPARE(bench.cell(w, 1, SiteWindow::LineColumn), QStringLiteral("a"));
    QCOMPARE(bench.cell(w, 1, SiteWindow::TestRunColumn), QStringLiteral("none"));
    QVERIFY(w->siteLabel->text().contains(QStringLiteral("Press hall")));

    // What the drives say comes in from the line; the two that need
    // attention say why in words, and their rows stand out in colour too.
    w->Scan_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!bench.cell(w, 3, SiteWindow::AttentionColumn).isEmpty() &&
                                 !bench.cell(w, 1, SiteWindow::AttentionColumn).isEmpty(),
                             20000);
    QVERIFY(bench.cell(w, 3, SiteWindow::AttentionColumn).contains(QStringLiteral("fault")));
    QVERIFY(bench.cell(w, 1, SiteWindow::AttentionColumn).contains(QStringLiteral("not ready")));
    QVERIFY(bench.cell(w, 3, SiteWindow::AttentionColumn).startsWith(QStringLiteral("⚠")));
    QCOMPARE(bench.cell(w, 2, SiteWindow::AttentionColumn), QString());
    QVERIFY(!bench.cell(w, 2, SiteWindow::EditionColumn).isEmpty());
    const QColor plain = w->table->item(1, SiteWindow::NameColumn)->background().color();
    QVERIFY(w->table->item(2, SiteWindow::NameColumn)->background().style() != Qt::NoBrush);
    QVERIFY(w->table->item(2, SiteWindow::NameColumn)->background().color() != plain);
}

void tst_sitewindow::aNameIsWrittenBackWithTheCommentsKept()
{
    SiteBench bench;
    SiteWindow* w = bench.opened(bench.dir.path());
    QVERIFY(w);
    w->table->item(0, SiteWindow::NameColumn)->setText(QStringLiteral("  Press feed  "));
    QFile f(bench.dir.filePath(QStringLiteral("site.conf")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains("# Press hall, written by hand"));
    QVERIFY(text.contains("# the belt at the press"));
    QVERIFY(text.contains("name = Conveyor 2"));
    QString error;
    const auto again = SiteFolder::open(bench.dir.path(), &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(again->site().line(QStringLiteral("a"))->drive(1)->name, QStringLiteral("Press feed"));
    // The tools name the drive by it at once.
    QCOMPARE(SiteFolder::driveLabel(*bench.window.openSite()->site().line(QStringLiteral("a")), 1),
             QStringLiteral("1 (Press feed)"));
}

void tst_sitewindow::aNameThatCannotBeSavedIsSaidAndTheOldKept()
{
    SmallDisk disk(64);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    SiteBench bench(disk.path());
    SiteWindow* w = bench.opened(disk.path());
    QVERIFY(w);
    QVERIFY(disk.fill());
    bench.window.prompter().clearHistory();
    w->table->item(1, SiteWindow::NameColumn)->setText(QStringLiteral("Belt"));
    QCOMPARE(w->table->item(1, SiteWindow::NameColumn)->text(), QStringLiteral("Conveyor 2"));
    QCOMPARE(bench.window.prompter().history().size(), 1);
    QVERIFY(bench.window.prompter().history().first().text.contains(QStringLiteral("drive 2")));
    QFile f(disk.path() + QStringLiteral("/site.conf"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), kSiteText);
    QCOMPARE(bench.window.openSite()->site().line(QStringLiteral("a"))->drive(2)->name,
             QStringLiteral("Conveyor 2"));
}

void tst_sitewindow::toolsOpenOnTheChosenDrives()
{
    SiteBench bench;
    SiteWindow* w = bench.opened(bench.dir.path());
    QVERIFY(w);
    bench.choose(w, {1, 2});
    w->openTool(SiteWindow::Tool::Parameters);
    auto* params = bench.window.findChild<ParamSetWindow*>();
    QVERIFY(params && params->isVisible());
    QCOMPARE(params->AddressA->value(), 2);
    QCOMPARE(params->AddressB->value(), 3);
    QCOMPARE(params->CloneTargets->text(), QStringLiteral("3"));
    w->openTool(SiteWindow::Tool::Recorder);
    QCOMPARE(bench.window.findChild<RecorderWindow*>()->drives->text(), QStringLiteral("2,3"));
    w->openTool(SiteWindow::Tool::TestRun);
    QCOMPARE(bench.window.findChild<TestRunWindow*>()->driveBox->value(), 2);
    // With no row chosen, the report is on every drive of the line, and the
    // site names the file: none is asked for.
    w->table->clearSelection();
    w->openTool(SiteWindow::Tool::Report);
    auto* report = bench.window.findChild<ReportWindow*>();
    QCOMPARE(report->drivesEdit->text(), QStringLiteral("1,2,3"));
    QCOMPARE(report->siteEdit->text(), QStringLiteral("Press hall"));
    QVERIFY(!report->fileEdit->isEnabled());
    QVERIFY(report->siteNote->isVisible());
}

void tst_sitewindow::toolsSaveIntoTheSiteWithoutReplacing()
{
    SiteBench bench;
    QVERIFY(bench.opened(bench.dir.path()));
    bench.window.drive_parameters_Click();
    auto* params = bench.window.findChild<ParamSetWindow*>();
    int asked = 0;
    params->chooseSaveFile = [&] {
        ++asked;
        return QString();
    };
    params->AddressA->setValue(2);
    params->ReadA_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!params->busy(), 30000);
    params->SaveA_Click();
    params->SaveA_Click();
    QCOMPARE(asked, 0);
    const QString sets = bench.dir.filePath(QStringLiteral("parameter-sets"));
    const QStringList files = filesIn(sets);
    QCOMPARE(files.size(), 2);
    for (const QString& name : files) {
        QVERIFY2(name.startsWith(QStringLiteral("a-d02-")) && name.contains(u"backup"),
                 qPrintable(name));
        QVERIFY(QFileInfo(sets + u'/' + name).size() > 1000);
    }
    // Where it went is said, and the folder is offered.
    const QString newest = QFileInfo(bench.window.openSite()->newest(
                                         SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 2))
                               .fileName();
    QVERIFY(newest.contains(u"-2."));
    QVERIFY(params->siteNote->text().contains(newest));
    QUrl opened;
    params->siteNote->openUrl = [&](const QUrl& url) {
        opened = url;
        return true;
    };
    QVERIFY(params->siteNote->openFolder());
    QCOMPARE(QDir(opened.toLocalFile()).canonicalPath(), QDir(sets).canonicalPath());

    // Two recordings of drive 1: two files, with no name asked or replaced.
    bench.window.recorder_Click();
    auto* recorder = bench.window.findChild<RecorderWindow*>();
    recorder->drives->setText(QStringLiteral("1"));
    const QString recordings = bench.dir.filePath(QStringLiteral("recordings"));
    for (int take = 1; take <= 2; ++take) {
        recorder->record_Click();
        QVERIFY(recorder->recording().running());
        QTRY_VERIFY_WITH_TIMEOUT(recorder->recording().sampler().rounds() >= 2, 10000);
        recorder->record_Click();
        QTRY_VERIFY(!recorder->recording().running());
        QCOMPARE(filesIn(recordings).size(), take);
    }
    for (const QString& name : filesIn(recordings))
        QVERIFY2(name.startsWith(QStringLiteral("a-d01-")), qPrintable(name));
    QVERIFY(recorder->siteNote->text().contains(
        QFileInfo(
            bench.window.openSite()->newest(SiteLayout::Kind::Recordings, QStringLiteral("a"), 1))
            .fileName()));
}

void tst_sitewindow::aParameterWriteIsJournaledAsItWentOut()
{
    SiteBench bench;
    QVERIFY(bench.opened(bench.dir.path()));
    bench.window.data_set_Click();
    auto* form = bench.window.findChild<Form2*>();
    QVERIFY(form);
    form->Combo3->setCurrentText(QStringLiteral("2"));
    form->Combo1->setCurrentIndex(form->Combo1->findText(QStringLiteral("0")));
    form->Combo1_Click();
    form->Combo2->setCurrentIndex(14); // P0.14, the acceleration time
    form->Combo2_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->Text3->text().isEmpty() && form->Text1->isEnabled(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!form->Text1->text().isEmpty(), 5000);
    bench.sent.clear();
    form->Text1->setText(QStringLiteral("12.5"));
    form->Command1_Click();
    QTRY_VERIFY_WITH_TIMEOUT(
        !Journal::read(bench.window.openSite()->layout().journalPath()).entries.isEmpty(), 5000);
    QCOMPARE(bench.sent.size(), 1);
    const QByteArray frame = bench.sent.first();
    QCOMPARE(quint8(frame[0]), quint8(2));
    QCOMPARE(quint8(frame[1]), quint8(0x06));
    QCOMPARE(quint8(frame[2]) << 8 | quint8(frame[3]), 0x000E);
    const quint16 raw = quint16(quint8(frame[4]) << 8 | quint8(frame[5]));
    const JournalEntry entry =
        Journal::read(bench.window.openSite()->layout().journalPath()).entries.first();
    QCOMPARE(entry.kind, JournalEntry::Kind::Write);
    QCOMPARE(entry.tool, QStringLiteral("parameters"));
    QCOMPARE(entry.line, QStringLiteral("a"));
    QCOMPARE(entry.drive, quint8(2));
    QCOMPARE(entry.parameter, QStringLiteral("P0.14"));
    QCOMPARE(entry.asked.toDouble() * 10, double(raw));
    QCOMPARE(entry.outcome, JournalEntry::Outcome::Verified);
    QCOMPARE(*bench.port.bus().drive(2)->parameters().raw(0, 14), raw);
}

void tst_sitewindow::aNewSiteIsRememberedAndTheDrivesReadOnlyWhileShown()
{
    SiteBench bench;
    // The dialog starts from the main window's port and settings.
    NewSiteDialog dialog(QStringLiteral("SIM"), QStringLiteral("19200,N,8,1"));
    QCOMPARE(dialog.portEdit->text(), QStringLiteral("SIM"));
    dialog.folderEdit->setText(bench.dir.filePath(QStringLiteral("plant")));
    dialog.nameEdit->setText(QStringLiteral(" Hall 4 "));
    const SiteFolder::NewSite asked = dialog.site();
    QCOMPARE(asked.name, QStringLiteral("Hall 4"));
    QCOMPARE(asked.settings, QStringLiteral("19200,N,8,1"));

    const QString recent = bench.dir.filePath(QStringLiteral("settings/sites.conf"));
    bench.window.setRecentSitesFile(recent);
    SiteWindow* w = bench.siteWindow();
    QVERIFY(w->recentSites().isEmpty());
    w->askNewSite = [&] {
        return std::make_optional(std::make_pair(dialog.folder(), dialog.site()));
    };
    w->New_Click();
    QVERIFY(bench.window.openSite());
    QCOMPARE(bench.window.openSite()->site().name, QStringLiteral("Hall 4"));
    QCOMPARE(QDir(w->recentSites().value(0)).canonicalPath(),
             QDir(bench.dir.filePath(QStringLiteral("plant"))).canonicalPath());
    // A second New in the same folder replaces nothing: it is refused.
    bench.window.prompter().clearHistory();
    w->New_Click();
    QCOMPARE(bench.window.prompter().history().size(), 1);

    // The site's drives are read while the window shows, and left alone
    // while it does not.
    w->Scan_Click();
    QTRY_VERIFY_WITH_TIMEOUT(w->table->rowCount() == 3, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w->reading(), 10000);
    w->hide();
    // The request on the line, if one is, ends first.
    QTRY_VERIFY(!w->reading());
    bench.sent.clear();
    QTest::qWait(300);
    QVERIFY(bench.sent.isEmpty());
    w->show();
    QVERIFY(w->reading());
}

void tst_sitewindow::aTestRunIsSavedAndJournaled()
{
    SiteBench bench;
    for (quint8 a : {1, 2, 3}) {
        DriveParameters& p = bench.port.bus().drive(a)->parameters();
        p.force(0, 14, 5); // 0.5 s ramps
        p.force(0, 15, 5);
    }
    SiteWindow* w = bench.opened(bench.dir.path());
    QVERIFY(w);
    w->hide(); // the run has the line to itself
    bench.choose(w, {2});
    w->openTool(SiteWindow::Tool::TestRun);
    auto* run = bench.window.findChild<TestRunWindow*>();
    QCOMPARE(run->driveBox->value(), 3);
    run->hzBox->setValue(10);
    run->holdBox->setValue(1);
    run->startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!run->results().isEmpty(), 20000);
    const QString saved = run->savedInSite();
    QVERIFY(QFileInfo(saved).fileName().startsWith(QStringLiteral("a-d03-")));
    QCOMPARE(QFileInfo(saved).absolutePath(),
             QFileInfo(bench.dir.filePath(QStringLiteral("test-runs/x"))).absolutePath());
    QVERIFY(QFileInfo(saved).size() > 100);
    const QList<JournalEntry> entries =
        Journal::read(bench.window.openSite()->layout().journalPath()).entries;
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].kind, JournalEntry::Kind::RunStarted);
    QCOMPARE(entries[1].kind, JournalEntry::Kind::RunStopped);
    QVERIFY(entries[1].command.startsWith(QStringLiteral("STOP")));
    QCOMPARE(entries[2].kind, JournalEntry::Kind::TestRun);
    QVERIFY(entries[2].result.startsWith(run->results().last().verdict()));
    QCOMPARE(QFileInfo(entries[2].file).fileName(), QFileInfo(saved).fileName());
    for (const JournalEntry& e : entries) {
        QCOMPARE(e.drive, quint8(3));
        QCOMPARE(e.line, QStringLiteral("a"));
    }
}

namespace {

// The row's test run on site: 10 Hz for a second, on quick ramps.
const QByteArray kTestRunText = "[site]\ntest-hz = 10\ntest-for = 1s\nparallel = 2\n";

CommissionWindow* commissionWindow(SiteBench& bench, const QList<int>& rows)
{
    for (quint8 a : {1, 2, 3}) {
        DriveParameters& p = bench.port.bus().drive(a)->parameters();
        p.force(0, 14, 5);
        p.force(0, 15, 5);
    }
    QFile f(bench.dir.filePath(QStringLiteral("site.conf")));
    if (!f.open(QIODevice::WriteOnly))
        return nullptr;
    // The row is commissioned on the line of the port open: the site says so.
    f.write(QByteArray(kSiteText)
                .replace("[site]\n", kTestRunText)
                .replace("port = SIM", "port = " + bench.window.port().portName().toUtf8()));
    f.close();
    SiteWindow* w = bench.opened(bench.dir.path());
    if (!w)
        return nullptr;
    bench.choose(w, rows);
    w->commissionButton->click();
    return bench.window.findChild<CommissionWindow*>();
}

} // namespace

void tst_sitewindow::aRowIsCommissionedFromTheWindow()
{
    SiteBench bench;
    CommissionWindow* c = commissionWindow(bench, {0, 1});
    QVERIFY(c);
    QVERIFY(c->isVisible());
    QCOMPARE(c->job().drives(), (QList<quint8>{1, 2}));
    QCOMPARE(c->table->rowCount(), 2);
    QCOMPARE(c->table->item(1, CommissionWindow::DriveColumn)->text(),
             QStringLiteral("2 (Conveyor 2)"));
    QCOMPARE(c->table->item(0, CommissionWindow::TestRunColumn)->text(), QStringLiteral("to do"));

    // With the port closed, and then with a "No" (what Enter answers), nothing
    // is sent and nothing runs.
    bench.window.findChild<SiteWindow*>()->hide(); // the job has the line to itself
    bench.window.Command1_Click();
    QVERIFY(!bench.window.port().isOpen());
    bench.sent.clear();
    bench.window.prompter().clearHistory();
    c->start();
    QCOMPARE(bench.window.prompter().history().size(), 1);
    QVERIFY(
        bench.window.prompter().history().last().text.contains(QStringLiteral("Nothing was sent")));
    bench.window.Command1_Click();
    answerBoxes(bench.window.prompter(), QMessageBox::No);
    bench.sent.clear();
    c->start();
    QVERIFY(!c->running());
    QTest::qWait(300);
    QCOMPARE(bench.sent.size(), 0);
    QVERIFY2(bench.window.prompter().history().last().text.contains(QStringLiteral("Go ahead?")),
             qPrintable(bench.window.prompter().history().last().text));

    answerBoxes(bench.window.prompter(), QMessageBox::Yes);
    c->start();
    QVERIFY(c->running());
    QVERIFY(!c->startButton->isEnabled());
    QVERIFY(c->cancelButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!c->running(), 60000);
    QVERIFY2(c->job().allCommissioned(), qPrintable(c->progressLabel->text()));
    QCOMPARE(c->progressLabel->text(), QStringLiteral("Finished: 2 of 2 drives commissioned."));
    for (int r = 0; r < 2; ++r)
        for (int col : {CommissionWindow::ScanColumn, CommissionWindow::TestRunColumn,
                        CommissionWindow::ReportColumn})
            QCOMPARE(c->table->item(r, col)->text(), QStringLiteral("done"));
    QVERIFY(QFileInfo::exists(c->job().reportPath()));
    QVERIFY(c->reportButton->isEnabled());
    QVERIFY(!c->startButton->isEnabled()); // a job runs once
    const QList<JournalEntry> entries =
        Journal::read(bench.window.openSite()->layout().journalPath()).entries;
    QSet<quint8> tested;
    for (const JournalEntry& e : entries)
        if (e.kind == JournalEntry::Kind::TestRun)
            tested << e.drive;
    QCOMPARE(tested, (QSet<quint8>{1, 2}));
    QVERIFY(!bench.port.bus().drive(3)->isRunning());
}

void tst_sitewindow::closingTheCommissionStopsTheRunningDrives()
{
    SiteBench bench;
    CommissionWindow* c = commissionWindow(bench, {0});
    QVERIFY(c);
    QPointer<CommissionWindow> alive = c;
    bench.window.findChild<SiteWindow*>()->hide();
    c->start();
    QTRY_VERIFY_WITH_TIMEOUT(bench.port.bus().drive(1)->isRunning(), 20000);
    // Closing waits for the STOP, then goes; the drive coasts to a halt.
    const int before = bench.sent.size();
    c->close();
    QVERIFY(alive);
    QTRY_VERIFY_WITH_TIMEOUT(!alive, 10000);
    // A STOP went to the drive after the close.
    const QByteArray stop = QByteArray::fromHex("0110200000020400010000");
    bool stopped = false;
    for (int i = before; i < bench.sent.size(); ++i)
        stopped = stopped || bench.sent[i].startsWith(stop);
    QVERIFY(stopped);
    // A new row can be commissioned at once.
    bench.window.findChild<SiteWindow*>()->commissionButton->click();
    QVERIFY(bench.window.findChild<CommissionWindow*>());
}

QTEST_MAIN(tst_sitewindow)
#include "tst_sitewindow.moc"
