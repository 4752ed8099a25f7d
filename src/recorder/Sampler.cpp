// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sampler.h"

#include "BlockReader.h"
#include "RtuProtocol.h"
#include "Tab.h"

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A register more in a block costs its two bytes; another exchange costs at
// least a request (8), a block answer's frame (5) and the silence between
// them (3.5 characters, often a longer response delay): about eight
// registers. Gaps up to that many are read through and the values dropped.
constexpr int kMostFillers = 8;

QString faultName(int number)
{
    return QString::fromStdString(Tab::FaultDescription(number));
}

// A single read's answer in the drive's own layout (register in bytes 2 and
// 3, decimal code in byte 7). A block's answer has its byte count in byte 2,
// always even, so never the running-value block's 0x0D.
bool inDriveLayout(const QByteArray& answer)
{
    return answer.size() == Rtu::MonitorReplyLength && quint8(answer[2]) == Rtu::RunningValueBlock;
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
    QList<quint16> chosen;
    for (const RecordValue& v : values)
        chosen << v.reg();
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    m_blockList.clear();
    for (const quint16 reg : chosen) {
        if (!m_blockList.isEmpty() && reg - m_blockList.last() - 1 <= kMostFillers) {
            const quint16 last = m_blockList.last();
            for (quint16 filler = last + 1; filler < reg; ++filler)
                m_blockList << filler;
        }
        m_blockList << reg;
    }
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
    // Codes are learnt anew on every start: the line may have been reopened
    // on other drives.
    m_codes = QList<QList<int>>(m_drives.size(), QList<int>(m_values.size(), CodeUnknown));
    for (BlockReader* reader : std::as_const(m_readers))
        reader->deleteLater(); // perhaps inside one of its own answers
    m_readers.clear();
    for (const quint8 address : std::as_const(m_drives))
        m_readers << new BlockReader(*m_session, address, this);
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
    for (BlockReader* reader : std::as_const(m_readers))
        reader->stop();
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
    // Blocks once the drive has answered its status this round (a silent
    // drive costs its single reads' time-outs, as before) and every value's
    // code is known; not for a drive known to refuse them.
    if (item == 1 && m_blockList.size() >= 2 && m_round.states[drive].known && codesKnown(drive) &&
        m_client.blockReads(m_drives[drive]).known != BlockReads::Known::Refuses) {
        readValuesInBlocks(drive);
        return;
    }
    const quint16 reg = item == 0 ? Rtu::StatusRegister : m_values[item - 1].reg();
    // The answer may come after this sampler has been restarted.
    const quint64 generation = m_generation;
    m_session->submit(LinkRequest::read(m_drives[drive], reg),
                      [this, generation](const LinkResult& r) {
                          if (generation == m_generation && m_running)
                              take(r);
                      });
}

bool Sampler::portGone(const LinkResult& result)
{
    // Without a port every request ends at once: going round would only spin.
    if (result.outcome != LinkResult::Outcome::NotSent || m_client.link().port().isOpen())
        return false;
    stop();
    emit portClosed();
    return true;
}

bool Sampler::codesKnown(int drive) const
{
    return !m_codes[drive].contains(CodeUnknown);
}

void Sampler::take(const LinkResult& result)
{
    if (portGone(result))
        return;
    const int perDrive = 1 + int(m_values.size());
    const int drive = m_step / perDrive;
    const int item = m_step % perDrive;
    // A request that never went out says nothing of the drive.
    const bool asked = result.outcome != LinkResult::Outcome::NotSent;
    m_askedThisRound = m_askedThisRound || asked;
    m_askedThisDrive = (item != 0 && m_askedThisDrive) || asked;
    if (item == 0) {
        if (result.ok() && result.answer.size() >= Rtu::MonitorReplyLength) {
            const StatusReply status = Hexedit::DecodeStatus(result.answer);
            DriveState& s = m_round.states[drive];
            s.known = true;
            s.reverse = status.reverse;
            s.running = status.running;
            s.fault = status.fault;
            s.faultNumber = s.fault ? status.faultNumber : 0;
        } else if (asked) {
            // Silent: when it answers again it may be another drive, whose
            // values' codes are learnt anew.
            m_codes[drive].fill(CodeUnknown);
        }
    } else {
        takeValue(drive, item - 1, result);
    }
    if (item == 0 && asked) {
        compare(drive, m_last[drive], m_round.states[drive]);
        m_statusSeen[drive] = true;
        m_heard[drive] = m_heard[drive] || m_round.states[drive].known;
    }
    if (item == perDrive - 1) {
        driveDone(drive);
        return;
    }
    ++m_step;
    readNext();
}

void Sampler::takeValue(int drive, int value, const LinkResult& result)
{
    int& code = m_codes[drive][value];
    if (result.outcome == LinkResult::Outcome::Exception) {
        code = CodeRefused;
        return;
    }
    if (!result.ok())
        return;
    double& slot = m_round.values[drive * m_values.size() + value];
    if (inDriveLayout(result.answer)) {
        // Scaled as the main window scales it: the reply's own decimal code.
        const RunningValueReply reply = Hexedit::DecodeRunningValue(result.answer);
        code = reply.decimalCode;
        slot = double(reply.value);
    } else if (code >= 0) {
        // From a block: the same sum with the code its single read carried.
        slot = double(float(result.value) * Hexedit::RunningFactor(quint8(code)));
    } else {
        // Refused singly, answered in a block: no code to scale it by, so it
        // is asked singly next round.
        code = CodeUnknown;
    }
}

void Sampler::readValuesInBlocks(int drive)
{
    const quint64 generation = m_generation;
    m_readers[drive]->read(
        m_blockList,
        [this, generation, drive](quint16 reg, const LinkResult& r) {
            if (generation != m_generation || !m_running)
                return false;
            return takeFromBlock(drive, reg, r);
        },
        [this, generation, drive] {
            if (generation == m_generation && m_running)
                driveDone(drive);
        });
}

bool Sampler::takeFromBlock(int drive, quint16 reg, const LinkResult& result)
{
    if (portGone(result))
        return false;
    if (result.outcome == LinkResult::Outcome::NotSent)
        return false; // nothing more goes out for this drive this round
    m_askedThisRound = true;
    m_askedThisDrive = true;
    // A register in a gap is read through and dropped; a register chosen
    // twice fills both places.
    for (int value = 0; value < m_values.size(); ++value)
        if (m_values[value].reg() == reg)
            takeValue(drive, value, result);
    return true;
}

void Sampler::driveDone(int drive)
{
    if (m_askedThisDrive) {
        emit driveRead(drive, m_round);
        // The signal's receiver may have stopped the sampler.
        if (!m_running)
            return;
    }
    const int perDrive = 1 + int(m_values.size());
    m_step = (drive + 1) * perDrive;
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
