// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineShare.h"

#include "Hexedit.h"
#include "LinkClient.h"
#include "RtuProtocol.h"

namespace {

constexpr quint8 ReadFunction = Rtu::ReadFunction;
constexpr int LongestBlock = 125;

quint16 wordAt(const QByteArray& pdu, int at)
{
    return quint16(quint8(pdu[at]) << 8 | quint8(pdu[at + 1]));
}

// The drives' run command: two registers from the control register on,
// the command code and the set-point.
bool isControlWrite(const QByteArray& pdu)
{
    return pdu.size() == 10 && quint8(pdu[0]) == Rtu::ControlFunction &&
           wordAt(pdu, 1) == Rtu::ControlRegister && wordAt(pdu, 3) == 2 && quint8(pdu[5]) == 4;
}

} // namespace

LineShare::LineShare(const ServeLineConfig& line, LinkClient& client, QObject* parent)
    : QObject(parent), m_line(line), m_client(client), m_link(client.link()),
      m_session(client.openSession(this))
{
    // A client retries as it sees fit; a retry of ours would only outlast its time-out.
    m_session->setRetries(0);
    m_session->setTurns(line.share.turns, GraceMs);
    connect(&m_server, &QTcpServer::newConnection, this, &LineShare::accept);
    connect(&m_link, &Hexedit::answerReceived, this,
            [this](const QByteArray& request, const QByteArray& answer) {
                commandEnded(request, answer);
            });
    connect(&m_link, &Hexedit::answerTimedOut, this,
            [this](const QByteArray& request, int) { commandEnded(request, std::nullopt); });
    m_sweep.setInterval(500);
    connect(&m_sweep, &QTimer::timeout, this, &LineShare::sweepDirect);
}

LineShare::~LineShare()
{
    ++m_generation;
    for (Connection& c : m_connections) {
        c.socket->disconnect(this);
        c.socket->abort();
        delete c.socket;
    }
    delete m_session;
}

bool LineShare::listen(QString* error)
{
    if (m_server.listen(m_line.share.host, m_line.share.port))
        return true;
    if (error)
        *error = QStringLiteral("line %1: cannot share the line at %2: %3")
                     .arg(m_line.name, m_line.share.listen, m_server.errorString());
    return false;
}

void LineShare::setDriveState(quint8 address, std::optional<bool> running)
{
    m_running.insert(address, running);
}

ShareRules::DriveView LineShare::view(quint8 unit) const
{
    return {m_line.drives.contains(unit), m_running.value(unit)};
}

void LineShare::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const QString who =
            QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        if (m_stopping || !m_line.share.admits(socket->peerAddress())) {
            const QString host = socket->peerAddress().toString();
            if (!m_stopping && !m_refusedHosts.contains(host)) {
                m_refusedHosts.insert(host);
                emit logLine(QStringLiteral("line %1: share: %2 is not one of share-clients; "
                                            "disconnected (said once for each address)")
                                 .arg(m_line.name, host));
            }
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connections.push_back(Connection{socket, who, {}, {}});
        const ConnectionRef c = std::prev(m_connections.end());
        socket->setParent(nullptr);
        connect(socket, &QTcpSocket::readyRead, this, [this, c] { receive(c); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { drop(c); });
        emit logLine(QStringLiteral("line %1: share: client %2 connected").arg(m_line.name, who));
    }
}

void LineShare::drop(ConnectionRef c)
{
    emit logLine(QStringLiteral("line %1: share: client %2 went").arg(m_line.name, c->who));
    // What it still had waiting goes nowhere; an answer on its way reaches
    // nobody (its socket is gone by then).
    QTcpSocket* socket = c->socket;
    socket->disconnect(this);
    socket->deleteLater();
    m_connections.erase(c);
}

void LineShare::receive(ConnectionRef c)
{
    c->stream.feed(c->socket->readAll());
    while (const std::optional<ModbusTcp::Adu> adu = c->stream.next()) {
        // A STOP never waits behind anything.
        const QByteArray& pdu = adu->pdu;
        if (isControlWrite(pdu) && wordAt(pdu, 6) == Rtu::StopCode) {
            sendCommand(c->socket, c->who, *adu, false);
            continue;
        }
        if (m_stopping) {
            exception(c->socket, *adu, ShareRules::PathUnavailable);
            continue;
        }
        if (c->queue.size() >= size_t(QueueLimit)) {
            exception(c->socket, *adu, ShareRules::DeviceBusy);
            continue;
        }
        c->queue.push_back(*adu);
    }
    c->stream.takeDropped();
    pump();
}

void LineShare::pump()
{
    if (m_inTurn || m_stopping || m_connections.empty())
        return;
    // The connections take turns, a request each.
    const size_t n = m_connections.size();
    auto it = m_connections.begin();
    std::advance(it, m_next % n);
    for (size_t tried = 0; tried < n; ++tried) {
        if (!it->queue.empty()) {
            m_next = (m_next + tried + 1) % n;
            const ModbusTcp::Adu request = it->queue.front();
            it->queue.pop_front();
            m_inTurn = true;
            m_current = {it->socket, request};
            handle(*it, request);
            return;
        }
        if (++it == m_connections.end())
            it = m_connections.begin();
    }
}

void LineShare::turnDone()
{
    m_inTurn = false;
    pump();
}

