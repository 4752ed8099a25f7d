// SPDX-License-Identifier: GPL-3.0-or-later
#include "Journal.h"

#include "BoundedRead.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>

namespace {

const char* const kKinds[] = {"write", "run-started", "run-stopped", "test-run", "drift"};
const char* const kOutcomes[] = {"verified", "refused", "no answer", "reads back differently",
                                 "not read back"};

template <typename E, std::size_t N>
std::optional<E> named(const char* const (&names)[N], const QString& text)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text == QLatin1String(names[i]))
            return E(i);
    return std::nullopt;
}

} // namespace

QByteArray JournalEntry::toJson() const
{
    QJsonObject o;
    o[u"time"] = time.toUTC().toString(Qt::ISODateWithMs);
    o[u"kind"] = QLatin1String(kKinds[int(kind)]);
    o[u"tool"] = tool;
    o[u"line"] = line;
    o[u"drive"] = drive;
    if (kind == Kind::Write) {
        o[u"parameter"] = parameter;
        if (before)
            o[u"before"] = *before;
        o[u"asked"] = asked;
        o[u"outcome"] = QLatin1String(kOutcomes[int(outcome)]);
        if (readBack)
            o[u"readBack"] = *readBack;
    } else if (kind == Kind::Drift) {
        o[u"parameter"] = parameter;
        o[u"commissioned"] = before.value_or(QString());
        o[u"now"] = readBack.value_or(QString());
        o[u"result"] = result;
    } else {
        if (!command.isEmpty())
            o[u"command"] = command;
        if (kind == Kind::TestRun) {
            o[u"result"] = result;
            if (!file.isEmpty())
                o[u"file"] = file;
        } else if (!result.isEmpty()) {
            o[u"result"] = result; // a run command not obeyed, or a STOP not answered
        }
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<JournalEntry> JournalEntry::fromJson(const QByteArray& line, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (!doc.isObject())
        return fail(parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                 : QStringLiteral("not an object"));
    const QJsonObject o = doc.object();
    JournalEntry e;
    e.time = QDateTime::fromString(o.value(u"time").toString(), Qt::ISODateWithMs);
    if (!e.time.isValid())
        return fail(QStringLiteral("no time"));
    const auto kind = named<Kind>(kKinds, o.value(u"kind").toString());
    if (!kind)
        return fail(QStringLiteral("no kind of entry"));
    e.kind = *kind;
    e.tool = o.value(u"tool").toString();
    e.line = o.value(u"line").toString();
    const int drive = o.value(u"drive").toInt(-1);
    if (drive < 0 || drive > 255)
        return fail(QStringLiteral("no drive"));
    e.drive = quint8(drive);
    if (e.kind == Kind::Write) {
        e.parameter = o.value(u"parameter").toString();
        if (o.contains(u"before"))
            e.before = o.value(u"before").toString();
        e.asked = o.value(u"asked").toString();
        const auto outcome = named<Outcome>(kOutcomes, o.value(u"outcome").toString());
        if (!outcome)
            return fail(QStringLiteral("a write without its outcome"));
        e.outcome = *outcome;
        if (o.contains(u"readBack"))
            e.readBack = o.value(u"readBack").toString();
    } else if (e.kind == Kind::Drift) {
        e.parameter = o.value(u"parameter").toString();
        e.before = o.value(u"commissioned").toString();
        e.readBack = o.value(u"now").toString();
    }
    e.command = o.value(u"command").toString();
    e.result = o.value(u"result").toString();
    e.file = o.value(u"file").toString();
    return e;
}

QString Journal::append(const JournalEntry& entry) const
{
    QFile file(m_path);
    // Append: O_APPEND, so two tools journaling at once each put whole lines
    // at the end. Unbuffered: a full disk shows in the write, not later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return QStringLiteral("the journal %1 cannot be opened: %2")
            .arg(m_path, file.errorString());
    const qint64 was = file.size();
    QByteArray bytes = entry.toJson() + '\n';
    // A line left cut by a full disk earlier must not swallow this one.
    if (was > 0) {
        QFile last(m_path);
        if (last.open(QIODevice::ReadOnly) && last.seek(was - 1) && last.read(1) != "\n")
            bytes.prepend('\n');
    }
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size() || !file.flush()) {
        // The file's own text is "Unknown error" for a disk that is full.
        const QString why = errno != 0 ? qt_error_string(errno) : file.errorString();
        file.resize(was); // the part that did get in would be a torn line
        return QStringLiteral("the journal %1 cannot be written: %2").arg(m_path, why);
    }
    return {};
}

JournalReading Journal::read(const QString& path)
{
    JournalReading reading;
    if (!QFile::exists(path))
        return reading; // nothing journaled yet
    const BoundedRead whole = readFileAtMost(path, qint64(1) << 30);
    if (whole.outcome != BoundedRead::Outcome::Read) {
        reading.problems.append(QStringLiteral("%1: %2").arg(path, whole.error));
        return reading;
    }
    const QList<QByteArray> rows = whole.bytes.split('\n');
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QByteArray& row = rows[i];
        if (row.trimmed().isEmpty())
            continue;
        const bool last = i == rows.size() - 1; // no newline after it
        QString why;
        if (auto entry = JournalEntry::fromJson(row, &why)) {
            reading.entries.append(*entry);
        } else if (last) {
            reading.tornTail = true;
        } else {
            reading.problems.append(QStringLiteral("line %1: %2").arg(i + 1).arg(why));
        }
    }
    return reading;
}
