// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_sitefile : public QObject
{
    Q_OBJECT
private slots:
    void readsAPlantAndLeavesTheServiceItsOwn();
    void writeBackKeepsWhatAPersonWrote();
    void scanFoundDrivesJoinTheList();
    void savedWholeAndReadAgain();
    void testRunKeysLineOverSite();
    void badFileNamesItsLine_data();
    void badFileNamesItsLine();
};

namespace {

// One file for the plant and for the service that watches it.
const char* const kPlant = R"(# press hall, commissioned in December
[site]
name = Press hall
customer = Example Works
technician = J. Doe
parallel = 2

[broker]
url = mqtt://broker.plant:1883

[line a]
port = /dev/ttyUSB0
settings = 19200,N,8,1
drives = 1-3
values = frequency, current

; the conveyors share one reference set
[drive a 3]
Name = Conveyor 3
reference = conveyor.vfdset
   # the press drive is named below, after the line

[drive a 1]
name = Press
)";

} // namespace

void tst_sitefile::readsAPlantAndLeavesTheServiceItsOwn()
{
    QString error;
    const auto site = SiteFile::parse(QString::fromUtf8(kPlant), &error);
    QVERIFY2(site, qPrintable(error));
    QCOMPARE(site->name, QStringLiteral("Press hall"));
    QCOMPARE(site->customer, QStringLiteral("Example Works"));
    QCOMPARE(site->technician, QStringLiteral("J. Doe"));
    QCOMPARE(site->parallel, 2);
    QCOMPARE(site->lines.size(), 1);
    const SiteLine& a = site->lines.first();
    QCOMPARE(a.port, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(a.settings, QStringLiteral("19200,N,8,1"));
    QCOMPARE(a.drives.size(), 3);
    QCOMPARE(a.drive(3)->name, QStringLiteral("Conveyor 3"));
    QCOMPARE(a.drive(3)->reference, QStringLiteral("conveyor.vfdset"));
    QCOMPARE(a.drive(2)->name, QString());
    QCOMPARE(a.drive(1)->name, QStringLiteral("Press"));
}

void tst_sitefile::writeBackKeepsWhatAPersonWrote()
{
    SiteFile file;
    QString error;
    QVERIFY2(file.setText(QString::fromUtf8(kPlant), &error), qPrintable(error));
    // A name typed in the window, one changed, one given where none was.
    QVERIFY2(file.setDriveName(QStringLiteral("a"), 3, QStringLiteral("Conveyor 3 (left)"), &error),
             qPrintable(error));
    QVERIFY2(file.setDriveName(QStringLiteral("a"), 2, QStringLiteral("Conveyor 2"), &error),
             qPrintable(error));
    const QString text = file.text();
    // Every row a person wrote is still there, in its order, but the one rewritten.
    QStringList expected = QString::fromUtf8(kPlant).split(u'\n');
    expected.replace(expected.indexOf(QStringLiteral("Name = Conveyor 3")),
                     QStringLiteral("Name = Conveyor 3 (left)"));
    const QStringList rows = text.split(u'\n');
    qsizetype from = 0;
    for (const QString& row : expected) {
        const qsizetype at = rows.indexOf(row, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("lost or moved: \"%1\"\n%2").arg(row, text)));
        from = at + 1;
    }
    // The new drive's section follows its line's last drive section.
    QVERIFY2(text.endsWith(u"name = Press\n\n[drive a 2]\nname = Conveyor 2\n"), qPrintable(text));
    QCOMPARE(file.site().line(QStringLiteral("a"))->drive(2)->name, QStringLiteral("Conveyor 2"));
    const auto again = SiteFile::parse(text, &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(again->line(QStringLiteral("a"))->drive(3)->name, QStringLiteral("Conveyor 3 (left)"));

    // A name another drive has is refused, and the text stays as it was.
    QVERIFY(!file.setDriveName(QStringLiteral("a"), 1, QStringLiteral("conveyor 2"), &error));
    QVERIFY2(error.contains(u"already"), qPrintable(error));
    QCOMPARE(file.text(), text);
    QVERIFY(!file.setDriveName(QStringLiteral("a"), 9, QStringLiteral("Fan"), &error));
    QCOMPARE(file.text(), text);
}

void tst_sitefile::scanFoundDrivesJoinTheList()
{
    SiteFile file;
    QString error;
    QVERIFY2(file.setText(QStringLiteral("[line b]\r\nport = SIM\r\ndrives = 2\r\n"), &error),
             qPrintable(error));
    QVERIFY2(file.addDrives(QStringLiteral("b"), {5, 3, 4, 2, 9}, &error), qPrintable(error));
    QCOMPARE(file.text(), QStringLiteral("[line b]\r\nport = SIM\r\ndrives = 2-5,9\r\n"));
    // A line with no drives yet gets its key after the line's last setting.
    QVERIFY(file.setText(QStringLiteral("[line c]\nport = SIM\n\n# later\n"), &error));
    QVERIFY2(file.addDrives(QStringLiteral("c"), {7, 8}, &error), qPrintable(error));
    QCOMPARE(file.text(), QStringLiteral("[line c]\nport = SIM\ndrives = 7,8\n\n# later\n"));
    // A name for a drive whose line has no drive sections yet.
    QVERIFY2(file.setDriveName(QStringLiteral("c"), 8, QStringLiteral("Fan 8"), &error),
             qPrintable(error));
    QCOMPARE(file.text(), QStringLiteral("[line c]\nport = SIM\ndrives = 7,8\n\n[drive c 8]\n"
                                         "name = Fan 8\n\n# later\n"));
    QCOMPARE(file.site().lines.first().drives.size(), 2);
}

void tst_sitefile::savedWholeAndReadAgain()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SiteFile file;
    QString error;
    QVERIFY(file.setText(QString::fromUtf8(kPlant), &error));
    QVERIFY(file.setReference(QStringLiteral("a"), 2, QStringLiteral("conveyor.vfdset"), &error));
    QCOMPARE(file.save(dir.path()), QString());
    SiteFile read;
    QVERIFY2(read.load(dir.path(), &error), qPrintable(error));
    QCOMPARE(read.text(), file.text());
    QCOMPARE(read.site().line(QStringLiteral("a"))->drive(2)->reference,
             QStringLiteral("conveyor.vfdset"));
    // A mistake in a file on disk names the file and its line.
    QFile broken(dir.filePath(SiteFile::fileName()));
    QVERIFY(broken.open(QIODevice::Append));
    broken.write("reference = ../elsewhere.vfdset\n");
    broken.close();
    const QString appendedLine = QStringLiteral("line %1:").arg(file.text().split(u'\n').size());
    QVERIFY(!read.load(dir.path(), &error));
    QVERIFY2(error.contains(SiteFile::fileName()) && error.contains(appendedLine),
             qPrintable(error));
    // A folder with no site in it says so.
    QTemporaryDir empty;
    QVERIFY(!read.load(empty.path(), &error));
    QVERIFY2(error.contains(SiteFile::fileName()), qPrintable(error));
}

