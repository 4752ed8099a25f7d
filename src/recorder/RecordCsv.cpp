// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordCsv.h"

#include "BoundedRead.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

// What the chart can hold: a day at one row a second for three drives is
// some 20 MB, and every field read costs several times its bytes in memory.
// A name that leads to /dev/zero or an endless pipe ends here too.
constexpr qint64 kLargestRecording = 64 * 1024 * 1024;

} // namespace

namespace RecordCsv {

QStringList header(const QList<quint8>& drives, const QList<RecordValue>& values)
{
    QStringList h{QStringLiteral("Time"), QStringLiteral("Event")};
    for (quint8 d : drives) {
        for (const RecordValue& v : values)
            h << QStringLiteral("Drive %1 %2").arg(d).arg(RecordValues::label(v));
        h << QStringLiteral("Drive %1 State").arg(d) << QStringLiteral("Drive %1 Fault").arg(d);
    }
    return h;
}

QString newFilePath(const QString& folder, const QDateTime& time)
{
    const QDir dir(folder);
    const QString stem =
        QStringLiteral("recording-") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(stem + QStringLiteral(".csv"));
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.csv").arg(stem).arg(n));
    return path;
}

QString timeText(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

QString number(double value)
{
    return std::isnan(value) ? QString() : QString::number(value, 'g', 7);
}

QStringList roundRow(const SampleRound& round, int valuesPerDrive)
{
    QStringList row{timeText(round.time), QString()};
    for (int d = 0; d < round.states.size(); ++d) {
        for (int v = 0; v < valuesPerDrive; ++v)
            row << number(round.values.value(d * valuesPerDrive + v,
                                             std::numeric_limits<double>::quiet_NaN()));
        const DriveState& s = round.states[d];
        if (!s.known)
            row << QString() << QString();
        else
            row << QString::fromLatin1(s.running ? (s.reverse ? "Run REV" : "Run FWD") : "Stop")
                << (s.fault ? QString::number(s.faultNumber) : QStringLiteral("0"));
    }
    return row;
}

QStringList eventRow(const RecordEvent& event, int columns)
{
    QStringList row{timeText(event.time), event.text};
    while (row.size() < columns)
        row << QString();
    return row;
}

QByteArray line(const QStringList& fields)
{
    QByteArray out;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        QString f = fields[i];
        if (f.contains(u',') || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r'))
            f = u'"' + f.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
        out += f.toUtf8();
    }
    return out + "\r\n";
}

std::optional<QList<QStringList>> parse(const QString& text, int* badLine)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, any = false;
    int lineNo = 1, quoteLine = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                lineNo += c == u'\n';
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            quoteLine = lineNo;
            any = true;
        } else if (c == u',') {
            record << field;
            field.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (any || !field.isEmpty())
                records << (record << field);
            record.clear();
            field.clear();
            any = false;
            ++lineNo;
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted) {
        if (badLine)
            *badLine = quoteLine;
        return std::nullopt;
    }
    if (any || !field.isEmpty())
        records << (record << field);
    return records;
}

std::optional<RecordedFile> read(const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // A named pipe or a device is refused by its name, never waited on.
    const BoundedRead read = readFileAtMost(path, kLargestRecording);
    if (read.outcome == BoundedRead::Outcome::TooLarge)
        return fail(QStringLiteral("%1 is larger than the %2 MiB a recording is opened up to.")
                        .arg(path)
                        .arg(kLargestRecording / (1024 * 1024)));
    if (read.outcome != BoundedRead::Outcome::Read)
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, read.error));
    int bad = 0;
    const auto records = parse(QString::fromUtf8(read.bytes), &bad);
    if (!records)
        return fail(QStringLiteral("Line %1: a quoted field is never closed.").arg(bad));
    if (records->isEmpty() || records->first().value(0) != QStringLiteral("Time") ||
        records->first().value(1) != QStringLiteral("Event"))
        return fail(
            QStringLiteral("Line 1: not a recording (the header must begin with Time,Event)."));
    RecordedFile f;
    f.columns = records->first().mid(2);
    // Records are counted, not lines: a field may hold a line break, which
    // this writer never puts there, so records and lines agree for its files.
    for (int r = 1; r < records->size(); ++r) {
        const QStringList& rec = (*records)[r];
        const QDateTime t = QDateTime::fromString(rec.value(0), Qt::ISODateWithMs);
        if (!t.isValid())
            return fail(
                QStringLiteral("Line %1: \"%2\" is not a time.").arg(r + 1).arg(rec.value(0)));
        if (!rec.value(1).isEmpty()) {
            f.events.append({t.toMSecsSinceEpoch(), rec.value(1)});
            continue;
        }
        QList<double> row;
        for (int c = 0; c < f.columns.size(); ++c) {
            bool ok = false;
            const double v = rec.value(c + 2).toDouble(&ok);
            row << (ok ? v : std::numeric_limits<double>::quiet_NaN());
        }
        f.times << t.toMSecsSinceEpoch();
        f.values << row;
        f.texts << rec.mid(2);
    }
    return f;
}

} // namespace RecordCsv

bool CsvWriter::open(const QString& path, const QStringList& header)
{
    close();
    m_error.clear();
    m_rows = 0;
    m_good = 0;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("Cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return write(RecordCsv::line(header));
}

bool CsvWriter::append(const QStringList& fields)
{
    if (!m_file.isOpen())
        return false;
    if (!write(RecordCsv::line(fields)))
        return false;
    ++m_rows;
    return true;
}

bool CsvWriter::write(const QByteArray& bytes)
{
    if (m_file.write(bytes) == bytes.size() && m_file.flush()) {
        m_good += bytes.size();
        return true;
    }
    m_error = QStringLiteral("Recording stopped: %1 could not take more (%2). Every row before "
                             "this one is kept.")
                  .arg(m_file.fileName(), m_file.errorString());
    // A row half on the disk would spoil the file for a reader: cut it off.
    m_file.close();
    QFile::resize(m_file.fileName(), m_good);
    return false;
}

void CsvWriter::close()
{
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}
