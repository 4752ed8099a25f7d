// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveMonitor.h"

#include "LinkClient.h"

DriveMonitor::DriveMonitor(Hexedit& link, const LinkClient& client, QObject* parent)
    : QObject(parent), m_link(link), m_client(client)
{
    connect(&m_link, &Hexedit::runningValueReceived, this, &DriveMonitor::onRunningValue);
    connect(&m_link, &Hexedit::statusReceived, this, &DriveMonitor::onStatus);
    // Any answer the drive gives (a parameter, a refusal, a command's echo)
    // shows it is there, not only the replies the poll asks for.
    connect(&m_link, &Hexedit::answerReceived, this,
            [this](const QByteArray&, const QByteArray& answer) {
                if (!answer.isEmpty() && quint8(answer[0]) == watchedDrive())
                    heardFromWatched();
            });
    connect(&m_link, &Hexedit::answerTimedOut, this,
            [this](const QByteArray& request, int) { onTimedOut(request); });
}

void DriveMonitor::setFrequencies(const QString& forward, const QString& reverse)
{
    m_forwardFrequency = forward;
    m_reverseFrequency = reverse;
}

bool DriveMonitor::pollTick()
{
    // A tool's job has the line: this tick stands aside, and the schedule
    // picks up at the same item and drive once the job is done.
    checkFreshness();
    if (m_client.lineHeld())
        return false;
    const int first = m_choice.first;
    const int end = m_choice.end;
    quint8 address = 0;
    if (m_choice.single) {
        address = m_choice.singleAddress;
    } else {
        // The range may have been narrowed in mid-sweep; start again at "First"
        // rather than read an address beyond "End".
        if (PollOffset > 0 && first + PollOffset > end)
            PollOffset = 0;
        address = quint8(first + PollOffset);
    }
    m_polledDrive = address;
    turnTo(address);
    const bool sent =
        m_link.SendPollRequest(address, PollItem, FaultRecordSelect, LastErrorValueSelect);
    if (++PollItem >= Hexedit::PollItemCount) {
        PollItem = 0;
        if (first + PollOffset < end)
            ++PollOffset;
        else
            PollOffset = 0;
    }
    return sent;
}

Hexedit::CommandOutcome DriveMonitor::commandTick()
{
    return report(m_link.SendPendingCommand(PendingCommand, m_choice.single, m_choice.singleAddress,
                                            m_forwardFrequency, m_reverseFrequency));
}

Hexedit::CommandOutcome DriveMonitor::sendAtOnce(RunCommand command)
{
    const std::optional<quint8> address = m_choice.single
                                              ? std::optional<quint8>(m_choice.singleAddress)
                                              : m_link.LastRequestAddress();
    PendingCommand = command;
    const QString& value =
        command == RunCommand::SingleForward ? m_forwardFrequency : m_reverseFrequency;
    if (!address || *address == Rtu::BroadcastAddress)
        return report(Hexedit::CommandOutcome::NoDrive);
    return report(m_link.SendControlWrite(*address, command, value)
                      ? Hexedit::CommandOutcome::Sent
                      : Hexedit::CommandOutcome::NotSent);
}

std::optional<Hexedit::CommandOutcome> DriveMonitor::refreshCommand()
{
    if (PendingCommand != RunCommand::SingleForward && PendingCommand != RunCommand::SingleReverse)
        return std::nullopt;
    return sendAtOnce(PendingCommand);
}

Hexedit::CommandOutcome DriveMonitor::report(Hexedit::CommandOutcome outcome)
{
    emit commandDone(outcome);
    return outcome;
}

quint8 DriveMonitor::watchedDrive() const
{
    return m_choice.single ? m_choice.singleAddress : m_polledDrive;
}

void DriveMonitor::turnTo(quint8 address)
{
    if (m_shownDrive == address)
        return;
    const bool left = m_shownDrive.has_value();
    m_shownDrive = address;
    m_timeouts = 0;
    m_silentSince = now();
    m_refreshedAt.fill(m_silentSince);
    const bool wasOutdated = m_outdated.any();
    m_outdated.reset();
    if (left)
        emit shownDriveLeft(address);
    if (m_stale)
        setStale(false);
    if (wasOutdated)
        emit outdatedChanged();
}

void DriveMonitor::refreshed(std::size_t slot)
{
    m_refreshedAt[slot] = now();
    if (m_outdated.test(slot)) {
        m_outdated.reset(slot);
        emit outdatedChanged();
    }
}

void DriveMonitor::checkFreshness()
{
    if (m_sweepMs <= 0 || !m_shownDrive)
        return;
    const QDateTime limit = now().addMSecs(-(m_sweepMs * 3 / 2));
    std::bitset<StatusSlot + 1> outdated;
    for (std::size_t slot = 0; slot < m_refreshedAt.size(); ++slot)
        outdated[slot] = m_refreshedAt[slot] < limit;
    if (outdated == m_outdated)
        return;
    m_outdated = outdated;
    emit outdatedChanged();
}

bool DriveMonitor::outdated(int index) const
{
    return index >= 0 && std::size_t(index) < StatusSlot && m_outdated.test(std::size_t(index));
}

void DriveMonitor::heardFromWatched()
{
    m_timeouts = 0;
    m_silentSince = now();
    if (m_stale)
        setStale(false);
}

void DriveMonitor::setStale(bool stale)
{
    m_stale = stale;
    emit staleChanged(stale);
}

void DriveMonitor::lineGone()
{
    // What the shown drive last reported stays, marked as old.
    if (m_shownDrive)
        setStale(true);
}

void DriveMonitor::onTimedOut(const QByteArray& request)
{
    // "No answer" is the link's time-out, nothing else: a poll queued behind
    // a slow answer, or replaced before it went out, is no silence of the drive.
    // Any read of the running values or the status is a poll of that drive,
    // whoever asked: the drive left the same question unanswered.
    if (!m_shownDrive || Hexedit::KindOf(request) != Hexedit::FrameKind::Monitor ||
        quint8(request[0]) != *m_shownDrive)
        return;
    ++m_timeouts;
    if (m_timeouts >= SilentTimeouts && !m_stale)
        setStale(true);
}

void DriveMonitor::onRunningValue(const RunningValueReply& reply)
{
    if (DriveValues* kept = keptFor(reply.address)) {
        if (reply.index < RunningValues::Table.size())
            kept->values[reply.index] = reply;
        kept->answered = now();
    }
    // One drive's values at a time: a stray or late answer from another drive
    // would otherwise sit among them once the next answer moves the address back.
    if (reply.address != watchedDrive())
        return;
    heardFromWatched();
    if (m_shownDrive == reply.address && reply.index < StatusSlot)
        refreshed(reply.index);
    emit runningValue(reply);
}

void DriveMonitor::onStatus(const StatusReply& reply)
{
    if (DriveValues* kept = keptFor(reply.address)) {
        kept->status = reply;
        kept->answered = now();
    }
    if (reply.address != watchedDrive())
        return;
    heardFromWatched();
    if (m_shownDrive == reply.address)
        refreshed(StatusSlot);
    emit driveStatus(reply);
}

DriveMonitor::DriveValues* DriveMonitor::keptFor(quint8 address)
{
    // Slot 0 stays empty: no drive answers from the broadcast address.
    if (address == Rtu::BroadcastAddress || address >= m_lastValues.size())
        return nullptr;
    return &m_lastValues[address];
}

const DriveMonitor::DriveValues& DriveMonitor::lastValues(quint8 address) const
{
    return address < m_lastValues.size() ? m_lastValues[address]
                                         : m_lastValues[Rtu::BroadcastAddress];
}
