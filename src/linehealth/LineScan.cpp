// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineScan.h"

#include "RtuProtocol.h"
#include "Tab.h"
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr quint16 kEditionRegister = Rtu::RunningValueRegister(Rtu::EditionIndex);
// What the second look at an address allows beyond the port's own time: a
// drive set to answer slowly (P8.03 up to 200 ms), and its answer begun.
constexpr int kSlowDriveMs = 250;
// Bytes heard in a wait may be the answer of a slow drive asked this long
// before: the silent addresses asked within it are asked again.
constexpr double kLateWindowMs = 400;

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
    m_nextAddress = from;
    m_entries.clear();
    m_restToAsk.clear();
    m_silent.clear();
    m_lookAgain.clear();
    m_lookedAgain.clear();
    m_heardLate.clear();
    m_statusRoundMs = 0;
    // A silent address is asked once; the scan asks again by itself only
    // where something was heard.
    m_session->setRetries(0);
    m_session->holdLine(true);
    m_timer.start();
    emit progress(0, m_to - m_from + 1);
    next();
    return true;
}

void LineScan::cancel()
{
    if (m_running)
        end(true);
}

bool LineScan::isListed(quint8 address) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(),
                       [address](const ScanEntry& e) { return e.address == address; });
}

void LineScan::next()
{
    if (m_nextAddress <= m_to) {
        askStatus(quint8(m_nextAddress++), false);
        return;
    }
    if (m_statusRoundMs <= 0)
        m_statusRoundMs = m_timer.nsecsElapsed() / 1e6;
    while (!m_lookAgain.isEmpty()) {
        const quint8 address = m_lookAgain.takeFirst();
        if (!isListed(address)) {
            askStatus(address, true);
            return;
        }
    }
    if (!m_restToAsk.isEmpty()) {
        askRest(m_restToAsk.takeFirst());
        return;
    }
    end(false);
}

void LineScan::askStatus(quint8 address, bool lookAgain)
{
    const int generation = m_generation;
    LinkRequest request = LinkRequest::read(address, Rtu::StatusRegister);
    const QByteArray frame = request.frame();
    Hexedit& link = m_client.link();
    request.timeoutMs = lookAgain ? std::max(link.AnswerTimeoutMs(frame),
                                             link.SilentAllowanceMs(frame) + kSlowDriveMs)
                                  : link.SilentAllowanceMs(frame);
    request.retries = 0;
    if (lookAgain)
        m_lookedAgain.append(address);
    m_session->submit(request, [this, generation, address, lookAgain](const LinkResult& r) {
        if (generation == m_generation && m_running)
            onStatus(address, lookAgain, r);
    });
}

void LineScan::onStatus(quint8 address, bool lookAgain, const LinkResult& result)
{
    using Outcome = LinkResult::Outcome;
    switch (result.outcome) {
    case Outcome::Answered: {
        ScanEntry e = entryFromStatus(address, result.answer);
        // Late is measured against the time-out every other request gets,
        // not the scan's own short one.
        const QByteArray frame = LinkRequest::read(address, Rtu::StatusRegister).frame();
        e.late = result.answerMs > m_client.link().PlainAnswerTimeoutMs(frame);
        m_entries.append(e);
        m_restToAsk.append(int(m_entries.size()) - 1);
        break;
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
        if (lookAgain) {
            // Heard once, late, and silent since: listed as it was heard.
            for (const StatusReply& reply : std::as_const(m_heardLate)) {
                if (reply.address != address)
                    continue;
                ScanEntry e;
                e.address = address;
                e.running = reply.running;
                e.reverse = reply.reverse;
                e.fault = reply.fault;
                e.faultNumber = reply.faultNumber;
                e.faultText = faultStateText(reply.fault, reply.faultNumber);
                e.late = true;
                m_entries.append(e);
                m_restToAsk.append(int(m_entries.size()) - 1);
                break;
            }
            break;
        }
        m_silent.append({address, m_timer.nsecsElapsed() / 1e6});
        if (result.damaged > 0) {
            // Bytes that made no answer: this drive's answer damaged, or a
            // slow drive asked before answering into this wait.
            suspectEarlierSilence(address);
            m_lookAgain.removeAll(address);
            if (!m_lookedAgain.contains(address)) {
                askStatus(address, true);
                return;
            }
        }
        break;
    case Outcome::NotSent:
        // The port closed or went away under the scan.
        end(true);
        return;
    }
    if (!lookAgain)
        emit progress(m_nextAddress - m_from, m_to - m_from + 1);
    next();
}

void LineScan::suspectEarlierSilence(quint8 address)
{
    const double nowMs = m_timer.nsecsElapsed() / 1e6;
    for (const Silent& s : std::as_const(m_silent)) {
        if (s.address != address && nowMs - s.askedAtMs <= kLateWindowMs)
            lookAgainAt(s.address);
    }
}

void LineScan::lookAgainAt(quint8 address)
{
    if (!isListed(address) && !m_lookAgain.contains(address) && !m_lookedAgain.contains(address))
        m_lookAgain.append(address);
}

void LineScan::askRest(int row)
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
    // A drive that answered is asked with the link's own time-out, and once
    // more should an answer be lost.
    auto request = [address](quint16 reg) {
        LinkRequest r = LinkRequest::read(address, reg);
        r.retries = 1;
        return r;
    };
    m_session->submit(request(kEditionRegister), [this, row, stillOurs](const LinkResult& r) {
        if (!stillOurs(r))
            return;
        if (r.ok() && r.answer.size() >= Rtu::MonitorReplyLength)
            m_entries[row].edition = double(Hexedit::DecodeRunningValue(r.answer).value);
    });
    m_session->submit(request(Readiness::RunSourceRegister),
                      [this, row, stillOurs](const LinkResult& r) {
                          if (stillOurs(r) && r.ok())
                              m_entries[row].readiness.runSource = r.value;
                      });
    m_session->submit(request(Readiness::FrequencySourceRegister),
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
    // A status from an address whose read already timed out: a drive is
    // there, only slower than the scan's first round waits. It is asked again
    // with time enough; what it said is kept should it not answer again.
    if (!m_running || isListed(reply.address))
        return;
    const bool silent = std::any_of(m_silent.cbegin(), m_silent.cend(),
                                    [&](const Silent& s) { return s.address == reply.address; });
    if (!silent)
        return;
    m_heardLate.removeIf([&](const StatusReply& r) { return r.address == reply.address; });
    m_heardLate.append(reply);
    lookAgainAt(reply.address);
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
