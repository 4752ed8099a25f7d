// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

class LinkClient;
class SerialPort;

// vfdctl: parameter sets from the command line, for scripts on a production
// line. Runs inside a QCoreApplication; no display needed.
//
// Exit codes: 0 done (and nothing differs); 1 differences found, writes that
// failed or parameters a drive did not answer; 2 usage, file or port error.
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
    // Further commands run on the opened port: each gets the words after its
    // name untouched and returns the exit code.
    using Command = std::function<int(LinkClient& client, const QStringList& args)>;
    QMap<QString, Command> moreCommands;
    // Their lines for the usage text.
    QString moreUsage;

    int run(const QStringList& arguments);
    QString usage() const;

private:
    // The named port, open at the settings; nullptr (and said why) if not.
    // A gateway is open only once its connection is made: waited for here.
    std::unique_ptr<SerialPort> openPort(const QString& name, const QString& settings);
    // Empty once the port can carry requests, else why it cannot.
    QString waitUntilReady(SerialPort& port);

    QTextStream& m_out;
    QTextStream& m_err;
};
