// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiskQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QByteArray encode(const BrokerMessage& m)
{
    QJsonObject o;
    o.insert(QStringLiteral("t"), m.topic);
    o.insert(QStringLiteral("p"), QString::fromUtf8(m.payload));
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
    if (!o.value(QStringLiteral("t")).isString() || !o.value(QStringLiteral("p")).isString())
        return false;
    m.topic = o.value(QStringLiteral("t")).toString();
    m.payload = o.value(QStringLiteral("p")).toString().toUtf8();
    m.retain = o.value(QStringLiteral("r")).toBool();
    return !m.topic.isEmpty();
}

} // namespace

std::deque<BrokerMessage> DiskQueue::peek(const QString& dir, int* unreadable)
{
    std::deque<BrokerMessage> items;
    int bad = 0;
    QFile file(QDir(dir).filePath(QString::fromLatin1(FileName)));
    if (file.open(QIODevice::ReadOnly)) {
        // A power cut may have cut the last line short: it is left out and
        // counted, the rest is sent.
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty())
                continue;
            const QJsonDocument doc = QJsonDocument::fromJson(line);
            const QJsonObject o = doc.object();
            BrokerMessage m;
            if (o.value(QStringLiteral("taken")).isDouble()) {
                const int n = o.value(QStringLiteral("taken")).toInt();
                for (int i = 0; i < n && !items.empty(); ++i)
                    items.pop_front();
            } else if (doc.isObject() && decode(o, m)) {
                items.push_back(m);
            } else {
                ++bad;
            }
        }
    }
    if (unreadable)
        *unreadable = bad;
    return items;
}

bool DiskQueue::open(const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("the queue folder %1 could not be made").arg(dir);
        return false;
    }
    m_file.setFileName(QDir(dir).filePath(QString::fromLatin1(FileName)));
    if (m_file.exists() && !QFileInfo(m_file.fileName()).isReadable()) {
        if (error)
            *error = QStringLiteral("%1 cannot be read").arg(m_file.fileName());
        return false;
    }
    m_items = peek(dir, &m_unreadable);
    while (int(m_items.size()) > m_limit) {
        m_items.pop_front();
        ++m_dropped;
    }
    if (!flush(error))
        return false;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

void DiskQueue::push(const BrokerMessage& message)
{
    m_items.push_back(message);
    append(encode(message));
    if (int(m_items.size()) > m_limit) {
        m_items.pop_front();
        ++m_dropped;
        ++m_droppedEver;
        ++m_stale;
        append(taken(1));
    }
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
    if (m_items.empty() && m_file.isOpen()) {
        // Nothing waits: the file starts again empty rather than be rewritten.
        m_file.resize(0);
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
    m_file.write(line);
    // Into the system's hands at once: a killed service keeps what it read.
    m_file.flush();
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
    ok = ok && out.commit();
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(m_file.fileName(), out.errorString());
    m_stale = 0;
    if (wasOpen)
        m_file.open(QIODevice::WriteOnly | QIODevice::Append);
    return ok;
}
