// SPDX-License-Identifier: GPL-3.0-or-later
#include "Journal.h"
#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class tst_journal : public QObject
{
    Q_OBJECT
private slots:
    void eachKindReadsBackAsWritten();
    void aTornLastLineIsPassedOver();
    void aFullDiskIsReportedAndLeavesNoTornLine();
};

namespace {

JournalEntry write(const QString& parameter, std::optional<QString> before, const QString& asked,
                   JournalEntry::Outcome outcome)
{
    JournalEntry e;
    e.time = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 250), QTimeZone::utc());
    e.tool = QStringLiteral("clone");
    e.line = QStringLiteral("a");
    e.drive = 3;
    e.parameter = parameter;
    e.before = std::move(before);
    e.asked = asked;
    e.outcome = outcome;
    return e;
}

} // namespace

void tst_journal::eachKindReadsBackAsWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Journal journal(dir.filePath(QStringLiteral("journal.jsonl")));
    QList<JournalEntry> entries = {
        write(QStringLiteral("P0.03"), QStringLiteral("50.00"), QStringLiteral("45.00"),
              JournalEntry::Outcome::Verified),
        write(QStringLiteral("P1.01"), std::nullopt, QStringLiteral("7"),
              JournalEntry::Outcome::Refused),
        write(QStringLiteral("P2.00"), QStringLiteral("1"), QStringLiteral("2"),
              JournalEntry::Outcome::NoAnswer),
    };
    JournalEntry run = entries.first();
    run.kind = JournalEntry::Kind::RunStarted;
    run.tool = QStringLiteral("vfdctl run");
    run.command = QStringLiteral("forward 30.00 Hz");
    entries.append(run);
    run.kind = JournalEntry::Kind::RunStopped;
    run.command = QStringLiteral("stop");
    entries.append(run);
    JournalEntry test = run;
    test.kind = JournalEntry::Kind::TestRun;
    test.result = QStringLiteral("not completed");
    test.file = QStringLiteral("test-runs/a-d03-20261209T140307Z-testrun.json");
    entries.append(test);
    for (const JournalEntry& e : entries)
        QCOMPARE(journal.append(e), QString());

    // One object a line, the time in ISO 8601, a value before only when known.
    QFile file(journal.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = file.readAll().split('\n');
    QCOMPARE(rows.size(), entries.size() + 1);
    QVERIFY2(rows[0].contains("\"time\":\"2026-12-09T14:03:07.250Z\""), rows[0].constData());
    QVERIFY2(rows[0].contains("\"before\":\"50.00\""), rows[0].constData());
    QVERIFY2(!rows[1].contains("\"before\""), rows[1].constData());
    QVERIFY2(rows[2].contains("\"outcome\":\"no answer\""), rows[2].constData());

    const JournalReading reading = Journal::read(journal.path());
    QCOMPARE(reading.problems, QStringList());
    QVERIFY(!reading.tornTail);
    QCOMPARE(reading.entries.size(), entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const JournalEntry& a = reading.entries[i];
        const JournalEntry& b = entries[i];
        QCOMPARE(a.kind, b.kind);
        QCOMPARE(a.time, b.time);
        QCOMPARE(a.tool, b.tool);
        QCOMPARE(a.drive, b.drive);
        if (b.kind == JournalEntry::Kind::Write) {
            QCOMPARE(a.parameter, b.parameter);
            QCOMPARE(a.before, b.before);
            QCOMPARE(a.asked, b.asked);
            QCOMPARE(a.outcome, b.outcome);
        } else {
            QCOMPARE(a.command, b.command);
            QCOMPARE(a.result, b.result);
            QCOMPARE(a.file, b.file);
        }
    }
}

void tst_journal::aTornLastLineIsPassedOver()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Journal journal(dir.filePath(QStringLiteral("journal.jsonl")));
    const JournalEntry e = write(QStringLiteral("P0.03"), QStringLiteral("50.00"),
                                 QStringLiteral("45.00"), JournalEntry::Outcome::Verified);
    QCOMPARE(journal.append(e), QString());
    // The program ended in the middle of its next line.
    {
        QFile file(journal.path());
        QVERIFY(file.open(QIODevice::Append));
        file.write(e.toJson().left(30));
    }
    JournalReading reading = Journal::read(journal.path());
    QCOMPARE(reading.entries.size(), 1);
    QVERIFY(reading.tornTail);
    QCOMPARE(reading.problems, QStringList());
    // The next entry starts a line of its own; the cut one, now inside, is named.
    QCOMPARE(journal.append(e), QString());
    reading = Journal::read(journal.path());
    QCOMPARE(reading.entries.size(), 2);
    QVERIFY(!reading.tornTail);
    QCOMPARE(reading.problems.size(), 1);
    QVERIFY2(reading.problems.first().startsWith(u"line 2: "),
             qPrintable(reading.problems.first()));
    // A journal not begun yet is an empty one.
    QCOMPARE(Journal::read(dir.filePath(QStringLiteral("none.jsonl"))).entries.size(), 0);
}

void tst_journal::aFullDiskIsReportedAndLeavesNoTornLine()
{
    SmallDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    const Journal journal(QDir(disk.path()).filePath(QStringLiteral("journal.jsonl")));
    const JournalEntry e = write(QStringLiteral("P0.03"), QStringLiteral("50.00"),
                                 QStringLiteral("45.00"), JournalEntry::Outcome::Verified);
    QCOMPARE(journal.append(e), QString());
    QVERIFY(disk.fill());
    // What room the journal's last block still has is used; then it says so.
    int taken = 1;
    QString problem;
    for (int i = 0; i < 10000 && problem.isEmpty(); ++i) {
        problem = journal.append(e);
        if (problem.isEmpty())
            ++taken;
    }
    QVERIFY2(problem.contains(journal.path()), qPrintable(problem));
    QVERIFY2(problem.contains(u"space", Qt::CaseInsensitive), qPrintable(problem));
    JournalReading reading = Journal::read(journal.path());
    QCOMPARE(reading.entries.size(), taken);
    QVERIFY(!reading.tornTail);
    QCOMPARE(reading.problems, QStringList());
    // Room again: the journal goes on where it stood.
    QVERIFY(disk.free());
    QCOMPARE(journal.append(e), QString());
    reading = Journal::read(journal.path());
    QCOMPARE(reading.entries.size(), taken + 1);
    QCOMPARE(reading.problems, QStringList());
}

QTEST_GUILESS_MAIN(tst_journal)
#include "tst_journal.moc"
