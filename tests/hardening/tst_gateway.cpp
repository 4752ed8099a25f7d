// SPDX-License-Identifier: GPL-3.0-or-later
// Drives behind a serial-to-Ethernet gateway, transparent or in Modbus TCP
// mode: vfdsim serving on a loopback TCP port, reached by the main window
// through the program's own port, and every way the connection can fail.
#include "DeadGateways.h"
#include "LineRig.h"
#include "ModbusTcpPort.h"
#include "SelectablePort.h"
#include "SimProcess.h"
#include "TcpPort.h"
#include "WaitUntil.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace {

const QString kOpen = QStringLiteral("Open Serial");
const QString kClose = QStringLiteral("Close Serial");

// The main window on the program's own port, its message boxes answered and kept.
struct GatewayWindow
{
    demo w;

    GatewayWindow() { answerBoxes(w.prompter()); }
    // The gateway connection in use (either mode) is made.
    bool connected()
    {
        const auto* gateway =
            qobject_cast<const TcpPort*>(static_cast<SelectablePort&>(w.port()).active());
        return gateway && gateway->isConnected();
    }
    const QList<Prompter::Prompt>& prompts() { return w.prompter().history(); }

    void open(const QString& name)
    {
        w.selectPort(name);
        w.Command1_Click();
    }

    // The window as the port-closed state leaves it.
    bool showsClosed()
    {
        return w.Command1->text() == kOpen && w.Shape1->fillColour() == ColourValue::Red &&
               !w.port().isOpen() && !w.Timer1->isActive() && !w.Timer2->isActive() &&
               !w.Command5->isEnabled() && w.PendingCommand == RunCommand::None;
    }
};

} // namespace

class tst_gateway : public QObject
{
    Q_OBJECT

private slots:
    void portNames_data();
    void portNames();
    void pollsAndCommandsThroughGateway_data();
    void pollsAndCommandsThroughGateway();
    void gatewayGoesAwayWhileOpen();
    void failedConnections_data();
    void failedConnections();
    void connectThatHangs_data();
    void connectThatHangs();
};

void tst_gateway::portNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("address") << "tcp://192.0.2.7:502"
                             << "192.0.2.7" << 502;
    QTest::newRow("name, any case, slash") << "TCP://gw-hall3:4001/"
                                           << "gw-hall3" << 4001;
    QTest::newRow("ipv6") << "tcp://[::1]:502"
                          << "::1" << 502;
    QTest::newRow("blanks around") << "  tcp://gw:502 "
                                   << "gw" << 502;
    QTest::newRow("no port") << "tcp://gw"
                             << "" << 0;
    QTest::newRow("port 0") << "tcp://gw:0"
                            << "" << 0;
    QTest::newRow("port too high") << "tcp://gw:65536"
                                   << "" << 0;
    QTest::newRow("no host") << "tcp://:502"
                             << "" << 0;
    QTest::newRow("ipv6 without brackets") << "tcp://::1:502"
                                           << "" << 0;
    QTest::newRow("path") << "tcp://gw:502/x"
                          << "" << 0;
    QTest::newRow("modbus tcp") << "mbtcp://192.0.2.7:502"
                                << "192.0.2.7" << 502;
    QTest::newRow("modbus tcp, ipv6, any case") << "MbTcp://[fe80::1]:1502/"
                                                << "fe80::1" << 1502;
    QTest::newRow("modbus tcp without port") << "mbtcp://gw"
                                             << "" << 0;
    QTest::newRow("scheme half typed") << "btcp://gw:502"
                                       << "" << 0;
}

void tst_gateway::portNames()
{
    QFETCH(QString, name);
    QFETCH(QString, host);
    QFETCH(int, port);
    const std::optional<TcpPort::Endpoint> parsed = TcpPort::parseName(name);
    QCOMPARE(parsed.has_value(), port != 0);
    if (parsed) {
        QCOMPARE(parsed->host, host);
        QCOMPARE(int(parsed->port), port);
        QCOMPARE(parsed->framing, name.contains(u"mb", Qt::CaseInsensitive)
                                      ? TcpPort::Framing::ModbusTcp
                                      : TcpPort::Framing::Rtu);
        return;
    }
    // A name that names no gateway is refused as a port that does not exist.
    GatewayWindow g;
    g.open(name);
    QCOMPARE(g.prompts().size(), 1);
    QCOMPARE(g.prompts().first().text, QString::fromUtf8("Invalid Port Number，Change Other!"));
    QVERIFY(g.showsClosed());
}

void tst_gateway::pollsAndCommandsThroughGateway_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("scheme");
    QTest::newRow("transparent") << "--tcp"
                                 << "tcp://";
    QTest::newRow("modbus tcp") << "--modbus-tcp"
                                << "mbtcp://";
}

