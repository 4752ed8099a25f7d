// SPDX-License-Identifier: GPL-3.0-or-later
#include "TcpPort.h"

#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace {

// How long sent bytes may stay unacknowledged before the connection counts as
// dead. Without it a gateway that loses power while the poll runs would be
// noticed only after the system's retransmissions, a quarter of an hour later.
constexpr unsigned kUnacknowledgedLimitMs = 5000;

} // namespace

std::optional<TcpPort::Framing> TcpPort::framingOf(const QString& name)
{
    const QString trimmed = name.trimmed();
    for (const Framing framing : {Framing::Rtu, Framing::ModbusTcp}) {
        if (trimmed.startsWith(schemeOf(framing), Qt::CaseInsensitive))
            return framing;
    }
    return std::nullopt;
}

QString TcpPort::schemeOf(Framing framing)
{
    return framing == Framing::ModbusTcp ? QStringLiteral("mbtcp://") : QStringLiteral("tcp://");
}

std::optional<TcpPort::Endpoint> TcpPort::parseName(const QString& name)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:mb)?tcp://(?:\\[([^\\]/]+)\\]|([^\\[\\]/:]+)):([0-9]{1,5})/?$"),
        QRegularExpression::CaseInsensitiveOption);
    const std::optional<Framing> framing = framingOf(name);
    const QRegularExpressionMatch m = form.match(name.trimmed());
    if (!framing || !m.hasMatch())
        return std::nullopt;
    const QString host = m.captured(1).isEmpty() ? m.captured(2).trimmed() : m.captured(1);
    const int port = m.captured(3).toInt();
    if (host.isEmpty() || port < 1 || port > 65535)
        return std::nullopt;
    return Endpoint{host, quint16(port), *framing};
}

TcpPort::TcpPort(Framing framing, QObject* parent) : SerialPort(parent), m_framing(framing)
{
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &TcpPort::onConnectTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &TcpPort::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { socketReadable(); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpPort::onError);
    // A gateway that closes in an orderly way may not raise an error first.
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (m_open)
            lose(tr("The gateway at %1 closed the connection.").arg(where()));
    });
}

TcpPort::~TcpPort()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

QString TcpPort::where() const
{
    const QString host =
        m_endpoint.host.contains(u':') ? u'[' + m_endpoint.host + u']' : m_endpoint.host;
    return host + u':' + QString::number(m_endpoint.port);
}

SerialPort::OpenError TcpPort::open()
{
    if (m_open) {
        setErrorString(tr("The port is already open."));
        return OpenError::PortBusy;
    }
    const std::optional<Endpoint> endpoint = parseName(portName());
    if (!endpoint || endpoint->framing != m_framing) {
        setErrorString(tr("\"%1\" names no gateway; write %2HOST:PORT with a port "
                          "from 1 to 65535.")
                           .arg(portName(), schemeOf(m_framing)));
        return OpenError::InvalidPort;
    }
    m_endpoint = *endpoint;
    setErrorString({});
    m_socket.abort();
    m_socket.setReadBufferSize(0); // the kernel holds what we have not read yet
    m_open = true;
    m_starting = true;
    m_failedWhileStarting = false;
    m_socket.connectToHost(m_endpoint.host, m_endpoint.port);
    m_starting = false;
    if (m_failedWhileStarting)
        return OpenError::Other;
    m_connectTimer.start(m_connectTimeoutMs);
    return OpenError::None;
}

void TcpPort::onConnected()
{
    m_connectTimer.stop();
    // Frames are short and must go at once, not wait to be gathered.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
#ifdef Q_OS_LINUX
    const unsigned limit = kUnacknowledgedLimitMs;
    ::setsockopt(int(m_socket.socketDescriptor()), IPPROTO_TCP, TCP_USER_TIMEOUT, &limit,
                 sizeof limit);
#endif
    emit ready();
}

void TcpPort::onConnectTimeout()
{
    if (m_open && !isConnected()) {
        lose(tr("No answer from %1 within %2 s: the gateway is switched off, out of reach, "
                "or the address is wrong.")
                 .arg(where())
                 .arg(m_connectTimeoutMs / 1000.0));
    }
}

void TcpPort::onError(QAbstractSocket::SocketError error)
{
    if (!m_open)
        return;
    // A look with no time to wait that finds nothing new is no dead gateway.
    if (m_polling && error == QAbstractSocket::SocketTimeoutError && isConnected())
        return;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        lose(tr("%1 refused the connection: nothing listens on port %2 there. Check the "
                "gateway's address and TCP port.")
                 .arg(m_endpoint.host)
                 .arg(m_endpoint.port));
        break;
    case QAbstractSocket::HostNotFoundError:
        lose(tr("The host \"%1\" is not known. Check the name, or give the gateway's IP "
                "address.")
                 .arg(m_endpoint.host));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        lose(tr("The gateway at %1 closed the connection.").arg(where()));
        break;
    case QAbstractSocket::SocketTimeoutError:
        lose(tr("The gateway at %1 stopped answering.").arg(where()));
        break;
    default:
        lose(tr("The connection to %1 failed: %2").arg(where(), m_socket.errorString()));
        break;
    }
}

void TcpPort::lose(const QString& reason)
{
    if (!m_open)
        return;
    m_open = false;
    m_connectTimer.stop();
    setErrorString(reason);
    m_socket.abort();
    if (m_starting) {
        m_failedWhileStarting = true;
        return;
    }
    emit deviceLost();
}

void TcpPort::close()
{
    m_open = false;
    m_connectTimer.stop();
    m_socket.abort();
}

qint64 TcpPort::bytesWaiting() const
{
    return m_open ? m_socket.bytesAvailable() : 0;
}

void TcpPort::takePending()
{
    // What the system already holds for the connection, read now rather than
    // when the event loop gets round to it.
    if (m_open && m_socket.state() == QAbstractSocket::ConnectedState) {
        m_polling = true;
        m_socket.waitForReadyRead(0);
        m_polling = false;
    }
}

std::optional<quint8> TcpPort::readByte()
{
    char c = 0;
    if (!m_open || !m_socket.getChar(&c))
        return std::nullopt;
    return quint8(c);
}

bool TcpPort::write(const QByteArray& block)
{
    // As on a serial port with a full transmit buffer, a block that cannot go
    // now is refused rather than queued to reach a drive late.
    if (!m_open || !isConnected() || m_socket.bytesToWrite() + block.size() > outputBufferSize())
        return false;
    return m_socket.write(block) == block.size();
}

void TcpPort::clearInput()
{
    if (m_open)
        m_socket.readAll();
}
