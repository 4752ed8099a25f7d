// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the user can do about a device that may not be opened. Read from the
// device itself: the group that owns it, whether that group may read and
// write it, and who the user is, so the advice fits this machine rather than
// naming a group by habit.
QString PermissionHelp(const QString& portName, const QString& devicePath);
