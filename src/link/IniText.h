// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The one reader of the hand-written configuration files (the service's, a
// site's): "[section]" headings and "KEY = VALUE" settings, blank lines and
// lines starting with '#' or ';' passed over. The form is checked here (a
// heading ends with ']', no section comes twice, no key twice in a section,
// no setting before the first heading); what a section or a key means is the
// caller's. Any mistake stops the reading with "line N: problem", so nothing
// starts on a half-understood file.
namespace IniText {

// Called for each heading with its text (blanks simplified) and its line
// (counted from 1); an empty return takes it, anything else is the problem.
using SectionReader = std::function<QString(const QString& heading, int line)>;
// Called for each setting with its section, key (lower case) and value
// (trimmed); an empty return takes it, anything else is the problem.
using KeyReader = std::function<QString(const QString& section, const QString& key,
                                        const QString& value, int line)>;

bool read(const QString& text, const SectionReader& onSection, const KeyReader& onKey,
          QString* error);

// The heading of a line of text when it is one ("[line a]" gives "line a").
bool isHeading(const QString& row, QString* heading = nullptr);
// The key of a line of text when it is a setting (lower case).
bool isSetting(const QString& row, QString* key = nullptr);

// The keys every line section has, in the service's file and a site's alike:
// the port, its line settings and the drives on it. nullopt when the key is
// none of these; else empty when taken, or the problem.
std::optional<QString> takeLineKey(const QString& key, const QString& value, QString& port,
                                   QString& settings, QList<quint8>& drives);

} // namespace IniText
