// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineScan.h"

#include "RtuProtocol.h"
#include "Tab.h"
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr quint16 kEditionRegister = Rtu::RunningValueRegister(Rtu::EditionIndex);

QString faultStateText(bool fault, int faultNumber)
{
    if (!fault)
        return QStringLiteral("Normal");
    return QString::fromStdString(Tab::FaultDescription(faultNumber));
}

ScanEntry entryFromStatus(quint8 address, const QByteArray& answer)
{
    ScanEntry e;
    e.address = address;
    if (answer.size() < Rtu::MonitorReplyLength)
        return e;
    const StatusReply status = Hexedit::DecodeStatus(answer);
    e.reverse = status.reverse;
    e.running = status.running;
    e.fault = status.fault;
    e.faultNumber = e.fault ? status.faultNumber : 0;
    e.faultText = faultStateText(e.fault, e.faultNumber);
    return e;
}

} // namespace

QString ScanEntry::stateText() const
{
    if (exceptionCode)
        return QStringLiteral("refused (exception %1)").arg(*exceptionCode);
    return running ? QStringLiteral("Run") : QStringLiteral("Stop");
}

QString ScanEntry::directionText() const
{
    return exceptionCode ? QString() : reverse ? QStringLiteral("REV") : QStringLiteral("FWD");
}

QString ScanEntry::editionText() const
{
    return edition ? QString::number(*edition, 'f', 2) : QString();
}

LineScan::LineScan(LinkClient& client, QObject* parent)
    : QObject(parent), m_client(client), m_session(client.openSession(this))
{
    connect(&m_client.link(), &Hexedit::statusReceived, this, &LineScan::onLateStatus);
}

LineScan::~LineScan()
{
    if (m_running)
        end(true);
}

bool LineScan::start(int from, int to)
{
    from = std::max(from, 1);
    to = std::min(to, int(Rtu::HighestAddress));
    if (m_running || from > to)
        return false;
    ++m_generation;
    m_running = true;
    m_from = from;
    m_to = to;
    m_address = from;
    m_entries.clear();
    m_timedOut.clear();
    // A silent address is asked once; the scan retries by itself only where
    // bytes came back damaged.
    m_session->setRetries(0);
    m_session->holdLine(true);
    m_timer.start();
    emit progress(0, m_to - m_from + 1);
    askStatus(1);
    return true;
}

void LineScan::cancel()
{
    if (m_running)
        end(true);
}

void LineScan::askStatus(int attempt)
{
    const int generation = m_generation;
    m_session->submit(LinkRequest::read(quint8(m_address), Rtu::StatusRegister),
                      [this, generation, attempt](const LinkResult& r) {
                          if (generation == m_generation && m_running)
                              onStatus(r, attempt);
                      });
}

void LineScan::onStatus(const LinkResult& result, int attempt)
{
    using Outcome = LinkResult::Outcome;
    const quint8 address = quint8(m_address);
    switch (result.outcome) {
    case Outcome::Answered: {
        m_entries.append(entryFromStatus(address, result.answer));
        m_entries.last().late = result.late;
        askEdition(int(m_entries.size()) - 1);
        return;
    }
    case Outcome::Exception: {
        ScanEntry e;
        e.address = address;
        e.exceptionCode = result.exceptionCode;
        m_entries.append(e);
        emit found(e);
        break;
    }
    case Outcome::TimedOut:
        if (result.damaged > 0 && attempt < 2) {
            askStatus(attempt + 1);
            return;
        }
        m_timedOut.append(address);
        break;
    case Outcome::NotSent:
        // The port closed or went away under the scan.
        end(true);
        return;
    }
    next();
}

void LineScan::askEdition(int row)
{
    const int generation = m_generation;
    m_entries[row].readiness.address = m_entries[row].address;
    auto stillOurs = [this, generation](const LinkResult& r) {
        if (generation != m_generation || !m_running)
            return false;
        if (r.outcome == LinkResult::Outcome::NotSent) {
            end(true);
            return false;
        }
        return true;
    };
    const quint8 address = m_entries[row].address;
    m_session->submit(
        LinkRequest::read(address, kEditionRegister), [this, row, stillOurs](const LinkResult& r) {
            if (!stillOurs(r))
                return;
            if (r.ok() && r.answer.size() >= Rtu::MonitorReplyLength) {
                m_entries[row].edition = double(Hexedit::DecodeRunningValue(r.answer).value);
            }
        });
    m_session->submit(LinkRequest::read(address, Readiness::RunSourceRegister),
                      [this, row, stillOurs](const LinkResult& r) {
                          if (stillOurs(r) && r.ok())
                              m_entries[row].readiness.runSource = r.value;
                      });
    m_session->submit(LinkRequest::read(address, Readiness::FrequencySourceRegister),
                      [this, row, stillOurs](const LinkResult& r) {
                          if (!stillOurs(r))
                              return;
                          if (r.ok())
                              m_entries[row].readiness.frequencySource = r.value;
                          emit found(m_entries[row]);
                          next();
                      });
}

void LineScan::onLateStatus(const StatusReply& reply)
{
    // A status from a drive whose read already timed out: it is there, only
    // slower than the line's time-out allows for.
    if (!m_running || !m_timedOut.contains(reply.address))
        return;
    m_timedOut.removeAll(reply.address);
    ScanEntry e;
    e.address = reply.address;
    e.running = reply.running;
    e.reverse = reply.reverse;
    e.fault = reply.fault;
    e.faultNumber = reply.faultNumber;
    e.faultText = faultStateText(reply.fault, reply.faultNumber);
    e.late = true;
    m_entries.append(e);
    emit found(e);
}

void LineScan::next()
{
    emit progress(m_address - m_from + 1, m_to - m_from + 1);
    if (m_address >= m_to) {
        end(false);
        return;
    }
    ++m_address;
    askStatus(1);
}

void LineScan::end(bool cancelled)
{
    ++m_generation;
    m_running = false;
    m_elapsedMs = m_timer.nsecsElapsed() / 1e6;
    if (cancelled) // the scan's own request still waiting, and no other's
        m_session->cancel();
    m_session->holdLine(false);
    std::sort(m_entries.begin(), m_entries.end(),
              [](const ScanEntry& a, const ScanEntry& b) { return a.address < b.address; });
    emit finished(cancelled);
}

QStringList LineScan::columnTitles()
{
    return {QStringLiteral("Address"), QStringLiteral("State"),   QStringLiteral("Direction"),
            QStringLiteral("Fault"),   QStringLiteral("Edition"), QStringLiteral("Note")};
}

QStringList LineScan::rowTexts(const ScanEntry& e)
{
    return {QString::number(e.address),
            e.stateText(),
            e.directionText(),
            e.faultText,
            e.editionText(),
            QStringList{e.late ? QStringLiteral("answers after the time-out") : QString(),
                        e.readiness.note()}
                .filter(QRegularExpression(QStringLiteral(".")))
                .join(QStringLiteral("; "))};
}

QString LineScan::tableText(const QList<ScanEntry>& entries)
{
    QString text = columnTitles().join(u'\t') + u'\n';
    for (const ScanEntry& e : entries)
        text += rowTexts(e).join(u'\t') + u'\n';
    return text;
}
