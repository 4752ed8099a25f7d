// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedBus.h"

#include "Hexedit.h"
#include "RtuProtocol.h"

namespace {

constexpr quint8 kRead = Rtu::ReadFunction;
constexpr quint8 kWriteSingle = Rtu::WriteFunction;
constexpr quint8 kWriteMultiple = Rtu::ControlFunction;
constexpr quint16 kControlRegister = Rtu::ControlRegister;
constexpr quint16 kSetpointRegister = Rtu::SetpointRegister;
constexpr quint16 kAddressParameter = 0x0800; // P8.00
constexpr int kMaxStandardRead = 125;

quint8 at(const QByteArray& frame, int offset)
{
    return quint8(frame.at(offset));
}

quint16 wordAt(const QByteArray& frame, int offset)
{
    return quint16(at(frame, offset) << 8 | at(frame, offset + 1));
}

QByteArray exceptionReply(quint8 address, quint8 function, quint8 code)
{
    QByteArray body;
    body.append(char(address));
    body.append(char(function | Rtu::ExceptionFlag));
    body.append(char(code));
    return Hexedit::WithCrc(body);
}

} // namespace

SimulatedBus::SimulatedBus(const QList<quint8>& addresses)
{
    for (quint8 address : addresses) {
        if (address >= 1 && address <= 247 && !drive(address))
            m_drives.push_back(std::make_unique<SimulatedDrive>(address));
    }
}

SimulatedDrive* SimulatedBus::drive(quint8 address)
{
    for (const auto& d : m_drives) {
        if (d->address() == address)
            return d.get();
    }
    return nullptr;
}

QList<SimulatedDrive*> SimulatedBus::drives()
{
    QList<SimulatedDrive*> list;
    for (const auto& d : m_drives)
        list.append(d.get());
    return list;
}

void SimulatedBus::advanceTo(qint64 us)
{
    if (us <= m_nowUs)
        return;
    for (const auto& d : m_drives)
        d->advance(us - m_nowUs);
    m_nowUs = us;
}

bool SimulatedBus::hasValidCrc(const QByteArray& frame)
{
    if (frame.size() < 4)
        return false;
    const quint16 crc =
        Hexedit::Crc16(reinterpret_cast<const quint8*>(frame.constData()), frame.size() - 2);
    return at(frame, frame.size() - 2) == (crc & 0xFF) && at(frame, frame.size() - 1) == crc >> 8;
}

bool SimulatedBus::addressFree(quint8 address, const SimulatedDrive& except) const
{
    for (const auto& d : m_drives) {
        if (d.get() != &except && d->address() == address)
            return false;
    }
    return true;
}

std::optional<SimulatedBus::Reply> SimulatedBus::handle(const QByteArray& request)
{
    if (!hasValidCrc(request))
        return std::nullopt;
    const quint8 address = at(request, 0);
    if (address == 0) {
        // A broadcast is carried out by every drive and answered by none; only
        // writes make sense that way.
        const quint8 function = at(request, 1);
        if (function == kWriteSingle || function == kWriteMultiple) {
            for (SimulatedDrive* d : drives())
                execute(*d, request);
        }
        return std::nullopt;
    }
    SimulatedDrive* target = drive(address);
    if (!target)
        return std::nullopt;
    const int delay = target->responseDelayMs();
    if (std::optional<QByteArray> reply = execute(*target, request))
        return Reply{*reply, delay};
    return std::nullopt;
}

QStringList SimulatedBus::takeNotes()
{
    QStringList notes;
    for (SimulatedDrive* d : drives())
        notes << d->takeNotes();
    return notes;
}

std::optional<QByteArray> SimulatedBus::execute(SimulatedDrive& drive, const QByteArray& request)
{
    const quint8 function = at(request, 1);
    switch (function) {
    case kRead:
        return readRequest(drive, request);
    case kWriteSingle:
        return writeSingle(drive, request);
    case kWriteMultiple:
        return writeControl(drive, request);
    default:
        return exceptionReply(at(request, 0), function, IllegalFunction);
    }
}

