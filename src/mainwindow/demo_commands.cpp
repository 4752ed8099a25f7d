// SPDX-License-Identifier: GPL-3.0-or-later
// Run commands, the frequency and rhythm entries, and the command and refresh ticks.
#include "NumberText.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "TrafficLogBox.h"
#include "demo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

constexpr int kBackspace = 8;

bool isDigit(int key)
{
    return key >= '0' && key <= '9';
}

// Frequencies: digits and one point; a text that starts with the point takes
// every key as Backspace until the point is gone.
int frequencyKey(const QString& before, int key)
{
    if (before.startsWith(u'.'))
        return kBackspace;
    if (before.contains(u'.'))
        return isDigit(key) || key == kBackspace ? key : 0;
    return isDigit(key) || key == '.' || key == kBackspace ? key : 0;
}

int rhythmKey(int key)
{
    return isDigit(key) || key == kBackspace ? key : 0;
}

void switchOn(QTimer* timer)
{
    if (!timer->isActive())
        timer->start();
}

} // namespace

void demo::connectControls()
{
    connect(Command1, &QPushButton::clicked, this, &demo::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &demo::Command5_Click);
    connect(Check1, &QCheckBox::toggled, this, &demo::Check1_Click);
    connect(Combo1, &QComboBox::activated, this, &demo::Combo1_Click);
    connect(Combo4, &QComboBox::activated, this, &demo::Combo4_Click);
    connect(Combo5, &QComboBox::activated, this, &demo::Combo5_Click);
    connect(Combo6, &QComboBox::activated, this, &demo::Combo6_Click);

    connect(Option1, &OptionButton::chosen, this, &demo::Option1_Click);
    connect(Option2, &OptionButton::chosen, this, &demo::Option2_Click);
    connect(Option3, &OptionButton::chosen, this, &demo::Option3_Click);
    connect(Option4, &OptionButton::chosen, this, &demo::Option4_Click);
    connect(Option5, &OptionButton::chosen, this, &demo::Option5_Click);
    connect(Option7, &OptionButton::chosen, this, &demo::Option7_Click);
    connect(Option8, &OptionButton::chosen, this, &demo::Option8_Click);
    connect(Option9, &OptionButton::chosen, this, &demo::Option9_Click);

    connect(Text1, &QLineEdit::textChanged, this, &demo::Text1_Change);
    connect(Text5, &QLineEdit::textChanged, this, &demo::Text5_Change);
    connect(Text26, &QLineEdit::textChanged, this, &demo::Text26_Change);
    connect(Text2, &QLineEdit::textChanged, this, &demo::Text2_Change);
    connect(Text1, &QLineEdit::editingFinished, this, &demo::Text1_LostFocus);
    connect(Text5, &QLineEdit::editingFinished, this, &demo::Text5_LostFocus);
    for (QLineEdit* box : {Text1, Text5, Text26, Text2})
        box->installEventFilter(this);

    connect(Timer1, &QTimer::timeout, this, &demo::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &demo::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &demo::Timer3_Timer);
    connect(Text28, &TrafficLogBox::doubleClicked, this, &demo::Text28_DblClick);

    connect(&m_link, &Hexedit::receiveEvent, this, [this] {
        Shape3->setFillColour(ColourValue::Black);
        Shape2->setFillColour(ColourValue::LampGreen);
    });
    connect(&m_link, &Hexedit::trafficLog, Text28, &TrafficLogBox::appendTraffic);
    connect(&m_readiness, &ReadinessBook::learned, this, [this](const Readiness& readiness) {
        if (readiness.ready()) {
            m_readinessTold.remove(readiness.address); // said again should it change back
        } else if (!m_readinessTold.contains(readiness.address)) {
            m_readinessTold.insert(readiness.address);
            StatusBar1->showPassingNotice(readiness.problems().join(QStringLiteral("; ")));
        }
    });
    connect(&m_readiness, &ReadinessBook::forgotten, this, [this] { m_readinessTold.clear(); });
    connect(&m_monitor, &DriveMonitor::runningValue, this, &demo::ShowRunningValue);
    connect(&m_monitor, &DriveMonitor::driveStatus, this, &demo::ShowDriveStatus);
    connect(&m_monitor, &DriveMonitor::shownDriveLeft, this, &demo::clearShownDrive);
    connect(&m_monitor, &DriveMonitor::staleChanged, this, &demo::showStale);
    connect(&m_monitor, &DriveMonitor::outdatedChanged, this, &demo::showFreshness);
    // Values are judged between poll ticks too: with the poll stopped, or at a
    // slow rhythm, nothing else would notice them grow old.
    auto* freshness = new QTimer(this);
    freshness->setObjectName(QStringLiteral("FreshnessCheck"));
    freshness->setInterval(1000);
    connect(freshness, &QTimer::timeout, this, &demo::judgeFreshness);
    freshness->start();
    connect(&m_monitor, &DriveMonitor::commandDone, this, &demo::reportCommand);
    // Whatever changes the drive choice (the user, kept settings, the scan's
    // pick) reaches the monitor, which reads no widget.
    connect(Check1, &QCheckBox::toggled, this, &demo::handDriveChoice);
    for (QComboBox* box : {Combo1, Combo2, Combo4})
        connect(box, &QComboBox::currentTextChanged, this, &demo::handDriveChoice);
    handDriveChoice();
    connect(&m_port, &SerialPort::deviceLost, this, &demo::onDeviceLost);
}

