// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveParameters.h"
#include "RtuProtocol.h"

#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

// One simulated frequency inverter: its parameters, the run commands it takes
// and the way its output follows them. It knows nothing of frames; the bus
// turns requests into calls on it and its answers into replies.
//
// The output frequency ramps to the set-point at the acceleration and
// deceleration times (P0.14/P0.15, jog P2.20/P2.21, both meant from 0 Hz to the
// base frequency P0.08) within the limits P0.06/P0.07; a jog runs at P2.19.
// Without a command for the communication time-out P8.02 (0 switches it off)
// the drive ramps down on its own. A fault trips it: the output coasts to
// zero, the fault goes into the records, and only a stop followed by a run
// command clears it.
class SimulatedDrive
{
public:
    // Command codes of the control register.
    enum Command : quint8
    {
        Stop = Rtu::StopCode,
        Forward = Rtu::ForwardCode,
        JogForward = Rtu::JogForwardCode,
        SingleForward = Rtu::SingleForwardCode,
        Reverse = Rtu::ReverseCode,
        JogReverse = Rtu::JogReverseCode,
        SingleReverse = Rtu::SingleReverseCode,
    };

    // A value of the running-value block as it goes on the wire.
    struct RunningValue
    {
        quint16 raw = 0;
        quint8 decimalCode = 0; // 8: 0.01, 4: 0.1, 16: 0.001, 0: whole numbers
    };

    static constexpr int RunningValueCount = Rtu::EditionIndex + 1; // the edition is the last

    // Set up for the line (P0.04 = 2, P0.01 = 3), as a commissioned drive is.
    explicit SimulatedDrive(quint8 address);
    // Back to the catalogue's run-command and frequency sources (keypad): the
    // drive answers run commands from the line and does not run.
    void factorySources();
    // What the drive did not do that a request asked of it, and why, since
    // the last call ("drive 2 ignores the run command: ..."); for the log.
    QStringList takeNotes();

    quint8 address() const;
    DriveParameters& parameters() { return m_parameters; }
    const DriveParameters& parameters() const { return m_parameters; }
    int responseDelayMs() const;

    // ---- what the protocol reaches
    // false for a code the drive does not know (nothing changes then).
    bool command(quint8 code, quint16 setpointHundredths);
    // The set-point register alone; a running drive follows it at once.
    void setSetpoint(quint16 hundredths);
    std::optional<RunningValue> runningValue(int index) const;
    quint16 statusWord() const;
    quint8 stateFlags() const; // bit 2 reverse, bit 4 running
    quint8 faultFlags() const; // bit 5 fault
    // Any register as a plain 16-bit value, for standard reads; nullopt when
    // the drive has no such register.
    std::optional<quint16> readRegister(quint16 reg) const;

    // How the drive meets a standard read of one or more registers (a count
    // of 1..125): answered, as the simulated drives do by default; refused
    // with an exception, or not answered at all, as drives that know only the
    // dialect's single reads do.
    enum class StandardReads
    {
        Answered,
        Refused,
        Ignored
    };
    void setStandardReads(StandardReads how) { m_standardReads = how; }
    StandardReads standardReads() const { return m_standardReads; }
    // Most registers answered by one standard read (0: up to 125); a longer
    // read gets a shorter answer, from its first register on.
    void setMostPerRead(int registers) { m_mostPerRead = registers; }
    int mostPerRead() const { return m_mostPerRead; }

    // ---- dynamics and faults
    void advance(qint64 us);
    void trip(int faultNumber);
    // Trips with the fault once the drive has been running for the seconds
    // given (counted over every run from now on): a fault in mid-run for tests.
    void tripAfterRunning(int faultNumber, double seconds);
    // Share of rated torque the motor drives, 0..1.5; sets the current drawn.
    void setLoad(double share);

    // ---- what the drive holds, for display and tests
    double outputFrequency() const { return m_frequency < 0 ? -m_frequency : m_frequency; }
    double setFrequency() const;
    double outputCurrent() const;
    double outputVoltage() const;
    double busVoltage() const;
    double motorSpeed() const;
    double radiatorTemperature() const { return m_radiatorTemp; }
    double moduleTemperature() const { return m_moduleTemp; }
    bool isRunning() const;
    bool isReverse() const;
    bool isJogging() const { return m_mode == Mode::Jog; }
    bool isFaulted() const { return m_faultNumber != 0; }
    int faultNumber() const { return m_faultNumber; }
    std::array<quint16, 3> faultRecords() const { return m_records; }

private:
    enum class Mode
    {
        Stopped,
        Run,
        Jog
    };

    void step(double seconds);
    void run(Mode mode, bool reverse);
    double targetFrequency() const; // signed, reverse negative
    double parameter(int group, int index) const { return m_parameters.value(group, index); }
    static quint16 toRaw(double value, quint8 decimalCode);

    DriveParameters m_parameters;
    StandardReads m_standardReads = StandardReads::Answered;
    int m_mostPerRead = 0;
    Mode m_mode = Mode::Stopped;
    bool m_reverseCommanded = false;
    quint16 m_setpoint = 0; // 0.01 Hz, as last written
    quint8 m_lastCommand = Stop;
    QStringList m_notes;
    quint16 m_factoryRunSource = 0;
    quint16 m_factoryFrequencySource = 0;
    double m_frequency = 0; // Hz, negative in reverse
    bool m_accelerating = false;
    bool m_regenerating = false;
    double m_load = 0.6;
    double m_radiatorTemp = 25.0;
    double m_moduleTemp = 25.0;
    qint64 m_sinceCommandUs = 0;
    int m_faultNumber = 0;
    int m_plannedFault = 0;
    double m_plannedAfterS = 0;
    bool m_resetArmed = false;
    std::array<quint16, 3> m_records{};     // latest first
    std::array<quint16, 6> m_atLastFault{}; // raw, codes as the live values
};
