// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoundedRead.h"

#include <QIODevice>
#include <algorithm>

BoundedRead readAtMost(QIODevice& file, qint64 limit)
{
    // Small pieces: the buffer grows with what really comes, not with the limit.
    constexpr qint64 kPiece = 64 * 1024;
    BoundedRead result;
    for (;;) {
        // One byte beyond the limit tells a file of exactly the limit from a longer one.
        const qint64 room = limit + 1 - result.bytes.size();
        if (room <= 0) {
            result.outcome = BoundedRead::Outcome::TooLarge;
            result.bytes.clear();
            return result;
        }
        const qsizetype had = result.bytes.size();
        const qint64 want = std::min(room, kPiece);
        result.bytes.resize(had + want);
        const qint64 got = file.read(result.bytes.data() + had, want);
        result.bytes.resize(had + std::max<qint64>(got, 0));
        if (got < 0) {
            result.outcome = BoundedRead::Outcome::Failed;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            result.outcome = BoundedRead::Outcome::Read;
            return result;
        }
    }
}
