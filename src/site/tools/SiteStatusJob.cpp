// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteStatusJob.h"

#include "Hexedit.h"
#include "LinkClient.h"
#include "RtuProtocol.h"
#include "Tab.h"

namespace {

// How long to look again while the line is taken by others.
constexpr int kYieldMs = 100;

} // namespace

SiteStatusJob::SiteStatusJob(LinkClient& client, QObject* parent)
    : QObject(parent), m_client(client), m_link(client.link()), m_session(client.openSession(this))
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &SiteStatusJob::ask);
}

SiteStatusJob::~SiteStatusJob() = default;

void SiteStatusJob::start(const QList<SiteDriveStatus>& rows)
{
    m_session->cancel();
    m_wait.stop();
    ++m_generation;
    m_rows = rows;
    m_at = -1;
    m_running = true;
    m_cancelled = false;
    m_onLine = false;
    next();
}

void SiteStatusJob::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    if (m_onLine)
        return; // the answer (or its time-out) ends the job
    m_wait.stop();
    end();
}

void SiteStatusJob::next()
{
    ++m_at;
    if (m_cancelled || m_at >= m_rows.size()) {
        end();
        return;
    }
    m_current = m_rows[m_at];
    m_current.asked = false;
    m_current.answered = false;
    m_current.edition.reset();
    m_current.readiness = Readiness();
    m_current.readiness.address = m_current.address;
    m_step = Step::Status;
    // The first drive is asked at once; every other request waits its pause.
    if (m_at == 0)
        ask();
    else
        m_wait.start(m_pauseMs);
}

bool SiteStatusJob::lineBusy() const
{
    // Our own session has nothing out when this is asked.
    return m_client.lineHeld() || m_client.busy() || m_link.WaitingRequests() > 0;
}

void SiteStatusJob::ask()
{
    if (m_cancelled) {
        end();
        return;
    }
    if (lineBusy()) {
        m_wait.start(kYieldMs);
        return;
    }
    const quint8 address = m_current.address;
    quint16 reg = Rtu::StatusRegister;
    switch (m_step) {
    case Step::Status:
        break;
    case Step::Edition:
        reg = Rtu::RunningValueRegister(Rtu::EditionIndex);
        break;
    case Step::RunSource:
        reg = Readiness::RunSourceRegister;
        break;
    case Step::FrequencySource:
        reg = Readiness::FrequencySourceRegister;
        break;
    }
    m_onLine = true;
    const int generation = m_generation;
    m_session->submit(LinkRequest::read(address, reg), [this, generation](const LinkResult& r) {
        if (generation == m_generation)
            onAnswer(r);
    });
}

void SiteStatusJob::onAnswer(const LinkResult& r)
{
    m_onLine = false;
    if (m_cancelled) {
        end();
        return;
    }
    const bool full = r.ok() && r.answer.size() >= Rtu::MonitorReplyLength;
    switch (m_step) {
    case Step::Status:
        m_current.asked = true;
        if (!full) {
            endRow(); // a drive that does not answer is asked nothing more
            return;
        }
        {
            const StatusReply status = Hexedit::DecodeStatus(r.answer);
            m_current.answered = true;
            m_current.running = status.running;
            m_current.reverse = status.reverse;
            m_current.fault = status.fault;
            m_current.faultNumber = status.fault ? status.faultNumber : 0;
            m_current.faultText =
                status.fault ? QString::fromStdString(Tab::FaultDescription(status.faultNumber))
                             : QStringLiteral("Normal");
        }
        m_step = Step::Edition;
        break;
    case Step::Edition:
        if (full)
            m_current.edition = double(Hexedit::DecodeRunningValue(r.answer).value);
        m_step = Step::RunSource;
        break;
    case Step::RunSource:
        if (r.ok())
            m_current.readiness.runSource = r.value;
        m_step = Step::FrequencySource;
        break;
    case Step::FrequencySource:
        if (r.ok())
            m_current.readiness.frequencySource = r.value;
        endRow();
        return;
    }
    m_wait.start(m_pauseMs);
}

void SiteStatusJob::endRow()
{
    m_rows[m_at] = m_current;
    emit rowUpdated(m_at, m_current);
    next();
}

void SiteStatusJob::end()
{
    if (!m_running)
        return;
    m_running = false;
    m_wait.stop();
    emit finished();
}
