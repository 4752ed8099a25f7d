// SPDX-License-Identifier: GPL-3.0-or-later
// The writes and run commands of a shared line's clients: checked, sent,
// answered and journaled.
#include "Hexedit.h"
#include "LineShare.h"
#include "LinkClient.h"
#include "ParamSet.h"
#include "RtuProtocol.h"
#include "ServeJournal.h"
#include "SiteJournaling.h"

namespace {

constexpr quint16 UpperLimitRegister = 0x0006; // P0.06, in 0.01 Hz

quint16 wordAt(const QByteArray& pdu, int at)
{
    return quint16(quint8(pdu[at]) << 8 | quint8(pdu[at + 1]));
}

QString askedBy(const QString& who)
{
    return QStringLiteral("asked by Modbus TCP client ") + who;
}

} // namespace

void LineShare::refuse(QTcpSocket* socket, const QString& who, const ModbusTcp::Adu& request,
                       const ShareRules::Refusal& refusal, bool say)
{
    exception(socket, request, refusal.exception);
    // A client that keeps asking what is refused (a window repeating its
    // command) is said once, not at every repetition.
    QString& last = m_lastRefusal[request.unit];
    if (!say || last == who + refusal.why)
        return;
    last = who + refusal.why;
    emit logLine((quint8(request.pdu[0]) == Rtu::WriteFunction
                      ? QStringLiteral("line %1: share: refused a write from %2 for drive %3 "
                                       "(exception %4): %5")
                      : QStringLiteral("line %1: share: refused a run command from %2 for drive "
                                       "%3 (exception %4): %5"))
                     .arg(m_line.name, who)
                     .arg(request.unit)
                     .arg(refusal.exception)
                     .arg(refusal.why));
}

void LineShare::parameterWrite(Connection& c, const ModbusTcp::Adu& request)
{
    const quint8 unit = request.unit;
    const quint16 reg = wordAt(request.pdu, 1);
    const quint16 value = wordAt(request.pdu, 3);
    if (const auto refusal =
            ShareRules::parameterWrite(m_line.share, unit, view(unit), reg, value)) {
        refuse(c.socket, c.who, request, *refusal);
        return turnDone();
    }
    const std::optional<quint16> before = recent(unit, reg, 60000);
    const QPointer<QTcpSocket> socket = c.socket;
    const QString who = c.who;
    const quint64 generation = m_generation;
    m_session->submit(LinkRequest::write(unit, reg, value), [=, this](const LinkResult& r) {
        if (generation != m_generation)
            return;
        if (r.outcome == LinkResult::Outcome::Answered ||
            r.outcome == LinkResult::Outcome::Exception)
            reply(socket, request, r.answer.mid(1, r.answer.size() - 3));
        else
            exception(socket, request,
                      r.outcome == LinkResult::Outcome::TimedOut ? ShareRules::TargetSilent
                                                                 : ShareRules::PathUnavailable);
        if (!r.wentOut)
            return turnDone();
        if (!r.ok()) {
            journalWrite(who, unit, reg, value, r, before, nullptr);
            return turnDone();
        }
        // The client has its answer; what the drive holds now is read for
        // the journal, in the clients' turn.
        m_session->submit(LinkRequest::read(unit, reg), [=, this](const LinkResult& back) {
            if (generation != m_generation)
                return;
            remember(unit, reg, back);
            journalWrite(who, unit, reg, value, r, before, &back);
            turnDone();
        });
    });
}

void LineShare::journalWrite(const QString& who, quint8 unit, quint16 reg, quint16 value,
                             const LinkResult& write, std::optional<quint16> before,
                             const LinkResult* readBack)
{
    using O = JournalEntry::Outcome;
    O outcome = O::NoAnswer;
    std::optional<quint16> held;
    if (write.outcome == LinkResult::Outcome::Exception) {
        outcome = O::Refused;
    } else if (write.ok()) {
        outcome = !readBack || !readBack->ok() ? O::NotReadBack
                  : readBack->value == value   ? O::Verified
                                               : O::ReadBackDiffers;
        if (outcome == O::ReadBackDiffers)
            held = readBack->value;
    }
    const JournalEntry entry =
        SiteJournaling::writeEntry(QStringLiteral("serve, Modbus TCP client ") + who, m_line.name,
                                   unit, reg, before, value, outcome, held);
    const QString word = outcome == O::Verified          ? QStringLiteral("verified")
                         : outcome == O::Refused         ? QStringLiteral("refused by the drive")
                         : outcome == O::ReadBackDiffers ? QStringLiteral("reads back differently")
                         : outcome == O::NotReadBack     ? QStringLiteral("written, not read back")
                                                         : QStringLiteral("sent, no answer");
    emit logLine(QStringLiteral("line %1: share: drive %2: %3 = %4 from %5: %6")
                     .arg(m_line.name)
                     .arg(unit)
                     .arg(entry.parameter, entry.asked, who, word));
    if (m_journal)
        m_journal->wrote(entry);
}

