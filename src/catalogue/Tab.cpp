// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tab.h"

#include "CatalogueData.h"

#include <array>
#include <charconv>
#include <limits>
#include <system_error>

namespace Tab {
namespace {

// "No entry" is an empty text that still points somewhere, so a caller may
// hand data() to anything that copies bytes.
constexpr std::string_view kNoText = "";

const data::GroupRecord* FindGroup(int group)
{
    if (group < 0 || group >= GroupCount)
        return nullptr;
    return &data::kGroups[static_cast<std::size_t>(group)];
}

// Short codes for compact display; number 20 is a code the drive reports
// without any text.
constexpr std::array<std::string_view, 20> kFaultCodes{
    "OC-1", "OC-2", "OC-3", "OU-1", "OU-2", "OU-3", "OU-4", "LU",   "LP",  "SC",
    "OH",   "OL-1", "OL-2", "EF",   "CE-1", "CE-2", "CE-3", "CE-4", "CPU", "",
};

// One-line descriptions, fault number n at position n - 1.
constexpr std::array<std::string_view, 19> kFaultTexts{
    QT_TRANSLATE_NOOP("CatalogueFaults", "OC-1:Overcurrent during acceleration"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OC-2:Overcurrent during deceleration"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OC-3:Overcurrent during Constant speed"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OU-1:Overvoltage during acceleration"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OU-2:Overvoltage during deceleration"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OU-3:Overvoltage during Constant speed"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OU-4:Overvoltage while stop"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "LU:Undervoltage while running"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "LP:Phase in input side"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "SC:Power Modules error"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OH:Radiator overheating"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OL-1:Inverter overload"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "OL-2:Motor overload"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "EF:External equipment failure"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "CE-1:Serial communication error"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "CE-2:reserved"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "CE-3:Current Detection Error"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "CE-4:Keyboard communication failure"),
    QT_TRANSLATE_NOOP("CatalogueFaults", "CPU:CPU：CPU failure"),
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int CatalogueRow(int group, int index)
{
    const data::GroupRecord* g = FindGroup(group);
    if (!g || index < 0 || index >= g->rowCount)
        return -1;
    return g->firstRow + index;
}

int GroupSize(int group)
{
    const data::GroupRecord* g = FindGroup(group);
    return g ? g->offered : 0;
}

int GroupRowCount(int group)
{
    const data::GroupRecord* g = FindGroup(group);
    return g ? g->rowCount : 0;
}

int GroupFirstRow(int group)
{
    const data::GroupRecord* g = FindGroup(group);
    return g ? g->firstRow : -1;
}

std::string_view GroupTitle(int group)
{
    const data::GroupRecord* g = FindGroup(group);
    return g ? g->title : kNoText;
}

// A text column of a row, or "" where there is no such row.
static std::string_view ParamText(int row, std::string_view data::ParamRecord::*column)
{
    const data::ParamRecord* p = data::FindParam(row);
    return p ? p->*column : kNoText;
}

std::string_view ParamNumber(int row)
{
    return ParamText(row, &data::ParamRecord::number);
}

std::string_view ParamName(int row)
{
    return ParamText(row, &data::ParamRecord::name);
}

std::string_view ParamResolution(int row)
{
    return ParamText(row, &data::ParamRecord::resolution);
}

std::string_view ParamDefault(int row)
{
    return ParamText(row, &data::ParamRecord::defaultText);
}

std::string_view ParamAttribute(int row)
{
    return ParamText(row, &data::ParamRecord::attribute);
}

std::string_view ParamMin(int row)
{
    return ParamText(row, &data::ParamRecord::minimum);
}

std::string_view ParamMax(int row)
{
    return ParamText(row, &data::ParamRecord::maximum);
}

std::optional<double> ParamScale(int row)
{
    const data::ParamRecord* p = data::FindParam(row);
    return p ? p->scale : std::nullopt;
}

std::optional<std::string_view> FaultCode(int number)
{
    if (number < 1 || number > static_cast<int>(kFaultCodes.size()))
        return std::nullopt;
    return kFaultCodes[static_cast<std::size_t>(number - 1)];
}

std::optional<std::string_view> FaultText(int number)
{
    if (number < 1 || number > static_cast<int>(kFaultTexts.size()))
        return std::nullopt;
    return kFaultTexts[static_cast<std::size_t>(number - 1)];
}

std::string UnknownFault(int number)
{
    return "Fault " + std::to_string(number);
}

std::string FaultDescription(int number)
{
    const std::optional<std::string_view> text = FaultText(number);
    return text ? std::string(*text) : UnknownFault(number);
}

std::string GroupDigit(int group)
{
    const data::GroupRecord* g = FindGroup(group);
    return g ? std::string(g->digit) : std::string();
}

int GroupFromDigit(std::string_view digit)
{
    for (int g = 0; g < GroupCount; ++g) {
        if (data::kGroups[static_cast<std::size_t>(g)].digit == digit)
            return g;
    }
    return -1;
}

double LeadingNumber(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    if (end == 0)
        return 0.0;
    const std::size_t wholeDigits = end;
    // A point counts only with a digit after it; "12." reads as 12.
    if (end + 1 < text.size() && text[end] == '.' && IsDigit(text[end + 1])) {
        end += 2;
        while (end < text.size() && IsDigit(text[end]))
            ++end;
    }

    double value = 0.0;
    const auto [last, ec] = std::from_chars(text.data(), text.data() + end, value);
    if (ec == std::errc::result_out_of_range) {
        // Only a huge whole part can overflow; a long run of zeros after the
        // point can only underflow towards 0.
        const bool huge =
            text.substr(0, wholeDigits).find_first_not_of('0') != std::string_view::npos;
        return huge ? std::numeric_limits<double>::max() : 0.0;
    }
    if (ec != std::errc{} || last != text.data() + end)
        return 0.0;
    return value;
}

} // namespace Tab
