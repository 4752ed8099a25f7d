// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaultEvents.h"

#include "BrokerLink.h"
#include "LinkClient.h"
#include "RunningValues.h"
#include "Sampler.h"
#include "Tab.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>

namespace {

// The values kept at the last fault, by the names the service publishes
// running values under.
struct AtFault
{
    RunningValues::Index index;
    const char* key;
};
constexpr AtFault kAtFault[] = {
    {RunningValues::FrequencyOutAtLastFault, "freq-out"},
    {RunningValues::FrequencySetAtLastFault, "freq-set"},
    {RunningValues::CurrentAtLastFault, "current"},
    {RunningValues::VoltageAtLastFault, "voltage"},
    {RunningValues::DcBusAtLastFault, "dc-bus"},
    {RunningValues::TemperatureAtLastFault, "module-temp"},
};

QString codeOf(int number)
{
    const auto code = Tab::FaultCode(number);
    return code ? QString::fromUtf8(code->data(), qsizetype(code->size())) : QString();
}

} // namespace

FaultEvents::FaultEvents(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
                         BrokerLink& broker, QObject* parent)
    : QObject(parent), m_line(line), m_config(config), m_broker(broker),
      m_session(client.openSession(this))
{
}

FaultEvents::~FaultEvents()
{
    delete m_session;
}

void FaultEvents::take(const RecordEvent& event)
{
    if (event.kind != RecordEvent::Kind::Trip || !m_line.drives.contains(event.address))
        return;
    const quint8 address = event.address;
    const int count = ++m_counts[address];
    const int number = event.faultNumber;
    const QDateTime time = event.time.isValid() ? event.time : QDateTime::currentDateTime();
    emit logLine(QStringLiteral("line %1: drive %2 tripped: %3 %4")
                     .arg(m_line.name)
                     .arg(address)
                     .arg(codeOf(number), QString::fromStdString(Tab::FaultDescription(number))));
    // The records and the values at the fault, as vfdctl faults reads them.
    QList<quint16> registers;
    for (int r = RunningValues::FaultRecord1; r <= RunningValues::FaultRecord3; ++r)
        registers << Rtu::RunningValueRegister(quint8(r));
    for (const AtFault& a : kAtFault)
        registers << Rtu::RunningValueRegister(a.index);
    auto results = std::make_shared<QList<LinkResult>>();
    for (const quint16 reg : registers)
        m_session->submit(LinkRequest::read(address, reg), [=, this](const LinkResult& r) {
            results->append(r);
            if (results->size() < registers.size())
                return;
            bool complete = true;
            auto valueAt = [&](int i) -> std::optional<double> {
                const LinkResult& x = results->at(i);
                if (!x.ok() || x.answer.size() < Rtu::MonitorReplyLength) {
                    complete = false;
                    return std::nullopt;
                }
                return double(Hexedit::DecodeRunningValue(x.answer).value);
            };
            QJsonArray records;
            for (int i = 0; i < 3; ++i) {
                QJsonObject o{{QStringLiteral("record"), i + 1}};
                if (const auto v = valueAt(i)) {
                    const int n = int(std::lround(*v));
                    // 20 marks an empty record.
                    o.insert(QStringLiteral("number"), n);
                    o.insert(QStringLiteral("code"), n == 20 ? QString() : codeOf(n));
                }
                records.append(o);
            }
            QJsonObject atFault;
            for (int i = 0; i < int(std::size(kAtFault)); ++i) {
                const auto v = valueAt(3 + i);
                atFault.insert(QLatin1String(kAtFault[i].key),
                               v ? QJsonValue(QByteArray::number(*v, 'g', 7).toDouble())
                                 : QJsonValue());
            }
            const QJsonObject o{
                {QStringLiteral("number"), number},
                {QStringLiteral("code"), codeOf(number)},
                {QStringLiteral("text"), QString::fromStdString(Tab::FaultDescription(number))},
                {QStringLiteral("count"), count},
                {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)},
                {QStringLiteral("records"), records},
                {QStringLiteral("at_fault"), atFault},
                {QStringLiteral("complete"), complete}};
            m_broker.publish(m_config.prefix + u'/' + m_line.name + u'/' +
                                 QString::number(address) + QStringLiteral("/fault"),
                             QJsonDocument(o).toJson(QJsonDocument::Compact), true);
        });
}
