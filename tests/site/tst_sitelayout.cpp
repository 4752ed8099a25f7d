// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteLayout.h"
#include "WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <algorithm>
#include <thread>

class tst_sitelayout : public QObject
{
    Q_OBJECT
private slots:
    void namesSortByLineDriveAndTime();
    void aSecondFileOfTheSameSecondIsASecondFile();
    void racingMakersNeverShareAName();
    void aFolderThatCannotTakeFilesIsSaid();
};

namespace {

const QDateTime kNoon(QDate(2026, 12, 9), QTime(12, 0, 5), QTimeZone::utc());

} // namespace

void tst_sitelayout::namesSortByLineDriveAndTime()
{
    QCOMPARE(SiteLayout::baseName(QStringLiteral("a"), 3, kNoon, QStringLiteral("backup")),
             QStringLiteral("a-d03-20261209T120005Z-backup"));
    QCOMPARE(SiteLayout::baseName(QStringLiteral("a"), 0, kNoon, QStringLiteral("report")),
             QStringLiteral("a-20261209T120005Z-report"));
    // Made in any order, the names sort as line, drive, time.
    const QStringList expected = {
        SiteLayout::baseName(QStringLiteral("a"), 2, kNoon, QStringLiteral("backup")),
        SiteLayout::baseName(QStringLiteral("a"), 2, kNoon.addSecs(1), QStringLiteral("backup")),
        SiteLayout::baseName(QStringLiteral("a"), 10, kNoon.addDays(-400),
                             QStringLiteral("backup")),
        SiteLayout::baseName(QStringLiteral("b"), 1, kNoon.addDays(-900), QStringLiteral("backup")),
    };
    QStringList sorted = expected;
    std::reverse(sorted.begin(), sorted.end());
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, expected);
    // Local time is written as universal time, so the hour the clocks go back sorts.
    const QDateTime local = kNoon.toTimeZone(QTimeZone(3600));
    QCOMPARE(SiteLayout::baseName(QStringLiteral("a"), 3, local, QStringLiteral("backup")),
             SiteLayout::baseName(QStringLiteral("a"), 3, kNoon, QStringLiteral("backup")));
}

void tst_sitelayout::aSecondFileOfTheSameSecondIsASecondFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SiteLayout layout(dir.path());
    QString error;
    const QString first =
        layout.create(SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 3,
                      QStringLiteral("backup"), QStringLiteral("vfdset"), kNoon, &error);
    QVERIFY2(!first.isEmpty(), qPrintable(error));
    QCOMPARE(QFileInfo(first).absolutePath(), QDir(dir.filePath("parameter-sets")).absolutePath());
    QFile written(first);
    QVERIFY(written.open(QIODevice::WriteOnly));
    written.write("the first backup\n");
    written.close();
    const QString second =
        layout.create(SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 3,
                      QStringLiteral("backup"), QStringLiteral("vfdset"), kNoon, &error);
    const QString third =
        layout.create(SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 3,
                      QStringLiteral("backup"), QStringLiteral("vfdset"), kNoon, &error);
    QCOMPARE(QFileInfo(second).fileName(),
             QStringLiteral("a-d03-20261209T120005Z-backup-2.vfdset"));
    QCOMPARE(QFileInfo(third).fileName(), QStringLiteral("a-d03-20261209T120005Z-backup-3.vfdset"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("the first backup\n"));
    // Each kind has its place; snapshots go with the recordings.
    const QString snapshot =
        layout.create(SiteLayout::Kind::Snapshots, QStringLiteral("a"), 3, QStringLiteral("trip"),
                      QStringLiteral("csv"), kNoon, &error);
    QVERIFY2(snapshot.startsWith(layout.folder(SiteLayout::Kind::Recordings) + u'/'),
             qPrintable(snapshot));
    QSet<QString> folders;
    for (auto kind :
         {SiteLayout::Kind::ParameterSets, SiteLayout::Kind::TestRuns, SiteLayout::Kind::Recordings,
          SiteLayout::Kind::Snapshots, SiteLayout::Kind::Reports})
        folders.insert(layout.folder(kind));
    QCOMPARE(folders.size(), 5);
}

void tst_sitelayout::racingMakersNeverShareAName()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Two makers in this process and two processes, all at one name at once.
    if (qEnvironmentVariableIsSet("SITE_RACER")) {
        const SiteLayout layout(qEnvironmentVariable("SITE_RACER"));
        for (int i = 0; i < 25; ++i) {
            QString error;
            const QString path =
                layout.create(SiteLayout::Kind::TestRuns, QStringLiteral("a"), 7,
                              QStringLiteral("testrun"), QStringLiteral("json"), kNoon, &error);
            QVERIFY2(!path.isEmpty(), qPrintable(error));
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write("taken\n");
        }
        return;
    }
    QList<QProcess*> racers;
    for (int i = 0; i < 2; ++i) {
        auto* racer = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SITE_RACER"), dir.path());
        racer->setProcessEnvironment(env);
        racer->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("racingMakersNeverShareAName")});
        racers.append(racer);
    }
    auto race = [&] {
        const SiteLayout layout(dir.path());
        for (int i = 0; i < 25; ++i) {
            QString error;
            const QString path =
                layout.create(SiteLayout::Kind::TestRuns, QStringLiteral("a"), 7,
                              QStringLiteral("testrun"), QStringLiteral("json"), kNoon, &error);
            if (path.isEmpty())
                continue;
            QFile f(path);
            if (f.open(QIODevice::Append))
                f.write("taken\n");
        }
    };
    std::thread other(race);
    race();
    other.join();
    for (QProcess* racer : racers) {
        QVERIFY(racer->waitForFinished(120000));
        QCOMPARE(racer->exitCode(), 0);
        delete racer;
    }
    // A hundred makers, a hundred files, each taken once.
    const QDir runs(SiteLayout(dir.path()).folder(SiteLayout::Kind::TestRuns));
    const QStringList files = runs.entryList(QDir::Files);
    QCOMPARE(files.size(), 100);
    for (const QString& name : files) {
        QFile f(runs.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("taken\n"));
    }
}

void tst_sitelayout::aFolderThatCannotTakeFilesIsSaid()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The place of the reports is taken by a file: nothing can be made there.
    QFile blocker(dir.filePath(QStringLiteral("reports")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    const QString path =
        SiteLayout(dir.path())
            .create(SiteLayout::Kind::Reports, QStringLiteral("a"), 0, QStringLiteral("report"),
                    QStringLiteral("pdf"), kNoon, &error);
    QVERIFY(path.isEmpty());
    QVERIFY2(error.contains(u"reports"), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_sitelayout)
#include "tst_sitelayout.moc"
