// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace NumberText {

std::optional<double> ParseDecimal(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double value = t.toString().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString Fixed2(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.00");
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    if (magnitude < 0.001)
        return QStringLiteral("0.00");
    // Round on the decimal text of the value, not on its binary form, so that
    // 0.125 gives 0.13 and 1.005 gives 1.01 as the user reads them. The text
    // has the digits the number carries: 7 for a value that is exactly a
    // single-precision number (a running value, computed in single precision:
    // 5 x 0.001 shows as 0.01), 15 for any other (what the user typed:
    // 0.0049999999999 stays 0.00).
    const int significant = double(float(magnitude)) == magnitude ? 7 : 15;
    const int wholeDigits = int(std::floor(std::log10(magnitude))) + 1;
    const QString digits = QString::number(magnitude, 'f', std::max(3, significant - wholeDigits));
    const qsizetype dot = digits.indexOf(u'.');
    QString whole = digits.left(dot);
    int hundredths = digits.mid(dot + 1, 2).toInt();
    if (digits.at(dot + 3) >= u'5')
        ++hundredths;
    if (hundredths == 100) {
        hundredths = 0;
        whole = QString::number(whole.toDouble() + 1, 'f', 0);
    }
    QString text = whole + u'.' + QStringLiteral("%1").arg(hundredths, 2, 10, QChar(u'0'));
    if (negative && text != QStringLiteral("0.00"))
        text.prepend(u'-');
    return text;
}

QString Plain(float value)
{
    return QString::number(double(value), 'g', 7);
}

QString ParameterValue(double value)
{
    return QString::number(value, 'g', 15);
}

QString Counted(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace NumberText
