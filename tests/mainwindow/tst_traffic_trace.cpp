// SPDX-License-Identifier: GPL-3.0-or-later
// The traffic trace "Save_File" writes: what it holds, its bound, and that a
// save that cannot be completed leaves the old file alone and says why.
#include "DemoBench.h"
#include "TrafficLogBox.h"
#include "TrafficTrace.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A tmpfs of 64 KiB mounted for one test, so a save can run out of room.
struct SmallDisk
{
    QTemporaryDir dir;
    QString refusal;

    SmallDisk()
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir.path()});
        if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0)
            refusal = mount.errorString() + QString::fromLocal8Bit(mount.readAllStandardError());
    }
    ~SmallDisk()
    {
        if (refusal.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {dir.path()});
    }
};

// A device that takes `room` bytes and then refuses, as a full disk does.
class FillingDevice : public QIODevice
{
public:
    explicit FillingDevice(qint64 room) : m_room(room) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override
    {
        if (length > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

const QRegularExpression
    kStamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  "));

} // namespace

class tst_traffic_trace : public QObject
{
    Q_OBJECT
private slots:
    void traceSurvivesTheRefreshClearing();
    void traceIsBounded();
    void failedWritesAreReported();
    void fullDiskKeepsTheOldFile();
};

void tst_traffic_trace::traceSurvivesTheRefreshClearing()
{
    DemoBench b;
    demo& w = b.window;
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.txt");
    w.chooseSaveFile = [&] { return path; };
    b.openPort();
    w.Timer1_Timer();
    const QByteArray answer = statusAnswer(1, 0, 0x10, 0);
    b.receive(answer);
    b.receive(QByteArray::fromHex("FF00")); // noise that never ends a frame
    // Polling stopped to keep the fault; the refresh tick clears the box.
    w.Timer3_Timer();
    QVERIFY(w.Text28->logText().isEmpty());
    w.Timer1_Timer();
    w.save_file->trigger();
    QVERIFY(b.prompts().isEmpty());

    const QStringList lines = fileLines(path);
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].startsWith("# ") && lines[1].startsWith("# "));
    for (const QString& line : lines.mid(2))
        QVERIFY2(kStamp.match(line).hasMatch(), qPrintable(line));
    QVERIFY(lines[2].endsWith("  request  " + readRequest(1, 0x0E00)));
    QVERIFY(lines[3].endsWith("  reply    " + hex(answer)));
    QVERIFY(lines[4].endsWith("  reply    FF 00  (no frame end)"));
    QVERIFY(lines[5].contains("  request  01 03 "));

    // Opening the port again starts a new trace; closing it keeps the old one.
    w.Command1_Click();
    w.save_file->trigger();
    QCOMPARE(fileLines(path).size(), 6);
    b.openPort();
    w.save_file->trigger();
    QCOMPARE(fileLines(path).size(), 2);
}

void tst_traffic_trace::traceIsBounded()
{
    TrafficTrace trace(1000);
    for (int i = 0; i < 100; ++i)
        trace.addRequest(QByteArray::fromHex("0103") + char(i));
    // Bytes left without a frame end stay in the trace.
    for (const char* piece : {"1 ", "3 ", "zz", "E "})
        trace.addReceived(QString::fromLatin1(piece));
    const QStringList kept = trace.lines();
    qsizetype size = 0;
    for (const QString& line : kept.mid(0, kept.size() - 1))
        size += line.size() + 1;
    QVERIFY(size <= 1000);
    QVERIFY(size > 900);
    QCOMPARE(trace.droppedLines(), 100 - (kept.size() - 1));
    QVERIFY(kept[kept.size() - 2].endsWith("request  01 03 63"));
    QVERIFY(kept.last().endsWith("reply    01 03 0E  (incomplete)"));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(trace.writeTo(buffer, {QStringLiteral("made by a test")}));
    const QStringList written = QString::fromUtf8(buffer.data()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(written.size(), kept.size() + 2);
    QCOMPARE(written[0], QString("# made by a test"));
    QCOMPARE(written[1],
             QString("# %1 older frames were dropped; the trace keeps the last 1000 bytes.")
                 .arg(trace.droppedLines()));
    QCOMPARE(written.mid(2), kept);
}

void tst_traffic_trace::failedWritesAreReported()
{
    TrafficTrace trace;
    for (int i = 0; i < 50; ++i)
        trace.addRequest(QByteArray::fromHex("010300000001840A"));
    for (const qint64 room : {0, 10, 500}) {
        FillingDevice device(room);
        device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        QVERIFY2(!trace.writeTo(device, {QStringLiteral("header")}),
                 qPrintable(QString::number(room)));
    }
}

void tst_traffic_trace::fullDiskKeepsTheOldFile()
{
    SmallDisk disk;
    if (!disk.refusal.isEmpty())
        QSKIP(qPrintable("cannot mount a small tmpfs here: " + disk.refusal));
    const QString path = disk.dir.filePath("trace.txt");
    const QString filler = disk.dir.filePath("filler");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the trace saved before\n");
        QVERIFY(old.flush());
        QFile full(filler);
        QVERIFY(full.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (full.write(block) == block.size() && full.flush()) {
        }
    }
    DemoBench b;
    demo& w = b.window;
    w.chooseSaveFile = [&] { return path; };
    const QByteArray frame = QByteArray::fromHex("010300000001840A");
    const auto refused = [&] {
        const QList<Prompter::Prompt> said = b.prompts();
        b.window.prompter().clearHistory();
        // Said why, the old file untouched, no temporary left behind.
        return said.size() == 1 && said.first().text.contains("trace.txt") &&
               !said.first().text.endsWith(": ") &&
               fileLines(path) == QStringList{"the trace saved before"} &&
               QDir(disk.dir.path()).entryList(QDir::Files).size() <= 2;
    };

    // A few lines onto a full disk: they fit the write buffer, the disk refuses them later.
    w.trafficTrace().addRequest(frame);
    w.save_file->trigger();
    QVERIFY(refused());
    // Room for some of the trace, not for all of it.
    QVERIFY(QFile::remove(filler));
    for (int i = 0; i < 3000; ++i) // some 150 KiB
        w.trafficTrace().addRequest(frame);
    w.save_file->trigger();
    QVERIFY(refused());

    // With room the same save goes through.
    w.trafficTrace().restart();
    w.trafficTrace().addRequest(frame);
    w.save_file->trigger();
    QVERIFY(b.prompts().isEmpty());
    QCOMPARE(fileLines(path).size(), 3);
}

QTEST_MAIN(tst_traffic_trace)
#include "tst_traffic_trace.moc"
