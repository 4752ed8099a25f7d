// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// USB serial adapters hold received bytes until their latency timer runs out
// (16 ms by default on Linux) before handing them on: every answer arrives that
// much later, and at 9600 a whole-drive read takes up to twice as long as the
// line needs. The timer is read from sysfs when a device is opened.
namespace UsbLatency {

// Above this the timer is worth turning down.
constexpr int WorthSayingMs = 2;

// The latency timer of the adapter behind a device ("/dev/ttyUSB0", a
// /dev/serial/by-id link to it, or "ttyUSB0"), read under sysRoot; nullopt
// for a device that has none (not a USB adapter, or not this kind).
std::optional<int> read(const QString& device, const QString& sysRoot = QStringLiteral("/sys"));

// What to tell the user about a timer above WorthSayingMs: the cost and the fix
// (the command, and a udev rule that keeps it), both needing root.
QString advice(const QString& device, int latencyMs);

} // namespace UsbLatency
