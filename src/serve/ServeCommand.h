// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <optional>

// `vfdctl [--port NAME] [--settings S] [--retries N] serve [CONFIG] [options]`:
// watches lines of drives and publishes them to an MQTT broker until stopped
// (SIGTERM, SIGINT, SIGHUP or SIGQUIT), the drives it runs stopped and the
// queue flushed. It opens its ports itself, one per line, so it runs before
// vfdctl opens the one port of its other commands.
//
// nullopt when the words name another command; else the exit code: 0 stopped
// cleanly, 1 stopped because its log could not be written, 2 a bad
// configuration, option, input file, queue folder or broker setting (nothing
// started).
std::optional<int> runServeCommand(const QStringList& arguments, QTextStream& out,
                                   QTextStream& err);

// The command's lines in vfdctl's usage text.
QString serveUsage();

namespace ServeOptions {

// The configuration the words give: a file's, overridden by the options
// given beside it. nullopt (and why in error) on any mistake.
std::optional<ServeConfig> fromArguments(const QStringList& arguments, QString* error);

} // namespace ServeOptions

// Runs the configuration until *stop turns true; the exit code.
int runServe(const ServeConfig& config, QTextStream& err, const std::atomic<bool>& stop);
