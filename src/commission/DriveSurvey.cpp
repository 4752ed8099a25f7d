// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveSurvey.h"

#include "Hexedit.h"
#include "LinkClient.h"
#include "ParamJobs.h"
#include "RunningValues.h"

#include <cmath>
#include <memory>

std::optional<quint16> DefaultAsHeld(quint16 reg)
{
    return ParamCatalogue::defaultAsHeld(reg);
}

QString DefaultText(quint16 reg)
{
    const std::optional<quint16> raw = DefaultAsHeld(reg);
    if (!raw)
        return ParamCatalogue::defaultText(reg).trimmed();
    const QString unit = ParamCatalogue::unit(reg);
    const QString shown = ParamCatalogue::shown(reg, *raw);
    return unit.isEmpty() ? shown : shown + u' ' + unit;
}

QList<ParamDifference> DriveRecord::differences() const
{
    // The same comparison Drive Parameters makes against the defaults, so the
    // report and the window never disagree; what went unanswered is not
    // compared.
    QList<ParamDifference> list;
    for (const ParamDifference& d : CompareSets(parameters, ParamSet::defaults()))
        if (d.left)
            list << d;
    return list;
}

QList<quint16> DriveRecord::setOnSite() const
{
    QList<quint16> list;
    for (quint16 reg : ParamCatalogue::offeredRegisters())
        if (ParamCatalogue::modelSetting(reg) && parameters.raw(reg))
            list << reg;
    return list;
}

DriveSurvey::DriveSurvey(LinkClient& client, const QList<quint8>& drives, QObject* parent)
    : QObject(parent), m_client(client), m_session(client.openSession(this)), m_drives(drives)
{
}

DriveSurvey::~DriveSurvey() = default;

void DriveSurvey::start()
{
    if (m_running)
        return;
    m_running = true;
    m_cancelled = false;
    m_records.clear();
    m_at = -1;
    m_session->holdLine(true);
    nextDrive();
}

void DriveSurvey::cancel()
{
    if (!m_running)
        return;
    // What is under way ends by its own callbacks, which then end the survey.
    m_cancelled = true;
    m_session->cancel();
    if (m_read)
        m_read->cancel();
}

void DriveSurvey::nextDrive()
{
    ++m_at;
    if (m_cancelled || m_at >= m_drives.size()) {
        m_running = false;
        m_session->holdLine(false);
        emit finished();
        return;
    }
    DriveRecord record;
    record.address = m_drives[m_at];
    record.readiness.address = record.address;
    m_records << record;
    emit progress(QStringLiteral("Reading drive %1").arg(record.address), m_at,
                  int(m_drives.size()));
    readValues();
}

void DriveSurvey::readValues()
{
    using namespace RunningValues;
    const quint8 a = m_drives[m_at];
    QList<quint16> regs{Rtu::StatusRegister, Table[Edition].reg()};
    for (int i = FaultRecord1; i <= TemperatureAtLastFault; ++i)
        regs << Table[std::size_t(i)].reg();
    auto answers = std::make_shared<QList<LinkResult>>();
    // The status first: a drive that does not answer it is asked nothing more.
    m_session->submit(LinkRequest::read(a, regs[0]), [this, a, regs, answers](const LinkResult& r) {
        DriveRecord& rec = m_records.last();
        if (m_cancelled || !r.ok() || r.answer.size() < Rtu::MonitorReplyLength) {
            driveDone();
            return;
        }
        const StatusReply status = Hexedit::DecodeStatus(r.answer);
        rec.answered = true;
        rec.running = status.running;
        rec.fault = status.fault;
        rec.faultNumber = status.fault ? status.faultNumber : 0;
        for (int i = 1; i < regs.size(); ++i)
            m_session->submit(LinkRequest::read(a, regs[i]),
                              [this, answers, regs](const LinkResult& v) {
                                  answers->append(v);
                                  if (answers->size() < regs.size() - 1)
                                      return;
                                  DriveRecord& rec = m_records.last();
                                  auto value = [&](int i) -> std::optional<double> {
                                      const LinkResult& x = (*answers)[i];
                                      if (!x.ok() || x.answer.size() < Rtu::MonitorReplyLength)
                                          return std::nullopt;
                                      return double(Hexedit::DecodeRunningValue(x.answer).value);
                                  };
                                  rec.edition = value(0);
                                  for (int i = 0; i < 3; ++i)
                                      if (const auto v = value(1 + i))
                                          rec.faultRecords[size_t(i)] = int(std::lround(*v));
                                  for (int i = 0; i < 6; ++i)
                                      rec.atLastFault[size_t(i)] = value(4 + i);
                                  if (m_cancelled)
                                      driveDone();
                                  else
                                      readSet();
                              });
    });
}

void DriveSurvey::readSet()
{
    if (const auto known = m_known.constFind(m_drives[m_at]); known != m_known.cend()) {
        DriveRecord& rec = m_records.last();
        rec.parameters = *known;
        rec.unanswered = int(known->values.size()) - known->answered();
        rec.setComplete = rec.unanswered == 0;
        rec.readiness.runSource = rec.parameters.raw(Readiness::RunSourceRegister);
        rec.readiness.frequencySource = rec.parameters.raw(Readiness::FrequencySourceRegister);
        driveDone();
        return;
    }
    m_read = new ReadJob(m_client, m_drives[m_at], this);
    connect(m_read, &ReadJob::progress, this, [this](int done, int total) {
        emit progress(QStringLiteral("Reading the parameters of drive %1: %2 of %3")
                          .arg(m_drives[m_at])
                          .arg(done)
                          .arg(total),
                      m_at, int(m_drives.size()));
    });
    connect(m_read, &ReadJob::finished, this, [this] {
        DriveRecord& rec = m_records.last();
        rec.parameters = m_read->result();
        rec.unanswered = int(m_read->unanswered().size());
        rec.setComplete = rec.unanswered == 0 && !m_read->cancelled() && !m_read->driveLost();
        rec.readiness.runSource = rec.parameters.raw(Readiness::RunSourceRegister);
        rec.readiness.frequencySource = rec.parameters.raw(Readiness::FrequencySourceRegister);
        m_read->deleteLater();
        m_read = nullptr;
        driveDone();
    });
    m_read->start();
}

void DriveSurvey::driveDone()
{
    // Handed on from the event loop: cancel() may come from inside a callback.
    QMetaObject::invokeMethod(this, &DriveSurvey::nextDrive, Qt::QueuedConnection);
}
