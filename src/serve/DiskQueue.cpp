// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskQueue.h"

#include "ServeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <limits>

namespace {

// Far longer than any message the service writes: a longer line is no message.
constexpr qint64 kLongestLine = 64 * 1024;

QByteArray encode(const BrokerMessage& m)
{
    QJsonObject o;
    o.insert(QStringLiteral("t"), m.topic);
    // A binary payload (Sparkplug's) would not survive as text.
    if (QUtf8StringView(m.payload).isValidUtf8())
        o.insert(QStringLiteral("p"), QString::fromUtf8(m.payload));
    else
        o.insert(QStringLiteral("b"), QString::fromLatin1(m.payload.toBase64()));
    if (m.retain)
        o.insert(QStringLiteral("r"), true);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// The front of the queue went: n messages.
QByteArray taken(int n)
{
    return QByteArrayLiteral("{\"taken\":") + QByteArray::number(n) + "}\n";
}

bool decode(const QJsonObject& o, BrokerMessage& m)
{
    const QJsonValue binary = o.value(QStringLiteral("b"));
    if (!o.value(QStringLiteral("t")).isString() ||
        !(o.value(QStringLiteral("p")).isString() || binary.isString()))
        return false;
    m.topic = o.value(QStringLiteral("t")).toString();
    m.payload = binary.isString() ? QByteArray::fromBase64(binary.toString().toLatin1())
                                  : o.value(QStringLiteral("p")).toString().toUtf8();
    m.retain = o.value(QStringLiteral("r")).toBool();
    return !m.topic.isEmpty();
}

} // namespace

struct DiskQueue::Loaded
{
    std::deque<BrokerMessage> items;
    int unreadable = 0;
    qint64 beyond = 0; // queued in the file, but more than the limit
};

DiskQueue::Loaded DiskQueue::load(QIODevice& file, int limit)
{
    // Read as it was written, line by line, holding only the newest `limit`
    // messages: a file of a million readings costs no more memory than the
    // queue may hold. Each message is numbered as it comes; "taken" moves the
    // front, which may lie among those already let go.
    Loaded loaded;
    std::deque<std::pair<qint64, BrokerMessage>> window;
    qint64 pushed = 0;
    qint64 front = 0;
    // One buffer for every line: reading costs the longest line, once.
    QByteArray buffer(kLongestLine + 1, Qt::Uninitialized);
    while (!file.atEnd()) {
        const qint64 got = file.readLine(buffer.data(), buffer.size());
        if (got < 0)
            break;
        QByteArray line = QByteArray::fromRawData(buffer.constData(), got);
        if (!line.endsWith('\n') && !file.atEnd()) {
            // No message is this long: the rest of the line goes unread.
            char c = 0;
            while (file.getChar(&c) && c != '\n') {
            }
            ++loaded.unreadable;
            continue;
        }
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        // A power cut may have cut the last line short: it is left out and
        // counted, the rest is sent.
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        const QJsonObject o = doc.object();
        BrokerMessage m;
        if (o.value(QStringLiteral("taken")).isDouble() &&
            o.value(QStringLiteral("taken")).toDouble() >= 0) {
            const double n = o.value(QStringLiteral("taken")).toDouble();
            front = n >= double(pushed - front) ? pushed : front + qint64(n);
            while (!window.empty() && window.front().first < front)
                window.pop_front();
        } else if (doc.isObject() && decode(o, m)) {
            window.emplace_back(pushed++, std::move(m));
            if (int(window.size()) > limit)
                window.pop_front();
        } else {
            ++loaded.unreadable;
        }
    }
    for (auto& [number, message] : window)
        loaded.items.push_back(std::move(message));
    loaded.beyond = pushed - front - qint64(loaded.items.size());
    return loaded;
}

std::deque<BrokerMessage> DiskQueue::peek(const QString& dir, int* unreadable)
{
    Loaded loaded;
    QFile file(QDir(dir).filePath(QString::fromLatin1(FileName)));
    if (ServeFiles::notRegular(file.fileName()).isEmpty() && file.open(QIODevice::ReadOnly))
        loaded = load(file, std::numeric_limits<int>::max());
    if (unreadable)
        *unreadable = loaded.unreadable;
    return std::move(loaded.items);
}

bool DiskQueue::open(const QString& dir, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (const QString kind = ServeFiles::notRegular(dir); !kind.isEmpty() && kind != u"a folder")
        return fail(QStringLiteral("the queue folder %1 is %2, not a folder").arg(dir, kind));
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("the queue folder %1 could not be made").arg(dir));
    m_file.setFileName(QDir(dir).filePath(QString::fromLatin1(FileName)));
    // The queue is only ever a file of its own, replaced as a whole: never a
    // FIFO to hang on, nor a device to write over.
    if (const QString kind = ServeFiles::notRegular(m_file.fileName()); !kind.isEmpty())
        return fail(QStringLiteral("the queue file %1 is %2, not a regular file")
                        .arg(m_file.fileName(), kind));
    if (m_file.exists()) {
        if (!m_file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 cannot be read: %2")
                            .arg(m_file.fileName(), m_file.errorString()));
        Loaded loaded = load(m_file, m_limit);
        m_file.close();
        m_items = std::move(loaded.items);
        m_unreadable = loaded.unreadable;
        m_dropped += loaded.beyond;
    }
    // A file that cannot be written afresh now (a full disk) still holds
    // what it held; the service starts, says so, and tries again.
    QString why;
    const bool rewritten = flush(&why);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString()));
    if (!rewritten) {
        failed(why);
        m_atRisk = 0;
    }
    return true;
}

