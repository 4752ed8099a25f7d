// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimKeypad.h"

#include "SimulatedBus.h"
#include "SimulatedDrive.h"

#include <QRegularExpression>
#include <QSocketNotifier>
#include <QStringList>
#include <unistd.h>

SimKeypad::SimKeypad(SimulatedBus& bus, QObject* parent) : QObject(parent), m_bus(bus) {}

void SimKeypad::listen()
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimKeypad::readInput);
}

void SimKeypad::readInput()
{
    char buffer[512];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        // The input closed (or was never there): nothing more will come.
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, qsizetype(got));
    // A line longer than any command is no command.
    if (m_pending.size() > 4096)
        m_pending.clear();
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty())
            emit said(apply(line));
    }
}

QString SimKeypad::apply(const QString& line)
{
    const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
    bool ok = false;
    const int address = words.value(1).toInt(&ok);
    SimulatedDrive* drive = ok ? m_bus.drive(quint8(std::clamp(address, 0, 255))) : nullptr;
    if (words.size() != 3 || (words[0] != u"keypad" && words[0] != u"trip"))
        return QStringLiteral("keypad: \"%1\" is not \"keypad ADDRESS P0.14=RAW\" or \"trip "
                              "ADDRESS NUMBER\"")
            .arg(line.left(80));
    if (!drive)
        return QStringLiteral("keypad: no drive %1 here").arg(words[1]);
    if (words[0] == u"trip") {
        const int number = words[2].toInt(&ok);
        if (!ok || number < 1 || number > 255)
            return QStringLiteral("keypad: a fault number is 1 to 255");
        drive->trip(number);
        return QStringLiteral("keypad: drive %1 tripped with fault %2").arg(address).arg(number);
    }
    static const QRegularExpression form(QStringLiteral("^P([0-9A])\\.([0-9]{2})=([0-9]+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(words[2]);
    const uint raw = m.hasMatch() ? m.captured(3).toUInt(&ok) : 0;
    if (!m.hasMatch() || !ok || raw > 0xFFFF)
        return QStringLiteral("keypad: write the parameter as P0.14=RAW (its register value)");
    const int group = m.captured(1).toUpper() == u"A" ? 10 : m.captured(1).toInt();
    const int index = m.captured(2).toInt();
    switch (drive->parameters().write(group, index, quint16(raw))) {
    case DriveParameters::WriteResult::Stored:
        return QStringLiteral("keypad: drive %1 P%2.%3 = %4")
            .arg(address)
            .arg(m.captured(1).toUpper(), m.captured(2))
            .arg(raw);
    case DriveParameters::WriteResult::OutOfRange:
        return QStringLiteral("keypad: drive %1 refuses %2: out of range")
            .arg(address)
            .arg(words[2]);
    case DriveParameters::WriteResult::NoSuchRegister:
        break;
    }
    return QStringLiteral("keypad: drive %1 has no parameter %2").arg(address).arg(words[2]);
}
