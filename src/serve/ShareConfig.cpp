// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShareConfig.h"

#include <QRegularExpression>

bool LineShareConfig::admits(const QHostAddress& address) const
{
    // An IPv4 client of a dual-stack listener comes as ::ffff:a.b.c.d.
    bool mapped = false;
    const QHostAddress v4(address.toIPv4Address(&mapped));
    const QHostAddress plain = mapped ? v4 : address;
    if (clients.isEmpty())
        return plain.isLoopback();
    for (const auto& [net, bits] : clients)
        if (plain.isInSubnet(net, bits))
            return true;
    return false;
}

namespace ShareConfigText {

QList<QPair<QHostAddress, int>> loopback()
{
    return {{QHostAddress(QStringLiteral("127.0.0.0")), 8}, {QHostAddress::LocalHostIPv6, 128}};
}

bool isShareKey(const QString& key)
{
    return key == u"share" || key.startsWith(QStringLiteral("share-"));
}

namespace {

std::optional<bool> yesNo(const QString& value)
{
    const QString v = value.toLower();
    if (v == u"yes")
        return true;
    if (v == u"no")
        return false;
    return std::nullopt;
}

// "HOST:PORT", an IPv6 host in brackets; the host is an address, not a
// name: where a service listens must not depend on a name server.
QString takeListen(const QString& value, LineShareConfig& share)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:\\[([^\\]]+)\\]|([^:\\[\\]]+)):(\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(value);
    const QString why = QStringLiteral("share takes ADDRESS:PORT, such as 127.0.0.1:1502, "
                                       "0.0.0.0:502 or [::1]:1502");
    if (!m.hasMatch())
        return why;
    const QString hostText = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    const QHostAddress host(hostText);
    const int port = m.captured(3).toInt();
    if (host.isNull() || port < 1 || port > 65535)
        return why;
    share.listen = value;
    share.host = host;
    share.port = quint16(port);
    return {};
}

QString takeClients(const QString& value, LineShareConfig& share)
{
    QList<QPair<QHostAddress, int>> list;
    for (const QString& part : value.split(u',', Qt::SkipEmptyParts)) {
        const QString item = part.trimmed();
        if (item == u"loopback") {
            list += loopback();
            continue;
        }
        QPair<QHostAddress, int> net = QHostAddress::parseSubnet(item);
        if (!item.contains(u'/')) {
            const QHostAddress single(item);
            net = {single, single.protocol() == QAbstractSocket::IPv6Protocol ? 128 : 32};
        }
        if (net.first.isNull())
            return QStringLiteral("share-clients: \"%1\" is no address or subnet (such as "
                                  "192.168.10.20, 192.168.10.0/24 or loopback)")
                .arg(item);
        list << net;
    }
    if (list.isEmpty())
        return QStringLiteral("share-clients takes addresses or subnets separated by commas");
    share.clients = list;
    return {};
}

} // namespace

std::optional<QString> takeKey(const QString& key, const QString& value, LineShareConfig& share)
{
    if (key == u"share")
        return takeListen(value, share);
    if (key == u"share-clients")
        return takeClients(value, share);
    if (key == u"share-writes" || key == u"share-commands") {
        const std::optional<bool> yes = yesNo(value);
        if (!yes)
            return QStringLiteral("%1 takes yes or no").arg(key);
        (key == u"share-writes" ? share.writes : share.commands) = *yes;
        return QString();
    }
    if (key == u"share-include") {
        // vfdctl's --include-address and --include-line, by the same words.
        QSet<quint16> include;
        for (const QString& part : value.split(u',', Qt::SkipEmptyParts)) {
            const QString word = part.trimmed().toLower();
            if (word == u"address")
                include << 0x0800;
            else if (word == u"line")
                include << 0x0801;
            else if (word == u"both")
                include << 0x0800 << 0x0801;
            else if (word != u"none")
                return QStringLiteral("share-include takes address, line, both or none");
        }
        share.include = include;
        return QString();
    }
    if (key == u"share-turns") {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < LowestTurns || n > HighestTurns)
            return QStringLiteral("share-turns takes %1 to %2").arg(LowestTurns).arg(HighestTurns);
        share.turns = n;
        return QString();
    }
    return std::nullopt;
}

} // namespace ShareConfigText
