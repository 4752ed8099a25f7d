// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
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
        Failed
    };
    Outcome outcome = Outcome::Failed;
    QByteArray bytes; // the whole file when Read
};
BoundedRead readAtMost(QIODevice& file, qint64 limit);
