// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineCommands.h"
#include "DriveList.h"
#include "LineScan.h"
#include "SettingsSearch.h"

#include <QEventLoop>

namespace {

struct Range
{
    int from = 1;
    int to = 31;
};

// --from N --to N, each 1..31; nullopt (with a message) for anything else.
std::optional<Range> parseRange(const QStringList& args, QTextStream& err)
{
    Range range;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (word != QLatin1String("--from") && word != QLatin1String("--to")) {
            err << "Unknown argument \"" << word << "\"; expected --from N --to N.\n";
            return std::nullopt;
        }
        const std::optional<quint8> value =
            i + 1 < args.size() ? DriveList::parseOne(args[i + 1]) : std::nullopt;
        if (!value) {
            err << word << " needs an address from 1 to 31.\n";
            return std::nullopt;
        }
        (word == QLatin1String("--from") ? range.from : range.to) = *value;
        ++i;
    }
    if (range.from > range.to) {
        err << "--from " << range.from << " lies above --to " << range.to << ".\n";
        return std::nullopt;
    }
    return range;
}

} // namespace

int runScanCommand(LinkClient& client, const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto range = parseRange(args, err);
    if (!range)
        return 2;
    LineScan scan(client);
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&scan, &LineScan::finished, &loop, [&](bool c) {
        cancelled = c;
        loop.quit();
    });
    if (!scan.start(range->from, range->to)) {
        err << "The line is busy or the port is closed.\n";
        return 3;
    }
    loop.exec();
    const QList<ScanEntry> entries = scan.entries();
    out << LineScan::tableText(entries);
    out << entries.size() << " drive(s) answered of addresses " << range->from << ".." << range->to
        << " in " << qRound(scan.elapsedMs()) << " ms\n";
    out.flush();
    if (cancelled) {
        err << "The port closed during the scan.\n";
        return 3;
    }
    return entries.isEmpty() ? 1 : 0;
}

int runFindSettingsCommand(LinkClient& client, const QStringList& args, QTextStream& out,
                           QTextStream& err)
{
    const auto range = parseRange(args, err);
    if (!range)
        return 2;
    SettingsSearch search(client);
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&search, &SettingsSearch::finished, &loop, [&](bool, bool c) {
        cancelled = c;
        loop.quit();
    });
    if (!search.start(range->from, range->to)) {
        err << "The line is busy or the port is closed.\n";
        return 3;
    }
    loop.exec();
    if (cancelled) {
        err << "The port closed during the search.\n";
        return 3;
    }
    if (search.foundSettings().isEmpty()) {
        out << "No drive answered at any setting (" << search.triesMade() << " tried in "
            << qRound(search.elapsedMs()) << " ms)\n";
        return 1;
    }
    out << "Drive " << search.foundAddress() << " answers at " << search.foundSettings() << " ("
        << search.triesMade() << " setting(s) tried in " << qRound(search.elapsedMs()) << " ms)\n";
    return 0;
}
