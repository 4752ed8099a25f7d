// SPDX-License-Identifier: GPL-3.0-or-later
// Drives behind a gateway in Modbus TCP mode: vfdctl and a generic Modbus TCP
// master against vfdsim --modbus-tcp, and vfdctl against a gateway whose
// replies do not fit what was asked.
#include "CtlProcess.h"
#include "DeadGateways.h"
#include "ModbusTcpFrames.h"
#include "ParamSetFile.h"
#include "SimProcess.h"
#include "SimulatedBus.h"

#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kSettings = QStringLiteral("115200,E,8,1");

// The addresses in the table vfdctl scan prints, in its order.
QList<int> scannedAddresses(const QString& out)
{
    QList<int> addresses;
    for (const QString& line : out.split(u'\n').mid(1)) {
        bool ok = false;
        const int address = line.section(u'\t', 0, 0).trimmed().toInt(&ok);
        if (ok && line.contains(u'\t'))
            addresses << address;
    }
    return addresses;
}

// A gateway in Modbus TCP mode in this process, simulated drive 1 behind it,
// that spoils the framing of its replies as it is told.
class SpoilingGateway : public QObject
{
public:
    enum class Spoil
    {
        Nothing,
        Transaction,     // the reply carries the next transaction id
        Unit,            // ... the next unit id
        StaleFirst,      // a copy under the id before goes first, in one segment
        InPieces,        // the reply comes in three segments apart
        ProtocolAndTail, // under protocol 1, then garbage
    };

    explicit SpoilingGateway(Spoil spoil) : m_spoil(spoil), m_bus({1})
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(*socket); });
            }
        });
    }
    QString portName() const
    {
        return QStringLiteral("mbtcp://127.0.0.1:%1").arg(m_server.serverPort());
    }

private:
    void serve(QTcpSocket& socket)
    {
        m_stream.feed(socket.readAll());
        while (const std::optional<ModbusTcp::Adu> request = m_stream.next()) {
            const auto reply = m_bus.handle(ModbusTcp::toRtu(request->unit, request->pdu));
            if (!reply)
                continue;
            ModbusTcp::Adu adu = *ModbusTcp::fromRtu(reply->frame, request->transaction);
            QByteArray bytes = ModbusTcp::encode(adu);
            switch (m_spoil) {
            case Spoil::Nothing:
            case Spoil::InPieces:
                break;
            case Spoil::Transaction:
                ++adu.transaction;
                bytes = ModbusTcp::encode(adu);
                break;
            case Spoil::Unit:
                ++adu.unit;
                bytes = ModbusTcp::encode(adu);
                break;
            case Spoil::StaleFirst:
                --adu.transaction;
                bytes.prepend(ModbusTcp::encode(adu));
                break;
            case Spoil::ProtocolAndTail:
                adu.protocol = 1;
                bytes = ModbusTcp::encode(adu) + QByteArray::fromHex("00FF");
                break;
            }
            if (m_spoil != Spoil::InPieces) {
                socket.write(bytes);
                continue;
            }
            // Segments 5 ms apart: well inside the answer's time-out even when
            // this process is slow to fire its timers (a loaded machine).
            QPointer<QTcpSocket> to(&socket);
            for (int piece = 0; piece < 3; ++piece) {
                const QByteArray part = bytes.mid(piece * 4, piece == 2 ? -1 : 4);
                QTimer::singleShot(piece * 5, this, [to, part] {
                    if (to) {
                        to->write(part);
                        to->flush();
                    }
                });
            }
        }
    }

    Spoil m_spoil;
    SimulatedBus m_bus;
    QTcpServer m_server;
    ModbusTcp::StreamSplitter m_stream;
};

} // namespace

class tst_ctlmodbustcp : public QObject
{
    Q_OBJECT
private slots:
    void vfdctlAndAGenericMasterSeeTheSameDrives();
    void aReplyThatDoesNotFitIsNeverShown_data();
    void aReplyThatDoesNotFitIsNeverShown();
    void aRefusedConnectionSaysWhy();
};

