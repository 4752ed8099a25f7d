// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BusServer.h"
#include "ModbusTcpFrames.h"
#include "SerialPort.h"
#include "SimClock.h"
#include "SimulatedBus.h"
#include "TcpBusServer.h"

#include <QObject>
#include <QTimer>
#include <deque>

// The simulated drives behind a serial-to-Ethernet gateway in Modbus TCP mode:
// a TCP server on the loopback address that takes Modbus TCP requests, puts
// each on the drives' line as the RTU frame of its unit id and answers with
// the drive's reply under the request's transaction id. Requests are taken
// in turn, as the one serial line behind a gateway allows. Nobody answers a
// broadcast (unit 0), a unit no drive has, or a reply damaged on the line.
// One client at a time; each new one finds a quiet line.
class ModbusTcpGateway : public QObject
{
    Q_OBJECT
public:
    ModbusTcpGateway(SimulatedBus& bus, SimClock& clock, QObject* parent = nullptr);

    BusServer& server() { return m_server; }
    // Paced, a reply comes when the line at these settings would have carried
    // the request, the drive's response delay passed and the reply been
    // carried back; unpaced after the response delay alone.
    void setPaced(bool paced) { m_paced = paced; }
    void setLineSettings(const SerialSettings& settings);

    // Listens on 127.0.0.1 at the port (0: any free one); false with
    // errorString() when it cannot.
    bool listen(quint16 port) { return m_tcp.listen(port); }
    // The port name a client opens: "mbtcp://127.0.0.1:PORT".
    QString portName() const { return m_tcp.portName(); }
    QString errorString() const { return m_tcp.errorString(); }

signals:
    // One line of traffic for a log, as the drives' line sees it: "<- ..." a
    // request heard, "-> ..." a reply sent, "?? ..." what was not passed on.
    void traffic(const QString& line);
    void clientChanged(const QString& text);
    void clientRefused(const QString& text);

private:
    struct Pending
    {
        quint16 transaction;
        QByteArray reply; // the drive's RTU reply
        qint64 dueUs;
    };

    void receive(const QByteArray& bytes);
    void take(const ModbusTcp::Adu& request);
    void sendDue();
    void arm();
    void clear();
    qint64 wireUs(qsizetype bytes) const;

    SimClock& m_clock;
    BusServer m_server;
    TcpBusServer m_tcp;
    ModbusTcp::StreamSplitter m_stream;
    std::deque<Pending> m_pending; // in order of due time
    QTimer m_timer;
    bool m_paced = true;
    double m_characterUs = 1e6 * 11 / 9600;
    qint64 m_lineFreeUs = 0; // when the line behind the gateway is quiet again
};
