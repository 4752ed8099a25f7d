// SPDX-License-Identifier: GPL-3.0-or-later
// Faults of the line through the kernel's serial layer and the program's own
// serial port: vfdsim on a pseudo-terminal that is killed, damages its
// answers, answers late or refuses a write, and a scripted far end on a
// pseudo-terminal of our own for what no drive does on purpose.
#include "Form2.h"
#include "LineRig.h"
#include "PseudoTerminal.h"
#include "SimProcess.h"
#include "TrafficLogBox.h"
#include "WaitUntil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(Fault)

namespace {

const QString kOpen = QStringLiteral("Open Serial");
const QString kClose = QStringLiteral("Close Serial");
// A poll period far longer than any test here: the poll timer runs, as it
// does while monitoring, yet every tick is the test's own.
const QString kIdleRhythm = QStringLiteral("20000");

// The main window on the program's real port, its message boxes answered and
// kept, with a count of the bytes it has heard.
struct RealWindow
{
    demo w;
    int heard = 0;

    RealWindow()
    {
        answerBoxes(w.prompter());
        QObject::connect(&w.link(), &Hexedit::trafficLog, [this](const QString& text) {
            if (text != QStringLiteral("\r\n"))
                ++heard;
        });
    }

    bool open(const QString& device)
    {
        w.selectPort(device);
        w.Command1_Click();
        return w.Command1->text() == kClose;
    }

    void startPolling()
    {
        w.Text2->setText(kIdleRhythm);
        w.Command5_Click();
        // A drive that answers late is given longer and longer (up to
        // 1.2 s); a test of such a drive may outlast even this rhythm.
        w.Timer1->start(24 * 3600 * 1000);
    }
};

// Waits for a count or size to reach what it should, and says where it stopped.
#define WAIT_COMPARE(actual, expected)                                                             \
    QVERIFY2(waitUntil([&] { return (actual) == (expected); }),                                    \
             qPrintable(QStringLiteral(#actual " stopped at %1, not %2")                           \
                            .arg(qlonglong(actual))                                                \
                            .arg(qlonglong(expected))))

// The answers vfdsim's drives, standing as they start, give to every poll.
QSet<QByteArray> standingAnswers()
{
    DriveLine line(false);
    QSet<QByteArray> answers;
    for (quint8 address = 1; address <= 3; ++address) {
        for (int item = 0; item < Hexedit::PollItemCount; ++item)
            answers.insert(line.answer(pollRequest(address, item)));
    }
    return answers;
}

} // namespace

class tst_linefaults : public QObject
{
    Q_OBJECT

private slots:
    void farEndGoesAwayWhilePolling();
    void damagedAnswers();
    void silentDrive();
    void lateDrive();
    void refusedWrite();
    void scriptedFarEnd_data();
    void scriptedFarEnd();
};

void tst_linefaults::farEndGoesAwayWhilePolling()
{
    auto sim = std::make_unique<SimProcess>();
    QVERIFY2(sim->device().startsWith(u'/'), qPrintable(sim->device()));
    RealWindow r;
    demo& w = r.w;
    QVERIFY(r.open(sim->device()));
    QSignalSpy statuses(&w.link(), &Hexedit::statusReceived);
    w.Option1->setChecked(true);
    w.Option1_Click(); // "FWD" repeated by the command timer
    w.Text2->setText(QStringLiteral("200"));
    w.Command5_Click();
    QVERIFY(w.Timer1->isActive());
    QVERIFY(w.Timer2->isActive());
    w.Timer1_Timer();
    QVERIFY(waitUntil([&] { return statuses.count() >= 1; }));

    // The adapter is pulled while requests are going out.
    sim->kill();
    QTRY_COMPARE_WITH_TIMEOUT(w.prompter().history().size(), 1, 1000);
    const Prompter::Prompt said = w.prompter().history().first();
    QCOMPARE(said.title, QStringLiteral("Error Waining!"));
    QCOMPARE(said.icon, QMessageBox::Warning);
    QCOMPARE(w.Command1->text(), kOpen);
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Red);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(!w.Timer2->isActive());
    QVERIFY(!w.link().DrainTimer().isActive());
    QVERIFY(w.Option9->isChecked());
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QCOMPARE(w.Command5->text(), QStringLiteral("Start"));
    QVERIFY(!w.Command5->isEnabled());
    QVERIFY(!w.port().isOpen());

    // Whatever still comes by says nothing more.
    w.Timer1_Timer();
    w.Timer2_Timer();
    QTest::qWait(300);
    QCOMPARE(w.prompter().history().size(), 1);

