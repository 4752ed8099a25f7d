// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Sampler.h"
#include "ServeConfig.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <memory>

class BrokerLink;
class DriftWatch;
class FaultEvents;
class Hexedit;
class LineShare;
class LinkClient;
class LinkSession;
class Sampler;
class SelectablePort;
class ServeCommands;
class ServeJournal;
class ServeParams;
struct SampleRound;

// One line of drives behind one port: its own port, link and link client,
// read round by round, each round turned into the messages of
// its drives; with commands allowed, the run commands the broker brings. A line whose port cannot
// be opened, or goes (a device unplugged, a gateway gone), says so, marks its drives offline and
// opens the port again every few seconds; the other lines never notice.
class ServeLine : public QObject
{
    Q_OBJECT
public:
    static constexpr int ReopenMs = 3000;

    ServeLine(const ServeLineConfig& line, const ServeConfig& config, BrokerLink& broker,
              QObject* parent = nullptr);
    ~ServeLine() override;

    // Opens the line's share when it has one; false (and why) when its
    // address cannot be taken.
    bool openShare(QString* error);
    void start();
    // Run from a site: the commands sent to its drives are journaled there.
    void setJournal(ServeJournal* journal);
    // Tells the drives running on a broker's command to stop; whether any was.
    bool stopDrives();
    // Whether those stops have been answered (or given up on).
    bool drivesStopped() const;
    void stop();
    const ServeLineConfig& config() const { return m_line; }
    bool reading() const;
    // For the other ways of writing the readings: the run commands (null
    // when not allowed) and the line's link client.
    ServeCommands* commands() const { return m_commands.get(); }
    LinkClient& linkClient() const { return *m_client; }
    // The parameters' reads and writes, with their checks and journal.
    ServeParams& params() const { return *m_params; }

    // The number as it is published: the reply's own digits, no float noise.
    static QByteArray valueText(double value);

signals:
    void logLine(const QString& text);
    // A drive of the line (its index in config().drives) was read.
    void driveSampled(int drive, const SampleRound& round);
    // The line's port: "reading" or "closed".
    void statusChanged(const QString& state);

private:
    struct Published
    {
        QByteArray text;
        QDateTime at;
    };
    struct DriveOut
    {
        QByteArray availability;
        QHash<QString, Published> values;
        Published state;
        qint64 sequence = 0;
    };

    void openPort();
    void portGone(const QString& why);
    void publishDrive(int drive, const SampleRound& round);
    void setAvailability(int drive, bool online);
    void setLineStatus(const QString& state, const QString& why);
    // A site's names of the drives, retained beside their values.
    void publishNames();
    // Reads the drive's upper limit for the commands (P0.06).
    void readLimit(quint8 address);
    QString driveTopic(quint8 address) const;
    bool due(const Published& last, const QByteArray& text, const QDateTime& now) const;

    ServeLineConfig m_line;
    const ServeConfig& m_config;
    BrokerLink& m_broker;
    std::unique_ptr<SelectablePort> m_port;
    std::unique_ptr<Hexedit> m_link;
    std::unique_ptr<LinkClient> m_client;
    std::unique_ptr<Sampler> m_sampler;
    std::unique_ptr<ServeCommands> m_commands; // only when commands are allowed
    std::unique_ptr<ServeParams> m_params;     // answers refusals when they are not
    std::unique_ptr<DriftWatch> m_drift;
    std::unique_ptr<FaultEvents> m_faults;
    std::unique_ptr<LineShare> m_share; // only when the line is shared
    LinkSession* m_limits = nullptr;    // the reads of P0.06, for the commands
    QSet<quint8> m_limitAsked;
    QTimer m_limitRefresh;
    QList<DriveOut> m_out;
    QTimer m_reopen;
    QTimer m_readyGuard;
    QString m_lastProblem;
    bool m_running = false;
};
