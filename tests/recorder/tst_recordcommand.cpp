// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeadGateways.h"
#include "DevicePort.h"
#include "Hexedit.h"
#include "LinkClient.h"
#include "LoopbackPort.h"
#include "ReadOnlyFolder.h"
#include "RecordCommand.h"
#include "RecordCsv.h"
#include "Recording.h"
#include "SimProcess.h"
#include "TcpPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

class tst_recordcommand : public QObject
{
    Q_OBJECT
private slots:
    void arguments();
    void recordsRampAndTripOverPty();
    void stopFlagEndsCleanlyOnInterval();
    void lostSnapshotIsSaidAndFailsTheRun();
    void silentDriveIsSaid();
    void gatewayNotYetConnectedWritesNoRows();
    void gatewayConnectingLateRecordsOnlyAnswers();
    void roundThatAsksNothingWaitsAnAnswerTime();
};

namespace {

// The command on a real pseudo-terminal to a running vfdsim.
struct PtyLine
{
    DevicePort port;
    Hexedit link{port};
    LinkClient client{link};
    bool open(const QString& device)
    {
        port.setPortName(device);
        port.setSettings(QStringLiteral("9600,E,8,1"));
        return port.open() == SerialPort::OpenError::None;
    }
    int run(const QStringList& args, QString* out = nullptr, QString* err = nullptr,
            const std::atomic<bool>* stop = nullptr)
    {
        QString o, e;
        QTextStream os(&o), es(&e);
        const int rc = runRecordCommand(client, args, os, es, stop);
        if (out)
            *out = o;
        if (err)
            *err = e;
        return rc;
    }
};

// The command on a gateway connection that need not be made yet.
struct GatewayLine
{
    TcpPort port;
    Hexedit link{port};
    LinkClient client{link};
    explicit GatewayLine(const QString& name)
    {
        // Longer than any recording here: the port must not give up meanwhile.
        port.setConnectTimeout(30000);
        port.setPortName(name);
    }
    int run(const QStringList& args, QString* out = nullptr, QString* err = nullptr)
    {
        QString o, e;
        QTextStream os(&o), es(&e);
        const int rc = runRecordCommand(client, args, os, es);
        if (out)
            *out = o;
        if (err)
            *err = e;
        return rc;
    }
};

// A port that is open but takes no write, as a gateway still connecting;
// it counts what it was offered.
class RefusingPort : public LoopbackPort
{
public:
    int offered = 0;
    bool write(const QByteArray&) override
    {
        ++offered;
        return false;
    }
};

QStringList eventTexts(const RecordedFile& file)
{
    QStringList texts;
    for (const auto& e : file.events)
        texts << e.second;
    return texts;
}

} // namespace

void tst_recordcommand::arguments()
{
    PtyLine line; // never opened
    QString err;
    QCOMPARE(line.run({QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("torque")},
                      nullptr, &err),
             2);
    QVERIFY(err.contains(QStringLiteral("Unknown value \"torque\"")));
    QVERIFY(err.contains(QStringLiteral("freq-out")));
    QCOMPARE(
        line.run({QStringLiteral("0,40"), QStringLiteral("--values"), QStringLiteral("current")}),
        2);
    // An empty item is refused, as by every command that takes drives.
    QCOMPARE(
        line.run({QStringLiteral("1,,2"), QStringLiteral("--values"), QStringLiteral("current")},
                 nullptr, &err),
        2);
    QVERIFY2(err.contains(QStringLiteral("empty item")), qPrintable(err));
    QCOMPARE(line.run({QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("current"),
                       QStringLiteral("--interval"), QStringLiteral("50ms")}),
             2);
    QCOMPARE(line.run({QStringLiteral("1")}), 2);
    QCOMPARE(line.run({QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("current")},
                      nullptr, &err),
             1);
    QVERIFY(err.contains(QStringLiteral("not open")));
    QCOMPARE(parseDurationMs(QStringLiteral("2h")), 7200000);
    QCOMPARE(parseDurationMs(QStringLiteral("100ms")), 100);
    QCOMPARE(parseDurationMs(QStringLiteral("1.5s")), 1500);
    QCOMPARE(parseDurationMs(QStringLiteral("90")), 90000);
    QVERIFY(!parseDurationMs(QStringLiteral("-1s")));
}

