// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// How numbers travel between text boxes and the wire.
namespace NumberText {

// A plain decimal number as a user types it: optional blanks and sign, digits
// with at most one point ("50", "12.5", ".5", "7."). Anything else, exponents,
// "inf" and "nan" included, is not a number.
std::optional<double> ParseDecimal(QStringView text);

// "#0.00": two decimals, at least one digit before the point, half away from zero.
QString Fixed2(double value);
// Shortest text of a single-precision value, at most 7 significant digits.
QString Plain(float value);
// A parameter's present value: at most 15 significant digits, no trailing zeros,
// "0.5" rather than ".5".
QString ParameterValue(double value);

// "1 drive", "3 drives": a count with its noun in agreement.
QString Counted(qsizetype count, const char* one, const char* many);

} // namespace NumberText
