// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QString>
#include <optional>

// The service started from a site: the site's file (site.conf at the root of
// its folder) is the service's configuration too. The site's own reader
// checks what is the site's ([site], the lines' ports, settings and drives,
// [drive LINE ADDRESS]) and the service's reader the rest ([broker],
// [publish], [commands], the lines' values and interval), each naming the
// line of a mistake. The drives' names come along, and the site's folder,
// whose journal takes the commands the service sends.
namespace ServeSite {

// The folder of the site whose file the path is (a file named site.conf);
// empty when it is another file.
QString folderOf(const QString& configPath);

// Why a configuration read from another file may not start the service
// when it holds a site's sections (the site's journal would be nowhere);
// empty when it holds none.
QString misplaced(const ServeConfig& config, const QString& path);

// The configuration the site in the folder gives; nullopt (and why) when it
// holds no site or its file is wrong.
std::optional<ServeConfig> read(const QString& folder, QString* error);

// With a site, the service serves one of its lines when one is named (the
// others are another service's); options that set a line's port or drives
// need that line named when the site has several. A line picked out of
// several gets a client id and queue folder of its own (the file's, with
// "-LINE" and "/LINE"), so one service per line can run from the one file.
// False (and why) when the site has no such line.
bool pickLine(ServeConfig& config, const QString& name, bool lineOptions, QString* error);

} // namespace ServeSite
