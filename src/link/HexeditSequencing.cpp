// SPDX-License-Identifier: GPL-3.0-or-later
// Request sequencing: the poll schedule the poll timer steps through and the
// run-command table the command timer sends from.
#include "Hexedit.h"
#include "RtuProtocol.h"

std::optional<quint16> Hexedit::PollRegister(int pollItem, int faultRecordSelect,
                                             int lastErrorValueSelect)
{
    // Per drive: status at least twice, output frequency three times, the
    // chosen fault record and last-fault value at 23 and 24.
    static constexpr quint16 schedule[PollItemCount] = {
        0x0E00, 0x0D00, 0x0D01, 0x0D02, 0x0D03, 0x0D04, 0x0D05, 0x0D06, 0x0D07, 0x0D08,
        0x0E00, 0x0D00, 0x0D09, 0x0D0A, 0x0D0B, 0x0D0C, 0x0D0D, 0x0D0E, 0x0D00, 0x0D02,
        0x0D01, 0x0D11, 0x0D12, 0x0E00, 0x0E00, 0x0D03, 0x0D0F, 0x0D10,
    };
    if (pollItem < 0 || pollItem >= PollItemCount)
        return std::nullopt;
    if (pollItem == 23 && faultRecordSelect != 0)
        return quint16(0x0D00 + (faultRecordSelect & 0xFF));
    if (pollItem == 24 && lastErrorValueSelect != 0)
        return quint16(0x0D00 + (lastErrorValueSelect & 0xFF));
    return schedule[pollItem];
}

bool Hexedit::SendPollRequest(quint8 address, int pollItem, int faultRecordSelect,
                              int lastErrorValueSelect)
{
    SlaveAddress = address;
    if (const auto reg = PollRegister(pollItem, faultRecordSelect, lastErrorValueSelect)) {
        RegisterHigh = quint8(*reg >> 8);
        RegisterLow = quint8(*reg & 0xFF);
    }
    FunctionCode = Rtu::ReadFunction;
    return SendRequest();
}

quint8 Hexedit::RunCommandCode(int pendingCommand)
{
    static constexpr quint8 codes[] = {0x00, 0x12, 0x22, 0x13, 0x23, 0x01, 0x1E, 0x2E};
    if (pendingCommand < 0 || pendingCommand > 7)
        return 0;
    return codes[pendingCommand];
}

Hexedit::CommandOutcome Hexedit::SendPendingCommand(int pendingCommand, bool singleMachine,
                                                    quint8 singleAddress,
                                                    const QString& forwardFrequency,
                                                    const QString& reverseFrequency)
{
    const quint8 code = RunCommandCode(pendingCommand);
    if (code == 0)
        return CommandOutcome::NothingToSend;
    const bool singleOnly = pendingCommand == 6 || pendingCommand == 7;
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
        if (pendingCommand != 5)
            return CommandOutcome::NoDrive;
        return SendBroadcastStop() ? CommandOutcome::SentToEveryDrive : CommandOutcome::NotSent;
    }
    QString value = QStringLiteral("0");
    if (pendingCommand == 1 || pendingCommand == 6)
        value = forwardFrequency;
    else if (pendingCommand == 2 || pendingCommand == 7)
        value = reverseFrequency;
    if (!PrepareControlWrite(*address, code, value) || !SendRequest())
        return CommandOutcome::NotSent;
    return CommandOutcome::Sent;
}
