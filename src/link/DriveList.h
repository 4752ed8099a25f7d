// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>

// Drive addresses as every command and window takes them: "3", "1,4,7-9",
// with blanks around the items allowed. One rule for all of them: an item is
// an address 1..31 or a range FIRST-LAST of such addresses; an empty item
// ("1,,2", "1,", ",2") is refused rather than skipped, since it is most often
// an address that was meant and left out; a drive named twice is listed once,
// where it was first named.
namespace DriveList {

constexpr int kLowestAddress = 1;
constexpr int kHighestAddress = 31;

// The drives named, or nullopt with the reason in error (a phrase without a
// final stop, for the caller to put in its own sentence).
std::optional<QList<quint8>> parse(const QString& text, QString* error = nullptr);

// A single address, where a command takes one drive and no list.
std::optional<quint8> parseOne(const QString& text, QString* error = nullptr);

} // namespace DriveList
