// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ShareConfig.h"

#include <QString>
#include <optional>

// Whether what a client of a shared line asks may go to a drive: the
// checks vfdctl makes before it writes or runs a drive, answered with a
// Modbus exception a client understands when the answer is no.
namespace ShareRules {

// The exceptions a shared line answers with itself.
constexpr quint8 IllegalFunction = 0x01; // not allowed on this line (its share keys)
constexpr quint8 IllegalAddress = 0x02;  // no parameter, or reserved
constexpr quint8 IllegalValue = 0x03;    // outside the limits, or an unknown run command
constexpr quint8 DeviceBusy = 0x06;      // the drive runs: parameters are written at a standstill
constexpr quint8 PathUnavailable = 0x0A; // not a drive of this line, too many requests, stopping
constexpr quint8 TargetSilent = 0x0B;    // no answer from the drive

struct Refusal
{
    quint8 exception = 0;
    QString why;
};

// What the service knows of a drive: whether it is one of the line's, and
// what its status said last (nullopt: not heard since the line was opened).
struct DriveView
{
    bool served = false;
    std::optional<bool> running;
};

// A parameter write (function 6) to register reg.
std::optional<Refusal> parameterWrite(const LineShareConfig& share, quint8 unit,
                                      const DriveView& drive, quint16 reg, quint16 raw);

// A run command (function 16 at the control register). A STOP always goes.
// The set-point against the drive's upper limit is aboveUpperLimit's.
std::optional<Refusal> runCommand(const LineShareConfig& share, quint8 unit, const DriveView& drive,
                                  quint8 code);
bool isStop(quint8 code);
// Whether the command turns the motor at the set-point (not a jog, not a stop).
bool usesSetpoint(quint8 code);
// setpoint and upper in 0.01 Hz (P0.06).
std::optional<Refusal> aboveUpperLimit(quint16 setpoint, quint16 upper);

// "forward 30.00 Hz", "jog reverse", "stop".
QString commandText(quint8 code, quint16 setpoint);

} // namespace ShareRules