// ------------------------------------------------------------------ drive choice

void demo::Check1_Click()
{
    const bool single = Check1->isChecked();
    Combo4->setEnabled(!single);
    Combo1->setEnabled(!single);
    Combo2->setEnabled(single);
}

void demo::Combo1_Click()
{
    // "End" must lie above "First"; with "First" at the last address it cannot,
    // and "End" keeps what it shows.
    const int first = ShownNumber(Combo4);
    if (ShownNumber(Combo1) <= first) {
        const int next = Combo1->findText(QString::number(first + 1));
        if (next >= 0)
            Combo1->setCurrentIndex(next);
    }
}

void demo::Combo4_Click()
{
    Combo1_Click();
}

// ------------------------------------------------------------------ run commands

void demo::Option1_Click()
{
    PendingCommand = RunCommand::Forward;
    switchOn(Timer2);
}

void demo::Option2_Click()
{
    PendingCommand = RunCommand::Reverse;
    switchOn(Timer2);
}

void demo::Option3_Click()
{
    PendingCommand = RunCommand::JogForward;
    askJogQuestion();
}

void demo::Option4_Click()
{
    PendingCommand = RunCommand::JogReverse;
    askJogQuestion();
}

void demo::Option5_Click()
{
    PendingCommand = RunCommand::Stop;
    switchOn(Timer2);
}

void demo::Option7_Click()
{
    sendAtOnce(RunCommand::SingleForward);
}

void demo::Option8_Click()
{
    sendAtOnce(RunCommand::SingleReverse);
}

void demo::Option9_Click()
{
    PendingCommand = RunCommand::None;
    Timer2->stop();
}

void demo::selectNone()
{
    Option9->setChecked(true);
    Option9_Click();
}

void demo::askJogQuestion()
{
    // The refresh tick re-runs this every few seconds; one open question is enough.
    if (m_jogQuestionOpen)
        return;
    // Nothing is commanded while the question is open: jog goes out only after
    // "No", and after "Yes" the port closes with the drive not left jogging.
    Timer2->stop();
    m_jogQuestionOpen = true;
    // "Yes" here stops commanding (the port closes), so Enter keeps answering it
    // as this box always has.
    const bool shutDown = m_prompter.askYesNo(
        this, tr("Notice"),
        tr("JOG time relate to communication overrun time ，shutdown communication ?"),
        QMessageBox::Yes);
    m_jogQuestionOpen = false;
    // The port may have gone while the question was open; "Yes" must then not
    // open it again, nor "No" start commanding a closed port.
    if (!m_port.isOpen())
        return;
    if (shutDown)
        Command1_Click();
    else
        switchOn(Timer2);
}

// The command, refresh and immediate sends leave the poll timer running. They
// run on the one event thread, so no poll tick can come between their frames
// anyway; stopping and restarting the timer would only restart its countdown,
// and a command repeating at or below the poll rhythm would starve polling.
void demo::sendAtOnce(RunCommand command)
{
    m_monitor.sendAtOnce(command);
    switchOn(Timer2);
}

void demo::Timer2_Timer()
{
    m_monitor.commandTick();
}

