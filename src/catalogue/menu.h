// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Help texts for a parameter's present value: the setting range, or the name
// of the option the value selects.
namespace menu {

// group 0..10, index within the group, value as shown (raw x scale).
// "" where the catalogue has no text.
std::string_view OptionText(int group, int index, double value);

} // namespace menu
