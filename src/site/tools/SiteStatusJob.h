// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SiteStatus.h"

#include "LinkClient.h"

#include <QObject>
#include <QTimer>

// Reads what the drives of a site's table say of themselves (status: run,
// direction, fault; software edition; readiness, P0.04 and P0.01) through a
// session of its own, one request at a time at a gentle pace. It never holds
// the line and yields to everything else: while another session has requests
// waiting, a job holds the line, or frames wait in the link's queue (a poll,
// a run command), it asks nothing. A drive that does not answer its status is
// asked nothing more.
class SiteStatusJob : public QObject
{
    Q_OBJECT
public:
    // Default pause between two requests of the job.
    static constexpr int DefaultPauseMs = 150;

    explicit SiteStatusJob(LinkClient& client, QObject* parent = nullptr);
    ~SiteStatusJob() override;

    // Pause between two requests (0: as fast as the line yields, for vfdctl
    // which has the line to itself).
    void setPauseMs(int ms) { m_pauseMs = std::max(0, ms); }

    // Asks each row's drive in turn; rows() then holds them, each filled in as
    // its drive has been asked (asked = true). Rows of other lines are the
    // caller's to leave out: every row is asked on this client's line.
    void start(const QList<SiteDriveStatus>& rows);
    // Ends the job once the request on the line (if any) has ended; the row
    // under way is left as it was (asked false), finished() follows.
    void cancel();
    bool running() const { return m_running; }
    bool cancelled() const { return m_cancelled; }

    const QList<SiteDriveStatus>& rows() const { return m_rows; }

signals:
    // The row's drive has been asked (index into rows()).
    void rowUpdated(int index, const SiteDriveStatus& row);
    void finished();

private:
    enum class Step
    {
        Status,
        Edition,
        RunSource,
        FrequencySource
    };

    void next();
    void ask();
    bool lineBusy() const;
    void onAnswer(const LinkResult& result);
    void endRow();
    void end();

    LinkClient& m_client;
    Hexedit& m_link;
    LinkSession* m_session;
    QList<SiteDriveStatus> m_rows;
    SiteDriveStatus m_current;
    int m_at = 0;
    Step m_step = Step::Status;
    int m_pauseMs = DefaultPauseMs;
    QTimer m_wait;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_onLine = false; // a request of ours is out
    int m_generation = 0;  // a new start ignores answers of the one before
};
