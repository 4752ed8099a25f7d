// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineCommands.h"
#include "CatalogueText.h"
#include "DriveList.h"
#include "Language.h"
#include "LineScan.h"
#include "SettingsSearch.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

struct Range
{
    int from = 1;
    int to = 31;
};

// Problems said on standard error and, with --json, kept for the document.
struct Problems
{
    QTextStream& err;
    QJsonArray messages;
    void say(const QString& text)
    {
        err << text << '\n';
        err.flush();
        messages.append(text);
    }
};

// --from N --to N, each 1..31; nullopt (with a message) for anything else.
std::optional<Range> parseRange(const QStringList& args, Problems& problems)
{
    Range range;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (word != QLatin1String("--from") && word != QLatin1String("--to")) {
            problems.say(QCoreApplication::translate(
                             "CtlText", "Unknown argument \"%1\"; expected --from N --to N.")
                             .arg(word));
            return std::nullopt;
        }
        const std::optional<quint8> value =
            i + 1 < args.size() ? DriveList::parseOne(args[i + 1]) : std::nullopt;
        if (!value) {
            problems.say(word +
                         QCoreApplication::translate("CtlText", " needs an address from 1 to 31."));
            return std::nullopt;
        }
        (word == QLatin1String("--from") ? range.from : range.to) = *value;
        ++i;
    }
    if (range.from > range.to) {
        problems.say(QCoreApplication::translate("CtlText", "--from %1 lies above --to %2.")
                         .arg(range.from)
                         .arg(range.to));
        return std::nullopt;
    }
    return range;
}

int jsonAnswer(QTextStream& out, QJsonObject document, const Problems& problems, int code)
{
    document.insert(QStringLiteral("exit"), code);
    document.insert(QStringLiteral("messages"), problems.messages);
    out << QJsonDocument(document).toJson(QJsonDocument::Compact) << '\n';
    out.flush();
    return code;
}

QJsonObject entryJson(const ScanEntry& e)
{
    QJsonObject o{{QStringLiteral("drive"), int(e.address)}};
    if (e.exceptionCode) {
        o.insert(QStringLiteral("refused"), int(*e.exceptionCode));
    } else {
        o.insert(QStringLiteral("state"),
                 e.running ? QStringLiteral("run") : QStringLiteral("stop"));
        o.insert(QStringLiteral("direction"),
                 e.reverse ? QStringLiteral("reverse") : QStringLiteral("forward"));
        o.insert(QStringLiteral("fault"), e.fault);
        o.insert(QStringLiteral("faultNumber"), e.faultNumber);
        o.insert(QStringLiteral("faultText"), e.faultText);
    }
    o.insert(QStringLiteral("edition"), e.edition ? QJsonValue(*e.edition) : QJsonValue());
    o.insert(QStringLiteral("late"), e.late);
    return o;
}

} // namespace

int runScanCommand(LinkClient& client, const QStringList& args, QTextStream& out, QTextStream& err,
                   bool json)
{
    Problems problems{err, {}};
    const auto range = parseRange(args, problems);
    if (!range)
        return json ? jsonAnswer(out, {}, problems, 2) : 2;
    LineScan scan(client);
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&scan, &LineScan::finished, &loop, [&](bool c) {
        cancelled = c;
        loop.quit();
    });
    if (!scan.start(range->from, range->to)) {
        problems.say(
            QCoreApplication::translate("CtlText", "The line is busy or the port is closed."));
        return json ? jsonAnswer(out, {}, problems, 3) : 3;
    }
    loop.exec();
    const QList<ScanEntry> entries = scan.entries();
    const int code = cancelled ? 3 : entries.isEmpty() ? 1 : 0;
    if (cancelled)
        problems.say(QCoreApplication::translate("CtlText", "The port closed during the scan."));
    if (json) {
        QJsonArray drives;
        for (const ScanEntry& e : entries)
            drives.append(entryJson(e));
        return jsonAnswer(out,
                          {{QStringLiteral("from"), range->from},
                           {QStringLiteral("to"), range->to},
                           {QStringLiteral("elapsedMs"), qRound(scan.elapsedMs())},
                           {QStringLiteral("drives"), drives}},
                          problems, code);
    }
    // The table as a person reads it; --json above keeps the English words.
    out << ShownText::of(LineScan::columnTitles()).join(u'\t') << '\n';
    for (const ScanEntry& e : entries) {
        QStringList cells = ShownText::of(LineScan::rowTexts(e));
        if (e.fault && Language::current() != QLatin1String(Language::English))
            cells[3] = CatalogueText::faultDescription(e.faultNumber);
        cells[5] = ShownText::of(QStringList{e.late ? QStringLiteral("answers after the time-out")
                                                    : QString(),
                                             e.readiness.note()})
                       .filter(QRegularExpression(QStringLiteral(".")))
                       .join(QCoreApplication::translate("CtlText", "; "));
        out << cells.join(u'\t') << '\n';
    }
    out << QCoreApplication::translate("CtlText",
                                       "%1 drive(s) answered of addresses %2..%3 in %4 ms")
               .arg(entries.size())
               .arg(int(range->from))
               .arg(int(range->to))
               .arg(qRound(scan.elapsedMs()))
        << '\n';
    out.flush();
    return code;
}

int runFindSettingsCommand(LinkClient& client, const QStringList& args, QTextStream& out,
                           QTextStream& err, bool json)
{
    Problems problems{err, {}};
    const auto range = parseRange(args, problems);
    if (!range)
        return json ? jsonAnswer(out, {}, problems, 2) : 2;
    SettingsSearch search(client);
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&search, &SettingsSearch::finished, &loop, [&](bool, bool c) {
        cancelled = c;
        loop.quit();
    });
    if (!search.start(range->from, range->to)) {
        problems.say(
            QCoreApplication::translate("CtlText", "The line is busy or the port is closed."));
        return json ? jsonAnswer(out, {}, problems, 3) : 3;
    }
    loop.exec();
    if (cancelled)
        problems.say(QCoreApplication::translate("CtlText", "The port closed during the search."));
    const bool found = !search.foundSettings().isEmpty();
    if (json) {
        QJsonObject document{{QStringLiteral("found"), found && !cancelled},
                             {QStringLiteral("tried"), search.triesMade()},
                             {QStringLiteral("elapsedMs"), qRound(search.elapsedMs())}};
        if (found && !cancelled) {
            document.insert(QStringLiteral("drive"), int(search.foundAddress()));
            document.insert(QStringLiteral("settings"), search.foundSettings());
        }
        return jsonAnswer(out, document, problems, cancelled ? 3 : found ? 0 : 1);
    }
    if (cancelled)
        return 3;
    if (!found) {
        out << QCoreApplication::translate("CtlText",
                                           "No drive answered at any setting (%1 tried in %2 ms)")
                   .arg(search.triesMade())
                   .arg(qRound(search.elapsedMs()))
            << '\n';
        return 1;
    }
    out << QCoreApplication::translate("CtlText",
                                       "Drive %1 answers at %2 (%3 setting(s) tried in %4 ms)")
               .arg(int(search.foundAddress()))
               .arg(search.foundSettings())
               .arg(search.triesMade())
               .arg(qRound(search.elapsedMs()))
        << '\n';
    return 0;
}
