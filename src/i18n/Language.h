// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// Which language the program speaks, and the translators that make it so.
// English is the texts as written in the code; every other language is a set
// of compiled translation files built into the program, plus Qt's own for
// its standard dialogs and messages. No widgets here: vfdctl uses it too.
namespace Language {

inline constexpr char English[] = "en";
inline constexpr char Chinese[] = "zh_CN"; // Simplified

// The settings key under which a program keeps a choice the user made.
inline constexpr char SettingsKey[] = "language";

// The languages offered, English first.
QStringList offered();

// The language's own name for itself ("English", "简体中文"), for a menu.
QString nativeName(const QString& language);

// A language as a user or a setting writes it ("zh_CN", "zh-CN", "zh",
// "zh_CN.UTF-8", "en_GB", "C", "POSIX", any case) as one of offered();
// nothing for a language the program does not have.
std::optional<QString> fromName(const QString& text);

// What a locale asks for: Chinese for any Chinese locale (a reader of the
// traditional script reads the simplified one better than English), English
// for everything else, the C locale included.
QString fromLocale(const QLocale& locale);

// An explicit choice (vfdctl --lang, a remembered setting) when it names an
// offered language, else what the system's locale asks for (LC_ALL,
// LC_MESSAGES, LANG in that order).
QString choose(const QString& explicitChoice = {});

// Makes the running application speak the language: takes out whatever an
// earlier call installed, then installs Qt's own translation and ours. For
// English nothing is installed, so every text is the one in the code.
// Returns the names of the translation files that were needed but could not
// be loaded (a missing Qt translation package, say): the program goes on
// with those texts in English.
QStringList install(const QString& language);

// The language install() last made current (English before any call).
QString current();

} // namespace Language
