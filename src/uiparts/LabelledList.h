// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;

// On Linux a drop-down list is spoken by the entry it shows ("1", "31"),
// not by the label beside it, so two address lists sound alike. A list
// marked here is named by its accessible name (its label's text) and keeps
// the entry on show as its value.
namespace LabelledList {

void mark(QComboBox* list);

} // namespace LabelledList
