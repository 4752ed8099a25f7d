// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

struct PortSettings;
class Prompter;
class SerialPort;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The serial settings window. It shows the kept settings; "OK" applies them to
// the port (closing it first when it is open) and stores them, "Cancel" leaves
// everything as it was. It never opens the port.
class config : public QDialog
{
    Q_OBJECT
public:
    // closeOpenPort is how the main window closes an open port, so that the
    // main window follows into its port-closed state.
    config(PortSettings& kept, SerialPort& port, Prompter& prompter,
           std::function<void()> closeOpenPort, QWidget* parent = nullptr);

    // Why the port cannot take this combination; empty when it can.
    static QString refusedSetting(const QString& portName, const QString& baudRate,
                                  const QString& parityName, const QString& dataBits,
                                  const QString& stopBits);
    // The port list: COM1..COM16, the ports the system reports, "SIM".
    static QStringList portChoices();
    // Which mode a gateway's name reaches it in, as the port list says it;
    // empty for a name that is no gateway.
    static QString gatewayModeText(const QString& portName);

    QGroupBox* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr; // port
    QComboBox* Combo2 = nullptr; // baud rate
    QComboBox* Combo3 = nullptr; // data bits
    QComboBox* Combo4 = nullptr; // parity
    QComboBox* Combo5 = nullptr; // stop bits
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

public slots:
    void ok_Click();
    void cancel_Click();

signals:
    // The kept settings changed (the main window rewrites its status bar).
    void applied();

private:
    void buildControls();
    void showKeptSettings();

    PortSettings& m_kept;
    SerialPort& m_port;
    Prompter& m_prompter;
    std::function<void()> m_closeOpenPort;
};
