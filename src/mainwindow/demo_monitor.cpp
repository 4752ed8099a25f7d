// SPDX-License-Identifier: GPL-3.0-or-later
// Monitoring: "Start"/"Stop", the poll tick, the fault choosers and the showing
// of what the drives answer.
#include "NumberText.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "TrafficLogBox.h"
#include "demo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

void demo::Command5_Click()
{
    const double ms = RhythmNumber(Text2->text());
    if (ms < 200) {
        Text2->setText(QStringLiteral("200"));
        m_prompter.show(this,
                        {QMessageBox::NoIcon, QStringLiteral("Notice"),
                         QStringLiteral("Communication timt limited at 200ms"), QMessageBox::Ok});
        return;
    }
    if (!m_monitoring) {
        Timer1->setInterval(int(std::min(ms, 20000.0)));
        Timer1->start();
        setMonitoring(true);
        Text28->clearLog();
        if (!Timer3->isActive())
            Timer3->start();
    } else {
        setMonitoring(false);
        Timer1->stop();
    }
}

void demo::Timer1_Timer()
{
    // A tool's job has the line: this tick stands aside, and the schedule
    // picks up at the same item and drive once the job is done.
    if (m_client.lineHeld())
        return;
    quint8 address = 0;
    if (Check1->isChecked()) {
        address = quint8(ShownNumber(Combo2));
    } else {
        const int first = ShownNumber(Combo4);
        // The range may have been narrowed in mid-sweep; start again at "First"
        // rather than read an address beyond "End".
        if (PollOffset > 0 && first + PollOffset > ShownNumber(Combo1))
            PollOffset = 0;
        address = quint8(first + PollOffset);
    }
    m_polledDrive = address;
    watchDrive(address);
    if (m_link.SendPollRequest(address, PollItem, FaultRecordSelect, LastErrorValueSelect))
        ++m_unansweredPolls;
    // A lost reply or two is no silence; whole poll rounds without an answer are.
    if (m_unansweredPolls >= SilentRounds * Hexedit::PollItemCount && !m_stale)
        showStale(true);

    if (++PollItem >= Hexedit::PollItemCount) {
        PollItem = 0;
        if (ShownNumber(Combo4) + PollOffset < ShownNumber(Combo1))
            ++PollOffset;
        else
            PollOffset = 0;
    }
}

void demo::Combo5_Click()
{
    static constexpr int values[] = {0, 19, 20, 21};
    const int index = Combo5->currentIndex();
    FaultRecordSelect = index >= 0 && index < 4 ? values[index] : 0;
    if (FaultRecordSelect == 0)
        Text22->clear();
}

void demo::Combo6_Click()
{
    static constexpr int values[] = {0, 22, 23, 24, 25, 26, 27};
    const int index = Combo6->currentIndex();
    LastErrorValueSelect = index >= 0 && index < 7 ? values[index] : 0;
    if (LastErrorValueSelect == 0)
        Text23->clear();
}

void demo::Text28_DblClick()
{
    Text28->clearLog();
}

void demo::ShowRunningValue(const RunningValueReply& reply)
{
    // One drive's values at a time: a stray or late answer from another drive
    // would otherwise sit among them once the next answer moves the address back.
    if (reply.address != watchedDrive())
        return;
    noteAnswer();
    Label34->setText(QString::number(reply.address));
    // Registers 0..18 each have their box; the counters, temperatures, speed
    // and terminal states are shown plain, the rest with two decimals.
    const struct
    {
        QLineEdit* box;
        bool plain;
    } fields[] = {{Text24, false}, {Text25, false}, {Text3, false},  {Text6, false},
                  {Text7, true},   {Text8, false},  {Text9, false},  {Text10, false},
                  {Text11, false}, {Text12, false}, {Text13, false}, {Text14, false},
                  {Text15, false}, {Text16, false}, {Text17, true},  {Text18, true},
                  {Text19, true},  {Text20, true},  {Text21, true}};
    const int index = reply.index;
    if (index <= 18) {
        const auto& field = fields[index];
        field.box->setText(field.plain ? NumberText::Plain(reply.value)
                                       : NumberText::Fixed2(reply.value));
    } else if (index >= 19 && index <= 21) {
        const long number = std::lround(reply.value);
        if (number == 20)
            Text22->clear();
        else if (const auto code = Tab::FaultCode(int(number)))
            Text22->setText(fromView(*code));
        if (const auto text = Tab::FaultText(int(number)))
            Text22->setToolTip(fromView(*text));
    } else if (index >= 22 && index <= 27) {
        Text23->setText(NumberText::Plain(reply.value));
    } else if (index == 28) {
        Text27->setText(NumberText::Plain(reply.value));
    }
}

quint8 demo::watchedDrive() const
{
    return Check1->isChecked() ? quint8(ShownNumber(Combo2)) : m_polledDrive;
}

void demo::watchDrive(quint8 address)
{
    // When the poll turns to another drive, what the last one reported must not
    // stand beside the new one until its own answers come in: the values would
    // pass for the new drive's, and "Machine State" names no drive at all.
    if (m_stateDrive && *m_stateDrive != address) {
        Label34->clear();
        for (QLineEdit* box : {Text24, Text25, Text3,  Text6,  Text7,  Text8,  Text9,
                               Text10, Text11, Text12, Text13, Text14, Text15, Text16,
                               Text17, Text18, Text19, Text20, Text21, Text22, Text23})
            box->clear();
        // The fault code's description goes with it, or the next drive's empty
        // box would still name this drive's fault.
        Text22->setToolTip(QString());
        Text29->clear();
        Text30->clear();
        Text4->clear();
        Shape4->setFillColour(ColourValue::Black);
        StatusBar1->setPanelText(StatusPanels::RunState, QString());
    }
    if (m_stateDrive != address) {
        m_unansweredPolls = 0;
        m_silentSince = QDateTime::currentDateTime();
        if (m_stale)
            showStale(false);
    }
    m_stateDrive = address;
}

void demo::ShowDriveStatus(const StatusReply& reply)
{
    // Only the state of the drive being watched, never a stray or late answer
    // from another one.
    if (reply.address != watchedDrive())
        return;
    noteAnswer();
    Text30->setText(reply.reverse ? QStringLiteral("REV") : QStringLiteral("FWD"));
    const QString state = reply.running ? QStringLiteral("Run") : QStringLiteral("Stop");
    StatusBar1->setPanelText(StatusPanels::RunState, state);
    Text29->setText(state);
    if (!reply.fault) {
        Shape4->setFillColour(ColourValue::Green);
        Text4->setText(QStringLiteral("Normal"));
        return;
    }
    Shape4->setFillColour(ColourValue::Red);
    if (const auto text = Tab::FaultText(reply.faultNumber))
        Text4->setText(fromView(*text));
}
