// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Sampler.h"

#include <QFile>
#include <QString>
#include <QStringList>

// The layout of a recording file: RFC 4180, UTF-8, one header row of names
// with units, then one row per sample round and one per event. Columns:
// "Time", "Event", then per drive its values, its run state and its fault.
namespace RecordCsv {

QStringList header(const QList<quint8>& drives, const QList<RecordValue>& values);
QStringList roundRow(const SampleRound& round, int valuesPerDrive);
QStringList eventRow(const RecordEvent& event, int columns);
// ISO 8601 local time with milliseconds and the offset: 2026-12-08T21:40:00.125+01:00.
QString timeText(const QDateTime& time);
// One line of RFC 4180 with its CRLF.
QByteArray line(const QStringList& fields);
QString number(double value);
// A path in the folder no file holds yet, named by the time so recordings
// sort: recording-20261209-191005.csv, with -2, -3, ... should that be taken.
// A new recording goes there unless the user names a file.
QString newFilePath(const QString& folder, const QDateTime& time);

} // namespace RecordCsv

// Writes a recording as it is made. Every row goes to the disk's cache as
// soon as it is complete, so a killed program loses nothing it had finished;
// a row the disk cannot take is cut off again, the file is closed, and
// error() says why: what was written before stays readable.
class CsvWriter
{
public:
    bool open(const QString& path, const QStringList& header);
    bool append(const QStringList& fields);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString error() const { return m_error; }
    qint64 rows() const { return m_rows; }
    QString path() const { return m_file.fileName(); }

private:
    bool write(const QByteArray& bytes);

    QFile m_file;
    QString m_error;
    qint64 m_good = 0; // bytes of complete rows
    qint64 m_rows = 0;
};

// A recording read back from its file.
struct RecordedFile
{
    QStringList columns;         // header after Time and Event
    QList<qint64> times;         // ms since the epoch, one per round row
    QList<QList<double>> values; // per round row, one per column (NaN empty or text)
    QList<QStringList> texts;    // per round row, the raw cells (state and fault columns)
    QList<QPair<qint64, QString>> events;
};

namespace RecordCsv {
// Reads a file written by CsvWriter; nullopt with error naming the line and problem.
std::optional<RecordedFile> read(const QString& path, QString* error);
// Splits RFC 4180 text into records; nullopt (and the line) for an unclosed quote.
std::optional<QList<QStringList>> parse(const QString& text, int* badLine = nullptr);
} // namespace RecordCsv
