// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamSet.h"

#include "CatalogueText.h"
#include "Hexedit.h"
#include "NumberText.h"
#include "Tab.h"
#include "VfdVersion.h"
#include "menu.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

double leading(std::string_view text)
{
    return Tab::LeadingNumber(text);
}

} // namespace

namespace ParamCatalogue {

const QList<quint16>& offeredRegisters()
{
    static const QList<quint16> registers = [] {
        QList<quint16> list;
        for (int group = 0; group < Tab::GroupCount; ++group) {
            for (int index = 0; index < Tab::GroupSize(group); ++index)
                list.append(quint16(group << 8 | index));
        }
        return list;
    }();
    return registers;
}

int row(quint16 reg)
{
    const int group = reg >> 8;
    const int index = reg & 0xFF;
    if (group >= Tab::GroupCount || index >= Tab::GroupSize(group))
        return -1;
    return Tab::CatalogueRow(group, index);
}

bool offered(quint16 reg)
{
    return row(reg) >= 0;
}

bool reserved(quint16 reg)
{
    return !scale(reg).has_value();
}

QString number(quint16 reg)
{
    return fromView(Tab::ParamNumber(row(reg)));
}

std::optional<quint16> registerOf(const QString& number)
{
    static const QRegularExpression form(QStringLiteral("^P([0-9A])\\.([0-9]{2})$"));
    const QRegularExpressionMatch m = form.match(number.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int group = Tab::GroupFromDigit(m.captured(1).toStdString());
    const quint16 reg = quint16(group << 8 | m.captured(2).toInt());
    if (group < 0 || !offered(reg))
        return std::nullopt;
    return reg;
}

QString name(quint16 reg)
{
    return fromView(Tab::ParamName(row(reg)));
}

QString displayName(quint16 reg)
{
    return CatalogueText::paramName(row(reg));
}

QString resolution(quint16 reg)
{
    return fromView(Tab::ParamResolution(row(reg)));
}

QString unit(quint16 reg)
{
    // The catalogue's texts spell a unit as they come ("0.1S", "10.0s",
    // "0.00v", "1rmp"): the resolution says it first, the default or the
    // setting range where the resolution is a bare number ("1" of P0.09,
    // whose default is "380V"), the range's remark where only it does.
    if (QString u = unitOfText(resolution(reg)); !u.isEmpty())
        return u;
    if (QString u = unitOfText(defaultText(reg)); !u.isEmpty())
        return u;
    const int r = row(reg);
    if (r < 0)
        return {};
    const QString range =
        fromView(menu::OptionText(reg >> 8, reg & 0xFF, std::numeric_limits<double>::quiet_NaN()));
    if (QString u = unitOfText(range.section(u',', 0, 0).section(u'(', 0, 0)); !u.isEmpty())
        return u;
    static const QRegularExpression inSeconds(QStringLiteral("unit is seconds"),
                                              QRegularExpression::CaseInsensitiveOption);
    return range.contains(inSeconds) ? QStringLiteral("s") : QString();
}

QString unitOfText(const QString& text)
{
    // A unit follows the number it belongs to; a letter O typed for a zero
    // ("0.OOS", "10O%") belongs to the number, not to the unit.
    static const QRegularExpression tail(
        QStringLiteral("(?:^|[0-9.])[Oo]*\\s*([^\\d\\s.,]+)\\s*$"));
    static const QStringList known{
        QStringLiteral("Hz/s"), QStringLiteral("kHz"), QStringLiteral("Hz"),  QStringLiteral("ms"),
        QStringLiteral("s"),    QStringLiteral("mA"),  QStringLiteral("A"),   QStringLiteral("mH"),
        QStringLiteral("V"),    QStringLiteral("kW"),  QStringLiteral("rpm"), QStringLiteral("%"),
        QStringLiteral("Ω"),    QStringLiteral("min")};
    const QRegularExpressionMatch m = tail.match(text.trimmed());
    if (!m.hasMatch())
        return {};
    const QString found = m.captured(1);
    if (found.compare(QStringLiteral("rmp"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("rpm");
    for (const QString& k : known)
        if (found.compare(k, Qt::CaseInsensitive) == 0)
            return k;
    return {};
}

QString minimumText(quint16 reg)
{
    return fromView(Tab::ParamMin(row(reg)));
}

QString maximumText(quint16 reg)
{
    return fromView(Tab::ParamMax(row(reg)));
}

QString defaultText(quint16 reg)
{
    return fromView(Tab::ParamDefault(row(reg)));
}

std::optional<double> scale(quint16 reg)
{
    const int r = row(reg);
    return r < 0 ? std::nullopt : Tab::ParamScale(r);
}

QString shown(quint16 reg, quint16 raw)
{
    const std::optional<double> s = scale(reg);
    if (!s)
        return QStringLiteral("Reserve");
    return NumberText::ParameterValue(raw * *s);
}

bool withinLimits(quint16 reg, quint16 raw)
{
    const int r = row(reg);
    const std::optional<double> s = scale(reg);
    if (r < 0 || !s)
        return false;
    // raw x scale carries binary fractions; a hair of slack keeps 400.00 in.
    const double value = raw * *s;
    const double slack = 1e-9 * std::max(1.0, std::fabs(value));
    return value >= leading(Tab::ParamMin(r)) - slack && value <= leading(Tab::ParamMax(r)) + slack;
}

std::optional<quint16> rawOf(quint16 reg, const QString& text, QString* problem)
{
    auto refuse = [&](const QString& why) -> std::optional<quint16> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const std::optional<quint16> raw = Hexedit::ParameterRaw(text, scale(reg));
    if (!raw)
        return refuse(QStringLiteral("value \"%1\" is not a number").arg(text));
    // Rounded to the parameter's step without a word, 0.6 would be taken as 1
    // for a parameter that holds 0 or 1.
    const double step = scale(reg).value_or(1.0);
    const double given = NumberText::ParseDecimal(text).value_or(0.0);
    if (std::abs(double(*raw) * step - given) > step * 1e-6)
        return refuse(QStringLiteral("value \"%1\" is not one the parameter can hold (it goes in "
                                     "steps of %2)")
                          .arg(text, NumberText::ParameterValue(step)));
    if (!withinLimits(reg, *raw))
        return refuse(QStringLiteral("value %1 lies outside %2 .. %3")
                          .arg(shown(reg, *raw), minimumText(reg), maximumText(reg)));
    return raw;
}

std::optional<quint16> defaultRaw(quint16 reg)
{
    const std::optional<double> s = scale(reg);
    if (!s)
        return std::nullopt;
    // A few defaults were typed with the letter O for a zero ("0.OOS", "10O%").
    std::string text(Tab::ParamDefault(row(reg)));
    std::replace(text.begin(), text.end(), 'O', '0');
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    const double raw = std::nearbyint(leading(text) / *s);
    if (!(raw >= 0 && raw <= 0xFFFF))
        return std::nullopt;
    return quint16(raw);
}

std::optional<quint16> defaultAsHeld(quint16 reg)
{
    const std::optional<quint16> raw = defaultRaw(reg);
    if (!raw || withinLimits(reg, *raw))
        return raw;
    const std::optional<quint16> low = rawOf(reg, minimumText(reg));
    const std::optional<quint16> high = rawOf(reg, maximumText(reg));
    if (low && *raw < *low)
        return low;
    if (high && *raw > *high)
        return high;
    return raw;
}

bool modelSetting(quint16 reg)
{
    return offered(reg) && !reserved(reg) && !defaultRaw(reg);
}

bool isLimitParameter(quint16 reg)
{
    return reg == 0x0006 || reg == 0x0007 || reg == 0x0008 || reg == 0x0009;
}

} // namespace ParamCatalogue

int ParamSet::answered() const
{
    return int(std::count_if(values.cbegin(), values.cend(), [](const ParamValue& v) {
        return v.state == ParamValue::State::Value || v.state == ParamValue::State::Reserved;
    }));
}

std::optional<quint16> ParamSet::raw(quint16 reg) const
{
    const auto it = values.constFind(reg);
    if (it == values.cend() || !it->hasValue())
        return std::nullopt;
    return it->raw;
}

ParamSet ParamSet::defaults()
{
    ParamSet set;
    set.origin = QStringLiteral("defaults");
    for (quint16 reg : ParamCatalogue::offeredRegisters()) {
        if (ParamCatalogue::reserved(reg))
            set.values.insert(reg, {ParamValue::State::Reserved, 0});
        else if (const std::optional<quint16> raw = ParamCatalogue::defaultAsHeld(reg))
            set.values.insert(reg, {ParamValue::State::Value, *raw});
    }
    return set;
}

QString ProgramVersion()
{
    return QStringLiteral(VFD_VERSION);
}

QList<ParamDifference> CompareSets(const ParamSet& left, const ParamSet& right,
                                   bool differencesOnly)
{
    QList<ParamDifference> list;
    for (quint16 reg : ParamCatalogue::offeredRegisters()) {
        if (ParamCatalogue::reserved(reg))
            continue;
        // A parameter one set does not carry (a default that is no number, a
        // file listing a few parameters) has nothing to be compared with.
        if (!left.values.contains(reg) || !right.values.contains(reg))
            continue;
        ParamDifference d{reg, left.raw(reg), right.raw(reg), false};
        d.differs = d.left != d.right;
        if (d.differs || !differencesOnly)
            list.append(d);
    }
    return list;
}

QString ShownOrDash(quint16 reg, const std::optional<quint16>& raw)
{
    return raw ? ParamCatalogue::shown(reg, *raw) : QStringLiteral("—");
}
