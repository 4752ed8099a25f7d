// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeJournal.h"

#include "BrokerLink.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>

ServeJournal::ServeJournal(const QString& path, BrokerLink& broker, QObject* parent)
    : QObject(parent), m_journal(path), m_broker(broker)
{
    // Said at the start, so a "not written" of an earlier run is not left standing.
    publishState();
    m_thread = std::thread([this] { writer(); });
}

ServeJournal::~ServeJournal()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

QString ServeJournal::askedBy(const QString& client)
{
    return client.isEmpty() ? QStringLiteral("asked by a client that gave no name")
                            : QStringLiteral("asked by ") + client;
}

QString ServeJournal::commandText(RunCommand command, quint16 setpoint)
{
    const QString hz = QString::number(setpoint / 100.0, 'f', 2);
    switch (command) {
    case RunCommand::Forward:
        return QStringLiteral("forward %1 Hz").arg(hz);
    case RunCommand::Reverse:
        return QStringLiteral("reverse %1 Hz").arg(hz);
    case RunCommand::JogForward:
        return QStringLiteral("jog forward");
    case RunCommand::JogReverse:
        return QStringLiteral("jog reverse");
    default:
        return QStringLiteral("stop");
    }
}

// What a client asked, as the journal keeps it: "forward 80.00 Hz, asked by scada-1".
QString ServeJournal::askedText(const QJsonObject& o)
{
    const QString what = o.value(QStringLiteral("command")).toString().toLower();
    QString text = what == u"fwd"    ? QStringLiteral("forward")
                   : what == u"rev"  ? QStringLiteral("reverse")
                   : what == u"stop" ? QStringLiteral("stop")
                   : what.isEmpty()  ? QStringLiteral("no command")
                                     : QStringLiteral("\"%1\"").arg(what.left(40));
    const QJsonValue hz = o.value(QStringLiteral("hz"));
    if (what != u"stop" && hz.isDouble())
        text += QStringLiteral(" %1 Hz").arg(QString::number(hz.toDouble(), 'f', 2));
    return text + QStringLiteral(", ") + askedBy(o.value(QStringLiteral("client")).toString());
}

void ServeJournal::ran(const QString& line, quint8 drive, RunCommand command, quint16 setpoint,
                       const QString& client)
{
    JournalEntry e;
    e.kind = JournalEntry::Kind::RunStarted;
    e.line = line;
    e.drive = drive;
    e.command = commandText(command, setpoint) + QStringLiteral(", ") + askedBy(client);
    record(e);
}

void ServeJournal::stopped(const QString& line, quint8 drive, const QString& why,
                           const QString& result)
{
    JournalEntry e;
    e.kind = JournalEntry::Kind::RunStopped;
    e.line = line;
    e.drive = drive;
    e.command = QStringLiteral("stop, ") + why;
    e.result = result;
    record(e);
}

void ServeJournal::refused(const QString& line, quint8 drive, const QString& asked, bool stop,
                           const QString& why)
{
    JournalEntry e;
    e.kind = stop ? JournalEntry::Kind::RunStopped : JournalEntry::Kind::RunStarted;
    e.line = line;
    e.drive = drive;
    e.command = asked;
    e.result = QStringLiteral("refused: ") + why;
    record(e);
}

void ServeJournal::record(JournalEntry entry)
{
    if (entry.tool.isEmpty())
        entry.tool = QStringLiteral("serve");
    entry.time = QDateTime::currentDateTime();
    int held = 0;
    {
        const std::lock_guard lock(m_mutex);
        m_held.push_back(std::move(entry));
        if (m_held.size() > size_t(HeldLimit)) {
            m_held.pop_front();
            ++m_lost;
        }
        held = int(m_held.size());
    }
    m_wake.notify_all();
    // While the file refuses them, how many wait is said as it grows.
    if (!m_written && held > 0)
        publishState();
}

void ServeJournal::writer()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    // Whether the journal can be written at all is known before the first
    // command: a site folder that is read-only is said at the start.
    {
        lock.unlock();
        QFile probe(m_journal.path());
        const bool opened = probe.open(QIODevice::WriteOnly | QIODevice::Append);
        const QString why = opened ? QString() : probe.errorString();
        lock.lock();
        if (!opened) {
            m_failing = true;
            QMetaObject::invokeMethod(
                this,
                [this, why] {
                    changed(false, QStringLiteral("the journal %1 cannot be opened: %2")
                                       .arg(m_journal.path(), why));
                },
                Qt::QueuedConnection);
        }
    }
    Clock::time_point nextTry = Clock::now();
    for (;;) {
        if (m_quit && (m_held.empty() || m_failing))
            return;
        if (m_held.empty()) {
            m_wake.wait(lock);
            continue;
        }
        if (m_failing && Clock::now() < nextTry) {
            m_wake.wait_until(lock, nextTry);
            continue;
        }
        const JournalEntry entry = m_held.front();
        const qint64 lostBefore = m_lost;
        lock.unlock();
        const QString why = m_journal.append(entry);
        lock.lock();
        if (why.isEmpty()) {
            // Unless the bound dropped it (the oldest) meanwhile.
            if (m_lost == lostBefore)
                m_held.pop_front();
            if (m_failing) {
                m_failing = false;
                QMetaObject::invokeMethod(
                    this, [this] { changed(true, QString()); }, Qt::QueuedConnection);
            }
        } else {
            nextTry = Clock::now() + std::chrono::milliseconds(RetryMs);
            if (!m_failing) {
                m_failing = true;
                QMetaObject::invokeMethod(
                    this, [this, why] { changed(false, why); }, Qt::QueuedConnection);
            }
        }
        m_idle.notify_all();
    }
}

void ServeJournal::changed(bool written, const QString& why)
{
    if (written == m_written)
        return;
    m_written = written;
    m_reason = why;
    if (!written) {
        emit logLine(QStringLiteral("%1: the commands sent from now on wait in memory for it "
                                    "(STOPs still go at once); trying again every %2 s")
                         .arg(why)
                         .arg(RetryMs / 1000));
    } else {
        emit logLine(QStringLiteral("the journal %1 is written again").arg(m_journal.path()));
    }
    publishState();
}

void ServeJournal::publishState()
{
    int waiting = 0;
    qint64 lost = 0;
    {
        const std::lock_guard lock(m_mutex);
        waiting = m_written ? 0 : int(m_held.size());
        lost = m_lost;
    }
    QJsonObject o;
    o.insert(QStringLiteral("file"), m_journal.path());
    o.insert(QStringLiteral("written"), m_written);
    if (!m_written)
        o.insert(QStringLiteral("reason"), m_reason);
    o.insert(QStringLiteral("waiting"), waiting);
    o.insert(QStringLiteral("lost"), double(lost));
    o.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    m_broker.publish(m_broker.serviceTopic() + QStringLiteral("/journal"),
                     QJsonDocument(o).toJson(QJsonDocument::Compact), true);
}

void ServeJournal::finish(int waitMs)
{
    std::unique_lock lock(m_mutex);
    // A file that refuses entries gets its next try within the wait.
    m_idle.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_held.empty(); });
    const qint64 left = qint64(m_held.size()) + m_lost;
    lock.unlock();
    if (left > 0)
        emit logLine(QStringLiteral("%1 commands sent could not be written into the journal %2")
                         .arg(left)
                         .arg(m_journal.path()));
}
