// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"
#include "SparkplugPayload.h"

#include <QHash>
#include <QObject>
#include <vector>

class LinkSession;
class QJsonObject;
class ServeLine;
class SparkplugLink;
struct SampleRound;

// The service as a Sparkplug edge node: one device per drive, named by its
// site name made topic-safe or LINE-ADDRESS. Births tell a host every
// metric with its type and unit; data follow on change only, each metric
// with the time it was read; a drive that stops answering dies and is born
// again when it is back. The readings are the plain topics' own (the same
// rounds of the same lines), written another way.
//
// Metrics of a drive: each value of its line ("Output frequency", Float,
// engUnit Hz), "Status/Running", "Status/Reverse", "Status/Fault",
// "Status/Fault number", "Status/Fault code"; with commands enabled the
// writable "Commands/Run" (fwd, rev or stop) and "Commands/Frequency" (Hz),
// which go through the run commands' own checks and journal and must be
// renewed within the rhythm as every run command must; and each parameter
// the service lets the broker write ([commands] writable) as
// "Parameters/P0.14", its type and unit from the catalogue, its value read
// from the drive before the drive's birth, a write going through the
// parameters' own checks and journal and answered with what was read back.
// Of the node: "bdSeq", "Node Control/Rebirth" and each line's
// "Lines/NAME/State".
class SparkplugNode : public QObject
{
    Q_OBJECT
public:
    SparkplugNode(const ServeConfig& config, SparkplugLink& link, QObject* parent = nullptr);

    void addLine(ServeLine& line);
    // The device ids, in the order of the lines and their drives.
    QStringList deviceIds() const;

signals:
    void logLine(const QString& text);

private:
    // The parts of an alias: the line (from 1), the drive's address and the
    // metric, so a queued message keeps its meaning however the run that
    // reads the queue back numbers its lines' metrics.
    static constexpr quint16 StatusCode = 0x100;
    static constexpr quint16 CommandCode = 0x200;
    static constexpr quint16 ParamCode = 0x1000; // plus the parameter's register
    // Who the checks and the journal see behind a host's DCMD.
    static constexpr const char* HostClient = "sparkplug host";
    static constexpr quint64 RebirthAlias = 2;
    static constexpr quint64 LineStateAlias = 0x10;

    struct MetricDef
    {
        QString name;
        Sparkplug::Type type = Sparkplug::Type::Float;
        QString unit;
        bool writable = false;
        quint16 code = 0; // the metric's part of its alias
    };
    struct Device
    {
        QString id;
        int line = 0;
        quint8 address = 0;
        bool alive = false; // born, and not dead since, as the messages say
        QList<Sparkplug::Value> now;
        QList<quint64> at;
        std::optional<double> hz; // the frequency a run command asks for
        // The writable parameters: read since the drive last came, or being read.
        bool paramsKnown = false;
        bool paramsReading = false;
        quint32 lost = 0;      // times the drive went: a read begun before is stale
        QHash<int, int> asked; // a host's writes under way, by metric
    };
    struct Line
    {
        ServeLine* serve = nullptr;
        QString name;
        QString state;
        QList<MetricDef> metrics;
        int values = 0;                 // metrics[0..values) are the line's values
        int params = 0;                 // metrics[params..) are the writable parameters
        LinkSession* session = nullptr; // their reads, when there are any
    };

    void sampled(int line, int drive, const SampleRound& round);
    void lineStatus(int line, const QString& state);
    void births();
    QByteArray nodeBirth() const;
    QByteArray deviceBirth(const Device& device) const;
    void publishData(Device& device, const QList<int>& changed);
    void message(const QString& topic, const QByteArray& payload, bool retained);
    void nodeCommand(const Sparkplug::Payload& payload);
    void deviceCommand(Device& device, const Sparkplug::Payload& payload);
    void runCommand(Device& device, const QString& word, const Sparkplug::Payload& payload);
    // The writable parameters as metrics of the line's drives.
    void addParams(Line& line, int index);
    void readParams(int device);
    void paramWritten(int line, quint8 address, quint16 reg, quint16 raw);
    struct ParamWrite
    {
        QString parameter; // "P0.14" as the host named it
        Sparkplug::Metric metric;
    };
    // The parameters of one DCMD: one request, all taken or none.
    void paramCommand(Device& device, const QList<ParamWrite>& writes);
    void paramAnswered(int device, const QList<int>& metrics, const QJsonObject& answer);
    // A drive that went: what it held is read again when it is back.
    void driveLost(Device& device);
    int deviceOf(int line, quint8 address) const;
    // The drive's run command now, as Commands/Run says it.
    QString commandWord(const Device& device) const;
    int metricIndex(const Device& device, const Sparkplug::Metric& metric) const;
    quint64 alias(const Device& device, int metric) const;
    int find(const QString& id) const;

    const ServeConfig& m_config;
    SparkplugLink& m_link;
    std::vector<Line> m_lines;
    std::vector<Device> m_devices;
};
