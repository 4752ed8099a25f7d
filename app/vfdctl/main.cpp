// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineCommands.h"
#include "ParamCtl.h"
#include "RecordCommand.h"
#include "ServeCommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Set by Ctrl-C (or a polite kill) so a recording ends with everything flushed.
std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested = true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vfdctl"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const auto code = runServeCommand(QCoreApplication::arguments().mid(1), out, err))
        return *code;
    ParamCtl ctl(out, err);
    ctl.showProgress = ::isatty(STDERR_FILENO);
    ctl.confirm = [&](const QString& question) {
        out << question << " [y/N] " << Qt::flush;
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        return answer == u"y" || answer == u"yes";
    };
    ctl.moreCommands.insert(QStringLiteral("scan"), [&](LinkClient& client, const QStringList& a) {
        return runScanCommand(client, a, out, err);
    });
    ctl.moreCommands.insert(QStringLiteral("find-settings"),
                            [&](LinkClient& client, const QStringList& a) {
                                return runFindSettingsCommand(client, a, out, err);
                            });
    ctl.moreCommands.insert(QStringLiteral("record"),
                            [&](LinkClient& client, const QStringList& a) {
                                std::signal(SIGINT, requestStop);
                                std::signal(SIGTERM, requestStop);
                                return runRecordCommand(client, a, out, err, &stopRequested);
                            });
    ctl.moreUsage = QStringLiteral(
        "  scan [--from N] [--to N]   list the drives that answer (status, edition)\n"
        "  find-settings [--from N] [--to N]\n"
        "                             try the baud rates and parities until a drive answers\n"
        "                             (scan and find-settings exit 0 when a drive answered,\n"
        "                             1 when none did, 3 when the port went away)\n"
        "  record ADDRESS[,ADDRESS...] --values KEY,KEY,... [--interval 100ms]\n"
        "         [--duration 2h] [-o FILE.csv] [--snapshot-dir DIR]\n"
        "         [--snapshot-before 60s] [--snapshot-after 10s]\n"
        "                             record running values to CSV until the duration or\n"
        "                             Ctrl-C; a trip writes a snapshot file (exits 1 when\n"
        "                             no drive answered)\n");
    ctl.moreUsage += serveUsage();
    const int code = ctl.run(QCoreApplication::arguments().mid(1));
    out.flush();
    err.flush();
    return code;
}