// Drive 2 has tripped with fault 11 before the recording starts: the file
// carries the trip as an event and the snapshot file is there.
void tst_recordcommand::recordsRampAndTripOverPty()
{
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("2:11")}, false);
    PtyLine line;
    QVERIFY(line.open(sim.device()));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    QString out, err;
    const int rc =
        line.run({QStringLiteral("1,2"), QStringLiteral("--values"),
                  QStringLiteral("freq-out,current,dc-bus"), QStringLiteral("--duration"),
                  QStringLiteral("2500ms"), QStringLiteral("-o"), csv,
                  QStringLiteral("--snapshot-dir"), dir.filePath(QStringLiteral("snaps")),
                  QStringLiteral("--snapshot-after"), QStringLiteral("1s")},
                 &out, &err);
    QVERIFY2(rc == 0, qPrintable(err));
    QVERIFY2(out.contains(QStringLiteral("Drive 2: trip OH")), qPrintable(out));
    QString error;
    const auto file = RecordCsv::read(csv, &error);
    QVERIFY2(file, qPrintable(error));
    QVERIFY2(file->times.size() >= 5, qPrintable(QString::number(file->times.size())));
    QCOMPARE(file->texts.last()[4], QStringLiteral("0"));  // drive 1: no fault
    QCOMPARE(file->texts.last()[9], QStringLiteral("11")); // drive 2: fault 11
    const QStringList snaps = QDir(dir.filePath(QStringLiteral("snaps")))
                                  .entryList({QStringLiteral("snapshot-drive2-OH-*.csv")});
    QCOMPARE(snaps.size(), 1);
    QVERIFY(out.contains(QStringLiteral("Snapshot written:")));
}

// The caller's Ctrl-C: the flag ends the recording with the file whole.
// At 200 ms a round, about five rounds fit in a second.
void tst_recordcommand::stopFlagEndsCleanlyOnInterval()
{
    SimProcess sim({}, false);
    PtyLine line;
    QVERIFY(line.open(sim.device()));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("stop.csv"));
    std::atomic<bool> stop = false;
    QTimer::singleShot(2000, [&] { stop = true; });
    QString out;
    QCOMPARE(
        line.run({QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("freq-out"),
                  QStringLiteral("--interval"), QStringLiteral("200ms"), QStringLiteral("-o"), csv},
                 &out, nullptr, &stop),
        0);
    const auto file = RecordCsv::read(csv, nullptr);
    QVERIFY(file);
    QVERIFY2(file->times.size() >= 5 && file->times.size() <= 12,
             qPrintable(QString::number(file->times.size())));
    QVERIFY(!line.client.lineHeld());
}

// Drive 2 has tripped before the recording starts. A snapshot folder that is
// a file, or read-only, is refused at the start, before the file is made; one
// that turns into a file once the recording runs loses the trip's snapshot:
// said when it happens, and the run ends with 1.
void tst_recordcommand::lostSnapshotIsSaidAndFailsTheRun()
{
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("2:11")}, false);
    PtyLine line;
    QVERIFY(line.open(sim.device()));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("rec.csv"));
    const QString folder = dir.filePath(QStringLiteral("snaps"));
    auto fileInTheWay = [&] {
        QFile file(folder);
        return file.open(QIODevice::WriteOnly);
    };
    auto record = [&](const QString& snapshots, QString* out, QString* err) {
        return line.run({QStringLiteral("1,2"), QStringLiteral("--values"),
                         QStringLiteral("freq-out"), QStringLiteral("--duration"),
                         QStringLiteral("2500ms"), QStringLiteral("-o"), csv,
                         QStringLiteral("--snapshot-dir"), snapshots,
                         QStringLiteral("--snapshot-after"), QStringLiteral("1s")},
                        out, err);
    };
    QString out, err;
    QVERIFY(fileInTheWay());
    QCOMPARE(record(folder, &out, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("is a file, not a folder")), qPrintable(err));
    QVERIFY(!QFile::exists(csv));

    QVERIFY(QFile::remove(folder));
    // Once the recording runs, before the trip is seen, the folder is gone.
    QTimer::singleShot(0, [&] { QVERIFY(QDir(folder).removeRecursively() && fileInTheWay()); });
    QCOMPARE(record(folder, &out, &err), 1);
    QVERIFY2(out.contains(QStringLiteral("Drive 2: trip OH")), qPrintable(out));
    const qsizetype said = err.indexOf(QStringLiteral("snapshot-drive2-OH-"));
    QVERIFY2(said >= 0 &&
                 err.indexOf(QStringLiteral("1 trip snapshot(s) could not be written.")) > said,
             qPrintable(err));
    QVERIFY(RecordCsv::read(csv, nullptr));

    ReadOnlyFolder readOnly;
    if (!readOnly.ok())
        QSKIP(qPrintable(readOnly.reason()));
    QVERIFY(QFile::remove(csv));
    QCOMPARE(record(readOnly.path(), &out, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("takes no new files")), qPrintable(err));
    QVERIFY(!QFile::exists(csv));
}

