// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

// Reads an opened file to its end, but never more than limit bytes. The size
// a file reports cannot be trusted for this: /dev/zero and /dev/urandom say 0
// and never end, and neither does a pipe whose writer keeps writing. Whatever
// the name leads to, at most limit + 1 bytes are held.
struct BoundedRead
{
    enum class Outcome
    {
        Read,
        TooLarge,
        Failed,
        NotAFile // a named pipe, a device, a folder or a socket: never read
    };
    Outcome outcome = Outcome::Failed;
    QByteArray bytes; // the whole file when Read
    QString error;    // what went wrong, for the caller to say with the name (readFileAtMost)
};
BoundedRead readAtMost(QIODevice& file, qint64 limit);

// The named file whole, when it is a regular file of at most limit bytes.
// Anything else is refused before it is read: opening a named pipe with no
// writer waits for ever, a serial device wakes the line, /dev/zero never
// ends. The name is opened without waiting, and only read once it has shown
// to be a file.
BoundedRead readFileAtMost(const QString& path, qint64 limit);

// What the name is when it is no regular file ("a named pipe", "a device"), or
// nullopt when it is one or does not exist.
std::optional<QString> notAFile(const QString& path);
