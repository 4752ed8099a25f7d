// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The catalogue's records as they are laid out in the data files. Only the
// catalogue's own sources include this; callers go through Tab.h and menu.h.

#include "Tab.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

// The tables' texts are marked for Qt's translation tools, which read the
// marks from the sources: group titles, parameter names, option and range
// texts and fault texts each under a context of their own (see
// CatalogueText.h, which looks them up). The tables hold the English as
// written and stay plain C++: without Qt the mark is the text itself, as it
// is with Qt.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace Tab::data {

struct GroupRecord
{
    std::string_view digit; // as the parameter window offers it
    std::string_view title;
    int firstRow;
    int rowCount; // rows the group owns in the catalogue
    int offered;  // indices the parameter window offers (group A: fewer than it owns)
};

// clang-format off
inline constexpr std::array<GroupRecord, GroupCount> kGroups{{
    {"0", QT_TRANSLATE_NOOP("CatalogueGroups", "Basic Parameter"), 0, 24, 24},
    {"1", QT_TRANSLATE_NOOP("CatalogueGroups", "Moter and Vector Control Parameter"), 24, 16, 16},
    {"2", QT_TRANSLATE_NOOP("CatalogueGroups", "Auxiliary Parameter"), 40, 44, 44},
    {"3", QT_TRANSLATE_NOOP("CatalogueGroups", "User Management Interface Parameter"), 84, 10, 10},
    {"4", QT_TRANSLATE_NOOP("CatalogueGroups", "Digital Input And OutputParameter"), 94, 17, 17},
    {"5", QT_TRANSLATE_NOOP("CatalogueGroups", "Analog Input And Output Parameter"), 111, 17, 17},
    {"6", QT_TRANSLATE_NOOP("CatalogueGroups", "Process PID Control Parameter"), 128, 16, 16},
    {"7", QT_TRANSLATE_NOOP("CatalogueGroups", "Programmable Run Parameter"), 144, 19, 19},
    {"8", QT_TRANSLATE_NOOP("CatalogueGroups", "User  Manage Interface Parameter"), 163,  5,  5},
    {"9", QT_TRANSLATE_NOOP("CatalogueGroups", "Protection Function"), 168,  4,  4},
    {"A", QT_TRANSLATE_NOOP("CatalogueGroups", "Advanced Function Parameter"), 172, 20, 13},
}};
// clang-format on

// The rows follow one another group after group without gaps; a slip in the
// table above would shift every parameter after it.
constexpr bool GroupsAreContiguous()
{
    int next = 0;
    for (const GroupRecord& g : kGroups) {
        if (g.firstRow != next || g.offered > g.rowCount || g.offered <= 0)
            return false;
        next += g.rowCount;
    }
    return next == RowCount;
}
static_assert(GroupsAreContiguous());

struct ParamRecord
{
    std::string_view number; // "P0.03": written down so the table reads like the printed list
    std::string_view name;
    std::string_view resolution;
    std::string_view defaultText;
    std::string_view attribute;
    std::string_view minimum;
    std::string_view maximum;
    std::optional<double> scale; // empty marks a reserved row
};

inline constexpr std::optional<double> kNoScale = std::nullopt;

// nullptr outside rows 0..191.
const ParamRecord* FindParam(int row);

// "P4.07" -> 7; -1 for anything not shaped like a parameter number.
constexpr int IndexOfNumber(std::string_view number)
{
    if (number.size() != 5 || number[0] != 'P' || number[2] != '.')
        return -1;
    const char tens = number[3];
    const char ones = number[4];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9')
        return -1;
    return (tens - '0') * 10 + (ones - '0');
}

// "P4.07" -> 4, "PA.00" -> 10; -1 otherwise.
constexpr int GroupOfNumber(std::string_view number)
{
    if (number.size() != 5)
        return -1;
    for (int g = 0; g < GroupCount; ++g) {
        if (number.substr(1, 1) == kGroups[g].digit)
            return g;
    }
    return -1;
}

// One value a parameter can select, and the text that names it.
struct Option
{
    int value;
    std::string_view text;
};

// A case of the help-text table: one parameter or a closed range of them.
// Without options it is a range entry and `text` is the help text whatever
// the value; with options `text` is what any value not listed gets.
struct OptionEntry
{
    std::string_view from;
    std::string_view to;
    std::span<const Option> options;
    std::string_view text;
};

constexpr OptionEntry Text(std::string_view number, std::string_view text)
{
    return {number, number, {}, text};
}
constexpr OptionEntry Text(std::string_view from, std::string_view to, std::string_view text)
{
    return {from, to, {}, text};
}
constexpr OptionEntry Choice(std::string_view number, std::span<const Option> options,
                             std::string_view other = "")
{
    return {number, number, options, other};
}
constexpr OptionEntry Choice(std::string_view from, std::string_view to,
                             std::span<const Option> options, std::string_view other = "")
{
    return {from, to, options, other};
}

// The group's entries in ascending order; empty outside 0..10.
std::span<const OptionEntry> CaseTable(int group);

} // namespace Tab::data