void DiskQueue::push(const BrokerMessage& message)
{
    m_items.push_back(message);
    if (m_failing && m_file.isOpen())
        ++m_atRisk;
    append(encode(message));
    if (int(m_items.size()) > m_limit) {
        m_items.pop_front();
        ++m_dropped;
        ++m_droppedEver;
        ++m_stale;
        append(taken(1));
    }
    m_atRisk = std::min(m_atRisk, size());
    if (m_stale > m_limit)
        flush();
}

void DiskQueue::popFront(int n)
{
    n = std::min(n, size());
    if (n <= 0)
        return;
    m_items.erase(m_items.begin(), m_items.begin() + n);
    m_stale += n;
    m_atRisk = std::min(m_atRisk, size());
    if (m_items.empty() && m_file.isOpen()) {
        // Nothing waits: the file starts again empty rather than be
        // rewritten, which an empty file on a full disk can always be.
        if (m_file.resize(0))
            recovered();
        m_stale = 0;
        return;
    }
    append(taken(n));
    if (m_stale > std::max(1000, size())) {
        flush();
    }
}

qint64 DiskQueue::takeDropped()
{
    const qint64 n = m_dropped;
    m_dropped = 0;
    return n;
}

void DiskQueue::append(const QByteArray& line)
{
    if (!m_file.isOpen())
        return;
    if (m_failing) {
        // The file no longer follows the queue; only a whole new one will.
        retry();
        return;
    }
    // Unbuffered: into the system's hands at once, so a killed service keeps
    // what it read, and a write the disk refuses is known at once.
    if (m_file.write(line) != line.size()) {
        failed(m_file.errorString());
        if (!line.startsWith("{\"taken\""))
            m_atRisk = 1;
    }
}

void DiskQueue::failed(const QString& why)
{
    if (!m_failing)
        m_changed = true;
    m_failing = true;
    m_writeError = why;
    m_lastTry.start();
}

void DiskQueue::recovered()
{
    if (m_failing)
        m_changed = true;
    m_failing = false;
    m_atRisk = 0;
    m_writeError.clear();
}

void DiskQueue::retry()
{
    if (!m_failing || !m_file.isOpen() || (m_lastTry.isValid() && m_lastTry.elapsed() < RetryMs))
        return;
    QString why;
    if (!flush(&why))
        failed(why);
}

bool DiskQueue::takeWriteChange()
{
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}

bool DiskQueue::flush(QString* error)
{
    if (m_file.fileName().isEmpty())
        return true;
    const bool wasOpen = m_file.isOpen();
    m_file.close();
    QSaveFile out(m_file.fileName());
    bool ok = out.open(QIODevice::WriteOnly);
    for (const BrokerMessage& m : m_items)
        ok = ok && out.write(encode(m)) >= 0;
    // Flushed and checked before the commit: a write the disk refuses only
    // when the buffer goes out would otherwise be committed as an empty file.
    ok = ok && out.flush() && out.commit();
    const QString why = out.errorString();
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(m_file.fileName(), why);
    m_stale = 0;
    if (wasOpen)
        m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    if (ok && wasOpen)
        recovered();
    else if (!ok && wasOpen)
        failed(why);
    return ok;
}