void tst_ctlmodbustcp::vfdctlAndAGenericMasterSeeTheSameDrives()
{
    SimProcess sim({QStringLiteral("--modbus-tcp"), QStringLiteral("0"), QStringLiteral("--drives"),
                    QStringLiteral("1,2"), QStringLiteral("--settings"), kSettings});
    QVERIFY2(sim.device().startsWith(u"mbtcp://127.0.0.1:"), qPrintable(sim.device()));
    auto ctl = [&](const QStringList& command) {
        return runVfdctl(QStringList{QStringLiteral("--port"), sim.device(),
                                     QStringLiteral("--settings"), kSettings} +
                         command);
    };

    const CtlRun scan = ctl({QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"),
                             QStringLiteral("--to"), QStringLiteral("3")});
    QVERIFY2(scan.code == 0, qPrintable(scan.out + scan.err));
    QCOMPARE(scannedAddresses(scan.out), (QList<int>{1, 2}));
    // The drives heard the RTU frames of the requests, each unit id as its address.
    const QStringList heard = sim.traffic(QStringLiteral("<- "));
    QVERIFY(!heard.isEmpty());
    for (const QString& frame : heard) {
        const QByteArray bytes = QByteArray::fromHex(frame.toLatin1());
        QVERIFY2(SimulatedBus::hasValidCrc(bytes) && quint8(bytes[0]) >= 1 && quint8(bytes[0]) <= 3,
                 qPrintable(frame));
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drive2.csv"));
    const CtlRun backup = ctl({QStringLiteral("backup"), QStringLiteral("2"), file});
    QVERIFY2(backup.code == 0, qPrintable(backup.out + backup.err));
    const auto saved = ParamSetFile::Load(file).set;
    QVERIFY(saved);
    QCOMPARE(saved->values.size(), 185);
    for (const ParamValue& v : saved->values)
        QVERIFY(v.state != ParamValue::State::NoAnswer);

    // A generic Modbus TCP master reads the same value from the same drive.
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        QSKIP("mbpoll is not installed (Debian package mbpoll): the generic master is not tried");
    QProcess poll;
    poll.start(mbpoll,
               {QStringLiteral("-m"), QStringLiteral("tcp"), QStringLiteral("-a"),
                QStringLiteral("2"), QStringLiteral("-0"), QStringLiteral("-r"),
                QStringLiteral("14"), QStringLiteral("-c"), QStringLiteral("1"),
                QStringLiteral("-t"), QStringLiteral("4:hex"), QStringLiteral("-p"),
                sim.device().section(u':', -1), QStringLiteral("127.0.0.1"), QStringLiteral("-1")});
    QVERIFY(poll.waitForFinished(20000));
    const QString said = QString::fromLocal8Bit(poll.readAll());
    QCOMPARE(poll.exitCode(), 0);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("\\[14\\]:\\s+0x([0-9A-Fa-f]{4})")).match(said);
    QVERIFY2(m.hasMatch(), qPrintable(said));
    QCOMPARE(std::optional<quint16>(m.captured(1).toUShort(nullptr, 16)), saved->raw(0x000E));
}

void tst_ctlmodbustcp::aReplyThatDoesNotFitIsNeverShown_data()
{
    using S = SpoilingGateway::Spoil;
    QTest::addColumn<int>("spoil");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("fitting") << int(S::Nothing) << QList<int>{1};
    QTest::newRow("in pieces") << int(S::InPieces) << QList<int>{1};
    QTest::newRow("a stale copy first") << int(S::StaleFirst) << QList<int>{1};
    QTest::newRow("wrong transaction") << int(S::Transaction) << QList<int>{};
    QTest::newRow("wrong unit") << int(S::Unit) << QList<int>{};
    QTest::newRow("wrong protocol, garbage") << int(S::ProtocolAndTail) << QList<int>{};
}

void tst_ctlmodbustcp::aReplyThatDoesNotFitIsNeverShown()
{
    QFETCH(int, spoil);
    QFETCH(QList<int>, found);
    SpoilingGateway gateway{SpoilingGateway::Spoil(spoil)};
    // Drive 1 answers every request; a reply labelled for drive 2 must not
    // make drive 2 appear either.
    const CtlRun scan =
        runVfdctl({QStringLiteral("--port"), gateway.portName(), QStringLiteral("--settings"),
                   kSettings, QStringLiteral("scan"), QStringLiteral("--from"), QStringLiteral("1"),
                   QStringLiteral("--to"), QStringLiteral("2")});
    QVERIFY2(scan.code == (found.isEmpty() ? 1 : 0), qPrintable(scan.out + scan.err));
    QCOMPARE(scannedAddresses(scan.out), found);
}

void tst_ctlmodbustcp::aRefusedConnectionSaysWhy()
{
    const CtlRun scan = runVfdctl({QStringLiteral("--port"),
                                   QStringLiteral("mbtcp://127.0.0.1:%1").arg(closedPort()),
                                   QStringLiteral("scan")});
    QCOMPARE(scan.code, 2);
    QVERIFY2(scan.err.contains(QStringLiteral("refused the connection")), qPrintable(scan.err));
    QVERIFY(scan.out.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ctlmodbustcp)
#include "tst_ctlmodbustcp.moc"
