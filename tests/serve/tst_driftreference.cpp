// SPDX-License-Identifier: GPL-3.0-or-later
// What a drive of a site counts as commissioned with (its reference set or
// newest backup, moved on by the writes journaled since), and the service's
// keys for writes from the broker and the drift watch.
#include "DriftReference.h"
#include "DriftWatch.h"
#include "ParamSet.h"
#include "ParamSetFile.h"
#include "ServeConfig.h"

#include <QTemporaryDir>
#include <QTest>

class tst_driftreference : public QObject
{
    Q_OBJECT
private slots:
    void backupMovedOnByLaterWrites();
    void referenceWinsAndDriftsStayOpen();
    void keys_data();
    void keys();
    void passTimeFollowsTheLine();
};

namespace {

constexpr quint16 kAccel = 0x000E; // P0.14
constexpr quint16 kDecel = 0x000F; // P0.15
constexpr quint16 kAddress = 0x0800;

struct Fixture
{
    QTemporaryDir dir;
    std::optional<SiteFolder> site;
    QDateTime backupAt = QDateTime::currentDateTimeUtc().addSecs(-3600);

    Fixture()
    {
        SiteFolder::NewSite what;
        what.line = QStringLiteral("a");
        what.port = QStringLiteral("SIM");
        what.drives = {1, 2};
        QString why;
        site = SiteFolder::create(dir.filePath(QStringLiteral("s")), what, &why);
    }
    // A set of drive 1 saved as the site saves a backup, at backupAt.
    QString save(const QString& what, quint16 accel, quint16 decel)
    {
        ParamSet set = ParamSet::defaults();
        set.values[kAccel] = {ParamValue::State::Value, accel};
        set.values[kDecel] = {ParamValue::State::Value, decel};
        set.values[kAddress] = {ParamValue::State::Value, 1};
        QString why;
        const QString path =
            site->layout().create(SiteLayout::Kind::ParameterSets, QStringLiteral("a"), 1, what,
                                  QStringLiteral("csv"), backupAt, &why);
        ParamSetFile::Save(set, path);
        return path;
    }
    void journal(JournalEntry::Kind kind, quint16 reg, const QString& asked,
                 JournalEntry::Outcome outcome, const QDateTime& at, const QString& result = {},
                 quint8 drive = 1)
    {
        JournalEntry e;
        e.kind = kind;
        e.time = at;
        e.tool = QStringLiteral("test");
        e.line = QStringLiteral("a");
        e.drive = drive;
        e.parameter = ParamCatalogue::number(reg);
        e.asked = asked;
        e.readBack = asked;
        e.before = QStringLiteral("1.0");
        e.outcome = outcome;
        e.result = result;
        site->record(e);
    }
};

} // namespace

// The backup, with what the tools wrote since: a refused write, a write of
// another drive and one older than the backup change nothing.
void tst_driftreference::backupMovedOnByLaterWrites()
{
    Fixture f;
    QVERIFY(f.site);
    f.save(QStringLiteral("backup"), 100, 200);
    const QDateTime later = f.backupAt.addSecs(60);
    using K = JournalEntry::Kind;
    using O = JournalEntry::Outcome;
    f.journal(K::Write, kAccel, QStringLiteral("5.0"), O::Verified, f.backupAt.addSecs(-60));
    f.journal(K::Write, kDecel, QStringLiteral("30.0"), O::Refused, later);
    f.journal(K::Write, kDecel, QStringLiteral("40.0"), O::Verified, later, {}, 2);
    f.journal(K::Write, kAccel, QStringLiteral("12.5"), O::NoAnswer, later);
    QString why;
    const SiteLine* line = f.site->line(QStringLiteral("a"), &why);
    const auto ref = DriftReference::of(*f.site, *line, 1, &why);
    QVERIFY2(ref, qPrintable(why));
    QVERIFY(ref->against.startsWith(u"backup a-d01-"));
    QCOMPARE(ref->values.value(kAccel), quint16(125));
    QCOMPARE(ref->values.value(kDecel), quint16(200));
    // The drive's own address is no drift to watch.
    QVERIFY(!ref->values.contains(kAddress));
    // Drive 2 has nothing to be compared with.
    QVERIFY(!DriftReference::of(*f.site, *line, 2, &why));
    QVERIFY(why.contains(u"no reference set and no backup"));
}

