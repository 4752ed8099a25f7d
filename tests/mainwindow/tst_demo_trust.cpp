// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window shows must not pass for more than it is: values of a
// silent drive, a fault description of another drive, a cut-off fault text, a
// typed frequency not yet in force, a choice of command that sent nothing.
#include "DemoBench.h"
#include "DevicePort.h"
#include "LinkClient.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "config.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>

namespace {

QColor textColour(const QWidget* box)
{
    return box->palette().color(QPalette::Text);
}

// Chooses an option as a screen reader does: its "toggle" action, no click.
void toggleByAccessibility(QAbstractButton* button)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
    QVERIFY(face && face->actionInterface());
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

// The width a line edit gives its text, as it lays the text out when painting.
int textRoom(const QLineEdit* box)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins margins = box->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

} // namespace

class tst_demo_trust : public QObject
{
    Q_OBJECT
private slots:
    void silentDriveIsShownStale();
    void closedPortShowsStale();
    void valuesLeftUnrefreshedAreShownStale();
    void faultTooltipGoesWithTheDrive();
    void cordShowsEveryFaultWhole();
    void typedFrequencyShowsUntilTaken();
    void rhythmSkipsLeadingBlanks();
    void optionsChosenAnyWaySendOnce();
    void tripSaysHowToClearIt();
    void portTroubleInPlainWords();
};

void tst_demo_trust::silentDriveIsShownStale()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    const QColor green = textColour(w.Text24);
    const QColor plain = textColour(w.Text29);
    const QColor red = textColour(w.Text4);
    w.Timer1_Timer();
    b.receive(runningValueAnswer(1, 0, 5000, 8));
    b.receive(statusAnswer(1, 0, 0x10, 0));
    QCOMPARE(w.Text24->text(), QString("50.00"));
    QCOMPARE(w.Text29->text(), QString("Run"));
    QCOMPARE(w.Text4->text(), QString("Normal"));

    // A lost reply or two is no silence; three rounds without any answer are.
    const int silentPolls = demo::SilentRounds * Hexedit::PollItemCount;
    for (int tick = 1; tick < silentPolls; ++tick)
        w.Timer1_Timer();
    QCOMPARE(textColour(w.Text24), green);
    QVERIFY(w.StatusBar1->notice().isEmpty());
    w.Timer1_Timer();
    // Greyed, not cleared, and the status bar says since when.
    QCOMPARE(w.Text24->text(), QString("50.00"));
    QCOMPARE(w.Text29->text(), QString("Run"));
    QCOMPARE(w.Text30->text(), QString("FWD"));
    for (const QLineEdit* box : {w.Text24, w.Text25, w.Text29, w.Text30, w.Text4})
        QCOMPARE(textColour(box), QColor(Qt::gray));
    QVERIFY(!w.StatusBar1->panel(StatusPanels::RunState)->isEnabled());
    QVERIFY2(w.StatusBar1->notice().startsWith("Drive 1: no answer since "),
             qPrintable(w.StatusBar1->notice()));
    QVERIFY(!w.StatusBar1->findChild<QLabel*>("Notice")->isHidden());

    // The next answer brings everything back.
    b.receive(statusAnswer(1, 0, 0x10, 0));
    QCOMPARE(textColour(w.Text24), green);
    QCOMPARE(textColour(w.Text29), plain);
    QCOMPARE(textColour(w.Text4), red);
    QVERIFY(w.StatusBar1->panel(StatusPanels::RunState)->isEnabled());
    QVERIFY(w.StatusBar1->notice().isEmpty());
    QVERIFY(w.StatusBar1->findChild<QLabel*>("Notice")->isHidden());
    // An answer from another drive is no answer from this one.
    for (int tick = 0; tick < silentPolls; ++tick) {
        w.Timer1_Timer();
        b.receive(statusAnswer(2, 0, 0x10, 0));
    }
    QCOMPARE(textColour(w.Text29), QColor(Qt::gray));
}

