// SPDX-License-Identifier: GPL-3.0-or-later
// Monitoring: "Start"/"Stop", the poll tick, the fault choosers and the showing
// of what the drives answer.
#include "CatalogueText.h"
#include "NumberText.h"
#include "RunningValues.h"
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
#include <iterator>

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A catalogue text with the drive manual's English beneath it, where they differ.
QString withEnglish(const QString& shown, const QString& english)
{
    return shown == english ? shown : shown + u'\n' + english;
}

} // namespace

void demo::Command5_Click()
{
    const double ms = RhythmNumber(Text2->text());
    if (ms < 200) {
        Text2->setText(QStringLiteral("200"));
        m_prompter.show(this, {QMessageBox::NoIcon, tr("Notice"),
                               tr("Communication timt limited at 200ms"), QMessageBox::Ok});
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
    m_monitor.setSweepMs(qint64(Timer1->interval()) * Hexedit::PollItemCount);
    m_monitor.pollTick();
}

void demo::handDriveChoice()
{
    m_monitor.setDriveChoice({Check1->isChecked(), quint8(ShownNumber(Combo2)),
                              quint8(ShownNumber(Combo4)), quint8(ShownNumber(Combo1))});
}

void demo::Combo5_Click()
{
    using namespace RunningValues;
    static constexpr int values[] = {0, FaultRecord1, FaultRecord2, FaultRecord3};
    const int index = Combo5->currentIndex();
    FaultRecordSelect = index >= 0 && index < 4 ? values[index] : 0;
    if (FaultRecordSelect == 0)
        Text22->clear();
}

void demo::Combo6_Click()
{
    using namespace RunningValues;
    static constexpr int values[] = {0,
                                     FrequencyOutAtLastFault,
                                     FrequencySetAtLastFault,
                                     CurrentAtLastFault,
                                     VoltageAtLastFault,
                                     DcBusAtLastFault,
                                     TemperatureAtLastFault};
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
    // The monitor hands on the watched drive's replies only.
    Label34->setText(QString::number(reply.address));
    // Each value up to the count set has its box; the fault records share one,
    // and so do the values kept at the last fault.
    const auto boxes = valueBoxes();
    const std::optional<RunningValues::RunningValue> value = RunningValues::at(reply.index);
    if (!value)
        return;
    if (value->shown == RunningValues::Shown::FaultCode) {
        const long number = std::lround(reply.value);
        if (number == 20)
            Text22->clear();
        else if (const auto code = Tab::FaultCode(int(number)))
            Text22->setText(fromView(*code));
        if (const auto text = CatalogueText::faultText(int(number)))
            Text22->setToolTip(
                withEnglish(*text, CatalogueText::englishFaultDescription(int(number))));
        return;
    }
    QLineEdit* box = std::size_t(reply.index) < std::size(boxes)    ? boxes[reply.index]
                     : RunningValues::isLastFaultValue(reply.index) ? Text23
                                                                    : Text27;
    box->setText(value->shown == RunningValues::Shown::Plain ? NumberText::Plain(reply.value)
                                                             : NumberText::Fixed2(reply.value));
}

void demo::clearShownDrive()
{
    // When the poll turns to another drive, what the last one reported must not
    // stand beside the new one until its own answers come in: the values would
    // pass for the new drive's, and "Machine State" names no drive at all.
    Label34->clear();
    for (QLineEdit* box :
         {Text24, Text25, Text3,  Text6,  Text7,  Text8,  Text9,  Text10, Text11, Text12, Text13,
          Text14, Text15, Text16, Text17, Text18, Text19, Text20, Text21, Text22, Text23})
        box->clear();
    // The fault code's description goes with it, or the next drive's empty
    // box would still name this drive's fault.
    Text22->setToolTip(QString());
    Text29->clear();
    Text30->clear();
    Text4->clear();
    Text4->setToolTip(QString());
    m_tripSaid = false;
    Shape4->setFillColour(ColourValue::Black);
    StatusBar1->setPanelText(StatusPanels::RunState, QString());
}

void demo::ShowDriveStatus(const StatusReply& reply)
{
    // The monitor hands on the watched drive's state only, never a stray or
    // late answer from another one.
    Text30->setText(reply.reverse ? tr("REV") : tr("FWD"));
    const QString state = reply.running ? tr("Run") : tr("Stop");
    StatusBar1->setPanelText(StatusPanels::RunState, state);
    Text29->setText(state);
    if (!reply.fault) {
        Shape4->setFillColour(ColourValue::Green);
        Text4->setText(tr("Normal"));
        Text4->setToolTip(QString());
        m_tripSaid = false;
        return;
    }
    Shape4->setFillColour(ColourValue::Red);
    const auto text = CatalogueText::faultText(reply.faultNumber);
    if (text)
        Text4->setText(*text);
    // The window has no reset button: the drive clears a trip itself once it
    // is stopped and given a run command again. Said where the fault shows,
    // and once a trip in the status bar.
    const QString clearing =
        tr("To clear the fault: remove its cause, press STOP, then give a run command.");
    Text4->setToolTip(
        (text ? withEnglish(*text, CatalogueText::englishFaultDescription(reply.faultNumber))
              : Text4->text()) +
        u'\n' + clearing);
    if (!m_tripSaid) {
        m_tripSaid = true;
        StatusBar1->showPassingNotice(
            tr("Drive %1 has tripped. %2").arg(m_monitor.watchedDrive()).arg(clearing));
    }
}
