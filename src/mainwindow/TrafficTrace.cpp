// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrafficTrace.h"

#include "BoundedRead.h"

#include <QLocale>
#include <QSaveFile>

namespace {

// "2024-05-01 14:03:07.215  request  01 03 0E 00 00 00 47 22"
QByteArray formatLine(const QDateTime& at, const char* direction, const QByteArray& bytes,
                      const char* note)
{
    QByteArray line = at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    line += "  ";
    line += direction;
    line += "  ";
    line += bytes.toHex(' ').toUpper();
    if (note) {
        line += "  ";
        line += note;
    }
    line += '\n';
    return line;
}

constexpr const char* kReply = "reply  ";

} // namespace

TrafficTrace::TrafficTrace(qsizetype byteLimit) : m_limit(byteLimit) {}

void TrafficTrace::restart()
{
    m_lines.clear();
    m_bytes = 0;
    m_dropped = 0;
    m_reply.clear();
}

void TrafficTrace::addRequest(const QByteArray& frame)
{
    // Whatever came in before a new request goes out was not the end of a frame.
    endReply("(no frame end)");
    append(QDateTime::currentDateTime(), "request", frame);
}

void TrafficTrace::addReceived(const QString& piece)
{
    if (piece == u"\r\n") {
        endReply(nullptr);
        return;
    }
    bool ok = false;
    const uint byte = piece.trimmed().toUInt(&ok, 16);
    if (!ok || byte > 0xFF)
        return;
    if (m_reply.isEmpty())
        m_replyStart = QDateTime::currentDateTime();
    m_reply.append(char(byte));
    if (m_reply.size() >= LongestReply)
        endReply("(no frame end)");
}

void TrafficTrace::addPortEvent(const QString& text)
{
    endReply("(no frame end)");
    const QByteArray line = QDateTime::currentDateTime()
                                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                .toLatin1() +
                            "  port     " + text.toUtf8() + '\n';
    push(line);
}

void TrafficTrace::endReply(const char* note)
{
    if (m_reply.isEmpty())
        return;
    append(m_replyStart, kReply, m_reply, note);
    m_reply.clear();
}

void TrafficTrace::append(const QDateTime& at, const char* direction, const QByteArray& bytes,
                          const char* note)
{
    push(formatLine(at, direction, bytes, note));
}

void TrafficTrace::push(QByteArray line)
{
    m_bytes += line.size();
    m_lines.push_back(std::move(line));
    while (m_bytes > m_limit && !m_lines.empty()) {
        m_bytes -= m_lines.front().size();
        m_lines.pop_front();
        ++m_dropped;
    }
}

QByteArray TrafficTrace::waitingLine() const
{
    return formatLine(m_replyStart, kReply, m_reply, "(incomplete)");
}

QStringList TrafficTrace::lines() const
{
    QStringList texts;
    for (const QByteArray& line : m_lines)
        texts << QString::fromUtf8(line.chopped(1));
    if (!m_reply.isEmpty())
        texts << QString::fromLatin1(waitingLine().chopped(1));
    return texts;
}

bool TrafficTrace::writeTo(QIODevice& out, const QStringList& header) const
{
    const auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    for (const QString& line : header) {
        if (!put("# " + line.toUtf8() + '\n'))
            return false;
    }
    if (m_dropped > 0 &&
        !put(QStringLiteral("# %1 older frames were dropped; the trace keeps the last %2.\n")
                 .arg(m_dropped)
                 .arg(QLocale::c().formattedDataSize(m_limit, 0, QLocale::DataSizeIecFormat))
                 .toUtf8()))
        return false;
    for (const QByteArray& line : m_lines) {
        if (!put(line))
            return false;
    }
    return m_reply.isEmpty() || put(waitingLine());
}

bool TrafficTrace::save(const QString& path, const QStringList& header, QString* error) const
{
    // Saving whole would put a file in a device's or a named pipe's place.
    if (const std::optional<QString> kind = notAFile(path)) {
        if (error)
            *error = QStringLiteral("%1 is %2, not a file").arg(path, *kind);
        return false;
    }
    QSaveFile out(path);
    // The buffered bytes reach the disk only with the flush; a full disk shows
    // there, and committing without checking it would replace the old file
    // with a cut-off or empty one.
    const bool written = out.open(QIODevice::WriteOnly) && writeTo(out, header) && out.flush() &&
                         out.error() == QFileDevice::NoError;
    if (written && out.commit())
        return true;
    if (error)
        *error = out.errorString();
    out.cancelWriting();
    return false;
}
