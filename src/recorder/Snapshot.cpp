// SPDX-License-Identifier: GPL-3.0-or-later
#include "Snapshot.h"

#include "Destination.h"
#include "RecordCsv.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

void SnapshotKeeper::setup(const QString& directory, const QStringList& header, int beforeMs,
                           int afterMs)
{
    m_directory = directory;
    m_header = header;
    m_beforeMs = std::max(0, beforeMs);
    m_afterMs = std::max(0, afterMs);
    m_ring.clear();
    m_captures.clear();
}

void SnapshotKeeper::add(qint64 timeMs, const QStringList& row)
{
    m_ring.emplace_back(timeMs, row);
    while (!m_ring.empty() && m_ring.front().first < timeMs - m_beforeMs)
        m_ring.pop_front();
    for (qsizetype i = 0; i < m_captures.size();) {
        Capture& c = m_captures[i];
        c.rows << row;
        if (timeMs >= c.until) {
            write(c);
            m_captures.removeAt(i);
        } else {
            ++i;
        }
    }
}

QString SnapshotKeeper::fileName(quint8 address, const QString& faultCode, const QDateTime& time)
{
    QString code = faultCode;
    code.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")), QStringLiteral("_"));
    return QStringLiteral("snapshot-drive%1-%2-%3.csv")
        .arg(address)
        .arg(code.isEmpty() ? QStringLiteral("fault") : code,
             time.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QString SnapshotKeeper::folderProblem(const QString& directory)
{
    return folderDestinationProblem(directory);
}

void SnapshotKeeper::trip(qint64 timeMs, quint8 address, const QString& faultCode)
{
    Capture c;
    c.until = timeMs + m_afterMs;
    c.path = QDir(m_directory.isEmpty() ? QStringLiteral(".") : m_directory)
                 .filePath(fileName(address, faultCode, QDateTime::fromMSecsSinceEpoch(timeMs)));
    // The trip's own row is already in the ring: it is the last one added.
    for (const auto& [t, row] : m_ring)
        c.rows << row;
    m_captures << c;
}

void SnapshotKeeper::finish()
{
    for (const Capture& c : m_captures)
        write(c);
    m_captures.clear();
}

void SnapshotKeeper::write(const Capture& capture)
{
    QDir().mkpath(QFileInfo(capture.path).absolutePath());
    QSaveFile file(capture.path);
    bool ok = file.open(QIODevice::WriteOnly);
    ok = ok && file.write(RecordCsv::line(m_header)) >= 0;
    for (const QStringList& row : capture.rows)
        ok = ok && file.write(RecordCsv::line(row)) >= 0;
    const QString error = ok ? commitWhole(file) : file.errorString();
    if (error.isEmpty())
        emit written(capture.path);
    else
        emit failed(
            QStringLiteral("The snapshot %1 could not be written: %2").arg(capture.path, error));
}
