// SPDX-License-Identifier: GPL-3.0-or-later
// Faulty replies on the line, played into the main window through an
// in-memory port: damaged, torn, late, stray and echoed answers. Whatever
// comes back, the poll keeps its rhythm and the window shows nothing that a
// drive did not say.
#include "Form2.h"
#include "LineRig.h"
#include "LoopbackPort.h"
#include "TrafficLogBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

Q_DECLARE_METATYPE(Fault)

namespace {

constexpr int kFaultySweeps = 2;
constexpr int kTicks = (kFaultySweeps + 1) * Hexedit::PollItemCount;

} // namespace

class tst_replyfaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faultyRepliesShowNothingWrong_data();
    void faultyRepliesShowNothingWrong();
    void echoingTransceiverShowsOnlyWhatDrivesSay();
    void echoOfParameterRead();
    void noAnswerIsTakenForAnEcho();

private:
    QMap<QString, QString> m_clean;
};

void tst_replyfaults::initTestCase()
{
    // What the window shows after the same ticks on a clean line.
    PollBench b;
    for (int t = 0; t < kTicks; ++t)
        b.tick(Fault::None);
    QCOMPARE(b.watch.decoded, kTicks);
    m_clean = shownValues(b.window);
    QCOMPARE(m_clean.value("Text24"), QStringLiteral("37.50"));
    QCOMPARE(m_clean.value("Text30"), QStringLiteral("FWD"));
    QCOMPARE(m_clean.value("Text29"), QStringLiteral("Run"));
    QCOMPARE(m_clean.value("Text4"), QStringLiteral("Normal"));
}

void tst_replyfaults::faultyRepliesShowNothingWrong_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("everyTick");
    const QList<std::pair<const char*, Fault>> faults = {
        {"bad CRC", Fault::BadCrc},
        {"truncated", Fault::Truncated},
        {"junk above 31 before", Fault::JunkAbove31},
        {"address-like junk before", Fault::JunkAddressLike},
        {"torn frame after", Fault::JunkAfter},
        {"other address answers", Fault::OtherAddress},
        {"exception reply", Fault::Exception},
        {"silent drive", Fault::Silent},
        {"late answer", Fault::Late},
        {"answer torn by next request", Fault::SplitLate},
        {"echoing transceiver", Fault::Echo},
        {"echo, silent drive", Fault::EchoOnly},
    };
    for (const auto& [name, fault] : faults) {
        QTest::addRow("%s, every third tick", name) << fault << false;
        QTest::addRow("%s, every tick", name) << fault << true;
    }
}

void tst_replyfaults::faultyRepliesShowNothingWrong()
{
    QFETCH(Fault, fault);
    QFETCH(bool, everyTick);
    PollBench b;
    for (int t = 0; t < kTicks; ++t) {
        const bool faulty = t < kFaultySweeps * Hexedit::PollItemCount && (everyTick || t % 3 == 1);
        const QByteArray sent = b.tick(faulty ? fault : Fault::None);
        // One request per tick, in the order of the cycle, whatever came back.
        QCOMPARE(hex(sent), hex(pollRequest(1, t % Hexedit::PollItemCount)));
    }
    QVERIFY2(b.watch.madeUp.isEmpty(), qPrintable(b.watch.madeUp.join(u" | ")));
    QVERIFY(b.window.Timer1->isActive());
    QCOMPARE(b.window.Timer1->interval(), 200);
    QCOMPARE(b.window.Command1->text(), QStringLiteral("Close Serial"));
    QVERIFY(b.window.prompter().history().isEmpty());
    // One clean sweep puts everything right again.
    QCOMPARE(shownValues(b.window), m_clean);
}

