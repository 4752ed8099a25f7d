// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShareRules.h"

#include "ParamSet.h"
#include "RtuProtocol.h"

namespace ShareRules {

namespace {

QString hz(quint16 raw)
{
    return QString::number(raw / 100.0, 'f', 2);
}

bool knownCode(quint8 code)
{
    using namespace Rtu;
    for (const quint8 c : {StopCode, ForwardCode, JogForwardCode, SingleForwardCode, ReverseCode,
                           JogReverseCode, SingleReverseCode})
        if (c == code)
            return true;
    return false;
}

} // namespace

std::optional<Refusal> parameterWrite(const LineShareConfig& share, quint8 unit,
                                      const DriveView& drive, quint16 reg, quint16 raw)
{
    if (!share.writes)
        return Refusal{IllegalFunction, QStringLiteral("writes are not allowed on this line "
                                                       "(share-writes)")};
    if (unit == Rtu::BroadcastAddress)
        return Refusal{IllegalFunction, QStringLiteral("a write to every drive at once is never "
                                                       "passed on")};
    if (!drive.served)
        return Refusal{PathUnavailable,
                       QStringLiteral("drive %1 is not a drive of this line").arg(unit)};
    if (!ParamCatalogue::offered(reg) || ParamCatalogue::reserved(reg))
        return Refusal{IllegalAddress,
                       QStringLiteral("register %1 is no parameter that can be written")
                           .arg(reg, 4, 16, QLatin1Char('0'))};
    const QString number = ParamCatalogue::number(reg);
    if ((reg == 0x0800 || reg == 0x0801) && !share.include.contains(reg))
        return Refusal{
            IllegalFunction,
            QStringLiteral("%1 changes how the drive is reached (share-include)").arg(number)};
    if (!ParamCatalogue::withinLimits(reg, raw))
        return Refusal{IllegalValue, QStringLiteral("%1 = %2 lies outside %3 .. %4")
                                         .arg(number, ParamCatalogue::shown(reg, raw),
                                              ParamCatalogue::minimumText(reg),
                                              ParamCatalogue::maximumText(reg))};
    if (!drive.running)
        return Refusal{TargetSilent,
                       QStringLiteral("drive %1 has not answered its status").arg(unit)};
    if (*drive.running)
        return Refusal{DeviceBusy, QStringLiteral("drive %1 runs: parameters are written at a "
                                                  "standstill")
                                       .arg(unit)};
    return std::nullopt;
}

bool isStop(quint8 code)
{
    return code == Rtu::StopCode;
}

bool usesSetpoint(quint8 code)
{
    using namespace Rtu;
    return code == ForwardCode || code == ReverseCode || code == SingleForwardCode ||
           code == SingleReverseCode;
}

std::optional<Refusal> runCommand(const LineShareConfig& share, quint8 unit, const DriveView& drive,
                                  quint8 code)
{
    if (isStop(code))
        return std::nullopt;
    if (!share.commands)
        return Refusal{IllegalFunction, QStringLiteral("run commands are not allowed on this line "
                                                       "(share-commands)")};
    if (!knownCode(code))
        return Refusal{IllegalValue,
                       QStringLiteral("0x%1 is no run command").arg(code, 2, 16, QLatin1Char('0'))};
    if (unit == Rtu::BroadcastAddress)
        return Refusal{IllegalFunction, QStringLiteral("only a STOP goes to every drive at once")};
    if (!drive.served)
        return Refusal{PathUnavailable,
                       QStringLiteral("drive %1 is not a drive of this line").arg(unit)};
    return std::nullopt;
}

std::optional<Refusal> aboveUpperLimit(quint16 setpoint, quint16 upper)
{
    if (setpoint <= upper)
        return std::nullopt;
    return Refusal{IllegalValue,
                   QStringLiteral("%1 Hz lies above the drive's upper limit (P0.06 = %2 Hz)")
                       .arg(hz(setpoint), hz(upper))};
}

QString commandText(quint8 code, quint16 setpoint)
{
    using namespace Rtu;
    switch (code) {
    case StopCode:
        return QStringLiteral("stop");
    case ForwardCode:
        return QStringLiteral("forward %1 Hz").arg(hz(setpoint));
    case ReverseCode:
        return QStringLiteral("reverse %1 Hz").arg(hz(setpoint));
    case SingleForwardCode:
        return QStringLiteral("forward (single drive) %1 Hz").arg(hz(setpoint));
    case SingleReverseCode:
        return QStringLiteral("reverse (single drive) %1 Hz").arg(hz(setpoint));
    case JogForwardCode:
        return QStringLiteral("jog forward");
    case JogReverseCode:
        return QStringLiteral("jog reverse");
    default:
        return QStringLiteral("command 0x%1").arg(code, 2, 16, QLatin1Char('0'));
    }
}

} // namespace ShareRules
