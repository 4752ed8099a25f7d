# SPDX-License-Identifier: GPL-3.0-or-later
# The Qt modules the program is built on. The fuzz project builds the same
# tree from its own top, so both find Qt through this one list.
set(VFD_QT_COMPONENTS Core Gui Network Widgets SerialPort Test)
