// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The five serial settings as the user picked them in the settings window. They
// are kept as the texts shown there, for the whole run, and change only when
// the user presses "OK" in that window.
struct PortSettings
{
    QString PortName = QStringLiteral("COM1");
    QString BaudRate = QStringLiteral("9600");
    QString ParityName = QStringLiteral("Even");
    QString DataBits = QStringLiteral("8");
    QString StopBits = QStringLiteral("1");
    // Gateways (tcp://HOST:PORT) used before, newest first, offered in the port list.
    QStringList RecentPorts;

    // The parities the settings window offers, in its order: Odd, Even, None, Space.
    static const QStringList& parityNames();
    // "O", "E", "N" or "S" for the four parity names; empty for anything else.
    static QString parityLetter(const QString& parityName);
    // The text the port is configured with, e.g. "9600,E,8,1".
    QString settingsText() const;
    // Puts the port name among RecentPorts when it names a gateway.
    void noteUsedPort();
    // The status-bar text, e.g. "COM1,9600,Even,8,1".
    QString panelText() const;
};
