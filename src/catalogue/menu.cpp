// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu.h"

#include "CatalogueData.h"

#include <cmath>

namespace menu {
namespace {

// The value arrives as raw register value times the scale, so a whole option
// reached through a 0.1 scale (30 x 0.1 = 3.0000000000000004) must still
// count as that option.
constexpr double kSameValue = 1e-9;

bool IsValue(double value, int option)
{
    return std::fabs(value - option) <= kSameValue;
}

} // namespace

std::string_view OptionText(int group, int index, double value)
{
    using Tab::data::IndexOfNumber;
    for (const Tab::data::OptionEntry& entry : Tab::data::CaseTable(group)) {
        if (index < IndexOfNumber(entry.from) || index > IndexOfNumber(entry.to))
            continue;
        // A range entry never looks at the value; that is what keeps the
        // reserved parameters, whose value shows as a word, out of the
        // comparison below.
        for (const Tab::data::Option& option : entry.options) {
            if (IsValue(value, option.value))
                return option.text;
        }
        return entry.text;
    }
    return ""; // not {}: a caller may hand data() to anything that copies bytes
}

} // namespace menu
