// SPDX-License-Identifier: GPL-3.0-or-later
// The report in its reader's language: the locale it writes dates in, the
// catalogue's names with the English manual's beside them, and the texts a
// test run keeps in English in its file, put into the language when read.
#include "CatalogueText.h"
#include "Language.h"
#include "ParamSet.h"
#include "ReportParts.h"
#include "ShownText.h"
#include "Tab.h"

#include <vector>

namespace {

// The forms of the texts the commissioning core writes (a check's name,
// expectation, measurement and failure, a run's end and a drive's
// readiness), with their arguments as %1, %2 ... Each argument is put into
// the language in turn, so "Held (%1)" with "reverse" becomes one text.
// A text that fits no form is shown as it stands: a report never loses one.
const char* const kCoreForms[] = {
    QT_TRANSLATE_NOOP("Report", "forward"),
    QT_TRANSLATE_NOOP("Report", "reverse"),
    QT_TRANSLATE_NOOP("Report", "PASS"),
    QT_TRANSLATE_NOOP("Report", "FAIL"),
    QT_TRANSLATE_NOOP("Report", "NOT REACHED"),
    QT_TRANSLATE_NOOP("Report", "completed"),
    QT_TRANSLATE_NOOP("Report", "cancelled"),
    QT_TRANSLATE_NOOP("Report", "no answer"),
    QT_TRANSLATE_NOOP("Report", "not reached"),
    QT_TRANSLATE_NOOP("Report", "no sample"),
    QT_TRANSLATE_NOOP("Report", "Frequency reached (%1)"),
    QT_TRANSLATE_NOOP("Report", "Direction (%1)"),
    QT_TRANSLATE_NOOP("Report", "Held (%1)"),
    QT_TRANSLATE_NOOP("Report", "No trip"),
    QT_TRANSLATE_NOOP("Report", "Stopped"),
    QT_TRANSLATE_NOOP("Report", "Readiness"),
    QT_TRANSLATE_NOOP("Report", "Limit %1"),
    QT_TRANSLATE_NOOP("Report", "%1 ± %2 within %3 to %4 (P0.14 = %5)"),
    QT_TRANSLATE_NOOP("Report", "%1 ± %2 within %3 to %4 (P0.14 = %5, P0.15 = %6 from the "
                                "forward run)"),
    QT_TRANSLATE_NOOP("Report", "not run: the run had ended"),
    QT_TRANSLATE_NOOP("Report", "not reached (highest %1)"),
    QT_TRANSLATE_NOOP("Report", "%1 %2 not reached, highest %3"),
    QT_TRANSLATE_NOOP("Report", "%1 after %2"),
    QT_TRANSLATE_NOOP("Report", "%1 %2 reached after %3, expected within %4 to %5"),
    QT_TRANSLATE_NOOP("Report", "the drive reports %1 at the set frequency"),
    QT_TRANSLATE_NOOP("Report", "%1 reported"),
    QT_TRANSLATE_NOOP("Report", "run %1, the drive reported %2"),
    QT_TRANSLATE_NOOP("Report", "%1 %2 not reached"),
    QT_TRANSLATE_NOOP("Report", "%1 held for %2"),
    QT_TRANSLATE_NOOP("Report", "held %1"),
    QT_TRANSLATE_NOOP("Report", "held %1 of %2: the run ended first"),
    QT_TRANSLATE_NOOP("Report", "%1 %2 held %3 of %4"),
    QT_TRANSLATE_NOOP("Report", "%1 %2 not reached, so not held"),
    QT_TRANSLATE_NOOP("Report", "no fault during the run"),
    QT_TRANSLATE_NOOP("Report", "none"),
    QT_TRANSLATE_NOOP("Report", "fault %1"),
    QT_TRANSLATE_NOOP("Report", "%1 at %2"),
    QT_TRANSLATE_NOOP("Report", "tripped: %1"),
    QT_TRANSLATE_NOOP("Report", "every sample of the run"),
    QT_TRANSLATE_NOOP("Report", "every sample at the set frequency"),
    QT_TRANSLATE_NOOP("Report", "highest %1"),
    QT_TRANSLATE_NOOP("Report", "lowest %1"),
    QT_TRANSLATE_NOOP("Report", "no sample of %1 to check its limit"),
    QT_TRANSLATE_NOOP("Report", "%1 peaked at %2, limit %3"),
    QT_TRANSLATE_NOOP("Report", "%1 fell to %2, limit %3"),
    QT_TRANSLATE_NOOP("Report", "the drive answers STOP"),
    QT_TRANSLATE_NOOP("Report", "STOP answered"),
    QT_TRANSLATE_NOOP("Report", "STOP not answered"),
    QT_TRANSLATE_NOOP("Report", "STOP answered; still coasting down, %1 at the last sample"),
    QT_TRANSLATE_NOOP("Report", "the drive did not answer STOP"),
    QT_TRANSLATE_NOOP("Report", "the drive tripped: fault %1"),
    QT_TRANSLATE_NOOP("Report", "the drive stopped answering"),
    QT_TRANSLATE_NOOP("Report", "the drive stopped answering its run commands"),
    QT_TRANSLATE_NOOP("Report", "the run command could not be sent"),
    QT_TRANSLATE_NOOP("Report", "the drive refused the run command (exception %1)"),
    QT_TRANSLATE_NOOP("Report", "the port went away"),
    QT_TRANSLATE_NOOP("Report", "the port was closed"),
    QT_TRANSLATE_NOOP("Report", "a STOP for the drive came from elsewhere"),
    QT_TRANSLATE_NOOP("Report", "the STOP could not be sent"),
    QT_TRANSLATE_NOOP("Report", "the drive did not answer the STOP that resets its fault"),
    QT_TRANSLATE_NOOP("Report", "drive %1 does not answer: nothing was sent"),
    QT_TRANSLATE_NOOP("Report", "drive %1 reports fault %2 at the start: nothing was sent"),
    QT_TRANSLATE_NOOP("Report", "drive %1 did not answer P0.04 and P0.01: nothing was sent"),
    QT_TRANSLATE_NOOP("Report", "drive %1 did not answer P0.14 and P0.06: nothing was sent"),
    QT_TRANSLATE_NOOP("Report", "%1 lies above the drive's upper limit P0.06 = %2: nothing was "
                                "sent"),
    QT_TRANSLATE_NOOP("Report", "P0.04 = %1 (%2), P0.01 = %3 (%4)"),
    QT_TRANSLATE_NOOP("Report", "P0.04 = %1, P0.01 = %2"),
    QT_TRANSLATE_NOOP("Report", "the drive will ignore the line (%1)"),
    QT_TRANSLATE_NOOP("Report", "keypad"),
    QT_TRANSLATE_NOOP("Report", "terminals"),
    QT_TRANSLATE_NOOP("Report", "serial line"),
    QT_TRANSLATE_NOOP("Report", "unknown source"),
    QT_TRANSLATE_NOOP("Report", "panel potentiometer"),
    QT_TRANSLATE_NOOP("Report", "terminals UP/DOWN"),
    QT_TRANSLATE_NOOP("Report", "AVI input"),
    QT_TRANSLATE_NOOP("Report", "ACI input"),
    QT_TRANSLATE_NOOP("Report", "pulse input"),
    QT_TRANSLATE_NOOP("Report", "combination"),
    QT_TRANSLATE_NOOP("Report", "external terminal"),
    // A write the site's journal holds as read back and found as written.
    QT_TRANSLATE_NOOP("Report", "verified"),
    // The catalogue's default of a parameter whose default the model sets.
    QT_TRANSLATE_NOOP("Report", "model setting"),
    // A fault by its code and the catalogue's description ("OH (OH:...)").
    QT_TRANSLATE_NOOP("Report", "%1 (%2)"),
    QT_TRANSLATE_NOOP("Report", "ignores run commands (P0.04 = %1)"),
    QT_TRANSLATE_NOOP("Report", "own frequency (P0.01 = %1)"),
    QT_TRANSLATE_NOOP("Report", "drive %1 will ignore run commands from the line: P0.04 = %2 "
                                "(%3); set it to 2 for serial control"),
    QT_TRANSLATE_NOOP("Report", "drive %1 will keep its own frequency, not the line's: P0.01 = "
                                "%2 (%3); set it to 3 for the serial line"),
};

// The table made once. An argument never holds "; ": that joins several
// texts, each put into the language on its own.
const ShownText::Table& forms()
{
    static const ShownText::Table table(
        [] {
            std::vector<ShownText::Form> made;
            for (const char* source : kCoreForms)
                made.push_back({"Report", source});
            return made;
        }(),
        QStringLiteral("; "));
    return table;
}

QString inLanguage(const QString& text, int depth)
{
    // A few levels reach every text the core nests; a bound keeps a strange
    // text from costing more.
    if (text.isEmpty() || depth > 4)
        return text;
    // A fault's description as the catalogue has it, in the catalogue's words.
    for (int number = 1; number <= 19; ++number)
        if (const auto english = Tab::FaultText(number);
            english && text == QString::fromUtf8(english->data(), qsizetype(english->size())))
            return CatalogueText::faultDescription(number);
    if (auto shown = forms().shown(text, nullptr, [depth](const QString& argument) {
            return inLanguage(argument, depth + 1);
        }))
        return *std::move(shown);
    // Several readiness findings or notes joined in a line.
    if (depth == 0 && text.contains(QStringLiteral("; "))) {
        QStringList parts = text.split(QStringLiteral("; "));
        bool changed = false;
        for (QString& part : parts) {
            const QString before = part;
            part = inLanguage(part, depth + 1);
            changed = changed || part != before;
        }
        if (changed)
            return parts.join(Report::tr("; "));
    }
    return text;
}

} // namespace

namespace ReportParts {

bool translated()
{
    return Language::current() != QLatin1String(Language::English);
}

QLocale locale()
{
    return translated() ? QLocale(Language::current()) : QLocale();
}

QString paramName(quint16 reg)
{
    return ParamCatalogue::displayName(reg).trimmed();
}

QString paramNameHtml(quint16 reg)
{
    const QString shown = paramName(reg);
    const QString english = ParamCatalogue::name(reg).trimmed();
    if (shown == english)
        return esc(shown);
    return QStringLiteral("%1<br><span style=\"color: #555555\">%2</span>")
        .arg(esc(shown), esc(english));
}

QString paramNameText(quint16 reg)
{
    const QString shown = paramName(reg);
    const QString english = ParamCatalogue::name(reg).trimmed();
    return shown == english ? shown : Report::tr("%1 (%2)").arg(shown, english);
}

QString coreText(const QString& text)
{
    return translated() ? inLanguage(text, 0) : text;
}

} // namespace ReportParts
