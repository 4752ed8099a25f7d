// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and closing the port, and what the window does in each port state.
#include "StatusPanels.h"
#include "TcpPort.h"
#include "demo.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
const char* const kOpenCaption = QT_TRANSLATE_NOOP("demo", "Open Serial");
const char* const kCloseCaption = QT_TRANSLATE_NOOP("demo", "Close Serial");
const char* const kErrorTitle = QT_TRANSLATE_NOOP("demo", "Error Waining!");
} // namespace

void demo::TogglePort()
{
    if (m_portState == PortState::Open) {
        m_port.close();
        setPortState(PortState::Closed);
        return;
    }
    if (!m_port.isOpen()) {
        const SerialPort::OpenError error = m_port.open();
        if (error != SerialPort::OpenError::None) {
            reportOpenError(error);
            setPortState(PortState::Closed);
            return;
        }
    }
    m_link.ResetLine();
    m_lineStats.reset();
    m_toldNoDrive = false;
    m_trace.restart();
    setPortState(PortState::Open);
}

void demo::Command1_Click()
{
    TogglePort();
}

void demo::openAndPoll()
{
    if (m_portState != PortState::Open)
        TogglePort();
    if (m_portState == PortState::Open && !m_monitoring)
        Command5_Click();
}

void demo::setPortState(PortState state)
{
    m_portState = state;
    const bool open = state == PortState::Open;
    Command1->setText(tr(open ? kCloseCaption : kOpenCaption));
    Shape1->setFillColour(open ? ColourValue::Green : ColourValue::Red);
    if (open)
        enablePortControls();
    else
        enterPortClosedState();
}

void demo::setMonitoring(bool on)
{
    m_monitoring = on;
    Command5->setText(on ? tr("Stop") : tr("Start"));
}

void demo::enablePortControls()
{
    encode->setEnabled(true);
    Timer2->setInterval(checkRhythm(Text26));
    Command5->setEnabled(true);
    Frame4->setEnabled(true);
    Frame5->setEnabled(true);
}

void demo::enterPortClosedState()
{
    data_set->setEnabled(false);
    Timer1->stop();
    Timer2->stop();
    m_link.DrainTimer().stop();
    // Another line may be opened next: no command may follow a drive of this one.
    m_link.ResetLine();
    Command5->setEnabled(false);
    Frame4->setEnabled(false);
    Frame5->setEnabled(false);
    setMonitoring(false);
    selectNone();
    PendingCommand = RunCommand::None;
    // What the watched drive last reported stays on show, marked as old.
    m_monitor.lineGone();
}

void demo::reportOpenError(SerialPort::OpenError error)
{
    const QString name = m_port.portName();
    const QString reason = m_port.errorString();
    QString text;
    switch (error) {
    case SerialPort::OpenError::None:
        return;
    case SerialPort::OpenError::InvalidPort:
        text = tr("Invalid Port Number，Change Other!");
        break;
    case SerialPort::OpenError::PortBusy:
        text = tr("This Port Already Open，Change Other!");
        break;
    case SerialPort::OpenError::DeviceNotOpen:
        text = tr("Equipment Don't Open!");
        break;
    case SerialPort::OpenError::PermissionDenied:
        // A device port has read the device's owner and mode and says what would help.
        text = !reason.isEmpty() ? reason
                                 : tr("You may not use the port %1. Ask the administrator of "
                                      "this computer for access to it.")
                                       .arg(name);
        break;
    case SerialPort::OpenError::BadSettings:
        text = tr("The port %1 does not accept the settings %2: %3")
                   .arg(name, m_port.settings(), reason);
        break;
    case SerialPort::OpenError::Other:
        text = tr("The port %1 could not be opened: %2").arg(name, reason);
        break;
    }
    m_prompter.warn(this, tr(kErrorTitle), text);
}

void demo::onDeviceLost()
{
    // The device is gone and the port already shut; the window follows and says
    // so once. Polls and commands stop here, so nothing piles up behind the box.
    if (m_portState == PortState::Open)
        m_port.close();
    setPortState(PortState::Closed);
    const QString reason = m_port.errorString();
    // A gateway's connection fails for reasons of its own (refused, unknown
    // host, no answer), which the reason names; "unplugged" would mislead.
    const QString headline =
        TcpPort::isTcpName(m_port.portName())
            ? tr("The connection to %1 has ended. The port is closed now; open it again "
                 "once the gateway can be reached.")
            : tr("The port %1 has gone away (device unplugged?). It is closed now; "
                 "open it again once the device is back.");
    // The system's words ("Resource temporarily unavailable") tell a
    // technician nothing: they go to the traffic trace, saved with the rest.
    // A gateway's reason (refused, unknown host) is plain enough to be said.
    if (!reason.isEmpty())
        m_trace.addPortEvent(tr("%1 lost: %2").arg(m_port.portName(), reason));
    const bool sayReason = TcpPort::isTcpName(m_port.portName()) && !reason.isEmpty();
    m_prompter.warn(this, tr(kErrorTitle),
                    headline.arg(m_port.portName()) +
                        (sayReason ? QStringLiteral("\n\n") + reason : QString()));
}

void demo::closePortForSettings()
{
    // New settings close the port; the window goes into its port-closed state
    // with it, so no command resumes by itself when the port opens again.
    m_port.close();
    setPortState(PortState::Closed);
}
