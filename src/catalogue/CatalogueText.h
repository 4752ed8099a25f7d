// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The catalogue's texts as the user reads them: in the language the program
// speaks (Language::install), and as the drive's English manual has them
// (the english... ones, whatever the language), so a window can show the
// other as a tooltip or a column and a technician can match either manual.
// With no translation installed both give the same text, exactly as the
// catalogue holds it. Machine-readable outputs (JSON, CSV, files) take the
// English ones, so they never change with the language.
namespace CatalogueText {

QString groupTitle(int group); // "" outside 0..10
QString paramName(int row);    // "" outside 0..191
// The help text menu::OptionText gives, "" where it gives none.
QString optionText(int group, int index, double value);
std::optional<QString> faultText(int number); // 1..19
// faultText, or "Fault 25" (in the language) where the tables have none.
QString faultDescription(int number);

QString englishGroupTitle(int group);
QString englishParamName(int row);
QString englishOptionText(int group, int index, double value);
QString englishFaultDescription(int number);

} // namespace CatalogueText
