// SPDX-License-Identifier: GPL-3.0-or-later
// What vfdctl reads and writes: device nodes, named pipes and folders made in
// a scratch folder as the targets and sources, a read-only mount and a full
// one; vfdsim's log shows that a refusal comes before the first frame. And
// every run with --json answers with one document, whatever went wrong.
#include "CtlProcess.h"
#include "ReadOnlyFolder.h"
#include "SimProcess.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

CtlRun vfdctl(const SimProcess& sim, const QStringList& arguments, int limitMs = 60000)
{
    return runVfdctl(QStringList{QStringLiteral("--port"), sim.device()} + arguments, limitMs);
}

bool makeDevice(const QString& path, unsigned minor)
{
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, minor)) == 0;
}

mode_t kindOf(const QString& path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & S_IFMT;
}

// The commands that write a file the user names, with that name as the target.
QList<QStringList> writersTo(const QString& target)
{
    return {
        {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("1"),
         QStringLiteral("--hz"), QStringLiteral("10"), QStringLiteral("--for"),
         QStringLiteral("1s"), QStringLiteral("-o"), target},
        {QStringLiteral("report"), QStringLiteral("1"), QStringLiteral("-o"), target},
        {QStringLiteral("record"), QStringLiteral("1"), QStringLiteral("--values"),
         QStringLiteral("freq-out"), QStringLiteral("--duration"), QStringLiteral("1s"),
         QStringLiteral("-o"), target},
        {QStringLiteral("backup"), QStringLiteral("1"), target},
    };
}

// Each of the lines a run wrote to standard output, as JSON objects.
QList<QJsonObject> jsonLines(const CtlRun& run)
{
    QList<QJsonObject> lines;
    for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts))
        lines << QJsonDocument::fromJson(line.toUtf8()).object();
    return lines;
}

} // namespace

class tst_ctlfiles : public QObject
{
    Q_OBJECT
private slots:
    void unusableTargetsAreRefusedBeforeTheFirstFrame();
    void aFullDiskEndsTheCommandWithTheReason();
    void inputsThatAreNoFilesAreRefusedByName();
    void everyJsonRunEndsWithOneDocument();
};

void tst_ctlfiles::unusableTargetsAreRefusedBeforeTheFirstFrame()
{
    SimProcess sim;
    QTemporaryDir scratch;
    const QString null = scratch.filePath(QStringLiteral("null"));
    const QString full = scratch.filePath(QStringLiteral("full"));
    const QString pipe = scratch.filePath(QStringLiteral("pipe"));
    if (!makeDevice(null, 3) || !makeDevice(full, 7))
        QSKIP("device nodes cannot be made here");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QVERIFY(QDir(scratch.path()).mkdir(QStringLiteral("folder")));
    // The report writes its HTML beside the PDF: that name counts as much.
    QVERIFY(::mkfifo(QFile::encodeName(scratch.filePath(QStringLiteral("beside.html"))).constData(),
                     0600) == 0);

    const QStringList targets{null, full, pipe, scratch.filePath(QStringLiteral("folder")),
                              scratch.filePath(QStringLiteral("no/such/folder/file"))};
    for (const QString& target : targets) {
        for (const QStringList& command : writersTo(target)) {
            const CtlRun run = vfdctl(sim, command, 30000);
            const QString what = command.join(u' ') + u'\n' + run.err;
            QVERIFY2(run.code == 1 || run.code == 2, qPrintable(what));
            QVERIFY2(run.err.contains(target) || run.err.contains(QFileInfo(target).path()),
                     qPrintable(what));
            QVERIFY2(sim.traffic(QStringLiteral("<- ")).isEmpty(), qPrintable(what));
        }
    }
    const CtlRun beside =
        vfdctl(sim, {QStringLiteral("report"), QStringLiteral("1"), QStringLiteral("-o"),
                     scratch.filePath(QStringLiteral("beside.pdf"))});
    QCOMPARE(beside.code, 2);
    QVERIFY2(beside.err.contains(QStringLiteral("beside.html")), qPrintable(beside.err));
    QVERIFY(sim.traffic(QStringLiteral("<- ")).isEmpty());
    // Nothing was put in their place.
    QCOMPARE(kindOf(null), mode_t(S_IFCHR));
    QCOMPARE(kindOf(full), mode_t(S_IFCHR));
    QCOMPARE(kindOf(pipe), mode_t(S_IFIFO));
    QCOMPARE(kindOf(scratch.filePath(QStringLiteral("beside.html"))), mode_t(S_IFIFO));

    ReadOnlyFolder readOnly;
    if (!readOnly.ok())
        QSKIP(qPrintable(readOnly.reason()));
    for (const QStringList& command : writersTo(readOnly.filePath(QStringLiteral("x")))) {
        const CtlRun run = vfdctl(sim, command, 30000);
        QVERIFY2(run.err.contains(QStringLiteral("takes no new files")),
                 qPrintable(command.join(u' ') + u'\n' + run.err));
    }
    QVERIFY(sim.traffic(QStringLiteral("<- ")).isEmpty());
}