void demo::reportCommand(Hexedit::CommandOutcome outcome)
{
    switch (outcome) {
    case Hexedit::CommandOutcome::Sent:
        m_toldNoDrive = false;
        break;
    case Hexedit::CommandOutcome::SentToEveryDrive:
        StatusBar1->showPassingNotice(tr("STOP sent to every drive on the line"));
        break;
    case Hexedit::CommandOutcome::NoDrive:
        // Said once, not at every tick; again after a command has gone out.
        if (!m_toldNoDrive)
            StatusBar1->showPassingNotice(
                tr("Run command not sent: no drive is addressed. Tick \"Single "
                   "Machine\" and choose a drive, or start polling first."));
        m_toldNoDrive = true;
        break;
    case Hexedit::CommandOutcome::NothingToSend:
    case Hexedit::CommandOutcome::NotSent:
        break;
    }
}

void demo::Timer3_Timer()
{
    // While the jog question is open the user has not decided yet: the tick
    // neither asks again nor starts commanding.
    if (PendingCommand != RunCommand::None && !m_jogQuestionOpen) {
        switchOn(Timer2);
        // A jog is asked about again; FWD-S and REV-S go out again at once.
        if (PendingCommand == RunCommand::JogForward || PendingCommand == RunCommand::JogReverse)
            askJogQuestion();
        else
            m_monitor.refreshCommand();
    }
    Text28->clearLog();
}

// ------------------------------------------------------------------ entries

int demo::Text1_KeyPress(int keyAscii)
{
    return frequencyKey(Text1->text(), keyAscii);
}

int demo::Text5_KeyPress(int keyAscii)
{
    return frequencyKey(Text5->text(), keyAscii);
}

int demo::Text26_KeyPress(int keyAscii)
{
    return rhythmKey(keyAscii);
}

int demo::Text2_KeyPress(int keyAscii)
{
    return rhythmKey(keyAscii);
}

int demo::filterKey(QLineEdit* box, int keyAscii)
{
    if (box == Text1)
        return Text1_KeyPress(keyAscii);
    if (box == Text5)
        return Text5_KeyPress(keyAscii);
    if (box == Text26)
        return Text26_KeyPress(keyAscii);
    return Text2_KeyPress(keyAscii);
}

bool demo::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (event->type() != QEvent::KeyPress || !box ||
        (box != Text1 && box != Text5 && box != Text26 && box != Text2))
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Only typed characters are judged; moving, selecting, Tab, Enter and the
    // shortcuts keep working.
    int ascii = 0;
    if (key->key() == Qt::Key_Backspace) {
        ascii = kBackspace;
    } else {
        const QString text = key->text();
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier) ||
            text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F)
            return QMainWindow::eventFilter(watched, event);
        ascii = text[0].unicode();
    }
    const int passed = filterKey(box, ascii);
    if (passed == 0)
        return true;
    if (passed == kBackspace && ascii != kBackspace) {
        box->backspace();
        return true;
    }
    return false;
}

void demo::checkFrequency(QLineEdit* box)
{
    // A box with no number in it (emptied while typing, pasted text) is left
    // alone; what is sent is the value last taken from it.
    const std::optional<double> hz = NumberText::ParseDecimal(box->text());
    if (hz && (*hz < 0 || *hz > 400))
        box->setText(QStringLiteral("50"));
    showUnsent(box);
}

void demo::takeFrequency(QLineEdit* box, QString& taken)
{
    // A frequency is taken when the user is done with the box (Enter, or on to
    // another control), never while typing: going from 50 to 45 must not run a
    // drive at 5 and then 4 Hz on the way. Text that is no number gives way to
    // the value last taken.
    const std::optional<double> hz = NumberText::ParseDecimal(box->text());
    if (hz && *hz >= 0 && *hz <= 400)
        taken = box->text();
    else
        box->setText(taken);
    m_monitor.setFrequencies(m_forwardFrequency, m_reverseFrequency);
    showUnsent(box);
}

void demo::Text1_Change()
{
    checkFrequency(Text1);
}

void demo::Text5_Change()
{
    checkFrequency(Text5);
}

void demo::Text1_LostFocus()
{
    takeFrequency(Text1, m_forwardFrequency);
}

void demo::Text5_LostFocus()
{
    takeFrequency(Text5, m_reverseFrequency);
}

int demo::checkRhythm(QLineEdit* box)
{
    double ms = RhythmNumber(box->text());
    if (ms < 200) {
        box->setText(QStringLiteral("200"));
        ms = 200;
    }
    if (ms > 20000) {
        box->setText(QStringLiteral("10000"));
        ms = 10000;
    }
    return int(ms);
}

void demo::Text26_Change()
{
    Timer2->setInterval(checkRhythm(Text26));
}

void demo::Text2_Change()
{
    Timer1->setInterval(checkRhythm(Text2));
    Timer1->start();
}
