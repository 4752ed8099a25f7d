// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The words of the drives' Modbus RTU dialect, in one place: function codes,
// register blocks, run-command codes, addresses and the lengths of the
// replies the drives send.
namespace Rtu {

// Function codes.
constexpr quint8 ReadFunction = 0x03;    // one register (count 0 in the dialect)
constexpr quint8 WriteFunction = 0x06;   // one parameter
constexpr quint8 ControlFunction = 0x10; // command code and set-point at 0x2000
constexpr quint8 ExceptionFlag = 0x80;   // set in the function code of a refusal

// Register blocks: the high byte of a register address.
constexpr quint8 LastParameterGroup = 10; // groups 0..10 are parameters
constexpr quint8 RunningValueBlock = 0x0D;
constexpr quint8 StatusBlock = 0x0E; // 0x0E00
constexpr quint16 StatusRegister = 0x0E00;
constexpr quint16 ControlRegister = 0x2000;  // command code
constexpr quint16 SetpointRegister = 0x2001; // frequency in 0.01 Hz

// Run-command codes of the control block.
constexpr quint8 StopCode = 0x01;
constexpr quint8 ForwardCode = 0x12;
constexpr quint8 JogForwardCode = 0x13;
constexpr quint8 SingleForwardCode = 0x1E;
constexpr quint8 ReverseCode = 0x22;
constexpr quint8 JogReverseCode = 0x23;
constexpr quint8 SingleReverseCode = 0x2E;

// Running values: register block 0x0D, one register per value.
constexpr quint16 RunningValueRegister(quint8 index)
{
    return quint16(RunningValueBlock << 8 | index);
}
constexpr quint8 EditionIndex = 28;      // the drive's software edition
constexpr quint8 DecimalCodeMask = 0x1F; // byte 7 of a running-value reply

// The status reply: flags in bytes 6 and 7, the fault number inside the word.
constexpr quint8 ReverseFlag = 0x04; // byte 6
constexpr quint8 RunningFlag = 0x10; // byte 6
constexpr quint8 FaultFlag = 0x20;   // byte 7
constexpr int FaultNumberOf(quint16 statusWord)
{
    return (statusWord & 0x1FE0) / 32; // bits 5..12
}

// Addresses.
constexpr quint8 BroadcastAddress = 0; // every drive obeys, none answers
constexpr quint8 HighestAddress = 31;

// Reply lengths, CRC included.
constexpr int MonitorReplyLength = 10; // a running value or the status
constexpr int ShortReplyLength = 8;    // a parameter, a write's echo, a control write's answer
constexpr int ControlRequestLength = 13;

} // namespace Rtu
