// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace menu {

// A parameter the catalogue explains digit by digit ("LED 1:Baud Rate
// Selection 0:1200BPS ... LED 2:Data Format 0:NONE ..."; LED 1 is the units
// digit): what each digit of the value selects, in the catalogue's words,
// "title: option" a digit joined by "; " (reserved digits left out). Empty
// for any other parameter, and for a value with a digit the text does not
// list.
std::string DigitOptionText(int group, int index, int value);
// The same of an option text given: a translation of the parameter's,
// which keeps its "LED n:" marks.
std::string DigitOptionTextOf(const std::string& optionText, int value);

} // namespace menu