    // The device is back (under a new name, as pseudo-terminals come).
    sim = std::make_unique<SimProcess>();
    QVERIFY(r.open(sim->device()));
    QCOMPARE(w.Shape1->fillColour(), ColourValue::Green);
    QCOMPARE(w.prompter().history().size(), 1);
    QSignalSpy values(&w.link(), &Hexedit::runningValueReceived);
    const int before = statuses.count();
    w.Timer1_Timer(); // the poll goes on where it stopped
    WAIT_COMPARE(statuses.count() + values.count(), before + 1);
}

void tst_linefaults::damagedAnswers()
{
    SimProcess sim({QStringLiteral("--corrupt"), QStringLiteral("5"), QStringLiteral("--seed"),
                    QStringLiteral("11")});
    RealWindow r;
    QVERIFY(r.open(sim.device()));
    r.startPolling();
    const QSet<QByteArray> standing = standingAnswers();
    DecodeWatch watch(r.w.link(), standing);
    constexpr int kTicks = 2 * Hexedit::PollItemCount;
    for (int t = 0; t < kTicks; ++t) {
        const int before = r.heard;
        r.w.Timer1_Timer();
        // Damage flips bits; every answer to a poll still has its ten bytes.
        WAIT_COMPARE(r.heard, before + 10);
    }
    const QStringList requests = sim.traffic(QStringLiteral("<- "));
    QCOMPARE(requests.size(), kTicks);
    for (int t = 0; t < kTicks; ++t)
        QCOMPARE(requests[t], hex(pollRequest(1, t % Hexedit::PollItemCount)));
    int damaged = 0;
    for (const QString& answer : sim.traffic(QStringLiteral("-> ")))
        damaged += standing.contains(QByteArray::fromHex(answer.toLatin1())) ? 0 : 1;
    QVERIFY(damaged > 0);
    QVERIFY2(watch.madeUp.isEmpty(), qPrintable(watch.madeUp.join(u" | ")));
    QCOMPARE(watch.decoded, kTicks - damaged);
    QVERIFY(r.w.Timer1->isActive());
    QVERIFY(r.w.prompter().history().isEmpty());
}

void tst_linefaults::silentDrive()
{
    SimProcess sim; // drives 1 to 3
    RealWindow r;
    QVERIFY(r.open(sim.device()));
    r.w.Combo2->setCurrentText(QStringLiteral("5"));
    r.startPolling();
    const QMap<QString, QString> before = shownValues(r.w);
    for (int t = 0; t < Hexedit::PollItemCount; ++t) {
        r.w.Timer1_Timer();
        WAIT_COMPARE(sim.traffic(QStringLiteral("<- ")).size(), t + 1);
    }
    QVERIFY(sim.traffic(QStringLiteral("-> ")).isEmpty());
    QCOMPARE(r.heard, 0);
    QCOMPARE(shownValues(r.w), before);
    QVERIFY(r.w.Timer1->isActive());
    QVERIFY(r.w.prompter().history().isEmpty());

    // The line itself is fine: drive 1 answers the next tick.
    r.w.Combo2->setCurrentText(QStringLiteral("1"));
    QSignalSpy statuses(&r.w.link(), &Hexedit::statusReceived);
    r.w.Timer1_Timer(); // item 0 again: the status
    WAIT_COMPARE(statuses.count(), 1);
}

void tst_linefaults::lateDrive()
{
    SimProcess sim;
    RealWindow r;
    demo& w = r.w;
    QVERIFY(r.open(sim.device()));

    // Drive 1 is told, through the parameter window, to answer after 100 ms (P8.03).
    w.data_set_Click();
    auto* form = w.findChild<Form2*>();
    QVERIFY(form);
    QSignalSpy parameters(&w.link(), &Hexedit::parameterReceived);
    form->Combo1->setCurrentIndex(8);
    form->Combo1_Click();
    WAIT_COMPARE(parameters.count(), 1);
    form->Combo2->setCurrentIndex(3);
    form->Combo2_Click();
    WAIT_COMPARE(parameters.count(), 2);
    QCOMPARE(form->Text1->text(), QStringLiteral("5"));
    form->Text1->setText(QStringLiteral("100"));
    form->Command1_Click();
    WAIT_COMPARE(parameters.count(), 3);
    form->Command2_Click();

    const QSet<QByteArray> standing = standingAnswers();
    DecodeWatch watch(w.link(), standing);
    r.startPolling();
    // Two ticks fall within the answer time of the first: the second request
    // waits for that answer instead of going over it.
    for (int pair = 0; pair < Hexedit::PollItemCount / 2; ++pair) {
        const int heardBySim = sim.traffic(QStringLiteral("<- ")).size();
        w.Timer1_Timer();
        WAIT_COMPARE(sim.traffic(QStringLiteral("<- ")).size(), heardBySim + 1);
        w.Timer1_Timer();
        WAIT_COMPARE(sim.traffic(QStringLiteral("<- ")).size(), heardBySim + 2);
        WAIT_COMPARE(watch.decoded, 2 * pair + 2);
    }
    QCOMPARE(sim.traffic(QStringLiteral("!! collision")).size(), 0);
    QVERIFY2(watch.madeUp.isEmpty(), qPrintable(watch.madeUp.join(u" | ")));
    // Each late answer went to the box of the register it answers.
    QCOMPARE(shownValues(w), cleanShownValues(Hexedit::PollItemCount, false));
    QVERIFY(w.Timer1->isActive());
}