// A drive that never answers is said at once, in the file and on screen, and
// a recording in which no drive answered is no success.
void tst_recordcommand::silentDriveIsSaid()
{
    SimProcess sim({QStringLiteral("--drives"), QStringLiteral("1")}, false);
    PtyLine line;
    QVERIFY(line.open(sim.device()));
    QTemporaryDir dir;
    const QStringList args{QStringLiteral("--values"), QStringLiteral("freq-out"),
                           QStringLiteral("--duration"), QStringLiteral("1s")};

    const QString alone = dir.filePath(QStringLiteral("alone.csv"));
    QString out, err;
    QCOMPARE(
        line.run(QStringList{QStringLiteral("5")} + args + QStringList{"-o", alone}, &out, &err),
        1);
    QVERIFY2(out.contains(QStringLiteral("Drive 5: no answer")), qPrintable(out));
    QVERIFY2(err.contains(QStringLiteral("Drive 5 did not answer")), qPrintable(err));
    const auto silent = RecordCsv::read(alone, nullptr);
    QVERIFY(silent);
    QCOMPARE(eventTexts(*silent).filter(QStringLiteral("no answer")),
             QStringList{QStringLiteral("Drive 5: no answer")});

    // Beside a drive that answers: said, and the recording stands.
    const QString both = dir.filePath(QStringLiteral("both.csv"));
    QCOMPARE(
        line.run(QStringList{QStringLiteral("1,5")} + args + QStringList{"-o", both}, &out, &err),
        0);
    const auto mixed = RecordCsv::read(both, nullptr);
    QVERIFY(mixed);
    QCOMPARE(eventTexts(*mixed).filter(QStringLiteral("no answer")),
             QStringList{QStringLiteral("Drive 5: no answer")});
    QVERIFY(!mixed->times.isEmpty());
    QVERIFY(!std::isnan(mixed->values.last()[0]));
}

// A gateway that accepts slowly: nothing can be asked, so nothing is written
// as if it had been, and no drive is said to be silent.
void tst_recordcommand::gatewayNotYetConnectedWritesNoRows()
{
    DeafListener deaf;
    QVERIFY(deaf.port() != 0);
    GatewayLine line(QStringLiteral("tcp://127.0.0.1:%1").arg(deaf.port()));
    QCOMPARE(line.port.open(), SerialPort::OpenError::None);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("slow.csv"));
    QString out, err;
    QCOMPARE(line.run({QStringLiteral("1,2"), QStringLiteral("--values"),
                       QStringLiteral("freq-out,current"), QStringLiteral("--duration"),
                       QStringLiteral("1s"), QStringLiteral("-o"), csv},
                      &out, &err),
             1);
    QVERIFY2(out.contains(QStringLiteral("Recorded 0 rounds")), qPrintable(out));
    QVERIFY2(err.contains(QStringLiteral("None of drives 1, 2 answered")), qPrintable(err));
    const auto file = RecordCsv::read(csv, nullptr);
    QVERIFY(file);
    QCOMPARE(file->times.size(), 0);
    QCOMPARE(eventTexts(*file).filter(QStringLiteral("no answer")), QStringList());
}

// The recording begins while the connection is still being made: the rows
// that follow are all real samples.
void tst_recordcommand::gatewayConnectingLateRecordsOnlyAnswers()
{
    SimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0")}, false);
    GatewayLine line(sim.device());
    QCOMPARE(line.port.open(), SerialPort::OpenError::None);
    QVERIFY(!line.port.isConnected());
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("late.csv"));
    QString out, err;
    QVERIFY2(line.run({QStringLiteral("1"), QStringLiteral("--values"), QStringLiteral("freq-out"),
                       QStringLiteral("--duration"), QStringLiteral("1500ms"), QStringLiteral("-o"),
                       csv},
                      &out, &err) == 0,
             qPrintable(out + err));
    const auto file = RecordCsv::read(csv, nullptr);
    QVERIFY(file);
    QVERIFY(!file->times.isEmpty());
    for (const QStringList& cells : file->texts)
        QVERIFY2(!cells.value(0).isEmpty() && !cells.value(1).isEmpty(),
                 qPrintable(cells.join(u',')));
}

// Writes refused at once: one round is tried, then nothing until an answer
// could have come. At 300 baud that is most of a second, far longer than the
// events handled here take.
void tst_recordcommand::roundThatAsksNothingWaitsAnAnswerTime()
{
    RefusingPort port;
    QVERIFY(port.setSettings(QStringLiteral("300,E,8,1")));
    port.open();
    Hexedit link(port);
    LinkClient client(link);
    Recording recording(client);
    Recording::Options o;
    o.drives = {1, 2};
    o.values = *RecordValues::parseKeys(QStringLiteral("freq-out,current"));
    QVERIFY(recording.start(o));
    for (int i = 0; i < 300; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(port.offered, 6); // two drives: status and two values each
    QCOMPARE(recording.sampler().rounds(), 0);
    QVERIFY(recording.running());
}

QTEST_GUILESS_MAIN(tst_recordcommand)
#include "tst_recordcommand.moc"
