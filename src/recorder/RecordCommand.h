// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <optional>

class LinkClient;

// "record ADDRESS[,ADDRESS...] --values freq-out,current,... [--interval 100ms]
// [--duration 2h] [-o FILE.csv] [--snapshot-dir DIR] [--snapshot-before 60s]
// [--snapshot-after 10s]" on an open link. Runs the event loop until the
// duration has passed, the file cannot take more, or *stop becomes true (the
// caller's Ctrl-C handler sets it); everything is flushed and closed before it
// returns. Exit code: 0 done, 1 the recording failed or no drive answered
// at all, 2 bad arguments. With json, out gets JSON lines instead of words:
// one per drive and round ({"time", "drive", "state", KEY: value or null}),
// one per event ({"time", "event", "drive", "kind"}) and per snapshot file,
// and a last one with the rounds, the file, its rows and "exit".
// Without -o the recording goes to a new file named by the time in the
// current folder (said at the start); a file -o names that exists is
// replaced only with replace (--force), otherwise nothing is recorded (exit 1).
int runRecordCommand(LinkClient& client, const QStringList& args, QTextStream& out,
                     QTextStream& err, const std::atomic<bool>* stop = nullptr, bool json = false,
                     bool replace = false);

// "100ms", "5s", "2m", "2min", "2h" or a bare number of seconds, in ms.
std::optional<qint64> parseDurationMs(const QString& text);
