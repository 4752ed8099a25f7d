// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <deque>

class QIODevice;

// The traffic since the port was opened, kept for "Save_File": one line per
// frame with its time to the millisecond and its direction, the way a
// technician attaches it to a fault report. The log box on screen is cleared
// every few seconds; this trace is not, so a fault caught on the line can still
// be saved after the box has moved on. Only the newest lines up to a byte limit
// are kept; how many older ones were dropped is said at the top of the file.
class TrafficTrace
{
public:
    static constexpr qsizetype DefaultLimit = 8 * 1024 * 1024;
    // Received bytes that never end in a frame (noise, a wrong baud rate) are
    // written out in lines of this many bytes.
    static constexpr qsizetype LongestReply = 64;

    explicit TrafficTrace(qsizetype byteLimit = DefaultLimit);

    // Forgets everything: the port has just been opened.
    void restart();
    // A frame that went out.
    void addRequest(const QByteArray& frame);
    // A piece of the receive log: one received byte in hexadecimal ("1 ", "FF ")
    // or "\r\n" once the bytes so far made a valid frame.
    void addReceived(const QString& piece);
    // Something that befell the port, in the system's own words ("Resource
    // temporarily unavailable"): kept for whoever reads the trace.
    void addPortEvent(const QString& text);

    // The lines kept, oldest first (bytes still waiting for their frame's end
    // included), and how many older ones were dropped.
    QStringList lines() const;
    qsizetype droppedLines() const { return m_dropped; }

    // Writes the header lines, the note on dropped lines and the trace.
    // Returns false as soon as the device refuses a write.
    bool writeTo(QIODevice& out, const QStringList& header) const;
    // Saves atomically: the old file stays as it was unless everything was
    // written and flushed. On failure, `error` says why.
    bool save(const QString& path, const QStringList& header, QString* error) const;

private:
    void append(const QDateTime& at, const char* direction, const QByteArray& bytes,
                const char* note = nullptr);
    void endReply(const char* note);
    // Keeps a line, dropping the oldest ones beyond the limit.
    void push(QByteArray line);
    // The line of the bytes received since the last frame ended.
    QByteArray waitingLine() const;

    qsizetype m_limit;
    std::deque<QByteArray> m_lines;
    qsizetype m_bytes = 0;
    qsizetype m_dropped = 0;
    QByteArray m_reply; // received bytes of a frame not yet complete
    QDateTime m_replyStart;
};
