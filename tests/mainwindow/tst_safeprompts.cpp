// SPDX-License-Identifier: GPL-3.0-or-later
// What one stray Enter answers: every question whose "Yes" starts a motor,
// runs a drive despite a fault, writes to a drive or replaces a file opens on
// "No"; the main window's own jog question keeps opening on "Yes".
#include "AnswerBoxes.h"
#include "DemoBench.h"
#include "RtuProtocol.h"
#include "SimulatedDrive.h"
#include "SimulatedPort.h"
#include "TestRun.h"
#include "TestRunWindow.h"
#include "WaitUntil.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

// Two simulated drives in real time, every frame sent kept.
struct SimLine
{
    SimulatedPort port{SimulatedPort::Timing::RealTime, {1, 2}};
    Hexedit link{port};
    LinkClient client{link};
    Prompter prompter;
    QList<QByteArray> sent;

    SimLine()
    {
        port.open();
        QObject::connect(&link, &Hexedit::frameSent, &link,
                         [this](const QByteArray& frame) { sent << frame; });
    }

    // Run commands that went out (function 16, forward or reverse).
    int runCommandsSent() const
    {
        int count = 0;
        for (const QByteArray& f : sent)
            count += f.size() > 8 && quint8(f[1]) == 0x10 &&
                     (quint8(f[8]) == Rtu::ForwardCode || quint8(f[8]) == Rtu::ReverseCode);
        return count;
    }
};

// Presses Enter on the next real message box that opens, from inside its
// own event loop, and keeps what the box opened on.
struct EnterOnRealBox
{
    QTimer timer;
    QMessageBox::StandardButton openedOn = QMessageBox::NoButton;
    QString text;
    bool pressed = false;

    EnterOnRealBox()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            timer.stop();
            openedOn = box->standardButton(box->defaultButton());
            text = box->text();
            pressed = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer.start();
    }
};

} // namespace

class tst_safeprompts : public QObject
{
    Q_OBJECT
private slots:
    void enterOnARealQuestionStartsNothing();
    void aFaultQuestionOpensOnNo();
    void theJogQuestionKeepsItsYes();
};

// A real box, shown offscreen and answered with the Enter key: the test run
// does not start and no run command reaches the drive.
void tst_safeprompts::enterOnARealQuestionStartsNothing()
{
    SimLine line;
    TestRunWindow window(line.client, line.prompter);
    window.show();
    window.hzBox->setValue(20);
    window.holdBox->setValue(5);
    EnterOnRealBox enter;
    window.startRun();
    QVERIFY(enter.pressed);
    QVERIFY2(enter.text.startsWith(QStringLiteral("Drive 1 will run forward")),
             qPrintable(enter.text));
    QCOMPARE(enter.openedOn, QMessageBox::No);
    QVERIFY(!window.run());
    QVERIFY(window.startButton->isEnabled());
    QCOMPARE(line.runCommandsSent(), 0);
    QVERIFY(!line.port.bus().drive(1)->isRunning());
}

// "Yes" to the run itself, then Enter on the question about the drive's fault:
// the drive is left alone.
void tst_safeprompts::aFaultQuestionOpensOnNo()
{
    SimLine line;
    line.port.bus().drive(2)->trip(3);
    int asked = 0;
    line.prompter.setResponder([&](const Prompter::Prompt& prompt) {
        return ++asked == 1 ? QMessageBox::Yes : enterAnswer(prompt);
    });
    TestRunWindow window(line.client, line.prompter);
    window.driveBox->setValue(2);
    window.hzBox->setValue(10);
    window.holdBox->setValue(1);
    window.startRun();
    QVERIFY(window.run());
    QVERIFY(waitUntil([&] { return !window.run()->running(); }, 20000));
    const QList<Prompter::Prompt>& prompts = line.prompter.history();
    QCOMPARE(prompts.size(), 2);
    QCOMPARE(prompts[0].defaultButton, QMessageBox::No);
    QVERIFY2(prompts[1].text.contains(QStringLiteral("Run the test all the same?")),
             qPrintable(prompts[1].text));
    QCOMPARE(prompts[1].defaultButton, QMessageBox::No);
    QVERIFY(!window.results().first().passed());
    QCOMPARE(line.runCommandsSent(), 0);
}

// The main window's own box keeps what it always was: Enter says "Yes",
// and "Yes" there stops commanding by closing the port.
void tst_safeprompts::theJogQuestionKeepsItsYes()
{
    DemoBench b;
    b.openPort();
    b.window.prompter().setResponder({});
    EnterOnRealBox enter;
    b.window.Option4_Click();
    QVERIFY(enter.pressed);
    QCOMPARE(enter.openedOn, QMessageBox::Yes);
    QVERIFY(!b.port.isOpen());
}

QTEST_MAIN(tst_safeprompts)
#include "tst_safeprompts.moc"
