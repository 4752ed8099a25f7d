// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinkClient.h"

#include <QStringList>
#include <QTextStream>

// The command-line faces of the scan and the settings search, for a program
// that has opened the port and made a link client on it. args are the words
// after the command's name: [--from N] [--to N]. They run the event loop
// until the job is done. Exit codes: 0 a drive answered, 1 none did, 2 bad
// arguments, 3 the port closed or went away meanwhile. With json the answer
// is one JSON document on out (with "exit"); messages stay on err.
int runScanCommand(LinkClient& client, const QStringList& args, QTextStream& out, QTextStream& err,
                   bool json = false);
int runFindSettingsCommand(LinkClient& client, const QStringList& args, QTextStream& out,
                           QTextStream& err, bool json = false);