void tst_sitefile::testRunKeysLineOverSite()
{
    const QString text = QStringLiteral(
        "[site]\ntest-hz = 30\ntest-for = 1min\nexpect = current<4.5, dc-bus>=500\n\n"
        "[line a]\nport = SIM\ndrives = 1-3\ntest-hz = 12.5\ntest-reverse = yes\n\n"
        "[line b]\nport = SIM\ndrives = 1\n\n"
        "[drive a 1]\nreference = row.csv\nreference-source = yes\n"
        "[drive a 2]\nreference = row.csv\n");
    QString error;
    const auto site = SiteFile::parse(text, &error);
    QVERIFY2(site, qPrintable(error));
    const SiteTestRun a = site->testRunOf(*site->line(QStringLiteral("a")));
    QCOMPARE(*a.hz, 12.5);
    QCOMPARE(*a.holdMs, 60000);
    QCOMPARE(*a.reverse, true);
    QCOMPARE(*a.expect,
             QStringList({QStringLiteral("current<4.5"), QStringLiteral("dc-bus>=500")}));
    const SiteTestRun b = site->testRunOf(*site->line(QStringLiteral("b")));
    QCOMPARE(*b.hz, 30.0);
    QVERIFY(!b.reverse);
    QVERIFY(site->line(QStringLiteral("a"))->drive(1)->referenceSource);
    QVERIFY(!site->line(QStringLiteral("a"))->drive(2)->referenceSource);
}

