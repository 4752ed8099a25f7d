// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;

// On Linux a drop-down list is spoken by the entry it shows ("1", "31"),
// not by the label beside it, so two address lists sound alike. A list
// marked here is named by its accessible name (its label's text) and still
// tells what an unmarked list tells: the entry on show (as its value, as its
// text and, where the entries are numbers, as a number that can be set) and
// the entries it offers (its pop-up list, as its child).
namespace LabelledList {

void mark(QComboBox* list);

} // namespace LabelledList
