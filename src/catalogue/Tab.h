// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The drive's parameter catalogue: eleven groups ("0".."9", "A" = 10) of
// 192 rows in all, plus the fault-code tables. Pure look-ups on constant data;
// any key outside the tables gives the "no entry" answer and never fails.
namespace Tab {

inline constexpr int GroupCount = 11;
inline constexpr int RowCount = 192;

// Row of parameter P<group>.<index>: the group's first row plus the index.
// Group A owns rows 172..191 (A.00..A.19) although only A.00..A.12 are
// offered, so CatalogueRow(10, 13..19) gives the reserved rows 185..191.
int CatalogueRow(int group, int index); // -1 for a group/index with no row
int GroupSize(int group);               // indices offered: 24,16,...,A: 13; 0 outside 0..10
int GroupRowCount(int group);           // rows the group owns: as GroupSize, A: 20; 0 outside
int GroupFirstRow(int group);           // -1 outside 0..10
std::string_view GroupTitle(int group); // "" outside 0..10

std::string_view ParamNumber(int row); // "P0.03", "PA.07"; "" outside 0..191
std::string_view ParamName(int row);   // "" outside 0..191; likewise:
std::string_view ParamResolution(int row);
std::string_view ParamDefault(int row);
std::string_view ParamAttribute(int row);
std::string_view ParamMin(int row);
std::string_view ParamMax(int row);
std::optional<double> ParamScale(int row); // nullopt: reserved row or no row

std::optional<std::string_view> FaultCode(int number); // 1..20
std::optional<std::string_view> FaultText(int number); // 1..19
// What the tools say for a number the tables give no text: "Fault 25".
std::string UnknownFault(int number);
// FaultText of the number, or UnknownFault where there is none.
std::string FaultDescription(int number);

// The group digit the windows show: "0".."9", "A" for 10; "" outside 0..10.
std::string GroupDigit(int group);
// The other way round; -1 for anything but the eleven digits (upper-case "A").
int GroupFromDigit(std::string_view digit);

// How a minimum, maximum or typed text reads as a number: its leading digits
// with at most one decimal point, up to the first character that cannot
// continue the number. A text that does not begin with a digit reads as 0
// (blank, sign and point included: "-5" and ".5" give 0); "1.2.3" gives 1.2.
// A digit string too long for a double gives the largest finite double, never
// infinity, so callers may go on computing with it.
double LeadingNumber(std::string_view text);

} // namespace Tab
