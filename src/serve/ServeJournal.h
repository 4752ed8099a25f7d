// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "Journal.h"

#include <QObject>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class BrokerLink;
class QJsonObject;

// What the service does to the drives of a site on a broker's behalf, in the
// site's journal: each run command it obeys, each STOP it sends (asked for,
// or its own when a command is not renewed, a limit is lowered or it stops)
// and each command it refuses.
//
// The entries are written on a thread of their own, so a slow or full disk
// holds back neither a reading nor a STOP: the command goes to the drive
// first and its entry follows. A journal that cannot be written is said once
// in the log and on PREFIX/service/CLIENT-ID/journal (retained, as the
// queue's state is); its entries wait in memory, in order and bounded, and
// go in once the file takes them again (tried every few seconds).
class ServeJournal : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 2000;
    // Entries kept while the file refuses them; the oldest go beyond that.
    static constexpr int HeldLimit = 10000;

    ServeJournal(const QString& path, BrokerLink& broker, QObject* parent = nullptr);
    ~ServeJournal() override;
    ServeJournal(const ServeJournal&) = delete;
    ServeJournal& operator=(const ServeJournal&) = delete;

    QString path() const { return m_journal.path(); }

    // A run command obeyed (a new one, or a new frequency).
    void ran(const QString& line, quint8 drive, RunCommand command, quint16 setpoint,
             const QString& client);
    // A STOP sent, and why ("asked by scada-1", "no fresh command within 2 s").
    void stopped(const QString& line, quint8 drive, const QString& why,
                 const QString& result = QString());
    // A command not obeyed: what was asked ("forward 80.00 Hz, asked by
    // scada-1"), whether it was a stop, and why not.
    void refused(const QString& line, quint8 drive, const QString& asked, bool stop,
                 const QString& why);

    // An entry made elsewhere (a parameter write a client of the line's share
    // sent: SiteJournaling::writeEntry), its tool kept.
    void add(const JournalEntry& entry) { record(entry); }

    // Until every entry handed over is in the file, for at most waitMs; what
    // could not be written by then is said in the log.
    void finish(int waitMs);

    // How a command's client is named in an entry.
    static QString askedBy(const QString& client);
    // What a client's command asks ("forward 80.00 Hz, asked by scada-1").
    static QString askedText(const QJsonObject& command);
    // "forward 30.00 Hz", "reverse 5.00 Hz", "stop".
    static QString commandText(RunCommand command, quint16 setpoint);

signals:
    void logLine(const QString& text);

private:
    void record(JournalEntry entry);
    void writer();
    // On the service's thread: the writer found the file writable or not.
    void changed(bool written, const QString& why);
    void publishState();

    Journal m_journal;
    BrokerLink& m_broker;
    // Shared with the writer.
    std::mutex m_mutex;
    std::condition_variable m_wake; // an entry came, or the end
    std::condition_variable m_idle; // an entry went in, or the writer gave up for now
    std::deque<JournalEntry> m_held;
    qint64 m_lost = 0; // dropped beyond HeldLimit
    bool m_failing = false;
    bool m_quit = false;
    std::thread m_thread;
    // The service's thread's view.
    bool m_written = true;
    QString m_reason;
};
