// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <optional>

// What a line of the service offers other masters over Modbus TCP (the
// "share" keys of its section). Off unless `share` names where to listen.
struct LineShareConfig
{
    // Where the line listens: "127.0.0.1:1502", "0.0.0.0:502", "[::1]:1502".
    QString listen;
    QHostAddress host;
    quint16 port = 0;
    // Who may connect: single addresses and subnets; empty: loopback only.
    // Reaching the drives is not granted by default to everyone on the
    // plant's network.
    QList<QPair<QHostAddress, int>> clients;
    bool writes = false;   // parameter writes (function 6)
    bool commands = false; // run commands (function 16 at 0x2000); a STOP always goes
    // P8.00 (0x0800) and P8.01 (0x0801): written only when named here.
    QSet<quint16> include;
    // Between two of the service's own requests the clients together get at
    // most this many while the service has something to read.
    int turns = 8;

    bool enabled() const { return port != 0; }
    // Whether a client at that address may connect.
    bool admits(const QHostAddress& address) const;
};

namespace ShareConfigText {

constexpr int LowestTurns = 1;
constexpr int HighestTurns = 100;

// One share key of a line section: nullopt when the key is none of them;
// else empty when taken, or the problem.
std::optional<QString> takeKey(const QString& key, const QString& value, LineShareConfig& share);

// Whether the key is one of the share keys (a site's reader leaves them to the service).
bool isShareKey(const QString& key);

// The loopback addresses, the default of share-clients.
QList<QPair<QHostAddress, int>> loopback();

} // namespace ShareConfigText
