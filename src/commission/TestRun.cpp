// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestRun.h"

#include "LinkClient.h"
#include "NumberText.h"
#include "ParamSet.h"
#include "RecordValues.h"
#include "Sampler.h"
#include "Tab.h"

#include <cmath>

namespace {

constexpr quint16 kAcceleration = 0x000E;  // P0.14, s
constexpr quint16 kDeceleration = 0x000F;  // P0.15, s
constexpr quint16 kBaseFrequency = 0x0008; // P0.08, Hz (the ramp times are meant up to it)
constexpr quint16 kUpperLimit = 0x0006;    // P0.06, Hz
// Run commands in a row that may go unanswered before the drive counts as lost.
constexpr int kSilentCommands = 3;
// What a reached frequency may take beyond the acceleration time: the
// samples' spacing and the line's own delays.
constexpr double kRampSlackS = 3.0;
// How long STOP is repeated for a drive that does not answer it.
constexpr double kStopAnswerS = 3.0;

QString hzText(double hz)
{
    return NumberText::Fixed2(hz) + QStringLiteral(" Hz");
}

QString secondsText(double s)
{
    return QString::number(s, 'f', 1) + QStringLiteral(" s");
}

std::optional<double> parameterValue(const LinkResult& r, quint16 reg)
{
    const std::optional<double> scale = ParamCatalogue::scale(reg);
    if (!r.ok() || !scale)
        return std::nullopt;
    return r.value * *scale;
}

QString faultName(int number)
{
    const auto code = Tab::FaultCode(number);
    const QString text = QString::fromStdString(Tab::FaultDescription(number));
    return code && !code->empty()
               ? QStringLiteral("%1 (%2)").arg(QString::fromUtf8(code->data(), code->size()), text)
               : text;
}

} // namespace

TestRun::TestRun(LinkClient& client, const TestRunPlan& plan, QObject* parent)
    : QObject(parent), m_client(client), m_session(client.openSession(this))
{
    m_result.plan = plan;
    m_result.readiness.address = plan.address;
    m_result.keys = TestRunKeys();
    for (const ExpectLimit& l : plan.limits)
        if (!m_result.keys.contains(l.key))
            m_result.keys << l.key;
    connect(&m_rhythm, &QTimer::timeout, this, [this] {
        if (m_phase == Phase::Stopping)
            stopTick();
        else if (m_commanding && !sendCommand(m_command))
            end(QStringLiteral("the run command could not be sent"), true);
    });
}

TestRun::~TestRun()
{
    // A run still going when its owner goes (a window closed) stops the drive:
    // the STOP is queued ahead of everything else on the link.
    if (running() && m_result.sentAnything)
        sendCommand(RunCommand::Stop);
}

double TestRun::toleranceHz(double hz)
{
    return std::max(0.5, hz * 0.01);
}

double TestRun::seconds() const
{
    return m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0.0;
}

double TestRun::expectedRampS(bool reverse) const
{
    const double base = std::max(m_result.baseHz.value_or(50.0), 1.0);
    const double up = m_result.accelerationS.value_or(0) * m_result.plan.hz / base;
    // Reverse after forward passes through standstill at the deceleration rate.
    const double down = reverse ? m_result.decelerationS.value_or(0) * m_result.plan.hz / base : 0;
    return up + down;
}

