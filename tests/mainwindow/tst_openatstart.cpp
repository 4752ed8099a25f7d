// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the port and polling from the start, as `vfdtool --open` does: the
// window's own steps, and the program against a gateway that listens here.
#include "DemoBench.h"
#include "WaitUntil.h"

#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

class tst_openatstart : public QObject
{
    Q_OBJECT
private slots:
    void opensAndPollsOnce();
    void refusedPortPollsNothing();
    void programPollsTheNamedPortAtStart();
};

void tst_openatstart::opensAndPollsOnce()
{
    DemoBench b;
    demo& w = b.window;
    QVERIFY(!w.Timer1->isActive());
    w.openAndPoll();
    QCOMPARE(w.Command1->text(), QStringLiteral("Close Serial"));
    QCOMPARE(w.Command5->text(), QStringLiteral("Stop"));
    QVERIFY(w.Timer1->isActive());
    QVERIFY(b.prompts().isEmpty());

    // A second call leaves an open, polling window as it is: it does not
    // press the buttons again, which would close the port or stop polling.
    w.openAndPoll();
    QCOMPARE(w.Command1->text(), QStringLiteral("Close Serial"));
    QCOMPARE(w.Command5->text(), QStringLiteral("Stop"));
    QVERIFY(w.Timer1->isActive());

    // Polling already stopped by hand, the port still open: polling starts again.
    w.Command5_Click();
    QVERIFY(!w.Timer1->isActive());
    w.openAndPoll();
    QCOMPARE(w.Command5->text(), QStringLiteral("Stop"));
    QVERIFY(w.Timer1->isActive());
}

void tst_openatstart::refusedPortPollsNothing()
{
    DemoBench b;
    b.port.failNextOpen(SerialPort::OpenError::PortBusy);
    b.window.openAndPoll();
    QCOMPARE(b.prompts().size(), 1);
    QCOMPARE(b.prompts().first().title, QStringLiteral("Error Waining!"));
    QCOMPARE(b.window.Command1->text(), QStringLiteral("Open Serial"));
    QCOMPARE(b.window.Command5->text(), QStringLiteral("Start"));
    QVERIFY(!b.window.Command5->isEnabled());
    QVERIFY(!b.window.Timer1->isActive());
}

void tst_openatstart::programPollsTheNamedPortAtStart()
{
    QTcpServer gateway;
    QVERIFY(gateway.listen(QHostAddress::LocalHost));
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VFDTOOL_PATH),
                  {QStringLiteral("--no-welcome"), QStringLiteral("--open"),
                   QStringLiteral("--port"),
                   QStringLiteral("tcp://127.0.0.1:%1").arg(gateway.serverPort())});
    QVERIFY(program.waitForStarted(10000));

    // Nobody presses a button: the program connects and its first poll arrives.
    QVERIFY(waitUntil([&] { return gateway.hasPendingConnections(); }, 20000));
    QTcpSocket* line = gateway.nextPendingConnection();
    QVERIFY(waitUntil([&] { return line->bytesAvailable() >= 8; }, 20000));
    const QByteArray request = line->read(8);
    QCOMPARE(request.left(2), QByteArray::fromHex("0103")); // drive 1, a read
    QCOMPARE(request, withCrc(request.left(6)));

    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_MAIN(tst_openatstart)
#include "tst_openatstart.moc"
