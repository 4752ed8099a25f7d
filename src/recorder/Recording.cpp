// SPDX-License-Identifier: GPL-3.0-or-later
#include "Recording.h"

#include "Destination.h"
#include "Tab.h"
#include "VfdVersion.h"

#include <QFileInfo>
#include <QMetaObject>

Recording::Recording(LinkClient& client, QObject* parent) : QObject(parent), m_sampler(client)
{
    connect(&m_sampler, &Sampler::roundDone, this, &Recording::onRound);
    connect(&m_sampler, &Sampler::event, this, &Recording::onEvent);
    connect(&m_sampler, &Sampler::portClosed, this, [this] {
        m_error = QStringLiteral("The port closed; the recording stopped.");
        stop(m_error);
    });
    connect(&m_snapshot, &SnapshotKeeper::written, this, [this](const QString& path) {
        m_snapshots << path;
        emit snapshotWritten(path);
    });
    connect(&m_snapshot, &SnapshotKeeper::failed, this, [this](const QString& message) {
        m_error = message;
        ++m_snapshotsLost;
        emit snapshotFailed(message);
    });
}

Recording::~Recording()
{
    stop();
}

bool Recording::start(const Options& o)
{
    stop();
    m_error.clear();
    m_snapshots.clear();
    m_snapshotsLost = 0;
    if (o.drives.isEmpty() || o.values.isEmpty()) {
        m_error = QStringLiteral("Pick at least one drive and one value.");
        return false;
    }
    // Before any file is made: a trip must not be the first to find the folder
    // useless. The file's own folder, where snapshots go by default, the file
    // itself tries; it is never made here.
    const QString snapshotDir = o.snapshotDir.isEmpty() && !o.csvPath.isEmpty()
                                    ? QFileInfo(o.csvPath).absolutePath()
                                    : o.snapshotDir;
    if (!o.snapshotDir.isEmpty() || o.csvPath.isEmpty()) {
        if (const QString problem = SnapshotKeeper::folderProblem(snapshotDir);
            !problem.isEmpty()) {
            m_error = QStringLiteral("Trip snapshots could not be written: %1.").arg(problem);
            return false;
        }
    }
    // A device, a named pipe or a folder in the file's place is refused
    // before the first round, as a full or read-only folder is.
    if (!o.csvPath.isEmpty()) {
        if (const QString problem = destinationProblem(o.csvPath); !problem.isEmpty()) {
            m_error = QStringLiteral("Cannot write %1: %2.").arg(o.csvPath, problem);
            return false;
        }
    }
    m_header = RecordCsv::header(o.drives, o.values);
    m_writing = !o.csvPath.isEmpty();
    if (m_writing && !m_writer.open(o.csvPath, m_header)) {
        m_error = m_writer.error();
        return false;
    }
    // The first row says what made the file, from where, and what it follows.
    if (m_writing) {
        QStringList drives;
        for (quint8 d : o.drives)
            drives << QString::number(d);
        const SerialPort& port = m_sampler.client().link().port();
        RecordEvent made;
        made.time = m_sampler.now();
        made.text = QStringLiteral("Recorded by vfdtool %1 on %2 at %3, drives %4")
                        .arg(QStringLiteral(VFD_VERSION), port.portName(), port.settings(),
                             drives.join(u','));
        if (!m_writer.append(RecordCsv::eventRow(made, int(m_header.size())))) {
            m_error = m_writer.error();
            return false;
        }
    }
    m_snapshot.setup(snapshotDir, m_header, o.snapshotBeforeMs, o.snapshotAfterMs);
    QStringList traces;
    for (quint8 d : o.drives)
        for (const RecordValue& v : o.values)
            traces << QStringLiteral("Drive %1 %2").arg(d).arg(RecordValues::label(v));
    m_store.reset(traces);
    m_sampler.setup(o.drives, o.values, o.intervalMs);
    m_active = true;
    m_sampler.start();
    return true;
}

void Recording::stop(const QString& why)
{
    // The sampler may have stopped on its own (port closed): still end here.
    if (!m_active)
        return;
    m_active = false;
    m_sampler.stop();
    m_snapshot.finish();
    m_writer.close();
    emit stopped(why);
}

void Recording::row(qint64 timeMs, const QStringList& fields)
{
    if (m_writing && !m_writer.append(fields)) {
        m_writing = false;
        m_error = m_writer.error();
        // Stopped from the event loop: the sampler is inside its own signal.
        QMetaObject::invokeMethod(
            this, [this] { stop(m_error); }, Qt::QueuedConnection);
    }
    m_snapshot.add(timeMs, fields);
}

void Recording::onRound(const SampleRound& round)
{
    const qint64 t = round.time.toMSecsSinceEpoch();
    row(t, RecordCsv::roundRow(round, int(m_sampler.values().size())));
    m_store.append(double(t) / 1000.0, round.values);
    emit roundAdded();
}

void Recording::onEvent(const RecordEvent& event)
{
    const qint64 t = event.time.toMSecsSinceEpoch();
    row(t, RecordCsv::eventRow(event, int(m_header.size())));
    m_store.addEvent(double(t) / 1000.0, event.text, event.kind == RecordEvent::Kind::Trip);
    if (event.kind == RecordEvent::Kind::Trip) {
        const auto code = Tab::FaultCode(event.faultNumber);
        m_snapshot.trip(t, event.address,
                        QString::fromStdString(code && !code->empty()
                                                   ? std::string(*code)
                                                   : Tab::UnknownFault(event.faultNumber)));
    }
    emit eventAdded(event);
}