void tst_gateway::pollsAndCommandsThroughGateway()
{
    QFETCH(QString, option);
    QFETCH(QString, scheme);
    SimProcess sim({option, QStringLiteral("0")});
    QVERIFY2(sim.device().startsWith(scheme + QStringLiteral("127.0.0.1:")),
             qPrintable(sim.device()));
    GatewayWindow g;
    demo& w = g.w;
    g.open(sim.device());
    QCOMPARE(w.Command1->text(), kClose);
    QVERIFY(waitUntil([&] { return g.connected(); }));

    // Status of drive 1: the same frame as on a serial line, the same decoding.
    QSignalSpy statuses(&w.link(), &Hexedit::statusReceived);
    w.Text2->setText(QStringLiteral("20000"));
    w.Command5_Click();
    w.Timer1_Timer();
    QVERIFY(waitUntil([&] { return statuses.count() == 1; }));
    QCOMPARE(sim.traffic(QStringLiteral("<- ")), QStringList{hex(pollRequest(1, 0))});

    // The line is one client's: a second is turned away and the first goes on.
    QTcpSocket intruder;
    intruder.connectToHost(QHostAddress::LocalHost, TcpPort::parseName(sim.device())->port);
    QVERIFY(waitUntil([&] { return intruder.state() == QAbstractSocket::UnconnectedState; }));

    w.Option1->setChecked(true);
    w.Option1_Click(); // FWD to drive 1 at 50 Hz
    QVERIFY(waitUntil([&] {
        return sim.traffic(QStringLiteral("<- ")).contains(hex(controlFrame(1, 0x12, 5000)));
    }));
    QVERIFY(w.prompter().history().isEmpty());
    w.Command1_Click();
    QVERIFY(g.showsClosed());
}

void tst_gateway::gatewayGoesAwayWhileOpen()
{
    auto sim = std::make_unique<SimProcess>(QStringList{"--tcp", "0"});
    GatewayWindow g;
    g.open(sim->device());
    QVERIFY(waitUntil([&] { return g.connected(); }));
    g.w.Text2->setText(QStringLiteral("200"));
    g.w.Command5_Click();
    QVERIFY(g.w.Timer1->isActive());

    sim->kill();
    QVERIFY(waitUntil([&] { return !g.prompts().isEmpty(); }));
    QVERIFY(g.showsClosed());
    QCOMPARE(g.prompts().size(), 1);
    QCOMPARE(g.prompts().first().title, QStringLiteral("Error Waining!"));
    QVERIFY2(g.prompts().first().text.contains(u"closed the connection"),
             qPrintable(g.prompts().first().text));
    // Nothing more is said, whatever the timers still try.
    g.w.Timer1_Timer();
    QTest::qWait(100);
    QCOMPARE(g.prompts().size(), 1);
}

void tst_gateway::failedConnections_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said");
    QTest::newRow("refused") << QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort())
                             << "refused the connection";
    // A name no resolver is asked about: it cannot be a host name at all.
    QTest::newRow("unknown host") << "tcp://no such gateway:502"
                                  << "\"no such gateway\" is not known";
    // Either mode fails for the same reasons, and says them the same way.
    QTest::newRow("modbus tcp refused")
        << QStringLiteral("mbtcp://127.0.0.1:%1").arg(closedPort()) << "refused the connection";
    QTest::newRow("modbus tcp unknown host") << "mbtcp://no such gateway:502"
                                             << "\"no such gateway\" is not known";
}

void tst_gateway::failedConnections()
{
    QFETCH(QString, name);
    QFETCH(QString, said);
    GatewayWindow g;
    g.open(name);
    QVERIFY(waitUntil([&] { return !g.prompts().isEmpty(); }));
    QVERIFY(g.showsClosed());
    QCOMPARE(g.prompts().size(), 1);
    QVERIFY2(g.prompts().first().text.contains(said), qPrintable(g.prompts().first().text));
    // Opening again tries again, and says so again.
    g.w.Command1_Click();
    QVERIFY(waitUntil([&] { return g.prompts().size() == 2; }));
    QVERIFY(g.showsClosed());
}

void tst_gateway::connectThatHangs_data()
{
    QTest::addColumn<bool>("modbusTcp");
    QTest::newRow("transparent") << false;
    QTest::newRow("modbus tcp") << true;
}

void tst_gateway::connectThatHangs()
{
    QFETCH(bool, modbusTcp);
    DeafListener deaf;
    QVERIFY(deaf.port() != 0);
    std::unique_ptr<TcpPort> made =
        modbusTcp ? std::make_unique<ModbusTcpPort>() : std::make_unique<TcpPort>();
    TcpPort& port = *made;
    port.setConnectTimeout(300);
    port.setPortName(
        (modbusTcp ? QStringLiteral("mbtcp://127.0.0.1:%1") : QStringLiteral("tcp://127.0.0.1:%1"))
            .arg(deaf.port()));
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    QCOMPARE(port.open(), SerialPort::OpenError::None);
    QVERIFY(port.isOpen());
    // Nothing is queued to reach a drive late, once the gateway answers.
    QVERIFY(!port.write(QByteArray::fromHex("01030E0000004722")));
    QVERIFY(lost.wait(3000));
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());
    QVERIFY2(port.errorString().contains(u"No answer from 127.0.0.1:"),
             qPrintable(port.errorString()));
    QCOMPARE(TcpPort::DefaultConnectTimeoutMs, 3000);
}

QTEST_MAIN(tst_gateway)
#include "tst_gateway.moc"
