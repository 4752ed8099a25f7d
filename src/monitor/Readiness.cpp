// SPDX-License-Identifier: GPL-3.0-or-later
#include "Readiness.h"

#include "LinkClient.h"

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
