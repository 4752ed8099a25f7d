// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The plant's standards the service speaks beside its plain topics, each off
// unless its section turns it on:
//
//   [sparkplug]
//   enabled = yes
//   group = plant1          the group id of the topics spBv1.0/GROUP/...
//   node = vfd-hall-a       the edge node id (default: the client id)
//   primary-host = scada    a host's STATE topic: no births or data while it is offline
//
//   [discovery]
//   enabled = yes
//   prefix = hub            the prefix the home or building automation reads
//   run-hz = 25             with commands enabled: a run switch at this frequency
struct SparkplugConfig
{
    bool enabled = false;
    QString group;
    QString node; // empty: the client id
    QString primaryHost;
};

struct DiscoveryConfig
{
    bool enabled = false;
    QString prefix;
    // The frequency the run switch asks for; nullopt: no run switch, the
    // stop button only (nothing runs at a frequency nobody chose).
    std::optional<double> runHz;
};

namespace StandardsConfig {

// Whether a section heading is one of these.
bool isSection(const QString& heading);

// One key of [sparkplug] or [discovery], checked and stored; an empty
// return is success, anything else the problem.
QString take(SparkplugConfig& sparkplug, DiscoveryConfig& discovery, const QString& section,
             const QString& key, const QString& value);

// What an enabled section still lacks; empty when nothing.
QString missing(const SparkplugConfig& sparkplug, const DiscoveryConfig& discovery);

// A drive's name as one topic level or Sparkplug id: what is not a letter,
// digit, '_' or '-' becomes '_'.
QString topicSafe(const QString& name);

} // namespace StandardsConfig
