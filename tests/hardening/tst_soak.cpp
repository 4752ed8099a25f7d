// SPDX-License-Identifier: GPL-3.0-or-later
// A long watch over a bad line: the main window sweeps 31 simulated drives at
// the fastest rhythm while one byte in a hundred of their answers is damaged.
// Simulated time, a 1 ms drain as the program's own, no sleeping.
#include "LineRig.h"
#include "SimulatedPort.h"
#include "TrafficLogBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

namespace {

QList<quint8> allAddresses()
{
    QList<quint8> addresses;
    for (quint8 a = 1; a <= 31; ++a)
        addresses << a;
    return addresses;
}

// Puts the drives into varied states that keep moving: running both ways at
// different set-points under changing load, a few tripped, and no
// communication time-out, so they go on running for the whole soak.
void startDrives(SimulatedBus& bus)
{
    for (SimulatedDrive* drive : bus.drives()) {
        const quint8 a = drive->address();
        drive->parameters().force(8, 2, 0);
        drive->setLoad(0.2 + 0.04 * a);
        if (a % 7 == 0)
            drive->trip(a % 19 + 1);
        else if (a % 3 != 0)
            drive->command(a % 2 ? SimulatedDrive::Forward : SimulatedDrive::Reverse,
                           quint16(500 + 1000 * a));
    }
}

} // namespace

class tst_soak : public QObject
{
    Q_OBJECT

private slots:
    void sweepOfThirtyOneDrivesOverOnePercentCorruption();
};

void tst_soak::sweepOfThirtyOneDrivesOverOnePercentCorruption()
{
    constexpr int kSweeps = 3;
    constexpr int kTicks = 31 * Hexedit::PollItemCount * kSweeps;
    constexpr int kRhythmMs = 200;
    constexpr int kStepMs = 1; // the drain timer's interval

    SimulatedPort port(SimulatedPort::Timing::Manual, allAddresses());
    port.server().setCorruption(1.0, 20261208);
    startDrives(port.bus());
    demo window(&port);
    answerBoxes(window.prompter());
    Hexedit& link = window.link();

    // What each request should have got, and every frame that left a drive.
    QByteArray request;
    QByteArray genuine;
    int replies = 0;
    int damaged = 0;
    bool lastDamaged = false;
    QObject::connect(&link, &Hexedit::frameSent, [&](const QByteArray& frame) {
        request = frame;
        // The drives have heard it by now and time has not moved: asking again
        // gives the answer they queued, before the line damages it.
        const std::optional<SimulatedBus::Reply> reply = port.bus().handle(frame);
        genuine = reply ? reply->frame : QByteArray();
    });
    QObject::connect(&port.server(), &BusServer::traffic, [&](const QString& line) {
        if (!line.startsWith(QStringLiteral("-> ")))
            return;
        ++replies;
        lastDamaged = QByteArray::fromHex(line.mid(3).toLatin1()) != genuine;
        damaged += lastDamaged ? 1 : 0;
    });
    int decoded = 0;
    int decodedWhole = 0; // of the answers the line left alone
    int endedEarly = 0;
    QStringList wrong;
    auto check = [&] {
        ++decoded;
        decodedWhole += lastDamaged ? 0 : 1;
        const QByteArray frame(reinterpret_cast<const char*>(link.RxBuffer.data()),
                               qsizetype(link.RxIndex) + 1);
        // The decoder reads offsets 0..7; a frame may end before the drive's
        // own end where its CRC happens to match early (see LineRig.h).
        if (!genuine.startsWith(frame) || frame.size() < 8)
            wrong << hex(frame) + QStringLiteral(" for ") + hex(genuine);
        else if (frame.size() < genuine.size())
            ++endedEarly;
    };
    QObject::connect(&link, &Hexedit::runningValueReceived, check);
    QObject::connect(&link, &Hexedit::statusReceived, check);

    window.Command1_Click();
    window.Check1->setChecked(false);
    window.Combo4->setCurrentText(QStringLiteral("1"));
    window.Combo1->setCurrentText(QStringLiteral("31"));
    window.Text2->setText(QString::number(kRhythmMs));
    window.Command5_Click();
    QCOMPARE(window.Command5->text(), QStringLiteral("Stop"));
    QCOMPARE(window.Timer1->interval(), kRhythmMs);

    int longestLog = 0;
    for (int t = 0; t < kTicks; ++t) {
        passAnswerTimeout(link); // a damaged answer is still awaited a rhythm later
        window.Timer1_Timer();
        const int item = t % Hexedit::PollItemCount;
        const quint8 address = quint8(t / Hexedit::PollItemCount % 31 + 1);
        if (request != pollRequest(address, item))
            QFAIL(qPrintable(QStringLiteral("tick %1 sent %2").arg(t).arg(hex(request))));
        // The answer arrives well within the first 40 ms; the drain takes a
        // byte per millisecond as it does in the program.
        for (int ms = 0; ms < kRhythmMs; ms += kStepMs) {
            port.advanceMs(kStepMs);
            if (link.DrainTimer().isActive())
                link.DrainTick();
        }
        longestLog = std::max(longestLog, window.Text28->document()->characterCount());
    }
    while (link.DrainTimer().isActive())
        link.DrainTick();

    qInfo("%d requests, %d replies of which %d damaged on the line; %d decoded (%d of the "
          "damaged ones, from their undamaged first bytes), %d of them ended before the drive's "
          "last byte; %d wrong; longest traffic log %d characters",
          kTicks, replies, damaged, decoded, decoded - decodedWhole, endedEarly, int(wrong.size()),
          longestLog);
    QCOMPARE(replies, kTicks);
    QVERIFY(damaged > 0);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u" | ")));
    // Every undamaged answer is heard, whatever came before it.
    QCOMPARE(decodedWhole, replies - damaged);
    QVERIFY(longestLog <= TrafficLogBox::CharacterLimit);
    QVERIFY(longestLog > TrafficLogBox::CharacterLimit * 3 / 4); // the bound was reached
    QVERIFY(window.Timer1->isActive());
    QCOMPARE(window.Command1->text(), QStringLiteral("Close Serial"));
    QVERIFY(window.prompter().history().isEmpty());
}

QTEST_MAIN(tst_soak)
#include "tst_soak.moc"
