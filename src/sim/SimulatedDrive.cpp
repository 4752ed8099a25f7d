// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedDrive.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kMainsVoltage = 380.0;
// The run-command and frequency sources that make a drive obey the line.
constexpr quint16 kSerialRunSource = 2;
constexpr quint16 kSerialFrequencySource = 3;
constexpr double kAmbient = 25.0;
// Thermal time constants: the heat sink is slow, the power module quick.
constexpr double kRadiatorTau = 90.0;
constexpr double kModuleTau = 20.0;
// Dynamics advance in slices no longer than this, so a long jump in time still
// catches the command time-out and the ramp ends where they belong.
constexpr qint64 kSliceUs = 10'000;

constexpr quint8 kCodeWhole = 0;
constexpr quint8 kCodeTenths = 4;
constexpr quint8 kCodeHundredths = 8;

} // namespace

SimulatedDrive::SimulatedDrive(quint8 address)
{
    // The address the drive answers to is its own parameter P8.00.
    m_parameters.force(8, 0, address);
    m_factoryRunSource = m_parameters.raw(0, 4).value_or(0);
    m_factoryFrequencySource = m_parameters.raw(0, 1).value_or(0);
    m_parameters.force(0, 4, kSerialRunSource);
    m_parameters.force(0, 1, kSerialFrequencySource);
}

void SimulatedDrive::factorySources()
{
    m_parameters.force(0, 4, m_factoryRunSource);
    m_parameters.force(0, 1, m_factoryFrequencySource);
}

QStringList SimulatedDrive::takeNotes()
{
    return std::exchange(m_notes, {});
}

quint8 SimulatedDrive::address() const
{
    return quint8(m_parameters.raw(8, 0).value_or(0));
}

int SimulatedDrive::responseDelayMs() const
{
    return int(m_parameters.raw(8, 3).value_or(0));
}

// ---------------------------------------------------------------- commands

bool SimulatedDrive::command(quint8 code, quint16 setpointHundredths)
{
    switch (code) {
    case Stop:
        m_mode = Mode::Stopped;
        // A tripped drive is reset by a stop followed by a run command.
        if (isFaulted())
            m_resetArmed = true;
        break;
    case Forward:
    case SingleForward:
    case Reverse:
    case SingleReverse:
    case JogForward:
    case JogReverse: {
        if (const quint16 source = m_parameters.raw(0, 4).value_or(0); source != kSerialRunSource) {
            // Answered like any write, and not obeyed: the drive takes its run
            // commands from the keypad or the terminals.
            m_notes << QStringLiteral("drive %1 ignores the run command: P0.04 = %2, not serial "
                                      "control (2)")
                           .arg(address())
                           .arg(source);
            m_lastCommand = code;
            m_sinceCommandUs = 0;
            return true;
        }
        if (const quint16 source = m_parameters.raw(0, 1).value_or(0);
            source != kSerialFrequencySource && code != JogForward && code != JogReverse)
            m_notes << QStringLiteral("drive %1 runs at its own frequency P0.03 = %2 Hz, not the "
                                      "line's: P0.01 = %3, not the serial line (3)")
                           .arg(address())
                           .arg(parameter(0, 3))
                           .arg(source);
        m_setpoint = setpointHundredths;
        const bool reverse = code == Reverse || code == SingleReverse || code == JogReverse;
        run(code == JogForward || code == JogReverse ? Mode::Jog : Mode::Run, reverse);
        break;
    }
    default:
        return false;
    }
    if (code == Stop)
        m_setpoint = setpointHundredths;
    m_lastCommand = code;
    m_sinceCommandUs = 0;
    return true;
}

void SimulatedDrive::setSetpoint(quint16 hundredths)
{
    m_setpoint = hundredths;
}

void SimulatedDrive::run(Mode mode, bool reverse)
{
    if (isFaulted()) {
        if (!m_resetArmed)
            return; // a tripped drive ignores run commands until stopped
        m_faultNumber = 0;
        m_resetArmed = false;
    }
    m_mode = mode;
    m_reverseCommanded = reverse;
}

double SimulatedDrive::setFrequency() const
{
    const double upper = parameter(0, 6);
    if (m_mode == Mode::Jog)
        return std::min(parameter(2, 19), upper);
    const double lower = std::min(parameter(0, 7), upper);
    // Only a drive whose frequency source is the line follows its set-point;
    // the others run at their own setting.
    const double wanted = m_parameters.raw(0, 1).value_or(0) == kSerialFrequencySource
                              ? m_setpoint / 100.0
                              : parameter(0, 3);
    return std::clamp(wanted, lower, upper);
}

double SimulatedDrive::targetFrequency() const
{
    if (m_mode == Mode::Stopped || isFaulted())
        return 0.0;
    return m_reverseCommanded ? -setFrequency() : setFrequency();
}

