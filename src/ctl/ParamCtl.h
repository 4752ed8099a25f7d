// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CtlContext.h"

#include <QMap>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

class LinkClient;
class SerialPort;

// vfdctl: drives from the command line, for scripts on a production line and
// for a technician at a terminal. Runs inside a QCoreApplication; no display.
//
// Exit codes: 0 done (and nothing differs); 1 differences found, writes that
// failed, parameters or drives that did not answer, or stopped by Ctrl-C;
// 2 usage, file or port error. Some commands add their own (see usage()).
class ParamCtl
{
public:
    enum Exit
    {
        Done = 0,
        Differences = 1,
        UsageOrPort = 2
    };

    ParamCtl(QTextStream& out, QTextStream& err);
    // The port to use instead of the one the name picks (tests).
    std::function<SerialPort*()> makePort;
    // Answers the question before writing; by default read from standard input.
    std::function<bool(const QString& question)> confirm;
    // Progress lines on standard error; by default only to a terminal.
    bool showProgress = false;
    // Set by Ctrl-C (and by standard output or error gone, see outputLost);
    // a command polls it and ends what it does cleanly.
    std::atomic<bool>* stop = nullptr;
    // Called as a command that answers Ctrl-C itself begins (installs the
    // handler that sets *stop); commands that do not keep the default.
    std::function<void()> catchStop;

    // A command on the opened port: it gets the words after its name (the
    // options every command takes already taken out) and returns the exit code.
    using Command = std::function<int(CtlContext& ctx, const QStringList& args)>;
    struct Entry
    {
        Command run;
        bool answersStop = true; // catchStop is called before it runs
        QString usage;           // its lines of the usage text
        bool needsPort = true;   // refused without --port (or a site's line)
        bool usesSite = true;    // --site is opened for it (site init makes one)
    };
    QMap<QString, Entry> commands;
    // Lines after the commands in the usage text.
    QString usageNotes;

    int run(const QStringList& arguments);
    QString usage() const;

private:
    // The named port, open at the settings; nullptr (and said why) if not.
    // A gateway is open only once its connection is made: waited for here.
    std::unique_ptr<SerialPort> openPort(CtlContext& ctx, const QString& name,
                                         const QString& settings);
    // Why what the command writes can no longer reach anyone (a pipe whose
    // reader has gone, a terminal hung up, a write that failed), or empty.
    QString outputLost() const;
    // Empty once the port can carry requests, else why it cannot.
    QString waitUntilReady(SerialPort& port);

    QTextStream& m_out;
    QTextStream& m_err;
};

// The commands vfdctl brings, by name.
void AddParamSetCommands(QMap<QString, ParamCtl::Entry>& commands); // with backup, compare
void AddBackupCommands(QMap<QString, ParamCtl::Entry>& commands);
void AddDriveCommands(QMap<QString, ParamCtl::Entry>& commands);
void AddRunCommands(QMap<QString, ParamCtl::Entry>& commands);
void AddWatchCommand(QMap<QString, ParamCtl::Entry>& commands);
void AddCommissionCommands(QMap<QString, ParamCtl::Entry>& commands);
// site init and site status.
void AddSiteCommands(QMap<QString, ParamCtl::Entry>& commands);
// The words of record with a site: drive names made addresses (every drive of
// the line when none is named), trip snapshots into the site, and without -o
// a new recording file in the site (*created, said where). Without a site the
// words as they were. nullopt (said why) when they name no drive or no file
// can be made.
std::optional<QStringList> RecordWordsInSite(CtlContext& ctx, const QStringList& args,
                                             QString* created);
