// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "RunningValues.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <bitset>
#include <functional>
#include <optional>

class LinkClient;

// Watching drives on one line, without a window: the poll sweep over one
// drive or a range of drives, the drive whose values are on show, whether it
// has fallen silent, the run command repeated on its tick, and the last
// values each drive reported. Whoever shows it (the main window, a headless
// service) hands in what the user chose and steps it on its own timers; what
// the watched drive reports comes out by signals.
class DriveMonitor : public QObject
{
    Q_OBJECT
public:
    // Poll rounds of time-outs the watched drive may leave before what it last
    // reported counts as stale: a lost reply or two is no silence.
    static constexpr int SilentRounds = 3;
    static constexpr int SilentTimeouts = SilentRounds * Hexedit::PollItemCount;

    // Which drives are polled: one drive, or First..End in turn.
    struct DriveChoice
    {
        bool single = true;
        quint8 singleAddress = 1;
        quint8 first = 1;
        quint8 end = Rtu::HighestAddress;
    };

    // What one drive last reported, and when; empty until it answered.
    struct DriveValues
    {
        std::array<std::optional<RunningValueReply>, RunningValues::Table.size()> values;
        std::optional<StatusReply> status;
        QDateTime answered;
    };

    DriveMonitor(Hexedit& link, const LinkClient& client, QObject* parent = nullptr);

    // ---- what the user chose
    void setDriveChoice(const DriveChoice& choice) { m_choice = choice; }
    const DriveChoice& driveChoice() const { return m_choice; }
    // The frequencies run commands carry, as texts the link converts.
    void setFrequencies(const QString& forward, const QString& reverse);

    // ---- sweep and command state, under the names the main window gives it
    RunCommand PendingCommand = RunCommand::None;
    quint8 PollItem = 0;
    quint8 PollOffset = 0;
    int FaultRecordSelect = 0;    // 0 or the running value of a fault record
    int LastErrorValueSelect = 0; // 0 or the running value kept at the last fault

    // ---- the ticks
    // One request of the poll schedule. While a job holds the line it stands
    // aside and the schedule resumes at the same item and drive; returns
    // whether a request went out or waits for its turn.
    bool pollTick();
    // The pending run command, again.
    Hexedit::CommandOutcome commandTick();
    // A run command sent now, not waiting for the tick (FWD-S, REV-S); it
    // becomes the pending one.
    Hexedit::CommandOutcome sendAtOnce(RunCommand command);
    // The slower refresh: FWD-S and REV-S go out once more at once; any other
    // pending command waits for its tick. nullopt when nothing was sent.
    std::optional<Hexedit::CommandOutcome> refreshCommand();

    // ---- the watched drive
    // The drive whose answers are shown: the single drive, or the one polled last.
    quint8 watchedDrive() const;
    // The drive whose values are on show, once the poll has turned to one.
    std::optional<quint8> shownDrive() const { return m_shownDrive; }
    bool stale() const { return m_stale; }
    // When the shown drive last answered (or was first polled).
    QDateTime silentSince() const { return m_silentSince; }
    // Its polls that timed out since it last answered.
    int timeouts() const { return m_timeouts; }
    // The line went (port closed, device lost): nothing shown is current.
    void lineGone();

    // ---- values left behind
    // How long one sweep of the poll schedule over the shown drive takes.
    // A value of that drive not refreshed for longer than a sweep and a half
    // (the line held by a tool, the poll stopped, a value the tool's reads
    // leave out) is out of date even though the drive answers. 0: not judged.
    void setSweepMs(qint64 ms) { m_sweepMs = ms; }
    // Looks again at what is out of date (on each poll tick, and whenever the
    // one who shows the values likes); outdatedChanged says what changed.
    void checkFreshness();
    // A running value (by its index) or the status, out of date.
    bool outdated(int index) const;
    bool statusOutdated() const { return m_outdated.test(StatusSlot); }

    // What a drive last reported (address 1..31; empty for any other).
    const DriveValues& lastValues(quint8 address) const;

    // Wall-clock time of answers; tests put their own here.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

signals:
    // The poll left the drive whose values were on show for another: what the
    // last one reported must not pass for the new one's.
    void shownDriveLeft(quint8 newAddress);
    // Replies of the watched drive, to be shown.
    void runningValue(const RunningValueReply& reply);
    void driveStatus(const StatusReply& reply);
    // The shown drive fell silent, or answered again.
    void staleChanged(bool stale);
    // Some values of the shown drive fell out of date, or were refreshed.
    void outdatedChanged();
    // What came of a run command the monitor sent.
    void commandDone(Hexedit::CommandOutcome outcome);

private:
    void turnTo(quint8 address);
    void heardFromWatched();
    DriveValues* keptFor(quint8 address);
    void setStale(bool stale);
    void refreshed(std::size_t slot);
    void onRunningValue(const RunningValueReply& reply);
    void onStatus(const StatusReply& reply);
    void onTimedOut(const QByteArray& request);
    Hexedit::CommandOutcome report(Hexedit::CommandOutcome outcome);

    Hexedit& m_link;
    const LinkClient& m_client;
    DriveChoice m_choice;
    QString m_forwardFrequency = QStringLiteral("50");
    QString m_reverseFrequency = QStringLiteral("50");
    // The drive the poll tick read last. Other requests (a parameter read of
    // another drive, a run command) do not change which drive is watched.
    quint8 m_polledDrive = 0;
    std::optional<quint8> m_shownDrive;
    QDateTime m_silentSince;
    int m_timeouts = 0;
    bool m_stale = false;
    // When each running value (by index) and, last, the status of the shown
    // drive came in; since it was turned to for those not yet heard.
    static constexpr std::size_t StatusSlot = RunningValues::Table.size();
    std::array<QDateTime, StatusSlot + 1> m_refreshedAt;
    std::bitset<StatusSlot + 1> m_outdated;
    qint64 m_sweepMs = 0;
    // By address; slot 0 (broadcast) is never filled.
    std::array<DriveValues, Rtu::HighestAddress + 1> m_lastValues;
};
