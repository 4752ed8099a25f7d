// SPDX-License-Identifier: GPL-3.0-or-later
// However a command that runs a drive ends (a closed terminal, Ctrl-\, a
// polite kill, the reader of its output gone), the drive is stopped first:
// vfdsim's log is the witness of the last frame the drive took. And what a
// long command says comes as it happens, on lines of their own.
#include "CtlProcess.h"
#include "SimProcess.h"

#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr int kStop = 0x01;

int runCommandsHeard(SimProcess& sim, int address)
{
    int n = 0;
    for (int code : sim.commandsHeard(address))
        n += code != kStop;
    return n;
}

QStringList onPort(const SimProcess& sim, const QStringList& arguments)
{
    return QStringList{QStringLiteral("--port"), sim.device()} + arguments;
}

// vfdctl inside a shell line (a pipe, a redirection, an ignored signal);
// the vfdctl words follow as "$@". Gives the shell's own output and status.
CtlRun shellLine(const QString& line, const QStringList& arguments, int limitMs = 60000)
{
    QProcess shell;
    // A group of its own, so vfdctl goes with the shell should the line hang.
    shell.setChildProcessModifier([] { ::setpgid(0, 0); });
    shell.start(QStringLiteral("bash"),
                QStringList{QStringLiteral("-c"), line, QStringLiteral(VFDCTL_PATH)} + arguments);
    shell.closeWriteChannel();
    QDeadlineTimer deadline(limitMs);
    while (shell.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shell.waitForFinished(20);
    }
    if (shell.state() != QProcess::NotRunning) {
        // The whole group: vfdctl is a child of the shell.
        ::kill(-pid_t(shell.processId()), SIGKILL);
        shell.kill();
        shell.waitForFinished(3000);
    }
    return {shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1,
            QString::fromUtf8(shell.readAllStandardOutput()),
            QString::fromUtf8(shell.readAllStandardError())};
}

} // namespace

class tst_endings : public QObject
{
    Q_OBJECT
private slots:
    void everySignalStopsTheDriveFirst_data();
    void everySignalStopsTheDriveFirst();
    void aReaderGoneStopsTheDrive();
    void aFailedWriteEndsTheCommand();
    void progressIsLiveAndOnLinesOfItsOwn();
};

void tst_endings::everySignalStopsTheDriveFirst_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("runningOnceSaid"); // said when the drive runs, or empty
    const QStringList run{QStringLiteral("run"),  QStringLiteral("2"),  QStringLiteral("--fwd"),
                          QStringLiteral("--hz"), QStringLiteral("10"), QStringLiteral("--for"),
                          QStringLiteral("10min")};
    const QStringList jog{QStringLiteral("jog"), QStringLiteral("2"), QStringLiteral("--rev"),
                          QStringLiteral("--for"), QStringLiteral("10min")};
    const QStringList testrun{QStringLiteral("--yes"), QStringLiteral("testrun"),
                              QStringLiteral("2"),     QStringLiteral("--hz"),
                              QStringLiteral("10"),    QStringLiteral("--for"),
                              QStringLiteral("10min")};
    QTest::newRow("run, terminal closed") << run << SIGHUP << QString();
    QTest::newRow("run, Ctrl-\\") << run << SIGQUIT << QString();
    QTest::newRow("jog, terminal closed") << jog << SIGHUP << QString();
    // The stage is said as it begins, so the signal comes during the hold.
    QTest::newRow("testrun holding, terminal closed")
        << testrun << SIGHUP << QStringLiteral("Holding");
}

void tst_endings::everySignalStopsTheDriveFirst()
{
    QFETCH(QStringList, command);
    QFETCH(int, signal);
    QFETCH(QString, runningOnceSaid);
    SimProcess sim;
    if (!runningOnceSaid.isEmpty()) {
        // Short ramps: the hold comes within a second or two.
        const CtlRun set =
            runVfdctl(onPort(sim, {QStringLiteral("set"), QStringLiteral("2"),
                                   QStringLiteral("P0.14=1"), QStringLiteral("P0.15=1")}));
        QVERIFY2(set.code == 0, qPrintable(set.err));
    }
    CtlProcess ctl(onPort(sim, command));
    QTRY_VERIFY_WITH_TIMEOUT(runCommandsHeard(sim, 2) >= 2, 30000);
    if (!runningOnceSaid.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(ctl.outSoFar().contains(runningOnceSaid), 30000);
        // Each stage came on its own, before the one after it.
        QVERIFY2(ctl.outSoFar().indexOf(QStringLiteral("Accelerating")) <
                     ctl.outSoFar().indexOf(runningOnceSaid),
                 qPrintable(ctl.outSoFar()));
    }
    ctl.signal(signal);
    const CtlRun ended = ctl.finish(30000);
    // As at Ctrl-C: an end of its own (not killed by the signal), said, the
    // drive stopped, and for run and jog exit 1, as for any run cut short.
    const QString what = QString::number(ended.code) + ended.out + ended.err;
    QVERIFY2(ended.code >= 0, qPrintable(what));
    if (runningOnceSaid.isEmpty())
        QVERIFY2(ended.code == 1, qPrintable(what));
    else
        QVERIFY2(ended.out.contains(QStringLiteral("Stopping: ")), qPrintable(what));
    // The simulator's log may lag behind its answers: waited for, not slept on.
    QTRY_COMPARE_WITH_TIMEOUT(sim.commandsHeard(2).last(), kStop, 10000);
    QVERIFY2(!ended.err.contains(QStringLiteral("did not answer the STOP")), qPrintable(ended.err));
}