// A reference the site names beats the backup; drifts journaled and not
// cleared are carried on with their first sighting, a write settles one.
void tst_driftreference::referenceWinsAndDriftsStayOpen()
{
    Fixture f;
    QVERIFY(f.site);
    f.save(QStringLiteral("backup"), 100, 200);
    const QString ref = f.save(QStringLiteral("ref"), 110, 210);
    QString text = QString::fromUtf8([&] {
        QFile file(f.site->root() + QStringLiteral("/site.conf"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }());
    text += QStringLiteral("\n[drive a 1]\nreference = %1\n").arg(QFileInfo(ref).fileName());
    {
        QFile file(f.site->root() + QStringLiteral("/site.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    QString why;
    QVERIFY2(f.site->reload(&why), qPrintable(why));
    using K = JournalEntry::Kind;
    using O = JournalEntry::Outcome;
    const QDateTime first = f.backupAt.addSecs(100);
    f.journal(K::Drift, kAccel, QStringLiteral("20.0"), O::Verified, first,
              QStringLiteral("changed"));
    f.journal(K::Drift, kAccel, QStringLiteral("21.0"), O::Verified, first.addSecs(5),
              QStringLiteral("changed"));
    f.journal(K::Drift, kDecel, QStringLiteral("22.0"), O::Verified, first,
              QStringLiteral("changed"));
    f.journal(K::Write, kDecel, QStringLiteral("23.0"), O::Verified, first.addSecs(10));
    const SiteLine* line = f.site->line(QStringLiteral("a"), &why);
    const auto r = DriftReference::of(*f.site, *line, 1, &why);
    QVERIFY2(r, qPrintable(why));
    QVERIFY(r->against.startsWith(u"reference "));
    QCOMPARE(r->values.value(kAccel), quint16(110));
    QCOMPARE(r->values.value(kDecel), quint16(230));
    QCOMPARE(r->open.keys(), QList<quint16>{kAccel});
    QCOMPARE(r->open[kAccel].firstSeen, first);
    QCOMPARE(r->open[kAccel].now, QStringLiteral("21.0"));

    f.journal(K::Drift, kAccel, QStringLiteral("11.0"), O::Verified, first.addSecs(20),
              QStringLiteral("cleared"));
    QVERIFY(DriftReference::of(*f.site, *line, 1, &why)->open.isEmpty());
}

void tst_driftreference::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said"); // empty: taken
    const QString line = QStringLiteral("\n[line a]\nport = SIM\ndrives = 1\nvalues = current\n");
    QTest::newRow("writable list") << "[commands]\nwritable = P0.14, p0.15 P0.14" + line << "";
    QTest::newRow("drive's address") << "[commands]\nwritable = P0.14, P8.00" + line
                                     << "line 2: writable: P8.00 changes how the drive";
    QTest::newRow("no parameter") << "[commands]\nwritable = P0.99" + line
                                  << "line 2: writable: \"P0.99\" is no parameter";
    QTest::newRow("share") << "[drift]\nshare = 12.5%" + line << "";
    QTest::newRow("share off") << "[drift]\nshare = 0" + line << "";
    QTest::newRow("share too high") << "[drift]\nshare = 60%" + line << "line 2: share takes";
    QTest::newRow("share no number") << "[drift]\nshare = often" + line << "line 2: share takes";
}

void tst_driftreference::keys()
{
    QFETCH(QString, text);
    QFETCH(QString, said);
    QString why;
    const auto c = ServeConfigText::parse(text, &why);
    if (said.isEmpty()) {
        QVERIFY2(c, qPrintable(why));
        if (text.contains(u"writable"))
            QCOMPARE(c->writable, (QList<quint16>{kAccel, kDecel}));
        if (text.contains(u"12.5%"))
            QCOMPARE(c->driftShare, 0.125);
        if (text.contains(u"share = 0"))
            QCOMPARE(c->driftShare, 0.0);
        return;
    }
    QVERIFY(!c);
    QVERIFY2(why.startsWith(said), qPrintable(why));
}

// The figure the README gives: grows with the drives and the baud rate's
// slowness, shrinks with the share, and blocks beat single reads.
void tst_driftreference::passTimeFollowsTheLine()
{
    const QString slow = QStringLiteral("9600,E,8,1");
    const double singly = DriftWatch::passSeconds(31, slow, 0.05, false, 5);
    const double blocks = DriftWatch::passSeconds(31, slow, 0.05, true, 5);
    QVERIFY(blocks < singly / 3);
    QCOMPARE(DriftWatch::passSeconds(62, slow, 0.05, false, 5), 2 * singly);
    QCOMPARE(DriftWatch::passSeconds(31, slow, 0.10, false, 5), singly / 2);
    QVERIFY(DriftWatch::passSeconds(31, QStringLiteral("19200,E,8,1"), 0.05, false, 0) < singly);
    QCOMPARE(DriftWatch::passSeconds(31, QStringLiteral("nonsense"), 0.05, false, 5), 0.0);
}

QTEST_GUILESS_MAIN(tst_driftreference)
#include "tst_driftreference.moc"
