// SPDX-License-Identifier: GPL-3.0-or-later
#include "Hexedit.h"

#include "NumberText.h"
#include "RtuProtocol.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

using namespace Rtu;

// CRC-16/MODBUS (reflected polynomial 0xA001) a byte at a time. The receive
// assembler recomputes the CRC after every byte of a frame, so this sits on
// the hottest path of the program.
constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table{};
    for (int value = 0; value < 256; ++value) {
        quint16 crc = quint16(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        table[size_t(value)] = crc;
    }
    return table;
}
constexpr std::array<quint16, 256> kCrcTable = makeCrcTable();

} // namespace

Hexedit::Hexedit(SerialPort& port, QObject* parent) : QObject(parent), m_port(port)
{
    m_steady.start();
    clock = [this] { return m_steady.nsecsElapsed() / 1e6; };
    m_drainTimer.setInterval(1);
    m_drainTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_drainTimer, &QTimer::timeout, this, &Hexedit::DrainTick);
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_answerTimer, &QTimer::timeout, this, &Hexedit::AnswerTimer_Timer);
    connect(&m_port, &SerialPort::bytesReceived, this, &Hexedit::OnBytesReceived);
}

// ---------------------------------------------------------------- request side

quint16 Hexedit::Crc16(const quint8* data, qsizetype length)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = 0; i < length; ++i)
        crc = quint16((crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFF]);
    return crc;
}

QByteArray Hexedit::WithCrc(QByteArray body)
{
    const quint16 crc = Crc16(reinterpret_cast<const quint8*>(body.constData()), body.size());
    body.append(char(crc & 0xFF));
    body.append(char(crc >> 8));
    return body;
}

void Hexedit::CalcRequestCrc(const QByteArray& frame)
{
    const quint16 crc = Crc16(reinterpret_cast<const quint8*>(frame.constData()), frame.size());
    CrcLow = quint8(crc & 0xFF);
    CrcHigh = quint8(crc >> 8);
}

QByteArray Hexedit::ShortFrame(quint8 address, quint8 function, quint16 reg, quint16 word)
{
    QByteArray body(6, '\0');
    body[0] = char(address);
    body[1] = char(function);
    body[2] = char(reg >> 8);
    body[3] = char(reg & 0xFF);
    body[4] = char(word >> 8);
    body[5] = char(word & 0xFF);
    return WithCrc(body);
}

QByteArray Hexedit::ControlFrame(quint8 address, quint8 command, quint16 setpoint, quint16 reg)
{
    // Two registers, four bytes: the command code, then the set-point.
    QByteArray body(11, '\0');
    body[0] = char(address);
    body[1] = char(ControlFunction);
    body[2] = char(reg >> 8);
    body[3] = char(reg & 0xFF);
    body[5] = 0x02;
    body[6] = 0x04;
    body[8] = char(command);
    body[9] = char(setpoint >> 8);
    body[10] = char(setpoint & 0xFF);
    return WithCrc(body);
}

void Hexedit::BuildShortFrame(quint8 fourth, quint8 fifth)
{
    TxFrame = ShortFrame(SlaveAddress, FunctionCode, quint16(RegisterHigh << 8 | RegisterLow),
                         quint16(fourth << 8 | fifth));
    CrcLow = quint8(TxFrame[6]);
    CrcHigh = quint8(TxFrame[7]);
}

std::optional<quint16> Hexedit::ControlSetpoint(const QString& value)
{
    const std::optional<double> hz = NumberText::ParseDecimal(value);
    if (!hz || *hz < 0 || *hz > 1000)
        return std::nullopt;
    // "##0.00" first (decimal rounding, half away from zero), then in 0.01 Hz.
    const QString text = NumberText::Fixed2(*hz);
    const qsizetype dot = text.indexOf(u'.');
    const long long hundredths = text.left(dot).toLongLong() * 100 + text.mid(dot + 1).toInt();
    if (hundredths < 0 || hundredths > 0xFFFF)
        return std::nullopt;
    return quint16(hundredths);
}

std::optional<quint16> Hexedit::ParameterRaw(const QString& value, std::optional<double> scale)
{
    const std::optional<double> number = NumberText::ParseDecimal(value);
    if (!number || !scale || *scale <= 0)
        return std::nullopt;
    const double raw = std::nearbyint(*number / *scale); // ties go to the even neighbour
    if (!(raw >= 0 && raw <= 0xFFFF))
        return std::nullopt;
    return quint16(raw);
}

bool Hexedit::PrepareControlWrite(quint8 address, quint8 command, const QString& value)
{
    SlaveAddress = address;
    FunctionCode = ControlFunction;
    RegisterHigh = quint8(ControlRegister >> 8);
    RegisterLow = quint8(ControlRegister & 0xFF);
    CommandCode = command;
    // A value that does not convert must never go out with the bytes of an
    // earlier set-point: the request is marked unsendable instead.
    const std::optional<quint16> setpoint = ControlSetpoint(value);
    m_controlValueValid = setpoint.has_value();
    if (setpoint) {
        ValueHigh = quint8(*setpoint >> 8);
        ValueLow = quint8(*setpoint & 0xFF);
    }
    return m_controlValueValid;
}

// Every drive on the line obeys a write to address 0 and none answers it. The
// program addresses drives one at a time, so it never writes there: a command
// or parameter meant for one drive must not start or change them all.
bool Hexedit::SendRequest(const QString& parameterValue)
{
    switch (FunctionCode) {
    case ControlFunction: {
        if (!m_controlValueValid || SlaveAddress == BroadcastAddress)
            return false;
        TxFrame = ControlFrame(SlaveAddress, CommandCode, quint16(ValueHigh << 8 | ValueLow),
                               quint16(RegisterHigh << 8 | RegisterLow));
        CrcLow = quint8(TxFrame[11]);
        CrcHigh = quint8(TxFrame[12]);
        break;
    }
    case ReadFunction:
        BuildShortFrame(0, 0);
        break;
    case WriteFunction: {
        const std::optional<quint16> raw = ParameterRaw(parameterValue, ParameterScale);
        if (!raw || SlaveAddress == BroadcastAddress)
            return false;
        ValueHigh = quint8(*raw >> 8);
        ValueLow = quint8(*raw & 0xFF);
        BuildShortFrame(ValueHigh, ValueLow);
        break;
    }
    default:
        // Any other function code repeats the last frame as it stands.
        break;
    }
    return transmit(TxFrame);
}
