// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <span>

// The tools' cores give their results and reasons in English on purpose:
// they go as they are into run files, the journal, JSON and MQTT, which
// programs read and compare. Where a person reads one (vfdctl's answers, a
// window, serve's log) it passes through here and comes out in the language
// installed: a text of one of the known forms is translated with its
// numbers, names and units in place, and a known text within it (the reason
// in "Ended: %1") is translated too. Anything else, and everything while the
// program speaks English, comes back exactly as it went in.
namespace ShownText {

// One form a core writes: the context and source as Qt's translation files
// have them ("%1".."%9" stand for what the core filled in).
struct Form
{
    const char* context;
    const char* source;
};

// Where texts of two contexts read the same in English ("failed", a test
// run's verdict or a step's outcome), the context named is preferred.
QString of(const QString& english, const char* context = nullptr);
QStringList of(const QStringList& english, const char* context = nullptr);

// The program's own forms: the jobs' (ShownForms.cpp), and the site's, the
// scan's and serve's (ShownSiteForms.cpp).
std::span<const Form> jobForms();
std::span<const Form> siteForms();

} // namespace ShownText