void tst_replyfaults::echoingTransceiverShowsOnlyWhatDrivesSay()
{
    PollBench b;
    for (int t = 0; t < Hexedit::PollItemCount; ++t)
        b.tick(Fault::Echo);
    const QMap<QString, QString> answered = shownValues(b.window);
    QCOMPARE(answered.value("Text24"), QStringLiteral("37.50"));
    QCOMPARE(answered.value("Text30"), QStringLiteral("FWD"));

    // The drive falls silent; the adapter still hears every request. Its echo
    // of a read is a CRC-valid function-3 frame for the very register asked
    // for, yet no drive said 0 Hz, stopped, reverse, fault.
    for (int t = 0; t < Hexedit::PollItemCount; ++t)
        b.tick(Fault::EchoOnly);
    QCOMPARE(shownValues(b.window), answered);
    QCOMPARE(b.window.Text24->text(), QStringLiteral("37.50"));
    QCOMPARE(b.window.Text29->text(), QStringLiteral("Run"));
    QCOMPARE(b.window.Text30->text(), QStringLiteral("FWD"));
    QCOMPARE(b.window.Text4->text(), QStringLiteral("Normal"));
    QCOMPARE(b.window.Shape4->fillColour(), ColourValue::Green);
    QCOMPARE(b.watch.decoded, Hexedit::PollItemCount);
    // The echoes are still logged, each as a frame of its own.
    QVERIFY(b.window.Text28->logText().contains(QStringLiteral("1 3 D 0 0 0 ")));
}

void tst_replyfaults::echoOfParameterRead()
{
    PollBench b;
    b.window.Command5_Click(); // monitoring off; the parameter window takes the line
    b.window.data_set_Click();
    auto* form = b.window.findChild<Form2*>();
    QVERIFY(form);
    auto pick = [&](int index, Fault fault) {
        b.port.clearWritten();
        form->Combo2->setCurrentIndex(index);
        form->Combo2_Click();
        QCOMPARE(b.port.written().size(), 1);
        b.deliver(b.far.respond(b.port.written().first(), fault));
    };
    // Through an echoing adapter the drive's answer still wins.
    pick(3, Fault::Echo);
    QCOMPARE(form->Text1->text(), QStringLiteral("50"));

    // A parameter whose value is 0 answers with the very bytes of the request,
    // so an echo cannot be told from the answer by its bytes; but the line has
    // shown that it echoes, so with the drive silent the echo is passed over.
    pick(6, Fault::EchoOnly);
    QCOMPARE(form->Text1->text(), QStringLiteral("50"));
}

void tst_replyfaults::noAnswerIsTakenForAnEcho()
{
    // Echoes of monitor reads are passed over. An answer of value 0 whose state
    // or decimal-code bytes happened to be the request's CRC would end right
    // there and be passed over too; no address and register we read may allow
    // that.
    LoopbackPort port;
    port.open();
    Hexedit link(port);
    int decoded = 0;
    connect(&link, &Hexedit::runningValueReceived, [&decoded] { ++decoded; });
    connect(&link, &Hexedit::statusReceived, [&decoded] { ++decoded; });
    QList<quint16> registers = {0x0E00};
    for (quint16 reg = 0x0D00; reg <= 0x0D1C; ++reg)
        registers << reg;
    int answers = 0;
    for (quint8 address = 1; address <= 31; ++address) {
        for (const quint16 reg : registers) {
            const bool status = reg == 0x0E00;
            // Status: the direction and run bits, and the fault bit. Running
            // values: byte 6 unused, then the decimal codes.
            const QList<int> sixth = status ? QList<int>{0x00, 0x04, 0x10, 0x14} : QList<int>{0};
            const QList<int> seventh = status ? QList<int>{0x00, 0x20} : QList<int>{0, 4, 8, 16};
            for (const int b6 : sixth) {
                for (const int b7 : seventh) {
                    link.SlaveAddress = address;
                    link.FunctionCode = 3;
                    link.RegisterHigh = quint8(reg >> 8);
                    link.RegisterLow = quint8(reg & 0xFF);
                    link.RxIndex = 0;
                    QVERIFY(link.SendRequest());
                    QByteArray body = link.TxFrame.left(6);
                    body.append(char(b6)).append(char(b7));
                    injectAndDrain(port, link, withCrc(body));
                    ++answers;
                    QCOMPARE(decoded, answers);
                }
            }
        }
    }
}

QTEST_MAIN(tst_replyfaults)
#include "tst_replyfaults.moc"
