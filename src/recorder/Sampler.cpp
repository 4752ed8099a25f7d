// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sampler.h"

#include "RtuProtocol.h"
#include "Tab.h"

#include <QPointer>
#include <cmath>
#include <limits>

namespace {

QString faultName(int number)
{
    return QString::fromStdString(Tab::FaultDescription(number));
}

} // namespace

Sampler::Sampler(LinkClient& client, QObject* parent)
    : QObject(parent), m_client(client), m_session(client.openSession(this))
{
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, &Sampler::beginRound);
}

Sampler::~Sampler()
{
    stop();
}

void Sampler::setup(const QList<quint8>& drives, const QList<RecordValue>& values, int intervalMs)
{
    m_drives = drives;
    m_values = values;
    m_intervalMs = intervalMs <= 0 ? 0 : std::clamp(intervalMs, MinIntervalMs, MaxIntervalMs);
}

void Sampler::start()
{
    if (m_running || m_drives.isEmpty())
        return;
    m_running = true;
    ++m_generation;
    m_rounds = 0;
    m_last = QList<DriveState>(m_drives.size());
    m_statusSeen = QList<bool>(m_drives.size(), false);
    m_heard = QList<bool>(m_drives.size(), false);
    // The main window's own poll stands aside while a recording reads.
    m_session->holdLine(true);
    beginRound();
}

void Sampler::stop()
{
    if (!m_running)
        return;
    m_running = false;
    ++m_generation;
    m_next.stop();
    m_session->cancel();
    m_session->holdLine(false);
}

void Sampler::beginRound()
{
    if (!m_running)
        return;
    m_roundStarted = now();
    m_round = SampleRound{};
    m_round.time = m_roundStarted;
    m_round.values =
        QList<double>(m_drives.size() * m_values.size(), std::numeric_limits<double>::quiet_NaN());
    m_round.states = QList<DriveState>(m_drives.size());
    m_step = 0;
    m_askedThisRound = false;
    readNext();
}

void Sampler::readNext()
{
    const int perDrive = 1 + int(m_values.size());
    const int drive = m_step / perDrive;
    const int item = m_step % perDrive;
    const quint16 reg = item == 0 ? Rtu::StatusRegister : m_values[item - 1].reg();
    // The answer may come after this sampler has been restarted.
    const quint64 generation = m_generation;
    m_session->submit(LinkRequest::read(m_drives[drive], reg),
                      [this, generation](const LinkResult& r) {
                          if (generation == m_generation && m_running)
                              take(r);
                      });
}

void Sampler::take(const LinkResult& result)
{
    // Without a port every request ends at once: going round would only spin.
    if (result.outcome == LinkResult::Outcome::NotSent && !m_client.link().port().isOpen()) {
        stop();
        emit portClosed();
        return;
    }
    const int perDrive = 1 + int(m_values.size());
    const int drive = m_step / perDrive;
    const int item = m_step % perDrive;
    // A request that never went out says nothing of the drive.
    const bool asked = result.outcome != LinkResult::Outcome::NotSent;
    m_askedThisRound = m_askedThisRound || asked;
    m_askedThisDrive = (item != 0 && m_askedThisDrive) || asked;
    if (result.ok() && result.answer.size() >= Rtu::MonitorReplyLength) {
        if (item == 0) {
            const StatusReply status = Hexedit::DecodeStatus(result.answer);
            DriveState& s = m_round.states[drive];
            s.known = true;
            s.reverse = status.reverse;
            s.running = status.running;
            s.fault = status.fault;
            s.faultNumber = s.fault ? status.faultNumber : 0;
        } else {
            // Scaled as the main window scales it: the reply's own decimal code.
            m_round.values[drive * m_values.size() + item - 1] =
                double(Hexedit::DecodeRunningValue(result.answer).value);
        }
    }
    if (item == 0 && asked) {
        compare(drive, m_last[drive], m_round.states[drive]);
        m_statusSeen[drive] = true;
        m_heard[drive] = m_heard[drive] || m_round.states[drive].known;
    }
    if (item == perDrive - 1 && m_askedThisDrive) {
        emit driveRead(drive, m_round);
        // The signal's receiver may have stopped the sampler.
        if (!m_running)
            return;
    }
    ++m_step;
    if (m_step < perDrive * m_drives.size()) {
        readNext();
        return;
    }
    endRound();
}

void Sampler::compare(int drive, const DriveState& before, const DriveState& state)
{
    const quint8 address = m_drives[drive];
    auto say = [&](RecordEvent::Kind kind, const QString& text, int fault = 0) {
        RecordEvent e;
        e.time = m_round.time;
        e.kind = kind;
        e.address = address;
        e.faultNumber = fault;
        e.text = QStringLiteral("Drive %1: %2").arg(address).arg(text);
        emit event(e);
    };
    if (!state.known) {
        // Said when it falls silent, and for a drive silent from the start.
        if (before.known || !m_statusSeen[drive])
            say(RecordEvent::Kind::NoAnswer, QStringLiteral("no answer"));
        // Said once; run state and fault stand as last known until it answers.
        m_last[drive].known = false;
        return;
    }
    if (!before.known || before.running != state.running)
        say(state.running ? RecordEvent::Kind::Run : RecordEvent::Kind::Stop,
            state.running ? QStringLiteral("Run") : QStringLiteral("Stop"));
    // A fault already there on the first reading counts as a trip too: the
    // technician started recording to catch it.
    if (state.fault && (!before.fault || before.faultNumber != state.faultNumber))
        say(RecordEvent::Kind::Trip, QStringLiteral("trip ") + faultName(state.faultNumber),
            state.faultNumber);
    else if (!state.fault && before.fault)
        say(RecordEvent::Kind::FaultCleared, QStringLiteral("fault cleared"));
    m_last[drive] = state;
}

void Sampler::endRound()
{
    if (!m_askedThisRound) {
        // Every request ended unsent at once: going straight on would write
        // empty rows as fast as the processor allows until the port can carry
        // them. Try again after the time an answer could have taken.
        const QByteArray status = LinkRequest::read(m_drives.first(), Rtu::StatusRegister).frame();
        const qint64 spent = m_roundStarted.msecsTo(now());
        m_next.start(std::max(m_client.link().AnswerTimeoutMs(status),
                              int(std::clamp<qint64>(m_intervalMs - spent, 0, m_intervalMs))));
        return;
    }
    ++m_rounds;
    emit roundDone(m_round);
    if (!m_running)
        return;
    if (m_intervalMs == 0) {
        beginRound();
        return;
    }
    const qint64 spent = m_roundStarted.msecsTo(now());
    m_next.start(int(std::clamp<qint64>(m_intervalMs - spent, 0, m_intervalMs)));
}

bool Sampler::anyAnswered() const
{
    return m_heard.contains(true);
}