// ---------------------------------------------------------------- dynamics

void SimulatedDrive::advance(qint64 us)
{
    while (us > 0) {
        const qint64 slice = std::min(us, kSliceUs);
        m_sinceCommandUs += slice;
        step(slice / 1e6);
        us -= slice;
    }
}

void SimulatedDrive::step(double dt)
{
    if (m_plannedFault != 0 && m_mode != Mode::Stopped && !isFaulted()) {
        m_plannedAfterS -= dt;
        if (m_plannedAfterS <= 0) {
            trip(std::exchange(m_plannedFault, 0));
            return;
        }
    }
    const double timeout = parameter(8, 2);
    if (m_mode != Mode::Stopped && timeout > 0 && m_sinceCommandUs > timeout * 1e6)
        m_mode = Mode::Stopped;

    const bool jog = m_mode == Mode::Jog;
    const double base = std::max(parameter(0, 8), 1.0);
    const double accTime = std::max(jog ? parameter(2, 20) : parameter(0, 14), 0.1);
    const double decTime = std::max(jog ? parameter(2, 21) : parameter(0, 15), 0.1);
    const double target = targetFrequency();

    // A change of direction passes through standstill at the deceleration rate.
    const bool sameSide = m_frequency == 0 || (m_frequency > 0) == (target > 0) || target == 0;
    const double goal = sameSide ? target : 0.0;
    const bool speedingUp = sameSide && std::fabs(goal) > std::fabs(m_frequency);
    const double stepHz = base / (speedingUp ? accTime : decTime) * dt;
    const double before = m_frequency;
    if (std::fabs(goal - m_frequency) <= stepHz)
        m_frequency = goal;
    else
        m_frequency += goal > m_frequency ? stepHz : -stepHz;
    m_accelerating = speedingUp && m_frequency != before;
    m_regenerating = !speedingUp && m_frequency != before;

    const double rated = std::max(parameter(1, 1), 0.1);
    const double share = outputCurrent() / rated;
    const double radiatorGoal = kAmbient + 30.0 * share * share;
    const double moduleGoal = radiatorGoal + 12.0 * share;
    m_radiatorTemp += (radiatorGoal - m_radiatorTemp) * (1.0 - std::exp(-dt / kRadiatorTau));
    m_moduleTemp += (moduleGoal - m_moduleTemp) * (1.0 - std::exp(-dt / kModuleTau));
}

void SimulatedDrive::setLoad(double share)
{
    m_load = std::clamp(share, 0.0, 1.5);
}

void SimulatedDrive::trip(int faultNumber)
{
    if (faultNumber <= 0)
        return;
    faultNumber = std::min(faultNumber, 0xFF); // the status word has eight bits for it
    m_atLastFault = {
        toRaw(outputFrequency(), kCodeHundredths), toRaw(setFrequency(), kCodeHundredths),
        toRaw(outputCurrent(), kCodeTenths),       toRaw(outputVoltage(), kCodeWhole),
        toRaw(busVoltage(), kCodeWhole),           toRaw(moduleTemperature(), kCodeWhole)};
    m_records = {quint16(faultNumber), m_records[0], m_records[1]};
    m_faultNumber = faultNumber;
    m_resetArmed = false;
    // The output is switched off at once: the motor coasts.
    m_mode = Mode::Stopped;
    m_frequency = 0;
    m_accelerating = m_regenerating = false;
}

void SimulatedDrive::tripAfterRunning(int faultNumber, double seconds)
{
    m_plannedFault = std::max(faultNumber, 0);
    m_plannedAfterS = std::max(seconds, 0.0);
}

// ---------------------------------------------------------------- electrical values

bool SimulatedDrive::isRunning() const
{
    return !isFaulted() && (m_mode != Mode::Stopped || m_frequency != 0);
}

bool SimulatedDrive::isReverse() const
{
    return m_frequency < 0 || (m_frequency == 0 && m_reverseCommanded);
}

double SimulatedDrive::outputCurrent() const
{
    if (!isRunning())
        return 0.0;
    const double rated = std::max(parameter(1, 1), 0.1);
    const double noLoad = std::min(parameter(1, 4), rated);
    const double ratio = std::min(outputFrequency() / std::max(parameter(1, 3), 1.0), 1.2);
    double current = noLoad + (rated - noLoad) * m_load * ratio;
    if (m_accelerating)
        current += 0.35 * rated;
    return std::min(current, 2.0 * rated);
}

double SimulatedDrive::outputVoltage() const
{
    if (!isRunning())
        return 0.0;
    const double boost = parameter(0, 12) / 100.0;
    const double ratio = std::min(outputFrequency() / std::max(parameter(0, 8), 1.0), 1.0);
    return parameter(0, 9) * (boost + (1.0 - boost) * ratio);
}