void LineShare::runCommand(Connection& c, const ModbusTcp::Adu& request)
{
    const quint8 unit = request.unit;
    const quint16 word = wordAt(request.pdu, 6);
    const quint16 setpoint = wordAt(request.pdu, 8);
    if (word > 0xFF) {
        refuse(c.socket, c.who, request,
               {ShareRules::IllegalValue,
                QStringLiteral("0x%1 is no run command").arg(word, 4, 16, QLatin1Char('0'))});
        return turnDone();
    }
    const quint8 code = quint8(word);
    if (const auto refusal = ShareRules::runCommand(m_line.share, unit, view(unit), code)) {
        refuse(c.socket, c.who, request, *refusal);
        if (m_journal && refusal->exception != ShareRules::IllegalValue)
            m_journal->refused(m_line.name, unit,
                               ShareRules::commandText(code, setpoint) + QStringLiteral(", ") +
                                   askedBy(c.who),
                               false, refusal->why);
        return turnDone();
    }
    const QPointer<QTcpSocket> socket = c.socket;
    const QString who = c.who;
    auto decide = [this, socket, who, request, unit, code, setpoint](std::optional<quint16> upper) {
        if (!upper) {
            refuse(socket, who, request,
                   {ShareRules::TargetSilent,
                    QStringLiteral("the drive's upper limit P0.06 could not be read")});
            return turnDone();
        }
        if (const auto refusal = ShareRules::aboveUpperLimit(setpoint, *upper)) {
            refuse(socket, who, request, *refusal);
            if (m_journal)
                m_journal->refused(m_line.name, unit,
                                   ShareRules::commandText(code, setpoint) + QStringLiteral(", ") +
                                       askedBy(who),
                                   false, refusal->why);
            return turnDone();
        }
        sendCommand(socket, who, request, true);
    };
    if (!ShareRules::usesSetpoint(code))
        return decide(quint16(0xFFFF));
    if (const std::optional<quint16> upper = recent(unit, UpperLimitRegister, UpperLimitMs))
        return decide(upper);
    // What the drive allows is read first, in the clients' turn.
    const quint64 generation = m_generation;
    m_session->submit(LinkRequest::read(unit, UpperLimitRegister),
                      [this, generation, unit, decide](const LinkResult& r) {
                          if (generation != m_generation)
                              return;
                          remember(unit, UpperLimitRegister, r);
                          decide(r.ok() ? std::optional<quint16>(r.value) : std::nullopt);
                      });
}

void LineShare::sendCommand(QTcpSocket* socket, const QString& who, const ModbusTcp::Adu& request,
                            bool takesTurn)
{
    const QByteArray frame = ModbusTcp::toRtu(request.unit, request.pdu);
    const quint8 code = quint8(request.pdu[7]);
    const quint16 setpoint = wordAt(request.pdu, 8);
    if (ShareRules::isStop(code)) {
        if (request.unit == Rtu::BroadcastAddress)
            emit logLine(
                QStringLiteral("line %1: share: every drive: stop from %2").arg(m_line.name, who));
        else
            emit logLine(QStringLiteral("line %1: share: drive %2: stop from %3")
                             .arg(m_line.name)
                             .arg(request.unit)
                             .arg(who));
    }
    const quint64 ticket = m_link.SubmitFrame(frame);
    if (request.unit == Rtu::BroadcastAddress) {
        // Nobody answers a broadcast, nor does the share for it.
        journalCommand(who, 0, code, setpoint,
                       ticket == 0 ? QStringLiteral("not sent: the line's port is closed")
                                   : QString());
        if (ticket != 0)
            m_startedByClients.clear();
        if (takesTurn)
            turnDone();
        return;
    }
    if (ticket == 0) {
        exception(socket, request, ShareRules::PathUnavailable);
        if (ShareRules::isStop(code))
            journalCommand(who, request.unit, code, setpoint,
                           QStringLiteral("not sent: the line's port is closed"));
        if (takesTurn)
            turnDone();
        return;
    }
    Direct d;
    d.socket = socket;
    d.who = who;
    d.request = request;
    d.frame = frame;
    d.ticket = ticket;
    d.takesTurn = takesTurn;
    d.since.start();
    m_direct.push_back(d);
    if (!m_sweep.isActive())
        m_sweep.start();
}

