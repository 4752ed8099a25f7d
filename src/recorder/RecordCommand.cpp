// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordCommand.h"

#include "DriveList.h"
#include "Recording.h"
#include "RtuProtocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

std::optional<qint64> parseDurationMs(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*(ms|s|m|min|h)?\\s*$"));
    const auto m = form.match(text.toLower());
    if (!m.hasMatch())
        return std::nullopt;
    const double n = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    const double factor = unit == QStringLiteral("ms")                                   ? 1
                          : unit == QStringLiteral("m") || unit == QStringLiteral("min") ? 60000
                          : unit == QStringLiteral("h")                                  ? 3600000
                                                                                         : 1000;
    const double ms = n * factor;
    if (ms > 1e12)
        return std::nullopt;
    return qint64(ms);
}

namespace {

const char* const kUsage =
    "usage: record ADDRESS[,ADDRESS...] --values NAME[,NAME...] [--interval 100ms] "
    "[--duration 2h] [-o FILE.csv] [--snapshot-dir DIR] [--snapshot-before 60s] "
    "[--snapshot-after 10s]\nvalues:";

void jsonLine(QTextStream& out, const QJsonObject& line)
{
    out << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    out.flush();
}

// Wrong words: said with the usage, and with --json as the one last line.
int usage(QTextStream& out, QTextStream& err, bool json, const QString& problem)
{
    err << problem << "\n" << kUsage;
    for (const RecordValue& v : RecordValues::all())
        err << ' ' << v.key;
    err << "\n";
    err.flush();
    if (json)
        jsonLine(out,
                 {{QStringLiteral("exit"), 2}, {QStringLiteral("messages"), QJsonArray{problem}}});
    return 2;
}

QString kindWord(RecordEvent::Kind kind)
{
    switch (kind) {
    case RecordEvent::Kind::Run:
        return QStringLiteral("run");
    case RecordEvent::Kind::Stop:
        return QStringLiteral("stop");
    case RecordEvent::Kind::Trip:
        return QStringLiteral("trip");
    case RecordEvent::Kind::FaultCleared:
        return QStringLiteral("fault-cleared");
    case RecordEvent::Kind::NoAnswer:
        return QStringLiteral("no-answer");
    case RecordEvent::Kind::Note:
        break;
    }
    return QStringLiteral("note");
}

// One line per drive of a finished round, the way watch --json writes them.
void roundLines(QTextStream& out, const Sampler& sampler, const SampleRound& round)
{
    const QString time = round.time.toString(Qt::ISODateWithMs);
    const QList<RecordValue>& values = sampler.values();
    for (qsizetype d = 0; d < sampler.drives().size(); ++d) {
        QJsonObject o{{QStringLiteral("time"), time},
                      {QStringLiteral("drive"), int(sampler.drives()[d])}};
        const DriveState s = d < round.states.size() ? round.states[d] : DriveState{};
        // The words of watch --json, so one reader takes both.
        o.insert(QStringLiteral("state"),
                 !s.known    ? QStringLiteral("no answer")
                 : s.fault   ? QStringLiteral("Fault")
                 : s.running ? (s.reverse ? QStringLiteral("Run rev") : QStringLiteral("Run fwd"))
                             : QStringLiteral("Stop"));
        for (qsizetype v = 0; v < values.size(); ++v) {
            const qsizetype at = d * values.size() + v;
            const double value = at < round.values.size() ? round.values[at] : qQNaN();
            o.insert(QLatin1String(values[v].key),
                     qIsNaN(value) ? QJsonValue() : QJsonValue(value));
        }
        jsonLine(out, o);
    }
}

} // namespace