void TestRun::start()
{
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Preparing;
    m_result.started = QDateTime::currentDateTime();
    emit progress(QStringLiteral("Reading drive %1").arg(m_result.plan.address));
    const quint8 a = m_result.plan.address;
    const QList<LinkRequest> reads{LinkRequest::read(a, Rtu::StatusRegister),
                                   LinkRequest::read(a, Readiness::RunSourceRegister),
                                   LinkRequest::read(a, Readiness::FrequencySourceRegister),
                                   LinkRequest::read(a, kAcceleration),
                                   LinkRequest::read(a, kDeceleration),
                                   LinkRequest::read(a, kBaseFrequency),
                                   LinkRequest::read(a, kUpperLimit)};
    auto results = std::make_shared<QList<LinkResult>>();
    for (const LinkRequest& r : reads)
        m_session->submit(r, [this, results, count = reads.size()](const LinkResult& result) {
            results->append(result);
            if (results->size() < count || m_phase != Phase::Preparing)
                return;
            const QList<LinkResult>& r = *results;
            if (r[1].ok())
                m_result.readiness.runSource = r[1].value;
            if (r[2].ok())
                m_result.readiness.frequencySource = r[2].value;
            m_result.accelerationS = parameterValue(r[3], kAcceleration);
            m_result.decelerationS = parameterValue(r[4], kDeceleration);
            m_result.baseHz = parameterValue(r[5], kBaseFrequency);
            m_result.upperHz = parameterValue(r[6], kUpperLimit);
            if (!r[0].ok() || r[0].answer.size() < Rtu::MonitorReplyLength) {
                end(QStringLiteral("drive %1 does not answer: nothing was sent")
                        .arg(m_result.plan.address),
                    true);
                return;
            }
            const StatusReply status = Hexedit::DecodeStatus(r[0].answer);
            m_faultAtStart = status.fault;
            if (status.fault) {
                const QString question =
                    QStringLiteral("Drive %1 reports fault %2. Run the test all the same?")
                        .arg(m_result.plan.address)
                        .arg(faultName(status.faultNumber));
                if (!m_result.plan.runDespiteFault && !(confirmFault && confirmFault(question))) {
                    end(QStringLiteral("drive %1 reports fault %2 at the start: nothing was sent")
                            .arg(m_result.plan.address)
                            .arg(faultName(status.faultNumber)),
                        true);
                    return;
                }
                m_result.plan.runDespiteFault = true;
            }
            prepared();
        });
}

void TestRun::prepared()
{
    const quint8 a = m_result.plan.address;
    if (!m_result.readiness.known()) {
        end(QStringLiteral("drive %1 did not answer P0.04 and P0.01: nothing was sent").arg(a),
            true);
        return;
    }
    if (!m_result.readiness.ready()) {
        end(QStringLiteral("drive %1 does not take run commands and frequency from the line: "
                           "nothing was sent")
                .arg(a),
            true);
        return;
    }
    if (!m_result.accelerationS || !m_result.upperHz) {
        end(QStringLiteral("drive %1 did not answer P0.14 and P0.06: nothing was sent").arg(a),
            true);
        return;
    }
    if (m_result.plan.hz > *m_result.upperHz + 1e-9) {
        end(QStringLiteral("%1 lies above the drive's upper limit P0.06 = %2: nothing was sent")
                .arg(hzText(m_result.plan.hz), hzText(*m_result.upperHz)),
            true);
        return;
    }
    m_commanding = true;

    Hexedit& link = m_client.link();
    auto ours = [a](const QByteArray& request) {
        return request.size() > 8 && quint8(request[0]) == a &&
               Hexedit::KindOf(request) == Hexedit::FrameKind::Command;
    };
    connect(&link, &Hexedit::answerReceived, this,
            [this, ours](const QByteArray& request, const QByteArray&) {
                if (ours(request))
                    onCommandAnswered(request, true);
            });
    connect(&link, &Hexedit::answerTimedOut, this, [this, ours](const QByteArray& request, int) {
        if (ours(request))
            onCommandAnswered(request, false);
    });
    connect(
        &link, &Hexedit::exceptionReceived, this,
        [this, a](quint8 from, quint8 function, quint8 code) {
            if (from == a && function == (Rtu::ControlFunction | 0x80))
                end(QStringLiteral("the drive refused the run command (exception %1)").arg(code),
                    true);
        });
    connect(&link.port(), &SerialPort::deviceLost, this,
            [this] { end(QStringLiteral("the port went away"), true); });
    // Somebody else stopped the drive (the main window, the broadcast): the
    // run ends rather than start it again on its next command.
    connect(&link, &Hexedit::frameSent, this, [this, a, &link](const QByteArray& frame) {
        const bool stop = frame.size() > 8 && quint8(frame[1]) == Rtu::ControlFunction &&
                          quint8(frame[8]) == Rtu::StopCode &&
                          (quint8(frame[0]) == a || quint8(frame[0]) == Rtu::BroadcastAddress);
        if (stop && !m_submitting && link.OnWireTicket() != m_commandTicket)
            end(QStringLiteral("a STOP for the drive came from elsewhere"), true);
    });

    m_sampler = new Sampler(m_client, this);
    QList<RecordValue> values;
    for (const QString& key : m_result.keys)
        values << *RecordValues::byKey(key);
    m_sampler->setup({a}, values, SampleIntervalMs);
    connect(m_sampler, &Sampler::roundDone, this, &TestRun::onRound);
    connect(m_sampler, &Sampler::portClosed, this,
            [this] { end(QStringLiteral("the port was closed"), true); });

    if (m_result.plan.runDespiteFault) {
        // A tripped drive takes a run command only after a STOP.
        m_phase = Phase::Resetting;
        emit progress(QStringLiteral("Resetting the fault with STOP"));
        m_result.sentAnything = true;
        if (!sendCommand(RunCommand::Stop))
            end(QStringLiteral("the STOP could not be sent"), true);
        return;
    }
    beginRun();
}

