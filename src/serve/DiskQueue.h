// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <deque>

class QIODevice;

// One message for the broker.
struct BrokerMessage
{
    QString topic;
    QByteArray payload;
    bool retain = false;
};

// Readings on their way to the broker, in the order they were read. Every
// message is written to a file as it comes, and so is each time the front
// of the queue goes (taken by the broker, or dropped): the file read from its
// start gives exactly the queue, so what the broker has not yet
// taken outlives a lost connection, a stopped service and a power cut (up to
// what the system had not yet written). Bounded: once full, the oldest
// message goes and is counted, so a broker away for days costs the oldest
// readings, never the newest nor the disk.
//
// A file that cannot be written (a full disk) is said at once: the readings
// queued since then live in memory only and are counted, and the file is
// written afresh every few seconds until it can be again.
class DiskQueue
{
public:
    static constexpr const char* FileName = "serve-queue.jsonl";
    // How often a file that could not be written is tried again.
    static constexpr int RetryMs = 2000;

    explicit DiskQueue(int limit) : m_limit(limit < 1 ? 1 : limit) {}
    DiskQueue(const DiskQueue&) = delete;
    DiskQueue& operator=(const DiskQueue&) = delete;

    // What a queue folder holds, read without touching it (another process
    // may be writing it); how many lines could not be read into *unreadable.
    static std::deque<BrokerMessage> peek(const QString& dir, int* unreadable = nullptr);

    // Keeps the queue in dir (made if missing) and takes what an earlier run
    // left there: never more than the limit of it, however large the file.
    // Without a folder the queue lives in memory only.
    bool open(const QString& dir, QString* error);
    QString path() const { return m_file.fileName(); }

    void push(const BrokerMessage& message);
    bool empty() const { return m_items.empty(); }
    int size() const { return int(m_items.size()); }
    const BrokerMessage& at(int i) const { return m_items[size_t(i)]; }
    // The broker has taken the first n.
    void popFront(int n);

    // Messages dropped because the queue was full, since last asked.
    qint64 takeDropped();
    // All dropped since the queue was made, for those who must follow its front.
    qint64 droppedEver() const { return m_droppedEver; }
    // Lines of the file that could not be read back when it was opened.
    int unreadable() const { return m_unreadable; }

    // Writes the file afresh with exactly what is queued, checked.
    bool flush(QString* error = nullptr);

    // Whether the file holds the queue; when not, why, and how many queued
    // readings are in memory only.
    bool written() const { return !m_failing; }
    QString writeError() const { return m_writeError; }
    int atRisk() const { return m_atRisk; }
    // Tries a file that could not be written again, if it is time to.
    void retry();
    // Whether written() changed since last asked.
    bool takeWriteChange();

private:
    struct Loaded;
    static Loaded load(QIODevice& file, int limit);
    void append(const QByteArray& line);
    void failed(const QString& why);
    void recovered();

    int m_limit;
    std::deque<BrokerMessage> m_items;
    QFile m_file;
    qint64 m_dropped = 0;
    qint64 m_droppedEver = 0;
    int m_unreadable = 0;
    // Messages gone from the front since the file was last written afresh:
    // the file still holds them (and the note that they went), so it is
    // rewritten once they are many.
    int m_stale = 0;
    bool m_failing = false;
    bool m_changed = false;
    int m_atRisk = 0;
    QString m_writeError;
    QElapsedTimer m_lastTry;
};
