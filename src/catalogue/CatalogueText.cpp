// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueText.h"

#include "Tab.h"
#include "menu.h"

#include <QByteArray>
#include <QCoreApplication>

namespace CatalogueText {
namespace {

// The contexts the tables mark their texts under (CatalogueData.h,
// ParamTable.cpp, OptionTables.cpp, Tab.cpp).
constexpr char kGroups[] = "CatalogueGroups";
constexpr char kParams[] = "CatalogueParams";
constexpr char kOptions[] = "CatalogueOptions";
constexpr char kFaults[] = "CatalogueFaults";

QString english(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The translation of a table's text; the text itself where there is none
// (English, or a text left unmarked as it has no words: "0.1--10.0S").
QString translated(const char* context, std::string_view text)
{
    if (text.empty())
        return {};
    // The views point into the tables' literals, but a copy costs little and
    // does not lean on the terminating zero being there.
    const QByteArray source(text.data(), qsizetype(text.size()));
    return QCoreApplication::translate(context, source.constData());
}

} // namespace

QString groupTitle(int group)
{
    return translated(kGroups, Tab::GroupTitle(group));
}

QString paramName(int row)
{
    return translated(kParams, Tab::ParamName(row));
}

QString optionText(int group, int index, double value)
{
    return translated(kOptions, menu::OptionText(group, index, value));
}

std::optional<QString> faultText(int number)
{
    const std::optional<std::string_view> text = Tab::FaultText(number);
    if (!text)
        return std::nullopt;
    return translated(kFaults, *text);
}

QString faultDescription(int number)
{
    if (const std::optional<QString> text = faultText(number))
        return *text;
    return QCoreApplication::translate("CatalogueFaults", "Fault %1").arg(number);
}

QString englishGroupTitle(int group)
{
    return english(Tab::GroupTitle(group));
}

QString englishParamName(int row)
{
    return english(Tab::ParamName(row));
}

QString englishOptionText(int group, int index, double value)
{
    return english(menu::OptionText(group, index, value));
}

QString englishFaultDescription(int number)
{
    return QString::fromStdString(Tab::FaultDescription(number));
}

} // namespace CatalogueText