void tst_endings::aReaderGoneStopsTheDrive()
{
    SimProcess sim;
    // The reader takes the first byte and goes; the run has nothing more to
    // say until it ends, so only the pipe itself can tell.
    const CtlRun piped =
        shellLine(QStringLiteral("\"$0\" \"$@\" | head -c 1"),
                  onPort(sim, {QStringLiteral("run"), QStringLiteral("1"), QStringLiteral("--fwd"),
                               QStringLiteral("--hz"), QStringLiteral("10"),
                               QStringLiteral("--for"), QStringLiteral("10min")}));
    QVERIFY2(piped.code == 0, qPrintable(QString::number(piped.code) + piped.err));
    QTRY_VERIFY_WITH_TIMEOUT(runCommandsHeard(sim, 1) >= 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(sim.commandsHeard(1).last(), kStop, 10000);
    QVERIFY2(piped.err.contains(QStringLiteral("standard output is gone")), qPrintable(piped.err));

    // With SIGPIPE ignored, as a service manager starts it: watch ends with
    // the reader all the same, and says it failed.
    const CtlRun watched = shellLine(
        QStringLiteral("trap '' PIPE; \"$0\" \"$@\" | head -n 1; echo \"status ${PIPESTATUS[0]}\""),
        onPort(sim, {QStringLiteral("watch"), QStringLiteral("1"), QStringLiteral("--interval"),
                     QStringLiteral("100ms")}));
    QVERIFY2(watched.code == 0, qPrintable(QString::number(watched.code) + watched.err));
    QVERIFY2(watched.out.contains(QStringLiteral("status 1")), qPrintable(watched.out));
}

void tst_endings::aFailedWriteEndsTheCommand()
{
    SimProcess sim;
    QTemporaryDir scratch;
    // A copy of /dev/full: every write to it fails as on a full disk.
    const QString full = scratch.filePath(QStringLiteral("full"));
    if (::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
        QSKIP("device nodes cannot be made here");
    const CtlRun watched = shellLine(
        QStringLiteral("exec \"$0\" \"$@\" > \"$FULL\"").replace(QStringLiteral("$FULL"), full),
        onPort(sim, {QStringLiteral("watch"), QStringLiteral("1"), QStringLiteral("--interval"),
                     QStringLiteral("100ms")}));
    QCOMPARE(watched.code, 1);
    QVERIFY2(watched.err.contains(QStringLiteral("standard output could not be written")),
             qPrintable(watched.err));
}

void tst_endings::progressIsLiveAndOnLinesOfItsOwn()
{
    SimProcess sim({}, false);
    QTemporaryDir scratch;
    const QString pdf = scratch.filePath(QStringLiteral("report.pdf"));
    // On a terminal (script gives it one) progress is redrawn in place; the
    // next line must not run on behind it.
    const CtlRun shown = shellLine(
        QStringLiteral("script -qfec \"$(printf '%q ' \"$0\" \"$@\")\" /dev/null"),
        onPort(sim, {QStringLiteral("report"), QStringLiteral("1,2"), QStringLiteral("-o"), pdf}),
        120000);
    QVERIFY2(shown.out.contains(QStringLiteral("Report written")), qPrintable(shown.out));
    QVERIFY2(
        QRegularExpression(QStringLiteral("(^|\\n)Report written")).match(shown.out).hasMatch(),
        qPrintable(shown.out.right(300)));

    // A test run shows the drive's frequency and current as they come, and
    // each stage still begins a line of its own.
    const CtlRun run =
        shellLine(QStringLiteral("script -qfec \"$(printf '%q ' \"$0\" \"$@\")\" /dev/null"),
                  onPort(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"),
                               QStringLiteral("1"), QStringLiteral("--hz"), QStringLiteral("5"),
                               QStringLiteral("--for"), QStringLiteral("1s")}),
                  120000);
    QVERIFY2(
        QRegularExpression(QStringLiteral("\\d Hz  \\d+\\.\\d\\d A")).match(run.out).hasMatch(),
        qPrintable(run.out.right(300)));
    QVERIFY2(QRegularExpression(QStringLiteral("(^|\\n)Stopping: ")).match(run.out).hasMatch(),
             qPrintable(run.out.right(300)));

    // No desktop session (cron, a service, ssh): nothing about the runtime folder.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    CtlProcess ctl(
        onPort(sim, {QStringLiteral("report"), QStringLiteral("1"), QStringLiteral("-o"), pdf}), {},
        bare);
    const CtlRun quiet = ctl.finish(120000);
    QVERIFY2(quiet.code == 0, qPrintable(quiet.err));
    QVERIFY2(!quiet.err.contains(QStringLiteral("XDG_RUNTIME_DIR")), qPrintable(quiet.err));
}

QTEST_GUILESS_MAIN(tst_endings)
#include "tst_endings.moc"
