// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
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

// A table of forms made into patterns once, for finding the form a text has
// and showing it translated. Besides the program's own table behind of(),
// the report keeps one of its own.
class Table
{
public:
    // With `valuesNeverHold` ("; " where that joins several texts in a line)
    // a value never holds that text, nor is it ever empty.
    explicit Table(std::span<const Form> forms, const QString& valuesNeverHold = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // The text translated by the form with the most words of its own that
    // takes it whole (the preferred context's forms first), each value
    // passed through `value` before it is filled in; none if none takes it.
    std::optional<QString> shown(const QString& text, const char* preferred,
                                 const std::function<QString(const QString&)>& value) const;
    // The characters outside the placeholders of the form that takes the
    // text, -1 if none does.
    qsizetype literal(const QString& text, const char* preferred) const;

private:
    struct Patterns;
    std::unique_ptr<Patterns> patterns_;
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
