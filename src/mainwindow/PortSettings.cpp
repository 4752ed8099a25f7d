// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortSettings.h"

#include "SerialPort.h"
#include "TcpPort.h"

#include <QCoreApplication>

const QStringList& PortSettings::parityNames()
{
    // Mark parity the port could set, but the window has never offered it.
    using P = SerialSettings::Parity;
    static const QStringList names = {
        SerialSettings::parityName(P::Odd), SerialSettings::parityName(P::Even),
        SerialSettings::parityName(P::None), SerialSettings::parityName(P::Space)};
    return names;
}

QString PortSettings::parityLetter(const QString& parityName)
{
    const std::optional<SerialSettings::Parity> parity = SerialSettings::parityFromName(parityName);
    if (!parity || !parityNames().contains(parityName))
        return {};
    return SerialSettings::parityLetter(*parity);
}

QString PortSettings::settingsText() const
{
    return BaudRate + u',' + parityLetter(ParityName) + u',' + DataBits + u',' + StopBits;
}

QString PortSettings::panelText() const
{
    // The parity as the settings window names it, in the language on show.
    const QString parity = QCoreApplication::translate("config", ParityName.toUtf8().constData());
    return PortName + u',' + BaudRate + u',' + parity + u',' + DataBits + u',' + StopBits;
}

void PortSettings::noteUsedPort()
{
    // Typed once, a gateway's address is offered from then on; a short list.
    constexpr int kKept = 8;
    if (!TcpPort::isTcpName(PortName))
        return;
    RecentPorts.removeAll(PortName);
    RecentPorts.prepend(PortName);
    while (RecentPorts.size() > kKept)
        RecentPorts.removeLast();
}