void tst_demo_trust::closedPortShowsStale()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    const QColor green = textColour(w.Text24);
    w.Timer1_Timer();
    b.receive(runningValueAnswer(1, 0, 5000, 8));
    w.Command1_Click(); // closed by the user
    QCOMPARE(w.Text24->text(), QString("50.00"));
    QCOMPARE(textColour(w.Text24), QColor(Qt::gray));
    QVERIFY(w.StatusBar1->notice().startsWith("Drive 1: no answer since "));

    b.openPort();
    w.Timer1_Timer();
    b.receive(runningValueAnswer(1, 0, 4000, 8));
    QCOMPARE(textColour(w.Text24), green);
    b.port.simulateDeviceLoss();
    QCOMPARE(w.Text24->text(), QString("40.00"));
    QCOMPARE(textColour(w.Text24), QColor(Qt::gray));
    QVERIFY(!w.StatusBar1->notice().isEmpty());
}

// While a tool holds the line its reads keep some values fresh; the rest,
// and the state, are not refreshed within a sweep and must not pass for live.
void tst_demo_trust::valuesLeftUnrefreshedAreShownStale()
{
    DemoBench b;
    demo& w = b.window;
    QDateTime clock = QDateTime::currentDateTime();
    w.monitor().now = [&] { return clock; };
    b.openPort();
    const QColor green = textColour(w.Text24);
    const QColor plain = textColour(w.Text29);
    // One sweep is the poll schedule at the poll rhythm.
    const qint64 sweepMs = qint64(w.Timer1->interval()) * Hexedit::PollItemCount;
    w.Timer1_Timer();
    for (quint8 index : {0, 1, 2, 4})
        b.receive(runningValueAnswer(1, index, 0, 8));
    b.receive(statusAnswer(1, 0, 0x10, 0));

    QObject recorder;
    LinkSession* session = w.linkClient().openSession(&recorder);
    session->holdLine(true);
    b.port.clearWritten();
    // The recorder reads output frequency and current, and nothing else.
    auto recorderRound = [&](qint64 ms) {
        clock = clock.addMSecs(ms);
        b.receive(runningValueAnswer(1, 0, 3000, 8));
        b.receive(runningValueAnswer(1, 2, 300, 8));
        w.Timer1_Timer(); // stands aside
    };
    recorderRound(sweepMs);
    for (QLineEdit* box : {w.Text24, w.Text25, w.Text3, w.Text7})
        QCOMPARE(textColour(box), green);
    QCOMPARE(textColour(w.Text29), plain);
    recorderRound(sweepMs);
    QCOMPARE(w.Text24->text(), QString("30.00"));
    QCOMPARE(w.Text3->text(), QString("3.00"));
    QCOMPARE(textColour(w.Text24), green);
    QCOMPARE(textColour(w.Text3), green);
    // Left as they were, greyed: set frequency, speed, the state.
    QCOMPARE(w.Text25->text(), QString("0.00"));
    for (QLineEdit* box : {w.Text25, w.Text7, w.Text29, w.Text30, w.Text4})
        QCOMPARE(textColour(box), QColor(Qt::gray));
    QVERIFY(!w.StatusBar1->panel(StatusPanels::RunState)->isEnabled());
    // The drive answers: nothing says it is silent, and nothing went out.
    QVERIFY(w.StatusBar1->notice().isEmpty());
    QVERIFY(b.port.written().isEmpty());

    // The tool lets go: each value is live again as the poll brings it.
    session->holdLine(false);
    w.Timer1_Timer();
    QVERIFY(!b.port.written().isEmpty()); // the poll goes on where it stood
    b.receive(statusAnswer(1, 0, 0x10, 0));
    QCOMPARE(textColour(w.Text29), plain);
    QVERIFY(w.StatusBar1->panel(StatusPanels::RunState)->isEnabled());
    QCOMPARE(textColour(w.Text25), QColor(Qt::gray));
    b.receive(runningValueAnswer(1, 1, 3000, 8));
    QCOMPARE(textColour(w.Text25), green);

    // With the poll stopped nothing is refreshed at all; the window notices
    // on its own, without a poll tick.
    clock = clock.addMSecs(2 * sweepMs);
    QTRY_COMPARE_WITH_TIMEOUT(textColour(w.Text25), QColor(Qt::gray), 20000);
    QCOMPARE(w.Text25->text(), QString("30.00"));
}

