// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QSet>

class BrokerLink;
class LinkSession;
class ServeLine;
struct SampleRound;

// Retained configuration messages on the discovery prefix, so home and
// building automation finds the drives by itself:
//   PREFIX/sensor/NODE/OBJECT/config         one per value a line publishes
//   PREFIX/binary_sensor/NODE/OBJECT/config  running and fault, from the state
//   PREFIX/button/NODE/OBJECT/config         stop (commands enabled)
//   PREFIX/switch/NODE/OBJECT/config         run at run-hz (commands enabled, run-hz given)
// Each names the plain topic it reads (the value, the drive's state) and the
// drive's availability topic, and the drive as its device (its name, model
// "drive", its software edition once read).
//
// What was announced is kept, retained, on the service's topic
// (PREFIX/service/CLIENT-ID/discovery): a drive or value no longer
// configured is found there at the next start and emptied (an empty
// retained message removes it).
class Discovery : public QObject
{
    Q_OBJECT
public:
    Discovery(const ServeConfig& config, BrokerLink& broker, QObject* parent = nullptr);

    void addLine(ServeLine& line);
    // Every configuration message, then the list of their topics.
    void announce();
    QString listTopic() const;
    // The configuration message of each topic, as it goes out now.
    QMap<QString, QJsonObject> messages() const;

signals:
    void logLine(const QString& text);

private:
    struct Drive
    {
        ServeLine* line = nullptr;
        quint8 address = 0;
        QString edition; // empty: not read yet
        bool asked = false;
    };

    void sampled(int first, int drive, const SampleRound& round);
    void message(const QString& topic, const QByteArray& payload, bool retained);
    void announceDrive(const Drive& drive, QMap<QString, QJsonObject>& into) const;
    QString nodeId() const;

    const ServeConfig& m_config;
    BrokerLink& m_broker;
    QList<Drive> m_drives;
    QList<LinkSession*> m_sessions;
    QSet<QString> m_announced;
};
