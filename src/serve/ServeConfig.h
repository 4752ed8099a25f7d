// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordValues.h"
#include "ShareConfig.h"
#include "StandardsConfig.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// What `vfdctl serve` runs: one broker, one or more lines of drives. Read
// from a file a plant engineer writes by hand, or from the command line for
// a single line; the command line wins where both say something.
struct ServeLineConfig
{
    QString name; // the topic level of the line
    QString port; // a device path, COMn, tcp://HOST:PORT or SIM
    QString settings = QStringLiteral("9600,E,8,1");
    QList<quint8> drives;
    QList<RecordValue> values;
    int intervalMs = 1000; // how often the drives are read
    int definedAt = 0;     // line of the file where the line's section began
    // The drives' names, when the line is a site's ([drive LINE ADDRESS] name).
    QMap<quint8, QString> driveNames;
    // Other masters let in over Modbus TCP (LineShare); off by default.
    LineShareConfig share;
};

struct ServeConfig
{
    // The broker.
    QString host = QStringLiteral("127.0.0.1");
    int brokerPort = 1883;
    bool tls = false;
    QString caFile;
    QString clientId; // empty: made from the host name
    QString user;
    QString passwordFile;
    // Topics and publishing.
    QString prefix = QStringLiteral("vfd");
    int publishEveryMs = 60000; // an unchanged value goes out again at least this often
    // The queue of readings while the broker is away.
    QString queueDir; // empty: kept in memory only
    int queueLimit = 100000;
    int retries = 1;
    // Run commands from the broker: off unless the configuration turns them
    // on. A run command not renewed within the rhythm stops its drive.
    bool commands = false;
    int commandRhythmMs = 2000;
    // Parameters the broker may write (PREFIX/LINE/DRIVE/set): none unless listed.
    QList<quint16> writable;
    // The drift watch's share of each line's time, 0 to 0.5 (0: no watch).
    double driftShare = 0.05;
    QList<ServeLineConfig> lines;
    // The site's folder when the service runs from a site: the commands it
    // sends are journaled there. Empty for a plain configuration.
    QString siteRoot;
    // Line of the file where its first [site] or [drive ...] section began; 0: none.
    int siteSectionAt = 0;
    // Sparkplug B and discovery, beside the plain topics.
    SparkplugConfig sparkplug;
    DiscoveryConfig discovery;

    // The client id the broker sees.
    QString effectiveClientId() const;
};

namespace ServeConfigText {

// The broker as "mqtt://HOST[:PORT]" or "mqtts://HOST[:PORT]"; false (and why)
// when it is neither.
bool parseBroker(const QString& url, ServeConfig& config, QString* error);

// A whole configuration file's text. nullopt with "line N: problem" in error
// when any line of it is wrong: nothing starts on a half-understood file.
// The sections of a site's file ([site], [drive LINE ADDRESS]) are passed
// over here: the site's own reader checks them (ServeSite). When it has read
// the text already (siteChecked), a line's keys that are the site's alone
// are passed over too.
std::optional<ServeConfig> parse(const QString& text, QString* error, bool siteChecked = false);

// Every line must have its port, drives and values; names must differ.
bool validate(const ServeConfig& config, QString* error);

} // namespace ServeConfigText