double SimulatedDrive::busVoltage() const
{
    const double rated = std::max(parameter(1, 1), 0.1);
    const double sag = 6.0 * outputCurrent() / rated;
    return kMainsVoltage * std::sqrt(2.0) - sag + (m_regenerating ? 35.0 : 0.0);
}

double SimulatedDrive::motorSpeed() const
{
    return outputFrequency() / std::max(parameter(1, 3), 1.0) * parameter(1, 2);
}

// ---------------------------------------------------------------- registers

quint16 SimulatedDrive::toRaw(double value, quint8 decimalCode)
{
    const double factor = decimalCode == kCodeHundredths ? 0.01
                          : decimalCode == kCodeTenths   ? 0.1
                          : decimalCode == 16            ? 0.001
                                                         : 1.0;
    return quint16(std::clamp(std::round(value / factor), 0.0, 65535.0));
}

std::optional<SimulatedDrive::RunningValue> SimulatedDrive::runningValue(int index) const
{
    const double base = std::max(parameter(0, 8), 1.0);
    const double lineCoefficient = parameter(3, 6);
    auto value = [](double v, quint8 code) { return RunningValue{toRaw(v, code), code}; };
    switch (index) {
    case 0:
        return value(outputFrequency(), kCodeHundredths);
    case 1:
        return value(setFrequency(), kCodeHundredths);
    case 2:
        return value(outputCurrent(), kCodeTenths);
    case 3:
        return value(outputVoltage(), kCodeWhole);
    case 4:
        return value(motorSpeed(), kCodeWhole);
    case 5: // line speed: the linear speed coefficient is m/s at base frequency
        return value(outputFrequency() / base * lineCoefficient, kCodeHundredths);
    case 6:
        return value(setFrequency() / base * lineCoefficient, kCodeHundredths);
    case 7:
        return value(busVoltage(), kCodeWhole);
    case 8:
        return value(kMainsVoltage, kCodeWhole);
    case 9: // PID reference: the digital setting, in volts
        return value(parameter(6, 3), kCodeHundredths);
    case 10: // PID feedback, AVI, ACI, pulse input: nothing is wired to them
    case 11:
    case 12:
    case 13:
        return value(0.0, kCodeHundredths);
    case 14: // terminal inputs: all open, the drive is run over the line
        return value(0.0, kCodeWhole);
    case 15:
        return value(m_radiatorTemp, kCodeWhole);
    case 16:
        return value(m_moduleTemp, kCodeWhole);
    case 17:
        return value(0.0, kCodeWhole);
    case 18:
        return value(parameter(4, 16), kCodeWhole);
    case 19:
    case 20:
    case 21:
        return RunningValue{m_records[index - 19], kCodeWhole};
    case 22:
    case 23:
        return RunningValue{m_atLastFault[index - 22], kCodeHundredths};
    case 24:
        return RunningValue{m_atLastFault[2], kCodeTenths};
    case 25:
    case 26:
    case 27:
        return RunningValue{m_atLastFault[index - 22], kCodeWhole};
    case 28:
        return RunningValue{m_parameters.raw(3, 8).value_or(0), kCodeHundredths};
    default:
        return std::nullopt;
    }
}

quint16 SimulatedDrive::statusWord() const
{
    // Bits 5..12 carry the fault number; the low bits repeat the run state for
    // tools that read the word alone.
    quint16 word = quint16((m_faultNumber & 0xFF) << 5);
    if (isRunning())
        word |= 0x0001;
    if (isReverse())
        word |= 0x0002;
    if (isRunning() && isJogging())
        word |= 0x0004;
    if (isFaulted())
        word |= 0x0010;
    return word;
}

quint8 SimulatedDrive::stateFlags() const
{
    return quint8((isReverse() ? Rtu::ReverseFlag : 0) | (isRunning() ? Rtu::RunningFlag : 0));
}

quint8 SimulatedDrive::faultFlags() const
{
    return isFaulted() ? Rtu::FaultFlag : quint8(0);
}

std::optional<quint16> SimulatedDrive::readRegister(quint16 reg) const
{
    const int high = reg >> 8;
    const int low = reg & 0xFF;
    if (high <= Rtu::LastParameterGroup)
        return m_parameters.raw(high, low);
    if (high == Rtu::RunningValueBlock) {
        if (const std::optional<RunningValue> v = runningValue(low))
            return v->raw;
        return std::nullopt;
    }
    if (reg == Rtu::StatusRegister)
        return statusWord();
    if (reg == Rtu::ControlRegister)
        return m_lastCommand;
    if (reg == Rtu::SetpointRegister)
        return m_setpoint;
    return std::nullopt;
}