void tst_sitefile::badFileNamesItsLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString line = QStringLiteral("[line a]\nport = SIM\ndrives = 1-3\n");
    QTest::newRow("unknown section") << QStringLiteral("[site]\n\n[plant]\n")
                                     << QStringLiteral("line 3: [plant] is not a section");
    QTest::newRow("unknown key") << QStringLiteral("[site]\nowner = x\n")
                                 << QStringLiteral("line 2: \"owner\" is not a setting of [site]");
    QTest::newRow("key twice") << line + QStringLiteral("port = SIM\n")
                               << QStringLiteral("line 4: \"port\" is set twice");
    QTest::newRow("bad settings") << QStringLiteral("[line a]\nsettings = 9600,Q,8,1\n")
                                  << QStringLiteral("line 2: settings are written");
    QTest::newRow("bad drives") << QStringLiteral("[line a]\ndrives = 1,,2\n")
                                << QStringLiteral("line 2: drives:");
    QTest::newRow("bad address") << line + QStringLiteral("[drive a 40]\n")
                                 << QStringLiteral("line 4: [drive LINE ADDRESS]");
    QTest::newRow("drive of no line") << line + QStringLiteral("\n[drive b 1]\nname = x\n")
                                      << QStringLiteral("line 5: [drive b 1] names no line");
    QTest::newRow("drive not listed")
        << line + QStringLiteral("[drive a 4]\n") << QStringLiteral("line 4: drive 4 is not among");
    QTest::newRow("name twice")
        << line + QStringLiteral("[drive a 1]\nname = Fan\n[drive a 2]\nname = FAN\n")
        << QStringLiteral("line 6: the name \"FAN\" is given on line 4 already");
    QTest::newRow("empty name") << line + QStringLiteral("[drive a 1]\nname =\n")
                                << QStringLiteral("line 5: a drive's name is not empty");
    QTest::newRow("reference in a folder")
        << line + QStringLiteral("[drive a 1]\nreference = sets/a.vfdset\n")
        << QStringLiteral("line 5: reference names a file");
    QTest::newRow("no port") << QStringLiteral("# x\n[line a]\ndrives = 1\n")
                             << QStringLiteral("line 2: [line a] names no port");
    QTest::newRow("parallel") << QStringLiteral("[site]\nparallel = 0\n")
                              << QStringLiteral("line 2: parallel takes 1 to 31");
    QTest::newRow("test-hz") << line + QStringLiteral("test-hz = fast\n")
                             << QStringLiteral("line 4: test-hz takes the frequency");
    QTest::newRow("test-for") << QStringLiteral("[site]\ntest-for = 0s\n")
                              << QStringLiteral("line 2: test-for takes a time");
    QTest::newRow("test-reverse") << QStringLiteral("[site]\ntest-reverse = maybe\n")
                                  << QStringLiteral("line 2: test-reverse takes yes or no");
    QTest::newRow("expect") << line + QStringLiteral("expect = current<4.5, torque<3\n")
                            << QStringLiteral("line 4: expect:");
    QTest::newRow("source without reference")
        << line + QStringLiteral("[drive a 1]\nreference-source = yes\n")
        << QStringLiteral("line 4: reference-source needs the drive's reference");
    QTest::newRow("two sources")
        << line + QStringLiteral("[drive a 1]\nreference = r.csv\nreference-source = yes\n"
                                 "[drive a 2]\nreference = r.csv\nreference-source = yes\n")
        << QStringLiteral("line 7: r.csv has its source drive on line 4 already");
    QTest::newRow("line name") << QStringLiteral("[line a/b]\n")
                               << QStringLiteral("line 1: a line's name is one topic level");
    QTest::newRow("heading") << QStringLiteral("[site\n")
                             << QStringLiteral("line 1: a section "
                                               "heading ends");
}

void tst_sitefile::badFileNamesItsLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QString error;
    QVERIFY(!SiteFile::parse(text, &error));
    QVERIFY2(error.startsWith(expected), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_sitefile)
#include "tst_sitefile.moc"
