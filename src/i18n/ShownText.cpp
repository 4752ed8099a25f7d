// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownText.h"

#include "CatalogueText.h"
#include "Language.h"
#include "Tab.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace {

// A nested text within a nested text is as deep as the cores go; the bound
// keeps a pathological text from costing more.
constexpr int kDepth = 3;

struct Pattern
{
    ShownText::Form form;
    QRegularExpression match;
    QList<int> placeholders; // the number of each captured placeholder, in order
    qsizetype literal = 0;   // characters outside the placeholders
};

// Puts the values in place of %1..%9 in one pass, so that a value holding
// a "%2" of its own stays as it is.
QString fill(const QString& translated, const QList<int>& numbers, const QStringList& values)
{
    QString out;
    out.reserve(translated.size() + 32);
    for (qsizetype i = 0; i < translated.size(); ++i) {
        const QChar c = translated[i];
        if (c == u'%' && i + 1 < translated.size() && translated[i + 1] >= u'1' &&
            translated[i + 1] <= u'9') {
            const int index = int(numbers.indexOf(translated[i + 1].unicode() - u'0'));
            if (index >= 0) {
                out += values[index];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

namespace ShownText {

struct Table::Patterns
{
    std::vector<Pattern> list;

    struct Found
    {
        const Pattern* pattern = nullptr;
        QRegularExpressionMatch match;
    };

    // The preferred context's forms first, then all of them.
    Found find(const QString& text, const char* preferred) const
    {
        for (const bool first : {true, false}) {
            if (first && !preferred)
                continue;
            for (const Pattern& p : list) {
                if (first && qstrcmp(p.form.context, preferred) != 0)
                    continue;
                QRegularExpressionMatch m = p.match.match(text);
                if (m.hasMatch())
                    return {&p, std::move(m)};
            }
        }
        return {};
    }
};

Table::Table(std::span<const Form> forms, const QString& valuesNeverHold)
    : patterns_(std::make_unique<Patterns>())
{
    static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
    const QString value =
        valuesNeverHold.isEmpty()
            ? QStringLiteral("(.*?)")
            : QStringLiteral("((?:(?!%1).)+?)").arg(QRegularExpression::escape(valuesNeverHold));
    std::vector<Pattern> patterns;
    for (const Form& form : forms) {
        const QString source = QString::fromUtf8(form.source);
        Pattern p{form, {}, {}, 0};
        QString expression = QStringLiteral("\\A");
        qsizetype at = 0;
        for (auto it = placeholder.globalMatch(source); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString before = source.mid(at, m.capturedStart() - at);
            expression += QRegularExpression::escape(before) + value;
            p.literal += before.size();
            p.placeholders << m.captured(1).toInt();
            at = m.capturedEnd();
        }
        expression += QRegularExpression::escape(source.mid(at)) + QStringLiteral("\\z");
        p.literal += source.size() - at;
        p.match = QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption);
        patterns.push_back(std::move(p));
    }
    // The form with the most fixed text first: "Drive %1 verified: %2 left"
    // before a looser one that would also take it.
    std::stable_sort(patterns.begin(), patterns.end(),
                     [](const Pattern& a, const Pattern& b) { return a.literal > b.literal; });
    patterns_->list = std::move(patterns);
}

Table::~Table() = default;

std::optional<QString> Table::shown(const QString& text, const char* preferred,
                                    const std::function<QString(const QString&)>& value) const
{
    const Patterns::Found found = patterns_->find(text, preferred);
    if (!found.pattern)
        return std::nullopt;
    const Pattern& p = *found.pattern;
    QStringList values;
    for (int i = 1; i <= found.match.lastCapturedIndex(); ++i)
        values << value(found.match.captured(i));
    return fill(QCoreApplication::translate(p.form.context, p.form.source), p.placeholders, values);
}

qsizetype Table::literal(const QString& text, const char* preferred) const
{
    const Patterns::Found found = patterns_->find(text, preferred);
    return found.pattern ? found.pattern->literal : -1;
}

} // namespace ShownText

namespace {

// A parameter's name as the catalogue gives it in English ("P8.00
// (Communication address): ..."), shown in the language as the catalogue's
// tables have it; nothing for any other text.
std::optional<QString> catalogueName(const QString& english)
{
    static const QHash<QString, int> rows = [] {
        QHash<QString, int> byName;
        for (int row = 0; row < Tab::RowCount; ++row) {
            const QString name = CatalogueText::englishParamName(row).trimmed();
            if (!name.isEmpty() && !byName.contains(name))
                byName.insert(name, row);
        }
        return byName;
    }();
    const auto found = rows.constFind(english);
    if (found == rows.constEnd())
        return std::nullopt;
    return CatalogueText::paramName(*found).trimmed();
}

const ShownText::Table& programTable()
{
    static const ShownText::Table table([] {
        std::vector<ShownText::Form> forms(ShownText::jobForms().begin(),
                                           ShownText::jobForms().end());
        forms.insert(forms.end(), ShownText::siteForms().begin(), ShownText::siteForms().end());
        return forms;
    }());
    return table;
}

QString translate(const QString& english, const char* preferred, int depth)
{
    if (english.isEmpty() || depth > kDepth)
        return english;
    // A result of several lines (a restore's summary) is line by line.
    if (depth == 0 && english.contains(u'\n')) {
        QStringList lines = english.split(u'\n');
        for (QString& line : lines)
            line = translate(line, preferred, 0);
        return lines.join(u'\n');
    }
    const ShownText::Table& table = programTable();
    const auto nested = [&](const QString& value) {
        if (const std::optional<QString> name = catalogueName(value))
            return *name;
        return translate(value, preferred, depth + 1);
    };
    // A core's reason made a sentence of ("why + '.'"): the reason and the
    // full stop as the language writes it, unless a form with more of its
    // own words holds the stop ("Drive %1: %2 of %3 written and verified.").
    // A value at the end ("... %2..%3") does not take the stop with it.
    if (depth == 0 && english.endsWith(u'.') && !english.endsWith(QLatin1String(".."))) {
        const QString reason = english.chopped(1);
        const qsizetype reasonWords = table.literal(reason, preferred);
        if (reasonWords >= 0 && reasonWords >= table.literal(english, preferred))
            return QCoreApplication::translate("ShownText", "%1.")
                .arg(*table.shown(reason, preferred, nested));
    }
    return table.shown(english, preferred, nested).value_or(english);
}

} // namespace

namespace ShownText {

QString of(const QString& english, const char* context)
{
    if (Language::current() == QLatin1String(Language::English))
        return english;
    return translate(english, context, 0);
}

QStringList of(const QStringList& english, const char* context)
{
    QStringList shown;
    shown.reserve(english.size());
    for (const QString& text : english)
        shown << of(text, context);
    return shown;
}

} // namespace ShownText
