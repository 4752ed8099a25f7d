// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// mbpoll as a peer of vfdctl serve: each line polled by its own mbpoll for
// the same block of every drive, its readings counted from what it prints.
#include "Figures.h"
#include "ProcStat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

// mbpoll on each line, polling the same block of every drive in turn, as
// fast as it polls (-l 11, its least); readings counted from what it prints.
inline void mbpollPeer(const QString& mbpoll, const QStringList& devices, int seconds,
                       double allowed, double serveRate)
{
    QList<QProcess*> polls;
    for (const QString& device : devices) {
        auto* p = new QProcess;
        p->start(mbpoll, {QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-b"),
                          QStringLiteral("9600"), QStringLiteral("-P"), QStringLiteral("even"),
                          QStringLiteral("-a"), QStringLiteral("1:31"), QStringLiteral("-r"),
                          QString::number(0x0D00), QStringLiteral("-c"), QStringLiteral("8"),
                          QStringLiteral("-0"), QStringLiteral("-l"), QStringLiteral("11"),
                          QStringLiteral("-o"), QStringLiteral("0.5"), device});
        p->waitForStarted(3000);
        polls << p;
    }
    QElapsedTimer wall;
    wall.start();
    QList<double> cpu0;
    for (QProcess* p : polls)
        cpu0 << cpuSeconds(p->processId());
    // Readings of the three values: the lines of registers 0, 2 and 7 of the block.
    const QList<QByteArray> wanted{"[3328]:", "[3330]:", "[3335]:"};
    qsizetype readings = 0;
    QList<QByteArray> rest(polls.size());
    while (wall.elapsed() < seconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        for (int i = 0; i < polls.size(); ++i) {
            polls[i]->waitForReadyRead(20);
            rest[i] += polls[i]->readAllStandardOutput();
            const qsizetype end = rest[i].lastIndexOf('\n');
            if (end < 0)
                continue;
            for (const QByteArray& line : rest[i].left(end).split('\n'))
                for (const QByteArray& w : wanted)
                    readings += line.trimmed().startsWith(w);
            rest[i] = rest[i].mid(end + 1);
        }
    }
    const double elapsed = wall.nsecsElapsed() / 1e9;
    double cpu = 0;
    for (int i = 0; i < polls.size(); ++i)
        cpu += cpuSeconds(polls[i]->processId()) - cpu0[i];
    for (QProcess* p : polls) {
        p->kill();
        p->waitForFinished(3000);
        delete p;
    }
    const double rate = double(readings) / elapsed;
    std::printf("mbpoll -a 1:31 -r 0x0D00 -c 8 on each line: %.1f readings/s (%.0f %% of the "
                "limit), CPU %.2f %% of one core; vfdctl serve / mbpoll %.2f\n",
                rate, 100 * rate / allowed, 100 * cpu / elapsed, serveRate / rate);
    const std::string how = "mbpoll -m rtu -a 1:31 -r 0x0D00 -c 8 -l 11 on each line for " +
                            std::to_string(seconds) +
                            " s, readings of registers 0, 2, 7 counted from its output; reads "
                            "no status and publishes nothing";
    Figures::record("serve", "readings a second, block reads", serveRate, "/s",
                    "mbpoll on both lines (same run)", rate, how);
    Figures::record("serve", "mbpoll on both lines: CPU", 100 * cpu / elapsed, "% of one core",
                    how);
}

// One mbpoll process per exchange on a serial line, as a script runs it.
struct MbpollLine
{
    QString program;
    QString device;
    QString settings; // "9600,E,8,1"
    int processes = 0;

    QStringList base(int address) const
    {
        const QStringList parts = settings.split(u',');
        const QString parity = parts.value(1) == u"E"   ? QStringLiteral("even")
                               : parts.value(1) == u"O" ? QStringLiteral("odd")
                                                        : QStringLiteral("none");
        return {QStringLiteral("-m"), QStringLiteral("rtu"),   QStringLiteral("-b"),
                parts.value(0),       QStringLiteral("-P"),    parity,
                QStringLiteral("-d"), parts.value(2),          QStringLiteral("-s"),
                parts.value(3),       QStringLiteral("-0"),    QStringLiteral("-1"),
                QStringLiteral("-a"), QString::number(address)};
    }
    QString run(const QStringList& args)
    {
        ++processes;
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }
    // Values read, in order; fewer (none) where mbpoll said no.
    QList<quint16> read(int address, quint16 reg, int count)
    {
        const QString out =
            run(base(address) + QStringList{QStringLiteral("-t"), QStringLiteral("4:hex"),
                                            QStringLiteral("-r"), QString::number(reg),
                                            QStringLiteral("-c"), QString::number(count), device});
        QList<quint16> values;
        for (const QString& line : out.split(u'\n')) {
            const qsizetype at = line.indexOf(QStringLiteral("]: "));
            if (line.startsWith(u'[') && at > 0)
                values << quint16(line.mid(at + 3).trimmed().toUInt(nullptr, 16));
        }
        return values;
    }
    bool write(int address, quint16 reg, quint16 value)
    {
        return run(base(address) + QStringList{QStringLiteral("-r"), QString::number(reg), device,
                                               QString::number(value)})
            .contains(QStringLiteral("Written 1 references"));
    }
};
