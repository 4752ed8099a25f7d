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

// Longest frame the assembler tests: once the index passes this it starts over.
constexpr quint8 kLastFrameIndex = 18;
// Every drive on the line obeys a write to address 0 and none answers it. The
// program addresses drives one at a time, so it never writes there: a command
// or parameter meant for one drive must not start or change them all.
// A backlog above this many bytes is thrown away rather than drained.
constexpr qint64 kDrainBacklogLimit = 200;

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

// The traffic-log text of every byte value ("0 ", "1F ", "C8 "), made once at
// compile time so that logging a byte allocates nothing.
struct ByteText
{
    char16_t text[3];
    qsizetype size;
};
constexpr std::array<ByteText, 256> makeByteTexts()
{
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::array<ByteText, 256> texts{};
    for (int value = 0; value < 256; ++value) {
        ByteText& t = texts[size_t(value)];
        if (value >= 16)
            t.text[t.size++] = digits[value >> 4];
        t.text[t.size++] = digits[value & 0xF];
        t.text[t.size++] = u' ';
    }
    return texts;
}
constexpr std::array<ByteText, 256> kByteTexts = makeByteTexts();

QString hexByte(quint8 byte)
{
    const ByteText& t = kByteTexts[byte];
    return QString::fromRawData(reinterpret_cast<const QChar*>(t.text), t.size);
}

// True when the frame just completed is, byte for byte, the read of a running
// value or of the status that we sent last. Two-wire RS-485 adapters hear
// their own requests, and such an echo is itself a CRC-valid function-3 frame
// for the very register asked for: decoded, it would show 0 Hz, a stopped
// drive turning in reverse with its fault lamp lit. A drive answers these
// reads with ten bytes; for its first eight to pass for the request, the value
// would have to be 0 and the state or decimal-code bytes the request's CRC,
// which no address and register we read allows. So nothing a drive says is
// lost by passing over the echo. Parameter reads are another matter: a
// parameter whose value is 0 answers with the very bytes of the request
// (see isLineEcho).
bool isEchoOfMonitorRead(const QByteArray& sent, const std::array<quint8, 21>& buffer,
                         quint8 lastIndex)
{
    if (sent.size() != qsizetype(lastIndex) + 1 || sent.size() != 8 ||
        quint8(sent[1]) != ReadFunction)
        return false;
    const quint8 block = quint8(sent[2]);
    if (block != RunningValueBlock && block != StatusBlock)
        return false;
    return std::equal(sent.cbegin(), sent.cend(), buffer.cbegin(),
                      [](char a, quint8 b) { return quint8(a) == b; });
}

} // namespace

