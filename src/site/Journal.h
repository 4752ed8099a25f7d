// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One thing done to a drive, as the journal keeps it: a write with what
// became of it, a run command started or stopped, a test run's result.
struct JournalEntry
{
    enum class Kind
    {
        Write,
        RunStarted,
        RunStopped,
        TestRun,
        // A parameter found holding another value than the drive was
        // commissioned with (before: commissioned, readBack: found), or back
        // at it (result "cleared").
        Drift
    };
    enum class Outcome
    {
        Verified, // read back as asked
        Refused,  // the drive answered with an exception
        NoAnswer, // sent, and nothing came back: it may have been taken
        // The drive took the write and reads back another value (readBack).
        ReadBackDiffers,
        // The drive took the write; its read-back went unanswered.
        NotReadBack
    };
    Kind kind = Kind::Write;
    QDateTime time;
    QString tool; // "parameters", "restore", "clone", "vfdctl set", "serve" ...
    QString line;
    quint8 drive = 0;
    // A write.
    QString parameter; // "P0.03"
    std::optional<QString> before;
    QString asked;
    Outcome outcome = Outcome::Verified;
    std::optional<QString> readBack; // what the drive holds after it, when read
    // A run command or a test run: what was asked ("forward 30.00 Hz"), and
    // a test run's result ("passed", "failed", "not completed") and file; a
    // run command's result only when it was not obeyed ("refused: why") or
    // went unanswered.
    QString command;
    QString result;
    QString file;

    QByteArray toJson() const;
    static std::optional<JournalEntry> fromJson(const QByteArray& line, QString* error);
};

// What was read back from a journal: every whole entry, and each line that
// could not be read ("line N: ..."). A last line cut short (the program
// ended in the middle of writing it) is passed over and only counted.
struct JournalReading
{
    QList<JournalEntry> entries;
    QStringList problems;
    bool tornTail = false;
};

// The journal of a site: one JSON object a line, appended and flushed at
// each entry, never rewritten. A write that does not reach the disk (a full
// disk) is reported to the caller, and takes back whatever part of it did,
// so the next entry starts a line of its own.
class Journal
{
public:
    explicit Journal(QString path) : m_path(std::move(path)) {}

    QString path() const { return m_path; }
    // Empty when the entry is in the file, else why not.
    QString append(const JournalEntry& entry) const;

    static JournalReading read(const QString& path);

private:
    QString m_path;
};