void LineShare::commandEnded(const QByteArray& request, const std::optional<QByteArray>& answer)
{
    if (request.size() > 1 && quint8(request[1]) == Rtu::ControlFunction &&
        m_finalStops.contains(quint8(request[0])) && m_link.OnWireTicket() != 0)
        m_finalStops.remove(quint8(request[0]));
    for (auto it = m_direct.begin(); it != m_direct.end(); ++it) {
        if (it->frame != request || it->ticket != m_link.OnWireTicket())
            continue;
        const Direct d = *it;
        m_direct.erase(it);
        const quint8 unit = d.request.unit;
        const quint8 code = quint8(d.request.pdu[7]);
        const quint16 setpoint = wordAt(d.request.pdu, 8);
        QString result;
        if (answer && answer->size() >= 5) {
            reply(d.socket, d.request, answer->mid(1, answer->size() - 3));
            if (quint8(answer->at(1)) & Rtu::ExceptionFlag)
                result = QStringLiteral("refused by the drive (exception %1)")
                             .arg(quint8(answer->at(2)));
            else if (ShareRules::isStop(code))
                m_startedByClients.remove(unit);
            else
                m_startedByClients.insert(unit);
        } else {
            exception(d.socket, d.request, ShareRules::TargetSilent);
            result = QStringLiteral("no answer");
        }
        journalCommand(d.who, unit, code, setpoint, result);
        if (d.takesTurn)
            turnDone();
        return;
    }
}

void LineShare::sweepDirect()
{
    // A frame the link dropped (its port closed meanwhile) never ends on the
    // line: its client is told so rather than left waiting.
    for (auto it = m_direct.begin(); it != m_direct.end();) {
        const int limitMs = 4 * m_link.AnswerTimeoutMs(it->frame) + 2000;
        const bool onWire = m_link.OnWireTicket() == it->ticket;
        if (onWire || it->since.elapsed() < limitMs ||
            (m_link.IsWaiting(it->ticket) && it->since.elapsed() < 3 * limitMs)) {
            ++it;
            continue;
        }
        m_link.WithdrawFrame(it->ticket);
        exception(it->socket, it->request, ShareRules::PathUnavailable);
        const bool takesTurn = it->takesTurn;
        it = m_direct.erase(it);
        if (takesTurn)
            turnDone();
    }
    if (m_direct.empty())
        m_sweep.stop();
}

void LineShare::journalCommand(const QString& who, quint8 unit, quint8 code, quint16 setpoint,
                               const QString& result)
{
    const QString text = ShareRules::commandText(code, setpoint);
    // A command a window repeats is journaled when it changes, not at every repetition.
    if (result.isEmpty() && m_lastCommand.value(unit) == text)
        return;
    m_lastCommand[unit] = result.isEmpty() ? text : QString();
    if (!ShareRules::isStop(code) && result.isEmpty())
        emit logLine(QStringLiteral("line %1: share: drive %2: %3 from %4")
                         .arg(m_line.name)
                         .arg(unit)
                         .arg(text, who));
    if (!m_journal)
        return;
    JournalEntry e;
    e.kind =
        ShareRules::isStop(code) ? JournalEntry::Kind::RunStopped : JournalEntry::Kind::RunStarted;
    e.line = m_line.name;
    e.drive = unit;
    e.command = text + QStringLiteral(", ") +
                (who == u"the service" ? QStringLiteral("the service stops") : askedBy(who));
    e.result = result;
    m_journal->wrote(e);
}
