// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <deque>

// Keeps the rows of the last seconds of a recording in memory; when a drive
// trips, those rows and the rows of the seconds after the trip go into a file
// of their own in the recording's layout, named by drive, fault and time.
class SnapshotKeeper : public QObject
{
    Q_OBJECT
public:
    explicit SnapshotKeeper(QObject* parent = nullptr) : QObject(parent) {}

    void setup(const QString& directory, const QStringList& header, int beforeMs = 60000,
               int afterMs = 10000);
    // A row of the recording at its time (ms since the epoch).
    void add(qint64 timeMs, const QStringList& row);
    void trip(qint64 timeMs, quint8 address, const QString& faultCode);
    // Writes what snapshots are still collecting (the recording ended early).
    void finish();
    int pending() const { return int(m_captures.size()); }

    static QString fileName(quint8 address, const QString& faultCode, const QDateTime& time);
    // Makes the folder where it is missing and tries a file in it: why no
    // snapshot could be written there, empty when one can. Asked when a
    // recording starts, so a bad folder is known before the first trip.
    static QString folderProblem(const QString& directory);

signals:
    void written(const QString& path);
    void failed(const QString& message);

private:
    struct Capture
    {
        qint64 until;
        QString path;
        QList<QStringList> rows;
    };
    void write(const Capture& capture);

    QString m_directory;
    QStringList m_header;
    qint64 m_beforeMs = 60000;
    qint64 m_afterMs = 10000;
    std::deque<QPair<qint64, QStringList>> m_ring;
    QList<Capture> m_captures;
};