void tst_linefaults::refusedWrite()
{
    SimProcess sim;
    RealWindow r;
    demo& w = r.w;
    QVERIFY(r.open(sim.device()));
    w.data_set_Click();
    auto* form = w.findChild<Form2*>();
    QVERIFY(form);
    QSignalSpy parameters(&w.link(), &Hexedit::parameterReceived);
    form->Combo1->setCurrentIndex(8); // P8.00, the drive's own address
    form->Combo1_Click();
    WAIT_COMPARE(parameters.count(), 1);
    QCOMPARE(form->Text1->text(), QStringLiteral("1"));

    // Address 2 is taken by another drive: the drive refuses with an exception.
    form->Text1->setText(QStringLiteral("2"));
    const int before = r.heard;
    form->Command1_Click();
    WAIT_COMPARE(r.heard, before + 5);
    QCOMPARE(sim.traffic(QStringLiteral("-> ")).last().left(8), QStringLiteral("01 86 03"));
    QCOMPARE(parameters.count(), 1);
    QVERIFY(w.Text28->logText().contains(QStringLiteral("1 86 3 ")));
    QVERIFY(w.prompter().history().isEmpty());

    // Reading again shows what the drive kept.
    form->Combo2_Click();
    WAIT_COMPARE(parameters.count(), 2);
    QCOMPARE(form->Text1->text(), QStringLiteral("1"));
}

void tst_linefaults::scriptedFarEnd_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("bad CRC") << Fault::BadCrc;
    QTest::newRow("truncated") << Fault::Truncated;
    QTest::newRow("junk above 31 before") << Fault::JunkAbove31;
    QTest::newRow("address-like junk before") << Fault::JunkAddressLike;
    QTest::newRow("torn frame after") << Fault::JunkAfter;
    QTest::newRow("other address answers") << Fault::OtherAddress;
    QTest::newRow("exception reply") << Fault::Exception;
    QTest::newRow("late answer") << Fault::Late;
    QTest::newRow("answer torn by next request") << Fault::SplitLate;
    QTest::newRow("echoing transceiver") << Fault::Echo;
    QTest::newRow("echo, silent drive") << Fault::EchoOnly;
}

void tst_linefaults::scriptedFarEnd()
{
    QFETCH(Fault, fault);
    PseudoTerminal pty;
    QVERIFY2(pty.open(), qPrintable(pty.errorString()));
    QByteArray heardByFarEnd;
    connect(&pty, &PseudoTerminal::received,
            [&heardByFarEnd](const QByteArray& bytes) { heardByFarEnd += bytes; });
    FaultyFarEnd far;
    RealWindow r;
    QVERIFY(r.open(pty.slavePath()));
    r.startPolling();
    DecodeWatch watch(r.w.link(), far.sentWhole);

    // One sweep with every other tick faulty, then a clean one.
    for (int t = 0; t < 2 * Hexedit::PollItemCount; ++t) {
        heardByFarEnd.clear();
        const int before = r.heard;
        r.w.Timer1_Timer();
        WAIT_COMPARE(heardByFarEnd.size(), 8);
        QCOMPARE(hex(heardByFarEnd), hex(pollRequest(1, t % Hexedit::PollItemCount)));
        const bool faulty = t < Hexedit::PollItemCount && t % 2 == 1;
        const QByteArray answer = far.respond(heardByFarEnd, faulty ? fault : Fault::None);
        QVERIFY(pty.write(answer));
        WAIT_COMPARE(r.heard, before + int(answer.size()));
    }
    QVERIFY2(watch.madeUp.isEmpty(), qPrintable(watch.madeUp.join(u" | ")));
    QCOMPARE(shownValues(r.w), cleanShownValues(2 * Hexedit::PollItemCount));
    QVERIFY(r.w.Timer1->isActive());
    QVERIFY(r.w.prompter().history().isEmpty());
}

QTEST_MAIN(tst_linefaults)
#include "tst_linefaults.moc"
