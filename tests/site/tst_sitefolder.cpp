// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class tst_sitefolder : public QObject
{
    Q_OBJECT
private slots:
    void aNewSiteIsMadeOnceAndReadsBack();
    void drivesAreNamedByAddressOrName();
    void theNewestFileIsTheLastMadeOfItsKind();
};

namespace {

const QDateTime kNoon(QDate(2026, 12, 9), QTime(12, 0, 5), QTimeZone::utc());

SiteFolder::NewSite pressHall()
{
    SiteFolder::NewSite what;
    what.name = QStringLiteral("Press hall");
    what.line = QStringLiteral("a");
    what.port = QStringLiteral("/dev/ttyUSB0");
    what.drives = {1, 2, 3};
    return what;
}

} // namespace

void tst_sitefolder::aNewSiteIsMadeOnceAndReadsBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("plant"));
    QString why;
    auto made = SiteFolder::create(root, pressHall(), &why);
    QVERIFY2(made, qPrintable(why));
    QVERIFY(QFileInfo(made->layout().folder(SiteLayout::Kind::Snapshots)).isDir());

    auto opened = SiteFolder::open(root, &why);
    QVERIFY2(opened, qPrintable(why));
    QCOMPARE(opened->site().name, QStringLiteral("Press hall"));
    const SiteLine* line = opened->line(QString(), &why);
    QVERIFY(line);
    QCOMPARE(line->port, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(line->drives.size(), 3);

    // Never a second site over the first, whatever it holds now.
    QVERIFY(!SiteFolder::create(root, pressHall(), &why));
    QVERIFY(why.contains(QStringLiteral("holds a site already")));
    // A folder with no site file, and a site file that is wrong, are said.
    QVERIFY(!SiteFolder::open(dir.path(), &why));
    QVERIFY(why.contains(QStringLiteral("no site.conf")));
    QFile broken(QDir(root).filePath(QStringLiteral("site.conf")));
    QVERIFY(broken.open(QIODevice::Append));
    broken.write("[pump]\n");
    broken.close();
    QVERIFY(!SiteFolder::open(root, &why));
    QVERIFY2(why.contains(QStringLiteral("line ")), qPrintable(why));
}

void tst_sitefolder::drivesAreNamedByAddressOrName()
{
    QTemporaryDir dir;
    QString why;
    auto site = SiteFolder::create(dir.path(), pressHall(), &why);
    QVERIFY2(site, qPrintable(why));
    QVERIFY(site->file().setDriveName(QStringLiteral("a"), 3, QStringLiteral("Conveyor 3"), &why));
    const SiteLine& line = *site->line(QStringLiteral("a"), &why);

    QCOMPARE(SiteFolder::driveOf(line, QStringLiteral("conveyor 3"), &why), quint8(3));
    QCOMPARE(SiteFolder::driveOf(line, QStringLiteral(" 2 "), &why), quint8(2));
    QVERIFY(!SiteFolder::driveOf(line, QStringLiteral("7"), &why));
    QVERIFY(why.contains(QStringLiteral("not a drive of line a")));
    QVERIFY(!SiteFolder::driveOf(line, QStringLiteral("Conveyor 4"), &why));

    QCOMPARE(*SiteFolder::drivesOf(line, QStringLiteral("Conveyor 3,1-2,3"), &why),
             (QList<quint8>{3, 1, 2}));
    QCOMPARE(*SiteFolder::drivesOf(line, QString(), &why), (QList<quint8>{1, 2, 3}));
    QVERIFY(!SiteFolder::drivesOf(line, QStringLiteral("1-5"), &why));
    QVERIFY(!SiteFolder::drivesOf(line, QStringLiteral("1,,2"), &why));
    QCOMPARE(SiteFolder::driveLabel(line, 3), QStringLiteral("3 (Conveyor 3)"));
    QCOMPARE(SiteFolder::driveLabel(line, 1), QStringLiteral("1"));

    // Several lines: one must be named.
    QVERIFY(site->file().setText(
        site->file().text() + QStringLiteral("[line b]\nport = SIM\ndrives = 1\n"), &why));
    QVERIFY(!site->line(QString(), &why));
    QVERIFY(why.contains(QStringLiteral("a, b")));
    QVERIFY(!site->line(QStringLiteral("c"), &why));
}

void tst_sitefolder::theNewestFileIsTheLastMadeOfItsKind()
{
    QTemporaryDir dir;
    QString why;
    auto site = SiteFolder::create(dir.path(), pressHall(), &why);
    QVERIFY2(site, qPrintable(why));
    const SiteLayout layout = site->layout();
    using K = SiteLayout::Kind;
    QVERIFY(site->newest(K::ParameterSets, QStringLiteral("a"), 3).isEmpty());

    const QString first =
        layout.create(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("backup"),
                      QStringLiteral("csv"), kNoon, &why);
    const QString second =
        layout.create(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("backup"),
                      QStringLiteral("csv"), kNoon, &why);
    // Of another drive, another kind of file, and a day before: none is drive 3's newest backup.
    layout.create(K::ParameterSets, QStringLiteral("a"), 13, QStringLiteral("backup"),
                  QStringLiteral("csv"), kNoon.addSecs(60), &why);
    layout.create(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("reference"),
                  QStringLiteral("csv"), kNoon.addSecs(60), &why);
    const QString older =
        layout.create(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("backup"),
                      QStringLiteral("csv"), kNoon.addDays(-1), &why);
    QVERIFY(second.endsWith(QStringLiteral("-backup-2.csv")));

    QCOMPARE(site->files(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("backup"),
                         QStringLiteral("csv")),
             (QStringList{older, first, second}));
    QCOMPARE(site->newest(K::ParameterSets, QStringLiteral("a"), 3, QStringLiteral("backup")),
             second);
    QCOMPARE(site->files(K::ParameterSets, QStringLiteral("a"), 3).size(), 4);
    QVERIFY(site->newest(K::ParameterSets, QStringLiteral("a"), 3)
                .endsWith(QStringLiteral("-reference.csv")));
}

QTEST_GUILESS_MAIN(tst_sitefolder)
#include "tst_sitefolder.moc"
