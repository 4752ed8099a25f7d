// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "ServeConfig.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <optional>

class QJsonObject;

class BrokerLink;
class ServeJournal;

// Run commands from the broker for the drives of one line, when the
// configuration allows them:
//   PREFIX/LINE/DRIVE/set/run  {"command": "fwd"|"rev"|"stop", "hz": 30, "client": "scada-1"}
//   PREFIX/LINE/set/stop       {"client": "scada-1"}
// Each is logged with the client it names, and what became of a new command
// (accepted, or refused and why) is published on PREFIX/LINE/DRIVE/command. A drive that is not one
// of the line's is refused, and so is a retained command, which the broker
// would hand out again at every reconnection, and one whose "time" lies
// further back than the rhythm (a broker speaking only MQTT 3.1.1 does not
// say a message was retained once we are subscribed). A frequency above the
// drive's upper limit (P0.06, read when the drive is first seen and again
// from time to time) is refused too. A run command goes out again
// on every tick, as the main window repeats its own; one not renewed within
// the rhythm becomes a stop, so a broker or a client that goes away never
// leaves a motor running.
//
// The commands go out as frames of their own (the link's tickets), not
// through the main window's request state, where a command still waiting is
// replaced by a newer one: right for the one drive a window drives, wrong for
// several drives commanded at once.
class ServeCommands : public QObject
{
    Q_OBJECT
public:
    // Stops sent for a drive before its command is done with.
    static constexpr int StopRepeats = 3;

    ServeCommands(const ServeLineConfig& line, const ServeConfig& config, Hexedit& link,
                  BrokerLink& broker, QObject* parent = nullptr);

    // The topics to subscribe to.
    QStringList filters() const;
    // A message on one of them.
    void take(const QString& topic, const QByteArray& payload, bool retained);
    // The run command a drive is given now (None when none).
    RunCommand commandOf(quint8 address) const;

    // One tick: commands not renewed in time become stops; each goes out.
    void tick();
    // The service stops: every drive running on a command is told to stop,
    // and nothing else goes out afterwards. Whether any was.
    bool stopAll();
    // Whether every stop of stopAll has been answered (or given up on after
    // its repeats went unanswered).
    bool stopsDone() const { return m_finalStops.isEmpty(); }

    // The drive's upper limit, P0.06 in 0.01 Hz; nullopt when it could not be read.
    void setUpperLimit(quint8 address, std::optional<quint16> raw);

    // Run from a site: what is sent and refused goes into its journal too.
    void setJournal(ServeJournal* journal) { m_journal = journal; }

signals:
    void logLine(const QString& text);
    // A run command waits for the drive's upper limit, not read yet.
    void limitWanted(quint8 address);

private:
    struct Drive
    {
        RunCommand command = RunCommand::None;
        quint16 setpoint = 0; // 0.01 Hz
        QElapsedTimer fresh;  // since the run command was last given
        int stopsLeft = 0;
        quint64 waiting = 0;          // the drive's control frame last handed to the line
        QByteArray frame;             // and what it says
        std::optional<quint16> upper; // P0.06, 0.01 Hz
        QByteArray pending;           // a run command waiting for upper
    };

    void runCommand(quint8 address, const QByteArray& payload);
    // Why a run command may not be obeyed now; empty when it may.
    QString stale(const QJsonObject& command) const;
    void finalStopAnswered(const QByteArray& request, bool answered);
    void lineStop(const QByteArray& payload);
    void answer(quint8 address, const QString& client, const QString& what, const QString& result);
    void journalRefusal(quint8 address, const QJsonObject& command, const QString& why);
    void journalStop(quint8 address, const QString& why, const QString& result = QString());
    void send(quint8 address, Drive& drive);

    const ServeLineConfig& m_line;
    const ServeConfig& m_config;
    Hexedit& m_link;
    BrokerLink& m_broker;
    ServeJournal* m_journal = nullptr;
    QMap<quint8, QString> m_lastRefusal; // journaled last for the drive, until one is obeyed
    QString m_base;                      // PREFIX/LINE/
    QMap<quint8, Drive> m_drives;
    // The stops of stopAll not yet answered, and how often each went.
    QMap<quint8, int> m_finalStops;
    QTimer m_tick;
};