int runRecordCommand(LinkClient& client, const QStringList& args, QTextStream& out,
                     QTextStream& err, const std::atomic<bool>* stop, bool json, bool replace)
{
    Recording::Options o;
    std::optional<qint64> duration;
    bool haveDrives = false, haveValues = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasNext = i + 1 < args.size();
        auto next = [&] { return hasNext ? args[++i] : QString(); };
        if (a == QStringLiteral("--values") && hasNext) {
            QString unknown;
            const auto v = RecordValues::parseKeys(next(), &unknown);
            if (!v)
                return usage(
                    out, err, json,
                    QCoreApplication::translate("CtlText", "Unknown value \"%1\".").arg(unknown));
            o.values = *v;
            haveValues = true;
        } else if (a == QStringLiteral("--interval") && hasNext) {
            const auto ms = parseDurationMs(next());
            if (!ms || *ms < Sampler::MinIntervalMs || *ms > Sampler::MaxIntervalMs)
                return usage(
                    out, err, json,
                    QCoreApplication::translate("CtlText", "The interval must be 100ms .. 60s."));
            o.intervalMs = int(*ms);
        } else if (a == QStringLiteral("--duration") && hasNext) {
            duration = parseDurationMs(next());
            if (!duration || *duration <= 0)
                return usage(
                    out, err, json,
                    QCoreApplication::translate("CtlText", "Bad duration \"%1\".").arg(args[i]));
        } else if ((a == QStringLiteral("-o") || a == QStringLiteral("--output")) && hasNext) {
            o.csvPath = next();
        } else if (a == QStringLiteral("--snapshot-dir") && hasNext) {
            o.snapshotDir = next();
        } else if ((a == QStringLiteral("--snapshot-before") ||
                    a == QStringLiteral("--snapshot-after")) &&
                   hasNext) {
            const auto ms = parseDurationMs(next());
            if (!ms || *ms > 3600000)
                return usage(out, err, json,
                             QCoreApplication::translate("CtlText", "Bad snapshot length \"%1\".")
                                 .arg(args[i]));
            (a.endsWith(QStringLiteral("before")) ? o.snapshotBeforeMs : o.snapshotAfterMs) =
                int(*ms);
        } else if (!a.startsWith(u'-') && !haveDrives) {
            QString problem;
            const auto d = DriveList::parse(a, &problem);
            if (!d)
                return usage(out, err, json,
                             QCoreApplication::translate("CtlText", "Bad drive addresses: %1.")
                                 .arg(problem));
            o.drives = *d;
            haveDrives = true;
        } else {
            return usage(out, err, json, QStringLiteral("Unexpected \"%1\".").arg(a));
        }
    }
    if (!haveDrives || !haveValues)
        return usage(
            out, err, json,
            QCoreApplication::translate("CtlText", "Name the drives and the values to record."));
    // Every problem goes to standard error and, with --json, into the last line.
    QJsonArray messages;
    auto problem = [&](const QString& text) {
        err << text << "\n";
        err.flush();
        messages.append(text);
    };
    auto lastLine = [&](int code, QJsonObject last) {
        if (json) {
            last.insert(QStringLiteral("exit"), code);
            last.insert(QStringLiteral("messages"), messages);
            jsonLine(out, last);
        }
        return code;
    };
    // A recording is kept: without -o it goes to a new file named by the
    // time, and a file named that exists is replaced only when asked.
    if (o.csvPath.isEmpty()) {
        o.csvPath = RecordCsv::newFilePath(QDir::currentPath(), QDateTime::currentDateTime());
    } else if (QFileInfo(o.csvPath).isFile() && !replace) {
        problem(o.csvPath + QCoreApplication::translate(
                                "CtlText",
                                " exists already: a recording never replaces it unasked (--force "
                                "replaces it; without -o the recording goes to a new file named "
                                "by the time)."));
        return lastLine(1, {});
    }
    if (!client.link().port().isOpen()) {
        problem(QCoreApplication::translate("CtlText", "The port is not open."));
        return lastLine(1, {});
    }

    Recording recording(client);
    QEventLoop loop;
    QString failure;
    QObject::connect(&recording, &Recording::stopped, &loop, [&](const QString& why) {
        failure = why;
        loop.quit();
    });
    QObject::connect(&recording, &Recording::eventAdded, &loop, [&](const RecordEvent& e) {
        if (json) {
            jsonLine(out, {{QStringLiteral("time"), e.time.toString(Qt::ISODateWithMs)},
                           {QStringLiteral("event"), e.text},
                           {QStringLiteral("drive"), int(e.address)},
                           {QStringLiteral("kind"), kindWord(e.kind)}});
            return;
        }
        out << RecordCsv::timeText(e.time) << ' ' << e.text << "\n";
        out.flush();
    });
    if (json)
        QObject::connect(
            &recording.sampler(), &Sampler::roundDone, &loop,
            [&](const SampleRound& round) { roundLines(out, recording.sampler(), round); });
    QObject::connect(&recording, &Recording::snapshotWritten, &loop, [&](const QString& path) {
        if (json) {
            jsonLine(out, {{QStringLiteral("snapshot"), path}});
            return;
        }
        out << "Snapshot written: " << path << "\n";
        out.flush();
    });
    QObject::connect(&recording, &Recording::snapshotFailed, &loop,
                     [&](const QString& message) { problem(message); });
    if (!recording.start(o)) {
        problem(recording.error());
        return lastLine(1, {});
    }
    if (!json) {
        out << QCoreApplication::translate("CtlText", "Recording into %1").arg(o.csvPath) << '\n';
        out.flush();
    }
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if ((stop && stop->load()) || (duration && elapsed.elapsed() >= *duration) ||
            !client.link().port().isOpen())
            recording.stop(client.link().port().isOpen()
                               ? QString()
                               : QCoreApplication::translate("CtlText", "The port closed."));
    });
    watch.start(50);
    loop.exec();
    if (!json) {
        out << QCoreApplication::translate("CtlText", "Recorded %1 rounds into %2 (%3 rows).")
                   .arg(recording.sampler().rounds())
                   .arg(o.csvPath)
                   .arg(recording.rowsWritten())
            << '\n';
        out.flush();
    }
    // The last JSON line: what was recorded, and the exit status.
    auto finish = [&](int code) {
        QJsonObject last{{QStringLiteral("rounds"), recording.sampler().rounds()}};
        last.insert(QStringLiteral("csv"), o.csvPath);
        last.insert(QStringLiteral("rows"), recording.rowsWritten());
        if (!failure.isEmpty())
            last.insert(QStringLiteral("failure"), failure);
        return lastLine(code, last);
    };
    if (!failure.isEmpty()) {
        problem(failure);
        return finish(1);
    }
    int code = 0;
    if (recording.snapshotsLost() > 0) {
        problem(QCoreApplication::translate("CtlText", "%1 trip snapshot(s) could not be written.")
                    .arg(recording.snapshotsLost()));
        code = 1;
    }
    // Rows of nothing are no recording: whoever runs this from a script must
    // not take them for one.
    if (!recording.sampler().anyAnswered()) {
        QStringList drives;
        for (quint8 d : o.drives)
            drives << QString::number(d);
        problem((o.drives.size() == 1
                     ? QCoreApplication::translate("CtlText", "Drive %1 did not answer")
                     : QCoreApplication::translate("CtlText", "None of drives %1 answered"))
                    .arg(drives.join(QStringLiteral(", "))) +
                QCoreApplication::translate("CtlText", " during the recording."));
        code = 1;
    }
    err.flush();
    return finish(code);
}