Hexedit::Hexedit(SerialPort& port, QObject* parent) : QObject(parent), m_port(port)
{
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

void Hexedit::BuildShortFrame(quint8 fourth, quint8 fifth)
{
    TxFrame.resize(6);
    TxFrame[0] = char(SlaveAddress);
    TxFrame[1] = char(FunctionCode);
    TxFrame[2] = char(RegisterHigh);
    TxFrame[3] = char(RegisterLow);
    TxFrame[4] = char(fourth);
    TxFrame[5] = char(fifth);
    CalcRequestCrc(TxFrame);
    TxFrame.append(char(CrcLow));
    TxFrame.append(char(CrcHigh));
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

bool Hexedit::SendRequest(const QString& parameterValue)
{
    switch (FunctionCode) {
    case ControlFunction: {
        if (!m_controlValueValid || SlaveAddress == BroadcastAddress)
            return false;
        TxFrame = QByteArray(11, '\0');
        TxFrame[0] = char(SlaveAddress);
        TxFrame[1] = char(ControlFunction);
        TxFrame[2] = char(RegisterHigh);
        TxFrame[3] = char(RegisterLow);
        TxFrame[4] = 0x00;
        TxFrame[5] = 0x02;
        TxFrame[6] = 0x04;
        TxFrame[7] = 0x00;
        TxFrame[8] = char(CommandCode);
        TxFrame[9] = char(ValueHigh);
        TxFrame[10] = char(ValueLow);
        CalcRequestCrc(TxFrame);
        TxFrame.append(char(CrcLow));
        TxFrame.append(char(CrcHigh));
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

// ---------------------------------------------------------------- receive side

void Hexedit::ResetLine()
{
    m_lastRequestAddress.reset();
    m_lineEchoes = false;
    m_answersFirst = false;
    m_framesSinceSend = 0;
    m_firstWasOwnRequest = false;
    m_answerTimer.stop();
    m_waiting.clear();
    m_onWire.clear();
    RxIndex = 0;
    emit lineReset();
}

void Hexedit::OnBytesReceived()
{
    emit receiveEvent();
    m_drainTimer.start();
    if (const std::optional<quint8> byte = m_port.readByte())
        ReceiveByte(*byte);
}

void Hexedit::DrainTick()
{
    const qint64 waiting = m_port.bytesWaiting();
    if (waiting > kDrainBacklogLimit)
        m_port.clearInput();
    if (waiting == 0) {
        m_drainTimer.stop();
        return;
    }
    if (const std::optional<quint8> byte = m_port.readByte())
        ReceiveByte(*byte);
}

void Hexedit::CalcReceiveCrc()
{
    // RxIndex points at the second CRC byte; the CRC covers everything before
    // the first one.
    const qsizetype length = RxIndex >= 1 ? qsizetype(RxIndex) - 1 : 0;
    const quint16 crc = Crc16(RxBuffer.data(), std::min<qsizetype>(length, RxBuffer.size()));
    RxCrcLow = quint8(crc & 0xFF);
    RxCrcHigh = quint8(crc >> 8);
}

void Hexedit::ReceiveByte(quint8 byte)
{
    // Callers may set RxIndex freely; never let it address past the buffer.
    if (RxIndex >= RxBuffer.size())
        RxIndex = 0;
    RxBuffer[RxIndex] = byte;
    ++m_strayBytes;
    emit trafficLog(hexByte(byte));

    if (RxIndex > kLastFrameIndex)
        RxIndex = 0;
    if (RxBuffer[0] > HighestAddress) {
        RxIndex = 0;
        return;
    }
    const quint8 function = RxBuffer[1];
    if (function != ReadFunction && function != WriteFunction && function != ControlFunction) {
        if (takeException()) {
            emit trafficLog(QStringLiteral("\r\n"));
            RxIndex = 0;
            return;
        }
        ++RxIndex;
        return;
    }
    if (RxIndex <= 5) {
        ++RxIndex;
        return;
    }
    CalcReceiveCrc();
    if (RxCrcLow != RxBuffer[RxIndex - 1] || RxCrcHigh != RxBuffer[RxIndex]) {
        ++RxIndex;
        return;
    }
    const bool ownRequest = isOwnRequest();
    const QByteArray frame(reinterpret_cast<const char*>(RxBuffer.data()), qsizetype(RxIndex) + 1);
    if (!ownRequest && !hasReplyShape()) {
        // A reply passes its CRC check early now and then, where its CRC's
        // high byte is 0: a running value or status at nine bytes (whole at
        // ten), a parameter or control answer at seven (whole at eight).
        const bool monitor = RxBuffer[2] == RunningValueBlock || RxBuffer[2] == StatusBlock;
        const bool shortReply = (RxBuffer[2] <= LastParameterGroup &&
                                 (RxBuffer[1] == ReadFunction || RxBuffer[1] == WriteFunction)) ||
                                RxBuffer[1] == ControlFunction;
        if ((RxBuffer[1] == ReadFunction && monitor && RxIndex + 1 < MonitorReplyLength) ||
            (!monitor && shortReply && RxIndex + 1 < ShortReplyLength)) {
            ++RxIndex;
            return;
        }
        // Any other frame with a right CRC but the wrong shape for its kind (a
        // write echo naming the running values, a status in eight bytes) is no
        // answer the drives give: it stays in the traffic log, unshown.
        m_strayBytes -= int(frame.size());
        emit trafficLog(QStringLiteral("\r\n"));
        RxIndex = 0;
        return;
    }
    m_strayBytes -= int(frame.size());
    const int position = m_framesSinceSend;
    if (!isLineEcho() && hasReplyShape()) {
        // A frame with the request's very bytes may yet be an echo the line
        // has not shown itself to make: it is taken for the answer on a line
        // where answers are known to come first, or after the echo.
        const bool answer = AwaitingAnswer() && isAnswerTo(m_onWire) &&
                            (!ownRequest || m_answersFirst || (m_lineEchoes && position == 1));
        DecodeResponse();
        if (answer)
            answerArrived(frame);
    }
    emit trafficLog(QStringLiteral("\r\n"));
    RxIndex = 0;
}

bool Hexedit::hasReplyShape() const
{
    const int length = RxIndex + 1;
    const quint8 function = RxBuffer[1];
    const quint8 kind = RxBuffer[2];
    if (kind == RunningValueBlock || kind == StatusBlock)
        return function == ReadFunction && length == MonitorReplyLength;
    if (kind <= LastParameterGroup)
        return length == ShortReplyLength &&
               (function == ReadFunction || function == WriteFunction);
    // The drive's answer to a control write: not shown, but it is the answer.
    return function == ControlFunction && length == ShortReplyLength;
}

bool Hexedit::isOwnRequest() const
{
    return m_onWire.size() == qsizetype(RxIndex) + 1 &&
           std::equal(m_onWire.cbegin(), m_onWire.cend(), RxBuffer.cbegin(),
                      [](char a, quint8 b) { return quint8(a) == b; });
}

bool Hexedit::isLineEcho()
{
    const int position = m_framesSinceSend;
    if (m_framesSinceSend < 2) // only the first two frames after a send matter
        ++m_framesSinceSend;
    const bool ownRequest = isOwnRequest();
    // The read of a running value or the status, or a control write, coming
    // back as it went out can only be the adapter hearing itself.
    if (ownRequest && (isEchoOfMonitorRead(m_onWire, RxBuffer, RxIndex) ||
                       quint8(m_onWire[1]) == ControlFunction)) {
        m_lineEchoes = true;
        m_answersFirst = false;
        return true;
    }
    if (position == 0) {
        // A parameter whose value is 0 answers a read with the very bytes of
        // the request, so such a frame teaches nothing about the line: on a
        // line known to echo, the first one after a send is the echo; on any
        // other line it is the drive's answer.
        m_firstWasOwnRequest = ownRequest;
        if (ownRequest)
            return m_lineEchoes;
        m_lineEchoes = false; // an answer came first: this line does not echo
        m_answersFirst = true;
    } else if (position == 1 && m_firstWasOwnRequest && !ownRequest && isAnswerTo(m_onWire) &&
               RxBuffer[2] == quint8(m_onWire[2]) && RxBuffer[3] == quint8(m_onWire[3])) {
        // The request's bytes, then a different value for the same parameter
        // of the same drive: a drive answers once, so the first was the echo.
        // A second frame of any other kind proves nothing.
        m_lineEchoes = true;
        m_answersFirst = false;
    }
    return false;
}

float Hexedit::RunningFactor(quint8 decimalCode)
{
    switch (decimalCode) {
    case 4:
        return 0.1f;
    case 8:
        return 0.01f;
    case 16:
        return 0.001f;
    default:
        return 1.0f;
    }
}

void Hexedit::DecodeResponse()
{
    const quint8 kind = RxBuffer[2];
    const quint16 word = quint16(RxBuffer[4] << 8 | RxBuffer[5]);
    if (kind <= LastParameterGroup) {
        emit parameterReceived({RxBuffer[0], kind, RxBuffer[3], word});
    } else if (kind == RunningValueBlock) {
        RunningValueReply reply;
        reply.address = RxBuffer[0];
        reply.index = RxBuffer[3];
        reply.raw = word;
        reply.decimalCode = RxBuffer[7] & DecimalCodeMask;
        reply.value = float(word) * RunningFactor(reply.decimalCode);
        emit runningValueReceived(reply);
    } else if (kind == StatusBlock) {
        StatusReply reply;
        reply.address = RxBuffer[0];
        reply.statusWord = word;
        reply.reverse = RxBuffer[6] & ReverseFlag;
        reply.running = RxBuffer[6] & RunningFlag;
        reply.fault = RxBuffer[7] & FaultFlag;
        reply.faultNumber = FaultNumberOf(word);
        emit statusReceived(reply);
    }
}
