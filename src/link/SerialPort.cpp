// SPDX-License-Identifier: GPL-3.0-or-later
#include "SerialPort.h"
#include "ParityTable.h"

#include <QStringList>

std::optional<SerialSettings> SerialSettings::parse(const QString& text)
{
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    SerialSettings s;
    bool ok = false;
    s.baudRate = fields[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const std::optional<Parity> parity = parityFromLetter(fields[1].trimmed());
    if (!parity)
        return std::nullopt;
    s.parity = *parity;

    s.dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return std::nullopt;

    const QString stop = fields[3].trimmed();
    if (stop == u"1")
        s.stopBits = StopBits::One;
    else if (stop == u"1.5")
        s.stopBits = StopBits::OneAndHalf;
    else if (stop == u"2")
        s.stopBits = StopBits::Two;
    else
        return std::nullopt;
    return s;
}

QString SerialSettings::toString() const
{
    static const char* const stops[] = {"1", "1.5", "2"};
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(parityLetter(parity))
        .arg(dataBits)
        .arg(QLatin1String(stops[int(stopBits)]));
}

QString SerialSettings::parityLetter(Parity parity)
{
    return QString(QLatin1Char(ParityTable::of(parity).letter));
}

QString SerialSettings::parityName(Parity parity)
{
    return QLatin1String(ParityTable::of(parity).name);
}

std::optional<SerialSettings::Parity> SerialSettings::parityFromLetter(const QString& letter)
{
    for (const ParityTable::Row& row : ParityTable::kRows)
        if (letter.compare(QLatin1Char(row.letter), Qt::CaseInsensitive) == 0)
            return row.parity;
    return std::nullopt;
}

std::optional<SerialSettings::Parity> SerialSettings::parityFromName(const QString& name)
{
    for (const ParityTable::Row& row : ParityTable::kRows)
        if (name == QLatin1String(row.name))
            return row.parity;
    return std::nullopt;
}

double SerialSettings::bitsPerCharacter() const
{
    const double stop = stopBits == StopBits::One ? 1.0 : stopBits == StopBits::Two ? 2.0 : 1.5;
    return 1.0 + dataBits + (parity == Parity::None ? 0.0 : 1.0) + stop;
}

int SerialPort::errorNumber(OpenError error)
{
    switch (error) {
    case OpenError::InvalidPort:
        return InvalidPortNumber;
    case OpenError::PortBusy:
        return PortAlreadyOpenNumber;
    case OpenError::DeviceNotOpen:
        return DeviceNotOpenNumber;
    default:
        return 0;
    }
}

bool SerialPort::setSettings(const QString& text)
{
    const std::optional<SerialSettings> parsed = SerialSettings::parse(text);
    if (!parsed || !applySettings(*parsed))
        return false;
    m_settings = *parsed;
    m_settingsText = text;
    return true;
}
