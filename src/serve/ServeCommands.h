// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "ServeConfig.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QTimer>

class BrokerLink;

// Run commands from the broker for the drives of one line, when the
// configuration allows them:
//   PREFIX/LINE/DRIVE/set/run  {"command": "fwd"|"rev"|"stop", "hz": 30, "client": "scada-1"}
//   PREFIX/LINE/set/stop       {"client": "scada-1"}
// Each is logged with the client it names, and what became of a new command
// (accepted, or refused and why) is published on PREFIX/LINE/DRIVE/command. A drive that is not one
// of the line's is refused, and so is a retained command, which the broker
// would hand out again at every reconnection. A run command goes out again
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
    // and nothing goes out afterwards. Whether any was.
    bool stopAll();

signals:
    void logLine(const QString& text);

private:
    struct Drive
    {
        RunCommand command = RunCommand::None;
        quint16 setpoint = 0; // 0.01 Hz
        QElapsedTimer fresh;  // since the run command was last given
        int stopsLeft = 0;
        quint64 waiting = 0; // the drive's control frame last handed to the line
        QByteArray frame;    // and what it says
    };

    void runCommand(quint8 address, const QByteArray& payload);
    void lineStop(const QByteArray& payload);
    void answer(quint8 address, const QString& client, const QString& what, const QString& result);
    void send(quint8 address, Drive& drive);

    const ServeLineConfig& m_line;
    const ServeConfig& m_config;
    Hexedit& m_link;
    BrokerLink& m_broker;
    QString m_base; // PREFIX/LINE/
    QMap<quint8, Drive> m_drives;
    QTimer m_tick;
};
