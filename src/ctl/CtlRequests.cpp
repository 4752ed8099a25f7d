// SPDX-License-Identifier: GPL-3.0-or-later
#include "CtlRequests.h"

#include "CatalogueText.h"
#include "Hexedit.h"
#include "NumberText.h"
#include "RunningValues.h"
#include "Tab.h"

#include <QEventLoop>
#include <QJsonValue>

QList<LinkResult> AskAll(CtlContext& ctx, LinkClient& client, const QList<LinkRequest>& requests,
                         bool* stopped)
{
    QList<LinkResult> results(requests.size());
    if (requests.isEmpty())
        return results;
    QObject owner;
    LinkSession* session = client.openSession(&owner);
    QEventLoop loop;
    int left = int(requests.size());
    for (int i = 0; i < requests.size(); ++i)
        session->submit(requests[i], [&, i](const LinkResult& r) {
            results[i] = r;
            if (--left == 0)
                loop.quit();
        });
    bool wasStopped = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (!wasStopped && ctx.stopRequested()) {
            wasStopped = true;
            session->cancel();
        }
    });
    watch.start(50);
    if (left > 0)
        loop.exec();
    if (stopped)
        *stopped = wasStopped;
    return results;
}

namespace {

std::optional<double> runningValue(const LinkResult& r)
{
    if (!r.ok() || r.answer.size() < Rtu::MonitorReplyLength)
        return std::nullopt;
    return double(Hexedit::DecodeRunningValue(r.answer).value);
}

QJsonValue orNull(const std::optional<double>& v)
{
    return v ? QJsonValue(*v) : QJsonValue();
}

QString orDash(const std::optional<double>& v, const char* unit)
{
    return v ? NumberText::Fixed2(*v) + u' ' + QLatin1String(unit) : QStringLiteral("—");
}

} // namespace

QString DriveStatus::line() const
{
    if (!answered)
        return CtlText::tr("Drive %1: no answer").arg(address);
    QString text =
        CtlText::tr("Drive %1: %2, %3, %4; output %5, %6, DC bus %7")
            .arg(address)
            .arg(running ? CtlText::tr("Run") : CtlText::tr("Stop"),
                 reverse ? CtlText::tr("reverse") : CtlText::tr("forward"), faultText,
                 orDash(outputFrequency, "Hz"), orDash(outputCurrent, "A"), orDash(dcBus, "V"));
    for (const QString& problem : readiness.problems())
        text += QStringLiteral("\n  ") + problem;
    return text;
}

QJsonObject DriveStatus::json() const
{
    QJsonObject o{{QStringLiteral("drive"), int(address)}, {QStringLiteral("answered"), answered}};
    if (!answered)
        return o;
    o.insert(QStringLiteral("state"), running ? QStringLiteral("run") : QStringLiteral("stop"));
    o.insert(QStringLiteral("direction"),
             reverse ? QStringLiteral("reverse") : QStringLiteral("forward"));
    o.insert(QStringLiteral("fault"), fault);
    o.insert(QStringLiteral("faultNumber"), faultNumber);
    o.insert(QStringLiteral("faultText"), faultText);
    o.insert(QStringLiteral("outputFrequency"), orNull(outputFrequency));
    o.insert(QStringLiteral("outputCurrent"), orNull(outputCurrent));
    o.insert(QStringLiteral("dcBus"), orNull(dcBus));
    QJsonObject ready{
        {QStringLiteral("obeysRunCommands"), readiness.obeysRunCommands()},
        {QStringLiteral("takesFrequency"), readiness.takesFrequency()},
        {QStringLiteral("known"), readiness.known()},
        {QStringLiteral("problems"), QJsonArray::fromStringList(readiness.problems())}};
    o.insert(QStringLiteral("readiness"), ready);
    return o;
}

Readiness ReadReadiness(CtlContext& ctx, LinkClient& client, quint8 address, bool* stopped)
{
    const QList<LinkResult> r =
        AskAll(ctx, client,
               {LinkRequest::read(address, Readiness::RunSourceRegister),
                LinkRequest::read(address, Readiness::FrequencySourceRegister)},
               stopped);
    Readiness readiness;
    readiness.address = address;
    if (r[0].ok())
        readiness.runSource = r[0].value;
    if (r[1].ok())
        readiness.frequencySource = r[1].value;
    return readiness;
}

DriveStatus ReadDriveStatus(CtlContext& ctx, LinkClient& client, quint8 address, bool* stopped)
{
    using namespace RunningValues;
    const QList<LinkResult> r =
        AskAll(ctx, client,
               {LinkRequest::read(address, Rtu::StatusRegister),
                LinkRequest::read(address, Table[OutputFrequency].reg()),
                LinkRequest::read(address, Table[OutputCurrent].reg()),
                LinkRequest::read(address, Table[DcBusVoltage].reg()),
                LinkRequest::read(address, Readiness::RunSourceRegister),
                LinkRequest::read(address, Readiness::FrequencySourceRegister)},
               stopped);
    DriveStatus s;
    s.address = address;
    s.readiness.address = address;
    if (r[0].ok() && r[0].answer.size() >= Rtu::MonitorReplyLength) {
        const StatusReply status = Hexedit::DecodeStatus(r[0].answer);
        s.answered = true;
        s.running = status.running;
        s.reverse = status.reverse;
        s.fault = status.fault;
        s.faultNumber = status.fault ? status.faultNumber : 0;
        s.faultText =
            status.fault ? CatalogueText::faultDescription(s.faultNumber) : CtlText::tr("Normal");
    }
    s.outputFrequency = runningValue(r[1]);
    s.outputCurrent = runningValue(r[2]);
    s.dcBus = runningValue(r[3]);
    if (r[4].ok())
        s.readiness.runSource = r[4].value;
    if (r[5].ok())
        s.readiness.frequencySource = r[5].value;
    return s;
}
