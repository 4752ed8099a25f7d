// SPDX-License-Identifier: GPL-3.0-or-later
#include "Readiness.h"

#include "Hexedit.h"
#include "LinkClient.h"
#include "RtuProtocol.h"

#include <memory>

namespace {

QString runSourceName(quint16 value)
{
    switch (value) {
    case 0:
        return QStringLiteral("keypad");
    case 1:
        return QStringLiteral("terminals");
    case 2:
        return QStringLiteral("serial line");
    }
    return QStringLiteral("unknown source");
}

QString frequencySourceName(quint16 value)
{
    switch (value) {
    case 0:
        return QStringLiteral("panel potentiometer");
    case 1:
        return QStringLiteral("keypad");
    case 2:
        return QStringLiteral("terminals UP/DOWN");
    case 3:
        return QStringLiteral("serial line");
    case 4:
        return QStringLiteral("AVI input");
    case 5:
        return QStringLiteral("ACI input");
    case 6:
        return QStringLiteral("pulse input");
    case 7:
        return QStringLiteral("combination");
    case 8:
        return QStringLiteral("external terminal");
    }
    return QStringLiteral("unknown source");
}

} // namespace

QStringList Readiness::problems() const
{
    QStringList list;
    if (runSource && !obeysRunCommands())
        list << QStringLiteral("drive %1 will ignore run commands from the line: P0.04 = %2 (%3); "
                               "set it to 2 for serial control")
                    .arg(address)
                    .arg(*runSource)
                    .arg(runSourceName(*runSource));
    if (frequencySource && !takesFrequency())
        list << QStringLiteral("drive %1 will keep its own frequency, not the line's: P0.01 = %2 "
                               "(%3); set it to 3 for the serial line")
                    .arg(address)
                    .arg(*frequencySource)
                    .arg(frequencySourceName(*frequencySource));
    return list;
}

QString Readiness::note() const
{
    QStringList words;
    if (runSource && !obeysRunCommands())
        words << QStringLiteral("ignores run commands (P0.04 = %1)").arg(*runSource);
    if (frequencySource && !takesFrequency())
        words << QStringLiteral("own frequency (P0.01 = %1)").arg(*frequencySource);
    return words.join(QStringLiteral("; "));
}

ReadinessCheck::ReadinessCheck(LinkClient& client, QObject* parent)
    : QObject(parent), m_session(client.openSession(this))
{
}

void ReadinessCheck::check(quint8 address, std::function<void(const Readiness&)> done)
{
    auto result = std::make_shared<Readiness>();
    result->address = address;
    m_session->submit(LinkRequest::read(address, Readiness::RunSourceRegister),
                      [result](const LinkResult& r) {
                          if (r.ok())
                              result->runSource = r.value;
                      });
    m_session->submit(LinkRequest::read(address, Readiness::FrequencySourceRegister),
                      [result, done = std::move(done)](const LinkResult& r) {
                          if (r.ok())
                              result->frequencySource = r.value;
                          done(*result);
                      });
}

void ReadinessCheck::cancel()
{
    m_session->cancel();
}

ReadinessBook::ReadinessBook(Hexedit& link, QObject* parent) : QObject(parent)
{
    connect(&link, &Hexedit::answerReceived, this, &ReadinessBook::onAnswer);
    connect(&link, &Hexedit::lineReset, this, [this] {
        m_drives.clear();
        emit forgotten();
    });
}

Readiness ReadinessBook::of(quint8 address) const
{
    Readiness known = m_drives.value(address);
    known.address = address;
    return known;
}

void ReadinessBook::onAnswer(const QByteArray& request, const QByteArray& answer)
{
    // A read's answer or a write's echo of P0.04 or P0.01: same drive, same
    // function, same register, the value in bytes 4 and 5.
    if (request.size() < 6 || answer.size() < Rtu::ShortReplyLength || answer[0] != request[0] ||
        answer[1] != request[1] || answer[2] != request[2] || answer[3] != request[3])
        return;
    const quint8 function = quint8(request[1]);
    if (function != Rtu::ReadFunction && function != Rtu::WriteFunction)
        return;
    const quint8 address = quint8(request[0]);
    if (address == Rtu::BroadcastAddress || address > Rtu::HighestAddress)
        return;
    const quint16 reg = quint16(quint8(request[2]) << 8 | quint8(request[3]));
    if (reg != Readiness::RunSourceRegister && reg != Readiness::FrequencySourceRegister)
        return;
    const quint16 value = quint16(quint8(answer[4]) << 8 | quint8(answer[5]));
    Readiness& drive = m_drives[address];
    drive.address = address;
    std::optional<quint16>& source =
        reg == Readiness::RunSourceRegister ? drive.runSource : drive.frequencySource;
    if (source == value)
        return;
    source = value;
    if (drive.known())
        emit learned(drive);
}
