// SPDX-License-Identifier: GPL-3.0-or-later
#include "Language.h"
#include "LineCommands.h"
#include "ParamCtl.h"
#include "RecordCommand.h"
#include "RecordValues.h"
#include "ServeCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

// Set by Ctrl-C, a polite kill, a closed terminal or a reader gone: the
// command under way ends what it does cleanly (the exchange on the line,
// files flushed, a running drive stopped and its STOP answered).
std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested = true;
}

void catchStop()
{
    // Without SA_RESTART: a question waiting for its answer at the terminal
    // ends at Ctrl-C (as "no") instead of waiting on.
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    // A dropped ssh session or a closed terminal (SIGHUP), Ctrl-\ (SIGQUIT)
    // and a pipe whose reader has gone (SIGPIPE) must not end the process
    // with a drive still running on its last command: each ends the command
    // as Ctrl-C does. Only a SIGHUP ignored from the start (nohup) is left
    // so: whoever started it that way meant it to outlive the terminal.
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        struct sigaction before = {};
        sigaction(number, nullptr, &before);
        if (number == SIGHUP && before.sa_handler == SIG_IGN)
            continue;
        sigaction(number, &action, nullptr);
    }
}

QString recordKeys()
{
    QStringList keys;
    for (const RecordValue& v : RecordValues::all())
        keys << QLatin1String(v.key);
    QString text = CtlText::tr("Value keys (record, watch):");
    int column = int(text.size());
    for (const QString& key : keys) {
        if (column + key.size() + 1 > 78) {
            text += QStringLiteral("\n ");
            column = 1;
        }
        text += u' ' + key;
        column += int(key.size()) + 1;
    }
    return text + u'\n';
}

// Takes --lang NAME (or --lang=NAME) out of the words when NAME is a language
// the program has, and returns it; a --lang it cannot use stays in the words,
// so the command line's parser refuses it as it refuses any bad option.
QString takeLanguage(QStringList& arguments)
{
    QString chosen;
    for (int i = 0; i < arguments.size(); ++i) {
        QString value;
        int words = 1;
        if (arguments[i] == u"--lang" && i + 1 < arguments.size()) {
            value = arguments[i + 1];
            words = 2;
        } else if (arguments[i].startsWith(u"--lang=")) {
            value = arguments[i].mid(7);
        } else {
            continue;
        }
        if (const std::optional<QString> language = Language::fromName(value)) {
            chosen = *language;
            arguments.remove(i, words);
            --i;
        }
    }
    return chosen;
}

} // namespace

int main(int argc, char** argv)
{
    // The report lays out text, which needs fonts and so a QGuiApplication;
    // vfdctl runs without a display, so it gets the offscreen platform.
    // Every other command stays on a plain QCoreApplication.
    bool report = false;
    // "site commission" ends in the report.
    for (int i = 1; i < argc; ++i)
        report = report || qstrcmp(argv[i], "report") == 0 || qstrcmp(argv[i], "commission") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Run from cron, a service or ssh there is no desktop session and so no
    // runtime folder, which the fonts' platform asks for and would complain
    // about on every report: a private one serves while the report is made.
    std::optional<QTemporaryDir> runtime;
    if (report && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime.emplace(QDir::tempPath() + QStringLiteral("/vfdctl-runtime-XXXXXX"));
        if (runtime->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    const std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vfdctl"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // --lang, else the locale (LC_ALL, LC_MESSAGES, LANG). With --json all is
    // English: the document and its messages are read by programs, which must
    // not see them change with the language of whoever runs the script.
    const QString language = takeLanguage(arguments);
    Language::install(arguments.contains(QStringLiteral("--json"))
                          ? QString::fromLatin1(Language::English)
                          : Language::choose(language));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const auto code = runServeCommand(arguments, out, err))
        return *code;
    ParamCtl ctl(out, err);
    ctl.showProgress = ::isatty(STDERR_FILENO);
    ctl.stop = &stopRequested;
    ctl.catchStop = catchStop;
    ctl.confirm = [&](const QString& question) {
        out << question << " [y/N] " << Qt::flush;
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        return answer == u"y" || answer == u"yes";
    };
    AddParamSetCommands(ctl.commands);
    AddDriveCommands(ctl.commands);
    AddRunCommands(ctl.commands);
    AddWatchCommand(ctl.commands);
    AddCommissionCommands(ctl.commands);
    AddSiteCommands(ctl.commands);
    AddSiteCommissionCommand(ctl.commands);
    auto onLink = [](CtlContext& ctx, auto&& command) {
        LinkClient* client = ctx.openLink();
        return client ? command(*client) : ctx.finish(ParamCtl::UsageOrPort);
    };
    ctl.commands.insert(
        QStringLiteral("scan"),
        {[&](CtlContext& ctx, const QStringList& a) {
             return onLink(ctx,
                           [&](LinkClient& c) { return runScanCommand(c, a, out, err, ctx.json); });
         },
         false,
         CtlText::tr("  scan [--from N] [--to N]   list the drives that answer (status, "
                     "edition)\n")});
    ctl.commands.insert(
        QStringLiteral("find-settings"),
        {[&](CtlContext& ctx, const QStringList& a) {
             return onLink(ctx, [&](LinkClient& c) {
                 return runFindSettingsCommand(c, a, out, err, ctx.json);
             });
         },
         false,
         CtlText::tr("  find-settings [--from N] [--to N]\n"
                     "                             try the baud rates and parities until a "
                     "drive answers\n"
                     "                             (scan and find-settings exit 0 when a "
                     "drive answered,\n"
                     "                             1 when none did, 3 when the port went "
                     "away)\n")});
    ctl.commands.insert(
        QStringLiteral("record"),
        {[&](CtlContext& ctx, const QStringList& a) {
             // With a site: names, and the recording and its snapshots into it.
             QString created;
             const std::optional<QStringList> words = RecordWordsInSite(ctx, a, &created);
             if (!words)
                 return ctx.finish(ParamCtl::UsageOrPort);
             const int code = onLink(ctx, [&](LinkClient& c) {
                 // The file made for it is empty: the recording takes its place.
                 return runRecordCommand(c, *words, out, err, &stopRequested, ctx.json,
                                         ctx.force || !created.isEmpty());
             });
             // A recording that never began leaves no empty file in the site.
             if (!created.isEmpty() && QFileInfo(created).size() == 0)
                 QFile::remove(created);
             return code; // the recorder has ended its output (its JSON lines) itself
         },
         true,
         CtlText::tr("  record ADDRESS[,ADDRESS...] --values KEY,KEY,... [--interval 100ms]\n"
                     "         [--duration 2h] [-o FILE.csv [--force]] [--snapshot-dir DIR]\n"
                     "         [--snapshot-before 60s] [--snapshot-after 10s]\n"
                     "                             record running values to CSV until the "
                     "duration or\n"
                     "                             Ctrl-C (without -o into a new "
                     "recording-DATE-TIME.csv;\n"
                     "                             an existing file only with --force); a "
                     "trip writes a\n"
                     "                             snapshot file (exits 1 when no drive "
                     "answered); with\n"
                     "                             --site and no -o, into the site's "
                     "recordings/\n")});
    ctl.usageNotes = serveUsage() + recordKeys();
    const int code = ctl.run(arguments);
    out.flush();
    err.flush();
    return code;
}