void tst_demo_trust::faultTooltipGoesWithTheDrive()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Combo5->setCurrentIndex(1); // "The 1th Error Code"
    w.Combo5_Click();
    w.Timer1_Timer();
    b.receive(runningValueAnswer(1, 19, 8, 0));
    QCOMPARE(w.Text22->text(), QString::fromUtf8(Tab::FaultCode(8)->data()));
    QVERIFY(!w.Text22->toolTip().isEmpty());
    w.Combo2->setCurrentText("2");
    w.Timer1_Timer();
    QVERIFY(w.Text22->text().isEmpty());
    QVERIFY(w.Text22->toolTip().isEmpty());
}

void tst_demo_trust::cordShowsEveryFaultWhole()
{
    DemoBench b;
    demo& w = b.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // However small the user makes the window.
    w.resize(1, 1);
    QCoreApplication::processEvents();
    for (int number = 1; number <= 20; ++number) {
        const auto text = Tab::FaultText(number);
        if (!text)
            continue;
        const QString shown = QString::fromUtf8(text->data(), qsizetype(text->size()));
        QVERIFY2(w.Text4->fontMetrics().horizontalAdvance(shown) <= textRoom(w.Text4),
                 qPrintable(shown));
    }
}

void tst_demo_trust::typedFrequencyShowsUntilTaken()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    const QColor base = w.Text1->palette().color(QPalette::Base);
    const QString unsent = QStringLiteral("not sent yet: press Enter");
    w.Option1->click();
    w.Text1->setText("45"); // typed, Enter not yet pressed
    QCOMPARE(w.Text1->toolTip(), unsent);
    QVERIFY(w.Text1->palette().color(QPalette::Base) != base);
    w.Timer2_Timer();
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x12, 5000)}); // what the mark says
    emit w.Text1->editingFinished();
    QVERIFY(w.Text1->toolTip().isEmpty());
    QCOMPARE(w.Text1->palette().color(QPalette::Base), base);

    // Text that is no number is marked too, and gives way to the value in force.
    w.Text1->setText("abc");
    QCOMPARE(w.Text1->toolTip(), unsent);
    emit w.Text1->editingFinished();
    QCOMPARE(w.Text1->text(), QString("45"));
    QVERIFY(w.Text1->toolTip().isEmpty());
    // The same number written otherwise is what is being sent.
    w.Text5->setText("50.0");
    QVERIFY(w.Text5->toolTip().isEmpty());
    QVERIFY(w.Text1->toolTip().isEmpty());
}

void tst_demo_trust::rhythmSkipsLeadingBlanks()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    w.Text26->setText(" 1000"); // pasted with a blank in front
    QCOMPARE(w.Text26->text(), QString(" 1000"));
    QCOMPARE(w.Timer2->interval(), 1000);
    w.Text2->setText("\t 700");
    QCOMPARE(w.Timer1->interval(), 700);
    w.Timer1->stop();
    w.Command5_Click();
    QVERIFY(b.prompts().isEmpty());
    QCOMPARE(w.Timer1->interval(), 700);
    QVERIFY(w.Timer1->isActive());
}