std::optional<QByteArray> SimulatedBus::readRequest(SimulatedDrive& drive,
                                                    const QByteArray& request)
{
    const quint8 address = at(request, 0);
    if (request.size() != 8)
        return exceptionReply(address, kRead, IllegalValue);
    const quint16 reg = wordAt(request, 2);
    const quint16 count = wordAt(request, 4);
    QByteArray body;
    body.append(char(address));
    body.append(char(kRead));

    if (count == 0) {
        // The drive's own layouts: the register comes back in bytes 2 and 3.
        body.append(request.mid(2, 2));
        if (reg >> 8 <= Rtu::LastParameterGroup) {
            const std::optional<quint16> raw = drive.parameters().raw(reg >> 8, reg & 0xFF);
            if (!raw)
                return exceptionReply(address, kRead, IllegalAddress);
            body.append(char(*raw >> 8));
            body.append(char(*raw & 0xFF));
        } else if (reg >> 8 == Rtu::RunningValueBlock) {
            const auto value = drive.runningValue(reg & 0xFF);
            if (!value)
                return exceptionReply(address, kRead, IllegalAddress);
            body.append(char(value->raw >> 8));
            body.append(char(value->raw & 0xFF));
            body.append(char(0));
            body.append(char(value->decimalCode));
        } else if (reg == Rtu::StatusRegister) {
            const quint16 word = drive.statusWord();
            body.append(char(word >> 8));
            body.append(char(word & 0xFF));
            body.append(char(drive.stateFlags()));
            body.append(char(drive.faultFlags()));
        } else {
            return exceptionReply(address, kRead, IllegalAddress);
        }
        return Hexedit::WithCrc(body);
    }

    if (count > kMaxStandardRead)
        return exceptionReply(address, kRead, IllegalValue);
    switch (drive.standardReads()) {
    case SimulatedDrive::StandardReads::Answered:
        break;
    case SimulatedDrive::StandardReads::Refused:
        // A drive that knows only a count of 0 takes any other as a bad value.
        return exceptionReply(address, kRead, IllegalValue);
    case SimulatedDrive::StandardReads::Ignored:
        return std::nullopt;
    }
    const int answered =
        drive.mostPerRead() > 0 ? std::min<int>(count, drive.mostPerRead()) : count;
    body.append(char(answered * 2));
    for (int i = 0; i < answered; ++i) {
        const std::optional<quint16> word =
            reg + i <= 0xFFFF ? drive.readRegister(quint16(reg + i)) : std::nullopt;
        if (!word)
            return exceptionReply(address, kRead, IllegalAddress);
        body.append(char(*word >> 8));
        body.append(char(*word & 0xFF));
    }
    return Hexedit::WithCrc(body);
}

std::optional<QByteArray> SimulatedBus::writeSingle(SimulatedDrive& drive,
                                                    const QByteArray& request)
{
    const quint8 address = at(request, 0);
    if (request.size() != 8)
        return exceptionReply(address, kWriteSingle, IllegalValue);
    const quint16 reg = wordAt(request, 2);
    const quint16 value = wordAt(request, 4);

    if (reg == kControlRegister) {
        if (value > 0xFF ||
            !drive.command(quint8(value), drive.readRegister(kSetpointRegister).value_or(0)))
            return exceptionReply(address, kWriteSingle, IllegalValue);
        return request;
    }
    if (reg == kSetpointRegister) {
        drive.setSetpoint(value);
        return request;
    }
    if (reg == kAddressParameter &&
        (value == 0 || !addressFree(quint8(value), drive) || value > 0xFF))
        return exceptionReply(address, kWriteSingle, IllegalValue);
    switch (drive.parameters().write(reg >> 8, reg & 0xFF, value)) {
    case DriveParameters::WriteResult::Stored:
        return request; // the standard echo: the request itself
    case DriveParameters::WriteResult::OutOfRange:
        return exceptionReply(address, kWriteSingle, IllegalValue);
    case DriveParameters::WriteResult::NoSuchRegister:
        break;
    }
    return exceptionReply(address, kWriteSingle, IllegalAddress);
}

std::optional<QByteArray> SimulatedBus::writeControl(SimulatedDrive& drive,
                                                     const QByteArray& request)
{
    const quint8 address = at(request, 0);
    if (request.size() < 9)
        return exceptionReply(address, kWriteMultiple, IllegalValue);
    const quint16 reg = wordAt(request, 2);
    const quint16 count = wordAt(request, 4);
    const quint8 byteCount = at(request, 6);
    if (count < 1 || byteCount != count * 2 || request.size() != 9 + byteCount)
        return exceptionReply(address, kWriteMultiple, IllegalValue);
    if (reg < kControlRegister || reg + count - 1 > kSetpointRegister)
        return exceptionReply(address, kWriteMultiple, IllegalAddress);

    std::optional<quint16> command;
    quint16 setpoint = drive.readRegister(kSetpointRegister).value_or(0);
    for (int i = 0; i < count; ++i) {
        const quint16 word = wordAt(request, 7 + 2 * i);
        if (reg + i == kControlRegister)
            command = word;
        else
            setpoint = word;
    }
    if (command) {
        if (*command > 0xFF || !drive.command(quint8(*command), setpoint))
            return exceptionReply(address, kWriteMultiple, IllegalValue);
    } else {
        drive.setSetpoint(setpoint);
    }
    return Hexedit::WithCrc(request.left(6));
}