void tst_ctlfiles::aFullDiskEndsTheCommandWithTheReason()
{
    QTemporaryDir mountPoint;
    const int mounted =
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint.path()});
    if (mounted != 0)
        QSKIP("a small tmpfs cannot be mounted here");
    // Filled to the last block; a new, empty file can still be made in it.
    QProcess::execute(QStringLiteral("dd"),
                      {QStringLiteral("if=/dev/zero"),
                       QStringLiteral("of=") + mountPoint.filePath(QStringLiteral("filler")),
                       QStringLiteral("bs=4k"), QStringLiteral("status=none")});
    SimProcess sim;
    const QString target = mountPoint.filePath(QStringLiteral("run.json"));
    const CtlRun run =
        vfdctl(sim, {QStringLiteral("--yes"), QStringLiteral("testrun"), QStringLiteral("1"),
                     QStringLiteral("--hz"), QStringLiteral("5"), QStringLiteral("--for"),
                     QStringLiteral("1s"), QStringLiteral("-o"), target});
    QProcess::execute(QStringLiteral("umount"), {mountPoint.path()});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(QStringLiteral("cannot write ") + target), qPrintable(run.err));
}

void tst_ctlfiles::inputsThatAreNoFilesAreRefusedByName()
{
    SimProcess sim;
    QTemporaryDir scratch;
    const QString pipe = scratch.filePath(QStringLiteral("pipe"));
    const QString zero = scratch.filePath(QStringLiteral("zero"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const bool devices = makeDevice(zero, 5);
    const QString pdf = scratch.filePath(QStringLiteral("r.pdf"));
    QList<QPair<QString, QString>> sources{{pipe, QStringLiteral("a named pipe")},
                                           {scratch.path(), QStringLiteral("a folder")}};
    if (devices)
        sources.append({zero, QStringLiteral("a device")});
    for (const auto& [source, kind] : sources) {
        // Nobody writes into the pipe: opening it the usual way waits for ever.
        for (const QStringList& command :
             QList<QStringList>{{QStringLiteral("report"), QStringLiteral("1"),
                                 QStringLiteral("-o"), pdf, QStringLiteral("--test-run"), source},
                                {QStringLiteral("restore"), QStringLiteral("1"), source},
                                {QStringLiteral("compare"), QStringLiteral("1"), source}}) {
            const CtlRun run = vfdctl(sim, command, 20000);
            const QString what = command.join(u' ') + u'\n' + run.err;
            QVERIFY2(run.code == 2, qPrintable(QString::number(run.code) + what));
            QVERIFY2(run.err.contains(source) && run.err.contains(kind), qPrintable(what));
        }
    }
    QVERIFY(sim.traffic(QStringLiteral("<- ")).isEmpty());
}

void tst_ctlfiles::everyJsonRunEndsWithOneDocument()
{
    SimProcess sim;
    const QString json = QStringLiteral("--json");
    const QString port = QStringLiteral("--port");
    const QString status = QStringLiteral("status");
    // Refused before the command runs, or by the port: one document each,
    // exit 2 and the reason among the messages.
    const QList<QStringList> refused{
        {json, status, QStringLiteral("1")}, // no port
        {json, port, sim.device(), QStringLiteral("frobnicate")},
        {json, port, sim.device(), QStringLiteral("--frobnicate"), status, QStringLiteral("1")},
        {json, port, sim.device(), QStringLiteral("--retries"), QStringLiteral("11"), status,
         QStringLiteral("1")},
        {json, port, QStringLiteral("/nonexistent/tty"), status, QStringLiteral("1")},
        {json, port, sim.device(), QStringLiteral("--settings"), QStringLiteral("9600,Q,8,1"),
         status, QStringLiteral("1")},
        {json, port, sim.device(), QStringLiteral("scan"), QStringLiteral("--from"),
         QStringLiteral("9"), QStringLiteral("--to"), QStringLiteral("3")},
        {json, port, sim.device(), QStringLiteral("record"), QStringLiteral("1"),
         QStringLiteral("--values"), QStringLiteral("nonsense")},
    };
    for (const QStringList& arguments : refused) {
        const CtlRun run = runVfdctl(arguments);
        const QString what = arguments.join(u' ') + u'\n' + run.out + run.err;
        QCOMPARE(run.code, 2);
        const QList<QJsonObject> lines = jsonLines(run);
        QVERIFY2(lines.size() == 1, qPrintable(what));
        QVERIFY2(lines[0].value(QStringLiteral("exit")).toInt(-1) == 2, qPrintable(what));
        QVERIFY2(!lines[0].value(QStringLiteral("messages")).toArray().isEmpty(), qPrintable(what));
    }
    // The line-by-line watch ends with the line that holds both.
    const CtlRun watched = vfdctl(sim, {json, QStringLiteral("watch"), QStringLiteral("1"),
                                        QStringLiteral("--count"), QStringLiteral("1")});
    QCOMPARE(watched.code, 0);
    const QList<QJsonObject> lines = jsonLines(watched);
    QVERIFY2(lines.size() == 2, qPrintable(watched.out));
    QCOMPARE(lines.last().value(QStringLiteral("exit")).toInt(-1), 0);
    QVERIFY(lines.last().value(QStringLiteral("messages")).isArray());
}

QTEST_GUILESS_MAIN(tst_ctlfiles)
#include "tst_ctlfiles.moc"
