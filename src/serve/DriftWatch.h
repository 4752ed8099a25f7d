// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <optional>

class BlockReader;
class BrokerLink;
class LinkClient;
class LinkSession;
class ServeJournal;

// Watches, in the line's spare time, that each drive still holds the
// parameters it was commissioned with: the drives' parameters are read again
// in turn, a group at a time (in blocks where the drive takes them), and
// compared with the drive's commissioned set (DriftReference, when the
// service runs from a site; else what the first whole read of the drive found).
//
// Its share of the line is bounded: after each group it waits so long that
// its exchanges (counted from the moment they are asked until answered, so a
// wait behind the readings counts as its own) take at most the configured
// share of the line's time. At 5 % a full pass over a long line takes many
// minutes; a parameter changed at the keypad is found within one pass.
//
// A parameter found otherwise is said once, on PREFIX/LINE/DRIVE/drift
//   {"parameter": "P0.14", "name": ..., "unit": "s", "commissioned": "10.0",
//    "now": "12.5", "first_seen": TIME, "cleared": false, "time": TIME}
// again when it changes once more, and with "cleared": true when it is back
// at its commissioned value. The drive's drifts as they stand are retained on
// PREFIX/LINE/DRIVE/drift/state {"drifted": [...], "against": ..., "time"}.
// Each drift found and cleared goes into the site's journal.
class DriftWatch : public QObject
{
    Q_OBJECT
public:
    DriftWatch(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
               BrokerLink& broker, QObject* parent = nullptr);
    ~DriftWatch() override;

    void setJournal(ServeJournal* journal) { m_journal = journal; }
    // The line is being read: the watch goes on where it was.
    void start();
    // The port closed or the service stops: nothing more is asked.
    void stop();
    // A parameter written on purpose is commissioned with its new value.
    void written(quint8 address, quint16 reg, quint16 raw);
    // Writes to the drive under way: its values are not compared meanwhile.
    void writing(quint8 address, bool busy);

    // The time of a full pass, worked out for a line: the exchanges one drive
    // needs (in blocks or singly) at the line's settings and the drive's
    // response delay, over the drives, at the share. Seconds.
    // The parameters the watch reads of a drive with no commissioned set
    // to go by: every one that holds a value but P8.00 and P8.01.
    static QList<quint16> watchedRegisters();
    static double passSeconds(int drives, const QString& settings, double share, bool blocks,
                              double responseDelayMs);

signals:
    void logLine(const QString& text);

private:
    struct Drift
    {
        quint16 commissioned = 0;
        quint16 now = 0;
        QDateTime firstSeen;
    };
    struct Drive
    {
        QMap<quint16, quint16> commissioned; // empty: not known yet
        QString against;
        QMap<quint16, Drift> drifts;
        bool statePublished = false;
    };

    void beginDrive();
    void nextGroup();
    bool take(quint16 reg, quint16 raw);
    void groupDone();
    void publishEvent(quint8 address, quint16 reg, const Drift& d, bool cleared, quint16 value);
    void publishState(quint8 address);
    void journal(quint8 address, quint16 reg, quint16 commissioned, quint16 now, bool cleared);
    QString driveTopic(quint8 address) const;

    const ServeLineConfig& m_line;
    const ServeConfig& m_config;
    BrokerLink& m_broker;
    ServeJournal* m_journal = nullptr;
    LinkSession* m_session;
    BlockReader* m_reader = nullptr;
    QMap<quint8, Drive> m_drives;
    QSet<quint8> m_writing;
    bool m_writtenThisGroup = false; // a value read in this group may be from before a write
    int m_driveAt = 0;               // index into the line's drives
    QList<QList<quint16>> m_groups;  // this drive's registers, a group each
    int m_groupAt = 0;
    QMap<quint16, quint16> m_found; // this pass of the drive
    int m_silent = 0;               // registers unanswered in a row
    bool m_running = false;
    quint64 m_generation = 0;
    QElapsedTimer m_asked; // since the group was asked
    QElapsedTimer m_pass;  // since the pass over the line began
    qint64 m_lineMs = 0;   // the line's time this pass took
    QTimer m_wait;
};
