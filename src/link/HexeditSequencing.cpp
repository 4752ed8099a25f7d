// SPDX-License-Identifier: GPL-3.0-or-later
// Typed requests, each setting the request fields itself, and request
// sequencing: the poll schedule the poll timer steps through and the
// run-command table the command timer sends from.
#include "Hexedit.h"
#include "RtuProtocol.h"
#include "RunningValues.h"

#include <array>
#include <iterator>

namespace {

using Rtu::StatusRegister;

// What an item of the poll schedule reads, and which of the fault choosers of
// the main window may put another register in its place.
struct PollEntry
{
    enum class Chooser
    {
        None,
        FaultRecord,    // "Error Code": one of the fault records
        LastErrorValue, // "Error Output": a value at the last fault
    };
    quint16 reg;
    Chooser chooser = Chooser::None;
};

// A running value read by the schedule, by its name in the block's table.
constexpr quint16 value(RunningValues::Index index)
{
    return RunningValues::Table[index].reg();
}

using namespace RunningValues;

// Per drive: the status at least twice, the output frequency three times, the
// chosen fault record and last-fault value at items 23 and 24.
constexpr PollEntry kPollSchedule[] = {
    {StatusRegister},
    {value(OutputFrequency)},
    {value(SetFrequency)},
    {value(OutputCurrent)},
    {value(OutputVoltage)},
    {value(Speed)},
    {value(RunSpeed)},
    {value(SpeedSet)},
    {value(DcBusVoltage)},
    {value(InputVoltage)},
    {StatusRegister},
    {value(OutputFrequency)},
    {value(PidSet)},
    {value(PidFeedback)},
    {value(AnalogueVoltageInput)},
    {value(AnalogueCurrentInput)},
    {value(PulseInput)},
    {value(TerminalInputs)},
    {value(OutputFrequency)},
    {value(OutputCurrent)},
    {value(SetFrequency)},
    {value(Count)},
    {value(CountSet)},
    {StatusRegister, PollEntry::Chooser::FaultRecord},    // or the chosen fault record
    {StatusRegister, PollEntry::Chooser::LastErrorValue}, // or the chosen value at the last fault
    {value(OutputVoltage)},
    {value(RadiatorTemperature)},
    {value(ModuleTemperature)},
};
// The main window and the monitor count rounds in items of this schedule.
static_assert(std::size(kPollSchedule) == Hexedit::PollItemCount);

// Command codes in the order of RunCommand.
constexpr std::array<quint8, 8> kRunCommandCodes{
    0x00, // None: nothing is sent
    Rtu::ForwardCode,
    Rtu::ReverseCode,
    Rtu::JogForwardCode,
    Rtu::JogReverseCode,
    Rtu::StopCode,
    Rtu::SingleForwardCode,
    Rtu::SingleReverseCode,
};
static_assert(kRunCommandCodes.size() == size_t(RunCommand::SingleReverse) + 1);

} // namespace

bool Hexedit::SendRead(quint8 address, quint16 reg)
{
    SlaveAddress = address;
    FunctionCode = Rtu::ReadFunction;
    RegisterHigh = quint8(reg >> 8);
    RegisterLow = quint8(reg & 0xFF);
    return SendRequest();
}

bool Hexedit::SendParameterRead(quint8 address, quint8 group, quint8 index)
{
    return SendRead(address, quint16(group << 8 | index));
}

bool Hexedit::SendParameterWrite(quint8 address, quint8 group, quint8 index,
                                 const QString& valueText)
{
    SlaveAddress = address;
    FunctionCode = Rtu::WriteFunction;
    RegisterHigh = group;
    RegisterLow = index;
    return SendRequest(valueText);
}

bool Hexedit::SendControlWrite(quint8 address, RunCommand command, const QString& frequency)
{
    return PrepareControlWrite(address, RunCommandCode(command), frequency) && SendRequest();
}

std::optional<quint16> Hexedit::PollRegister(int pollItem, int faultRecordSelect,
                                             int lastErrorValueSelect)
{
    if (pollItem < 0 || pollItem >= PollItemCount)
        return std::nullopt;
    const PollEntry& entry = kPollSchedule[size_t(pollItem)];
    if (entry.chooser == PollEntry::Chooser::FaultRecord && faultRecordSelect != 0)
        return Rtu::RunningValueRegister(quint8(faultRecordSelect & 0xFF));
    if (entry.chooser == PollEntry::Chooser::LastErrorValue && lastErrorValueSelect != 0)
        return Rtu::RunningValueRegister(quint8(lastErrorValueSelect & 0xFF));
    return entry.reg;
}

bool Hexedit::SendPollRequest(quint8 address, int pollItem, int faultRecordSelect,
                              int lastErrorValueSelect)
{
    // An item outside the schedule reads the register of the last request again.
    const std::optional<quint16> reg =
        PollRegister(pollItem, faultRecordSelect, lastErrorValueSelect);
    return SendRead(address, reg.value_or(quint16(RegisterHigh << 8 | RegisterLow)));
}

quint8 Hexedit::RunCommandCode(RunCommand command)
{
    const size_t at = size_t(command);
    return at < kRunCommandCodes.size() ? kRunCommandCodes[at] : 0;
}

Hexedit::CommandOutcome Hexedit::SendPendingCommand(RunCommand pendingCommand, bool singleMachine,
                                                    quint8 singleAddress,
                                                    const QString& forwardFrequency,
                                                    const QString& reverseFrequency)
{
    if (RunCommandCode(pendingCommand) == 0)
        return CommandOutcome::NothingToSend;
    const bool singleOnly =
        pendingCommand == RunCommand::SingleForward || pendingCommand == RunCommand::SingleReverse;
    if (singleOnly && !singleMachine)
        return CommandOutcome::NothingToSend;
    // Without "Single Machine" a command follows the drive last addressed.
    // Before any request went out there is no such drive; address 0 would reach
    // every drive on the line. A run command then goes nowhere, but a STOP goes
    // to every drive: a drive that cannot be told to stop is worse than one
    // more drive stopping.
    std::optional<quint8> address =
        singleMachine ? std::optional<quint8>(singleAddress) : m_lastRequestAddress;
    if (!address || *address == Rtu::BroadcastAddress) {
        if (pendingCommand != RunCommand::Stop)
            return CommandOutcome::NoDrive;
        return SendBroadcastStop() ? CommandOutcome::SentToEveryDrive : CommandOutcome::NotSent;
    }
    QString value = QStringLiteral("0");
    if (pendingCommand == RunCommand::Forward || pendingCommand == RunCommand::SingleForward)
        value = forwardFrequency;
    else if (pendingCommand == RunCommand::Reverse || pendingCommand == RunCommand::SingleReverse)
        value = reverseFrequency;
    if (!SendControlWrite(*address, pendingCommand, value))
        return CommandOutcome::NotSent;
    return CommandOutcome::Sent;
}