void LineShare::handle(Connection& c, const ModbusTcp::Adu& request)
{
    const QByteArray& pdu = request.pdu;
    const quint8 function = quint8(pdu[0]);
    if (function == ReadFunction && pdu.size() == 5) {
        const quint16 count = wordAt(pdu, 3);
        if (request.unit == Rtu::BroadcastAddress || count > LongestBlock) {
            // Nobody answers a read of every drive; more than a block is no read.
            exception(c.socket, request,
                      count > LongestBlock ? ShareRules::IllegalValue
                                           : ShareRules::IllegalFunction);
            return turnDone();
        }
        // A count of 0 is the drives' own single read: it passes as it is.
        submit(c, request,
               count == 0 ? LinkRequest::read(request.unit, wordAt(pdu, 1))
                          : LinkRequest::readBlock(request.unit, wordAt(pdu, 1), count));
        return;
    }
    if (function == Rtu::WriteFunction && pdu.size() == 5)
        return parameterWrite(c, request);
    if (isControlWrite(pdu))
        return runCommand(c, request);
    exception(c.socket, request, ShareRules::IllegalFunction);
    turnDone();
}

void LineShare::submit(Connection& c, const ModbusTcp::Adu& request, const LinkRequest& link)
{
    const QPointer<QTcpSocket> socket = c.socket;
    const quint64 generation = m_generation;
    m_session->submit(link, [this, socket, request, link, generation](const LinkResult& r) {
        if (generation != m_generation)
            return;
        remember(request.unit, link.reg, r);
        if (socket) {
            if (r.outcome == LinkResult::Outcome::Answered ||
                r.outcome == LinkResult::Outcome::Exception)
                reply(socket, request, r.answer.mid(1, r.answer.size() - 3));
            else
                exception(socket, request,
                          r.outcome == LinkResult::Outcome::TimedOut ? ShareRules::TargetSilent
                                                                     : ShareRules::PathUnavailable);
        }
        turnDone();
    });
}

void LineShare::remember(quint8 unit, quint16 reg, const LinkResult& r)
{
    // What a client read lately stands for the value a write replaces, in the
    // journal: vfdctl and the parameter window read a parameter before they write it.
    if (!r.ok())
        return;
    auto keep = [&](quint16 at, quint16 raw) {
        Remembered& m = m_remembered[quint32(unit) << 16 | at];
        m.raw = raw;
        m.at.start();
    };
    if (r.values.isEmpty()) {
        if ((reg >> 8) <= Rtu::LastParameterGroup)
            keep(reg, r.value);
        return;
    }
    for (int i = 0; i < r.values.size(); ++i)
        keep(quint16(reg + i), r.values[i]);
}

std::optional<quint16> LineShare::recent(quint8 unit, quint16 reg, int withinMs) const
{
    const auto it = m_remembered.constFind(quint32(unit) << 16 | reg);
    if (it == m_remembered.cend() || it->at.elapsed() > withinMs)
        return std::nullopt;
    return it->raw;
}

void LineShare::reply(QTcpSocket* socket, const ModbusTcp::Adu& request, const QByteArray& pdu)
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(ModbusTcp::encode({request.transaction, 0, request.unit, pdu}));
}

void LineShare::exception(QTcpSocket* socket, const ModbusTcp::Adu& request, quint8 code)
{
    QByteArray pdu;
    pdu.append(char(quint8(request.pdu.isEmpty() ? 0 : request.pdu[0]) | Rtu::ExceptionFlag));
    pdu.append(char(code));
    reply(socket, request, pdu);
}

bool LineShare::stop()
{
    if (m_stopping)
        return !m_finalStops.isEmpty();
    m_stopping = true;
    ++m_generation;
    m_server.close();
    m_session->cancel();
    // Whoever waits gets an answer and then a closed connection, not a hang.
    for (Connection& c : m_connections) {
        for (const ModbusTcp::Adu& request : c.queue)
            exception(c.socket, request, ShareRules::PathUnavailable);
        c.queue.clear();
    }
    for (const Direct& d : m_direct)
        exception(d.socket, d.request, ShareRules::PathUnavailable);
    m_direct.clear();
    if (m_inTurn && m_current.socket)
        exception(m_current.socket, m_current.request, ShareRules::PathUnavailable);
    m_inTurn = false;
    // A socket may say it is closed at once, and so leave the list.
    QList<QPointer<QTcpSocket>> sockets;
    for (Connection& c : m_connections)
        sockets << c.socket;
    for (const QPointer<QTcpSocket>& socket : sockets) {
        if (!socket)
            continue;
        socket->flush();
        socket->disconnectFromHost();
    }
    // Nobody is left to stop what the clients started.
    for (const quint8 address : std::as_const(m_startedByClients)) {
        if (!m_link.port().isOpen())
            break;
        emit logLine(QStringLiteral("line %1: drive %2: stopped, since the clients that ran it "
                                    "are gone")
                         .arg(m_line.name)
                         .arg(address));
        if (m_link.SubmitFrame(Hexedit::ControlFrame(address, Rtu::StopCode, 0)) != 0)
            m_finalStops.insert(address);
        journalCommand(QStringLiteral("the service"), address, Rtu::StopCode, 0, QString());
    }
    m_startedByClients.clear();
    return !m_finalStops.isEmpty();
}