void TestRun::beginRun()
{
    m_clock.start();
    m_sampler->start();
    m_rhythm.start(ControlRhythmMs);
    beginDirection(false);
}

void TestRun::beginDirection(bool reverse)
{
    m_phase = Phase::Ramp;
    m_reverseNow = reverse;
    m_throughStandstill = !reverse;
    m_phaseStart = seconds();
    (reverse ? m_reverse : m_forward).tried = true;
    emit progress(QStringLiteral("Accelerating %1 to %2")
                      .arg(reverse ? QStringLiteral("in reverse") : QStringLiteral("forward"),
                           hzText(m_result.plan.hz)));
    m_result.sentAnything = true;
    if (!sendCommand(reverse ? RunCommand::Reverse : RunCommand::Forward))
        end(QStringLiteral("the run command could not be sent"), true);
}

void TestRun::onCommandAnswered(const QByteArray& request, bool answered)
{
    if (m_phase == Phase::Resetting && quint8(request[8]) == Rtu::StopCode) {
        if (!answered) {
            end(QStringLiteral("the drive did not answer the STOP that resets its fault"), true);
            return;
        }
        beginRun();
        return;
    }
    if (m_phase == Phase::Stopping && quint8(request[8]) == Rtu::StopCode) {
        if (answered)
            m_result.stopAnswered = true;
        // After an error nothing more is waited for than the STOP's answer.
        if (m_errorEnd && answered)
            finish();
        return;
    }
    m_silentCommands = answered ? 0 : m_silentCommands + 1;
    if (m_silentCommands >= kSilentCommands)
        end(QStringLiteral("the drive stopped answering its run commands"), true);
}

void TestRun::onRound(const SampleRound& round)
{
    if (m_phase == Phase::Done || round.states.isEmpty())
        return;
    const DriveState& state = round.states.first();
    TestRunSample s;
    s.seconds = seconds();
    s.known = state.known;
    s.running = state.running;
    s.reverse = state.reverse;
    s.fault = state.fault;
    s.values = round.values;
    m_result.samples << s;
    m_holding << (m_phase == Phase::Hold);
    emit sampled(s);

    if (m_phase == Phase::Stopping) {
        const double out = s.values.value(0);
        const bool still = !std::isnan(out) && out <= toleranceHz(m_result.plan.hz);
        const double allowance = m_result.decelerationS.value_or(0) * m_result.plan.hz /
                                     std::max(m_result.baseHz.value_or(50.0), 1.0) +
                                 kRampSlackS;
        if ((m_result.stopAnswered && (still || !state.running)) ||
            seconds() - m_stopStart > allowance)
            finish();
        return;
    }
    if (!state.known) {
        end(QStringLiteral("the drive stopped answering"), true);
        return;
    }
    if (!state.fault)
        m_faultClearedSeen = true;
    if (state.fault && (!m_faultAtStart || m_faultClearedSeen)) {
        m_trip = s;
        m_tripNumber = state.faultNumber;
        end(QStringLiteral("the drive tripped: fault %1").arg(faultName(state.faultNumber)), true);
        return;
    }
    Reached& now = m_reverseNow ? m_reverse : m_forward;
    const double out = s.values.value(0);
    if (!std::isnan(out) && s.reverse == m_reverseNow)
        now.highest = std::max(now.highest, out);
    const double since = s.seconds - m_phaseStart;
    if (m_phase == Phase::Ramp) {
        // Reverse after forward starts at the set frequency the other way: it
        // counts as reached only once the drive has come through standstill
        // or reports reverse.
        if (!std::isnan(out) && (out <= toleranceHz(m_result.plan.hz) || s.reverse == m_reverseNow))
            m_throughStandstill = true;
        if (!std::isnan(out) && m_throughStandstill &&
            std::fabs(out - m_result.plan.hz) <= toleranceHz(m_result.plan.hz)) {
            now.afterS = since;
            now.hz = out;
            now.reportedReverse = s.reverse;
            m_phase = Phase::Hold;
            m_holdStart = s.seconds;
            emit progress(QStringLiteral("Holding %1 %2")
                              .arg(hzText(m_result.plan.hz), m_reverseNow
                                                                 ? QStringLiteral("in reverse")
                                                                 : QStringLiteral("forward")));
        } else if (since > expectedRampS(m_reverseNow) * 1.5 + kRampSlackS) {
            now.rampTimedOut = true;
            end(QStringLiteral("the drive did not reach %1 within %2")
                    .arg(hzText(m_result.plan.hz), secondsText(since)),
                true);
        }
        return;
    }
    if (m_phase == Phase::Hold)
        now.heldS = s.seconds - m_holdStart;
    if (m_phase == Phase::Hold && now.heldS * 1000 >= m_result.plan.holdMs) {
        if (!m_reverseNow && m_result.plan.reverse)
            beginDirection(true);
        else
            end(QStringLiteral("completed"), false);
    }
}