void tst_demo_trust::optionsChosenAnyWaySendOnce()
{
    DemoBench b;
    demo& w = b.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    b.openPort();
    toggleByAccessibility(w.Option7);
    QVERIFY(w.Option7->isChecked());
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x1E, 5000)});
    QCOMPARE(w.PendingCommand, RunCommand::SingleForward);
    QVERIFY(w.Timer2->isActive());

    b.port.clearWritten();
    QTest::mouseClick(w.Option8, Qt::LeftButton);
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x2E, 5000)});
    // Clicking the option already chosen sends it again, once.
    b.port.clearWritten();
    QTest::mouseClick(w.Option8, Qt::LeftButton);
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x2E, 5000)});
    b.port.clearWritten();
    QTest::keyClick(w.Option7, Qt::Key_Space);
    QCOMPARE(b.writtenHex(), QStringList{controlWrite(1, 0x1E, 5000)});

    b.port.clearWritten();
    toggleByAccessibility(w.Option9);
    QCOMPARE(w.PendingCommand, RunCommand::None);
    QVERIFY(!w.Timer2->isActive());
    toggleByAccessibility(w.Option1);
    QCOMPARE(w.PendingCommand, RunCommand::Forward);
    QVERIFY(w.Timer2->isActive());
    QVERIFY(b.port.written().isEmpty()); // "FWD" waits for the command tick
}

// The window has no reset: where the fault shows it says how the drive clears
// it, and the status bar says so once a trip, not with every status reply.
void tst_demo_trust::tripSaysHowToClearIt()
{
    DemoBench b;
    demo& w = b.window;
    b.openPort();
    b.receive(statusAnswer(1, 0x0060, 0x10, 0x20)); // fault 3
    const QString fault = QString::fromUtf8(Tab::FaultText(3)->data());
    QCOMPARE(w.Text4->text(), fault); // the given text, unchanged
    QVERIFY(w.Text4->toolTip().startsWith(fault));
    QVERIFY(w.Text4->toolTip().contains(QStringLiteral("STOP, then give a run command")));
    QVERIFY(w.StatusBar1->notice().contains(QStringLiteral("Drive 1 has tripped")));
    w.StatusBar1->showPassingNotice(QStringLiteral("something else"));
    b.receive(statusAnswer(1, 0x0060, 0x10, 0x20));
    QCOMPARE(w.StatusBar1->notice(), QStringLiteral("something else"));

    b.receive(statusAnswer(1, 0, 0x10, 0));
    QCOMPARE(w.Text4->text(), QStringLiteral("Normal"));
    QVERIFY(w.Text4->toolTip().isEmpty());
    b.receive(statusAnswer(1, 0x0060, 0x10, 0x20)); // a new trip
    QVERIFY(w.StatusBar1->notice().contains(QStringLiteral("STOP")));
    QVERIFY(b.prompts().isEmpty());
}

// A vanished device is said in the program's words; the system's own go to
// the traffic trace. The port list offers each device once.
void tst_demo_trust::portTroubleInPlainWords()
{
    DemoBench b;
    b.openPort();
    b.port.simulateDeviceLoss(QStringLiteral("Resource temporarily unavailable"));
    QCOMPARE(b.prompts().size(), 1);
    QVERIFY(b.prompts()[0].text.contains(QStringLiteral("has gone away")));
    QVERIFY(!b.prompts()[0].text.contains(QStringLiteral("Resource")));
    QVERIFY(b.window.trafficTrace().lines().last().contains(
        QStringLiteral("Resource temporarily unavailable")));

    QStringList devices;
    for (const QString& name : config::portChoices()) {
        if (name == u"SIM")
            continue;
        const QString system = DevicePort::SystemPortName(name);
        const QString device =
            QFileInfo(system).exists() ? QFileInfo(system).canonicalFilePath() : system;
        QVERIFY2(!devices.contains(device), qPrintable(name));
        devices << device;
    }
    QVERIFY(config::portChoices().startsWith(QStringLiteral("COM1")));
}

QTEST_MAIN(tst_demo_trust)
#include "tst_demo_trust.moc"
