// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordCsv.h"
#include "Sampler.h"
#include "Snapshot.h"
#include "TraceStore.h"

#include <QObject>

// One recording: the sampler's rounds and events go to the chart's store,
// to the CSV file when one is chosen, and through the snapshot keeper, which
// writes the seconds around a trip whether or not a file is being written.
class Recording : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QList<quint8> drives;
        QList<RecordValue> values;
        int intervalMs = 0;
        QString csvPath;     // empty: no file, chart and snapshots only
        QString snapshotDir; // empty: next to the file, else the working folder
        int snapshotBeforeMs = 60000;
        int snapshotAfterMs = 10000;
    };

    explicit Recording(LinkClient& client, QObject* parent = nullptr);
    ~Recording() override;

    // False, with error(), when the file cannot be created.
    bool start(const Options& options);
    // Ends the recording: the file is closed and snapshots still collecting
    // are written with what they have.
    void stop(const QString& why = QString());
    bool running() const { return m_sampler.running(); }

    Sampler& sampler() { return m_sampler; }
    const TraceStore& store() const { return m_store; }
    QString error() const { return m_error; }
    qint64 rowsWritten() const { return m_writer.rows(); }
    QStringList snapshots() const { return m_snapshots; }
    // Trip snapshots that could not be written in this recording.
    int snapshotsLost() const { return m_snapshotsLost; }

signals:
    void roundAdded();
    void eventAdded(const RecordEvent& event);
    void snapshotWritten(const QString& path);
    // A trip's snapshot could not be written; the recording goes on.
    void snapshotFailed(const QString& message);
    // The recording ended: message empty when the user ended it.
    void stopped(const QString& message);

private:
    void onRound(const SampleRound& round);
    void onEvent(const RecordEvent& event);
    void row(qint64 timeMs, const QStringList& fields);

    Sampler m_sampler;
    CsvWriter m_writer;
    SnapshotKeeper m_snapshot;
    TraceStore m_store;
    QStringList m_header;
    QStringList m_snapshots;
    QString m_error;
    int m_snapshotsLost = 0;
    bool m_writing = false;
    bool m_active = false;
};
