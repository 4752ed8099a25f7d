// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RtuProtocol.h"

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <optional>

// The running-value block (0x0D00 + index) in one table: what each value is,
// the unit it is read in, how the main window writes it, and the name a
// recording asks for it by. The poll schedule, the main window and the
// recorder all read it from here. The scale is not in the table: every reply
// carries its own decimal code.
namespace RunningValues {

// Indices into the block, named as the values they hold.
enum Index : quint8
{
    OutputFrequency = 0,
    SetFrequency = 1,
    OutputCurrent = 2,
    OutputVoltage = 3,
    Speed = 4,
    RunSpeed = 5,
    SpeedSet = 6,
    DcBusVoltage = 7,
    InputVoltage = 8,
    PidSet = 9,
    PidFeedback = 10,
    AnalogueVoltageInput = 11,
    AnalogueCurrentInput = 12,
    PulseInput = 13,
    TerminalInputs = 14,
    RadiatorTemperature = 15,
    ModuleTemperature = 16,
    Count = 17,
    CountSet = 18,
    FaultRecord1 = 19, // the three fault records: a fault number each
    FaultRecord2 = 20,
    FaultRecord3 = 21,
    FrequencyOutAtLastFault = 22, // values the drive kept at its last fault
    FrequencySetAtLastFault = 23,
    CurrentAtLastFault = 24,
    VoltageAtLastFault = 25,
    DcBusAtLastFault = 26,
    TemperatureAtLastFault = 27,
    Edition = Rtu::EditionIndex, // the drive's software edition, the last one
};

// How the main window writes a value.
enum class Shown : quint8
{
    TwoDecimals, // "#0.00"
    Plain,       // the value's own digits (counters, temperatures, speed, bit sets)
    FaultCode,   // a fault number, shown as its code
};

struct RunningValue
{
    quint8 index;
    const char* key;  // the name a recording asks for it by; nullptr: not recorded
    const char* name; // as the recording's file shows it (the windows translate it)
    const char* unit; // "" for a plain number
    Shown shown;

    constexpr quint16 reg() const { return Rtu::RunningValueRegister(index); }
};

// Fault records and the values kept at the last fault are left to the main
// window's choosers: a recording follows what changes while a drive runs.
inline constexpr std::array<RunningValue, Edition + 1> Table{{
    {OutputFrequency, "freq-out", QT_TRANSLATE_NOOP("RunningValues", "Output frequency"), "Hz",
     Shown::TwoDecimals},
    {SetFrequency, "freq-set", QT_TRANSLATE_NOOP("RunningValues", "Set frequency"), "Hz",
     Shown::TwoDecimals},
    {OutputCurrent, "current", QT_TRANSLATE_NOOP("RunningValues", "Output current"), "A",
     Shown::TwoDecimals},
    {OutputVoltage, "voltage", QT_TRANSLATE_NOOP("RunningValues", "Output voltage"), "V",
     Shown::TwoDecimals},
    {Speed, "speed", QT_TRANSLATE_NOOP("RunningValues", "Speed"), "rpm", Shown::Plain},
    {RunSpeed, "run-speed", QT_TRANSLATE_NOOP("RunningValues", "Run speed"), "m/s",
     Shown::TwoDecimals},
    {SpeedSet, "speed-set", QT_TRANSLATE_NOOP("RunningValues", "Speed set"), "m/s",
     Shown::TwoDecimals},
    {DcBusVoltage, "dc-bus", QT_TRANSLATE_NOOP("RunningValues", "DC bus voltage"), "V",
     Shown::TwoDecimals},
    {InputVoltage, "input-voltage", QT_TRANSLATE_NOOP("RunningValues", "Input voltage"), "V",
     Shown::TwoDecimals},
    {PidSet, "pid-set", QT_TRANSLATE_NOOP("RunningValues", "PID set"), "", Shown::TwoDecimals},
    {PidFeedback, "pid-feedback", QT_TRANSLATE_NOOP("RunningValues", "PID feedback"), "",
     Shown::TwoDecimals},
    {AnalogueVoltageInput, "avi", QT_TRANSLATE_NOOP("RunningValues", "AVI"), "V",
     Shown::TwoDecimals},
    {AnalogueCurrentInput, "aci", QT_TRANSLATE_NOOP("RunningValues", "ACI"), "A",
     Shown::TwoDecimals},
    {PulseInput, "pulse-in", QT_TRANSLATE_NOOP("RunningValues", "Pulse input"), "kHz",
     Shown::TwoDecimals},
    {TerminalInputs, "inputs", QT_TRANSLATE_NOOP("RunningValues", "Terminal inputs"), "",
     Shown::Plain},
    {RadiatorTemperature, "radiator-temp",
     QT_TRANSLATE_NOOP("RunningValues", "Radiator temperature"), "°C", Shown::Plain},
    {ModuleTemperature, "module-temp", QT_TRANSLATE_NOOP("RunningValues", "Module temperature"),
     "°C", Shown::Plain},
    {Count, "count", QT_TRANSLATE_NOOP("RunningValues", "Count"), "", Shown::Plain},
    {CountSet, "count-set", QT_TRANSLATE_NOOP("RunningValues", "Count set"), "", Shown::Plain},
    {FaultRecord1, nullptr, QT_TRANSLATE_NOOP("RunningValues", "Fault record 1"), "",
     Shown::FaultCode},
    {FaultRecord2, nullptr, QT_TRANSLATE_NOOP("RunningValues", "Fault record 2"), "",
     Shown::FaultCode},
    {FaultRecord3, nullptr, QT_TRANSLATE_NOOP("RunningValues", "Fault record 3"), "",
     Shown::FaultCode},
    {FrequencyOutAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "Output frequency at the last fault"), "Hz", Shown::Plain},
    {FrequencySetAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "Set frequency at the last fault"), "Hz", Shown::Plain},
    {CurrentAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "Output current at the last fault"), "A", Shown::Plain},
    {VoltageAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "Output voltage at the last fault"), "V", Shown::Plain},
    {DcBusAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "DC bus voltage at the last fault"), "V", Shown::Plain},
    {TemperatureAtLastFault, nullptr,
     QT_TRANSLATE_NOOP("RunningValues", "Module temperature at the last fault"), "°C",
     Shown::Plain},
    {Edition, nullptr, QT_TRANSLATE_NOOP("RunningValues", "Software edition"), "", Shown::Plain},
}};

constexpr bool tableInOrder()
{
    for (std::size_t i = 0; i < Table.size(); ++i)
        if (Table[i].index != i)
            return false;
    return true;
}
static_assert(tableInOrder(), "each value sits at its own index");

// The value at an index of the block; nullopt beyond it.
constexpr std::optional<RunningValue> at(int index)
{
    if (index < 0 || index >= int(Table.size()))
        return std::nullopt;
    return Table[std::size_t(index)];
}

constexpr bool isFaultRecord(int index)
{
    return index >= FaultRecord1 && index <= FaultRecord3;
}

constexpr bool isLastFaultValue(int index)
{
    return index >= FrequencyOutAtLastFault && index <= TemperatureAtLastFault;
}

} // namespace RunningValues
