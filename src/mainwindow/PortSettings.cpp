// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortSettings.h"

#include "TcpPort.h"

QString PortSettings::parityLetter(const QString& parityName)
{
    if (parityName == u"Odd")
        return QStringLiteral("O");
    if (parityName == u"Even")
        return QStringLiteral("E");
    if (parityName == u"None")
        return QStringLiteral("N");
    if (parityName == u"Space")
        return QStringLiteral("S");
    return {};
}

QString PortSettings::settingsText() const
{
    return BaudRate + u',' + parityLetter(ParityName) + u',' + DataBits + u',' + StopBits;
}

QString PortSettings::panelText() const
{
    return PortName + u',' + BaudRate + u',' + ParityName + u',' + DataBits + u',' + StopBits;
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
