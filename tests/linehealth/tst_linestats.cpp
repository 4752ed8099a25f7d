// SPDX-License-Identifier: GPL-3.0-or-later
// Per-drive statistics of everything on the line, the main window's polls as
// much as the tools' requests, checked against what vfdsim logged of a
// damaging line.
#include "HealthRig.h"
#include "LineStatistics.h"

#include <QMap>

namespace {

struct Truth
{
    int sent = 0, answered = 0, exceptions = 0, damaged = 0, timedOut = 0;
};

QByteArray bytesOf(const QString& hexText)
{
    return QByteArray::fromHex(hexText.toLatin1());
}

// Pairs every request vfdsim heard with the reply it sent, if any.
QMap<int, Truth> truthFromLog(const QStringList& log)
{
    QMap<int, Truth> truth;
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (!log[i].startsWith(QStringLiteral("<- ")))
            continue;
        Truth& t = truth[quint8(bytesOf(log[i].mid(3)).at(0))];
        ++t.sent;
        if (i + 1 >= log.size() || !log[i + 1].startsWith(QStringLiteral("-> "))) {
            ++t.timedOut;
            continue;
        }
        const QByteArray reply = bytesOf(log[i + 1].mid(3));
        const QByteArray body = reply.left(reply.size() - 2);
        if (Hexedit::WithCrc(body) != reply)
            ++t.damaged;
        else if (quint8(reply[1]) & 0x80)
            ++t.exceptions;
        else
            ++t.answered;
    }
    return truth;
}

} // namespace

class tst_linestats : public QObject
{
    Q_OBJECT
private slots:
    void countsAgreeWithTheFarEndsLog();
};

void tst_linestats::countsAgreeWithTheFarEndsLog()
{
    SimLine line({QStringLiteral("--drives"), QStringLiteral("1-3"), QStringLiteral("--corrupt"),
                  QStringLiteral("5"), QStringLiteral("--seed"), QStringLiteral("1")},
                 true);
    LineStatistics stats(line.link);
    QSignalSpy silent(&stats, &LineStatistics::driveNotAnswering);
    line.session->setRetries(0);
    auto idle = [&] { return !line.link.AwaitingAnswer() && !line.client.busy(); };
    for (int i = 0; i < 64; ++i) {
        // The last four go to address 4, no drive of the line.
        const quint8 address = quint8(i < 60 ? 1 + i % 3 : 4);
        if (i % 2 == 0) {
            // As the main window's poll tick sends.
            line.link.RxIndex = 0;
            QVERIFY(line.link.SendPollRequest(address, i % Hexedit::PollItemCount));
        } else {
            // A tool's request; register 0x0D40 is none the drives have.
            const quint16 reg = i % 10 == 1 ? 0x0D40 : quint16(0x0000 | (i % 20));
            line.session->submit(LinkRequest::read(address, reg), [](const LinkResult&) {});
        }
        QVERIFY(waitUntil(idle));
    }
    // Every request is in the far end's log before the counts are compared.
    QVERIFY(waitUntil([&] {
        return line.sim.traffic(QStringLiteral("<- ")).size() +
                   line.sim.traffic(QStringLiteral("!! ")).size() >=
               64;
    }));
    const QMap<int, Truth> truth = truthFromLog(line.sim.traffic(QString()));
    // The line did damage some answers, and some requests were refused.
    int damaged = 0, exceptions = 0;
    for (int address = 1; address <= 4; ++address) {
        const DriveCounters c = stats.drive(quint8(address)).counters;
        const Truth t = truth.value(address);
        QCOMPARE(c.sent, t.sent);
        QCOMPARE(c.answered, t.answered);
        QCOMPARE(c.exceptions, t.exceptions);
        QCOMPARE(c.damaged, t.damaged);
        QCOMPARE(c.timedOut, t.timedOut);
        damaged += c.damaged;
        exceptions += c.exceptions;
    }
    QVERIFY(damaged > 0);
    QVERIFY(exceptions > 0);
    QVERIFY(stats.unframedBytes() > 0);
    // Address 4 was asked 4 times and never heard of: told once.
    QCOMPARE(stats.drive(4).counters.sent, 4);
    QCOMPARE(stats.drive(4).counters.timedOut, 4);
    QVERIFY(stats.drive(4).failing());
    // Said once for drive 4 (a drive whose answers the line damaged three
    // times in a row is told of too).
    int toldOfFour = 0;
    for (const QList<QVariant>& told : silent)
        toldOfFour += told[0].toInt() == 4;
    QCOMPARE(toldOfFour, 1);
    QCOMPARE(stats.addresses(), (QList<quint8>{1, 2, 3, 4}));
    const QStringList rows = stats.tableText().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 6);
    QVERIFY(rows[4].startsWith(QStringLiteral("4\t4\t0\t0\t4\t"))); // nothing late either

    stats.reset();
    QVERIFY(stats.addresses().isEmpty());
    QCOMPARE(stats.unframedBytes(), 0);
}

QTEST_GUILESS_MAIN(tst_linestats)
#include "tst_linestats.moc"