void TestRun::cancel()
{
    if (m_phase == Phase::Done || m_phase == Phase::Stopping)
        return;
    m_result.cancelled = true;
    if (m_phase == Phase::Preparing || m_phase == Phase::Idle) {
        m_session->cancel();
        end(QStringLiteral("cancelled by the user before anything was sent"), true);
        return;
    }
    end(QStringLiteral("cancelled by the user"), true);
}

void TestRun::end(const QString& why, bool error)
{
    if (m_phase == Phase::Done || m_phase == Phase::Stopping)
        return;
    if (m_result.endReason.isEmpty()) {
        m_result.endReason = why;
        m_result.completed = !error;
    }
    m_errorEnd = error;
    if (!m_result.sentAnything || !m_commanding) {
        finish();
        return;
    }
    m_phase = Phase::Stopping;
    m_stopStart = seconds();
    emit progress(QStringLiteral("Stopping: %1").arg(why));
    sendCommand(RunCommand::Stop);
    if (!m_rhythm.isActive())
        m_rhythm.start(ControlRhythmMs);
    if (m_sampler && !m_sampler->running()) {
        m_clock.start();
        m_sampler->start();
    }
}

void TestRun::stopTick()
{
    // STOP goes out again on the rhythm until the drive answers it; a drive
    // that never does is given up after a few seconds.
    if (!m_result.stopAnswered) {
        if (seconds() - m_stopStart > kStopAnswerS) {
            finish();
            return;
        }
        sendCommand(RunCommand::Stop);
    }
}

bool TestRun::sendCommand(RunCommand command)
{
    m_command = command;
    const std::optional<quint16> setpoint =
        command == RunCommand::Stop
            ? std::optional<quint16>(0)
            : Hexedit::ControlSetpoint(NumberText::Fixed2(m_result.plan.hz));
    if (!setpoint)
        return false;
    const QByteArray frame =
        Hexedit::ControlFrame(m_result.plan.address, Hexedit::RunCommandCode(command), *setpoint);
    // A command still waiting for the line is changed in its place, not
    // queued again behind it; a STOP goes ahead of everything.
    Hexedit& link = m_client.link();
    // On an idle line the frame goes out before its ticket is known here.
    m_submitting = true;
    if (!link.ReplaceWaitingFrame(m_commandTicket, frame))
        m_commandTicket = link.SubmitFrame(frame);
    m_submitting = false;
    return m_commandTicket != 0;
}

void TestRun::finish()
{
    if (m_phase == Phase::Done)
        return;
    m_phase = Phase::Done;
    m_rhythm.stop();
    if (m_sampler)
        m_sampler->stop();
    m_session->cancel();
    m_result.ended = QDateTime::currentDateTime();
    addChecks();
    emit progress(QStringLiteral("Ended: %1").arg(m_result.endReason));
    emit finished();
}
