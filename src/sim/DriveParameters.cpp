// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveParameters.h"

#include "Tab.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Values for the defaults that depend on the drive model: a 2.2 kW, 380 V drive
// with a four-pole motor. Given as shown values, converted with the row's scale.
struct ModelValue
{
    int group;
    int index;
    double value;
};

constexpr ModelValue kModelValues[] = {
    {0, 12, 2.0},   // torque boost, %
    {0, 14, 10.0},  // acceleration time 1, s
    {0, 15, 10.0},  // deceleration time 1, s
    {1, 1, 5.10},   // motor rated current, A
    {1, 2, 1440},   // motor rated speed, rpm
    {1, 4, 1.80},   // motor no-load current, A
    {1, 5, 2.350},  // stator resistance, ohm
    {1, 6, 1.980},  // rotor resistance, ohm
    {1, 7, 242.00}, // stator/rotor inductance, mH
    {1, 8, 228.00}, // mutual inductance, mH
    {2, 20, 10.0},  // jog acceleration, s
    {2, 21, 10.0},  // jog deceleration, s
    {2, 22, 10.0},  // acceleration / deceleration times 2..4, s
    {2, 23, 10.0},  {2, 24, 10.0}, {2, 25, 10.0},
    {2, 26, 10.0},  {2, 27, 10.0}, {2, 42, 8.0}, // carrier frequency, kHz
    {3, 8, 2.10},                                // software edition
};

double minimumOf(int row)
{
    return Tab::LeadingNumber(Tab::ParamMin(row));
}

double maximumOf(int row)
{
    return Tab::LeadingNumber(Tab::ParamMax(row));
}

bool withinLimits(int row, double value)
{
    // Raw x scale carries binary fractions (5050 x 0.01); a hair of slack keeps
    // exact limits such as 400.00 inside.
    const double slack = 1e-9 * std::max(1.0, std::fabs(value));
    return value >= minimumOf(row) - slack && value <= maximumOf(row) + slack;
}

std::optional<quint16> toRaw(double value, double scale)
{
    const double raw = std::nearbyint(value / scale);
    if (!(raw >= 0 && raw <= 0xFFFF))
        return std::nullopt;
    return quint16(raw);
}

// The default as a number. A few defaults were typed with the letter O for a
// zero ("O.00Hz", "10O%"); the drive of course holds the zero.
std::optional<double> numericDefault(int row)
{
    std::string text(Tab::ParamDefault(row));
    std::replace(text.begin(), text.end(), 'O', '0');
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    return Tab::LeadingNumber(text);
}

} // namespace

DriveParameters::DriveParameters()
{
    for (int row = 0; row < Tab::RowCount; ++row) {
        const std::optional<double> scale = Tab::ParamScale(row);
        if (!scale)
            continue; // reserved rows read as 0
        // A few defaults lie outside their own limits (P1.15 "20.00" with a
        // maximum of 10.00, P2.10 "0.0S" with a minimum of 0.1); the drive holds
        // the nearest value it would accept.
        const double value = std::clamp(numericDefault(row).value_or(minimumOf(row)),
                                        minimumOf(row), std::max(minimumOf(row), maximumOf(row)));
        m_raw[row] = toRaw(value, *scale).value_or(0);
    }
    for (const ModelValue& m : kModelValues) {
        const int row = Tab::CatalogueRow(m.group, m.index);
        if (const std::optional<double> scale = Tab::ParamScale(row))
            m_raw[row] = toRaw(m.value, *scale).value_or(0);
    }
}

bool DriveParameters::isParameterRegister(quint16 reg)
{
    return Tab::CatalogueRow(reg >> 8, reg & 0xFF) >= 0;
}

std::optional<quint16> DriveParameters::raw(int group, int index) const
{
    const int row = Tab::CatalogueRow(group, index);
    if (row < 0 || row >= int(m_raw.size()))
        return std::nullopt;
    return m_raw[row];
}

double DriveParameters::value(int group, int index) const
{
    const int row = Tab::CatalogueRow(group, index);
    const std::optional<double> scale = Tab::ParamScale(row);
    if (row < 0 || !scale)
        return 0.0;
    return m_raw[row] * *scale;
}

DriveParameters::WriteResult DriveParameters::write(int group, int index, quint16 raw)
{
    const int row = Tab::CatalogueRow(group, index);
    const std::optional<double> scale = Tab::ParamScale(row);
    if (row < 0 || !scale)
        return WriteResult::NoSuchRegister;
    if (!withinLimits(row, raw * *scale))
        return WriteResult::OutOfRange;
    m_raw[row] = raw;
    return WriteResult::Stored;
}

void DriveParameters::force(int group, int index, quint16 raw)
{
    const int row = Tab::CatalogueRow(group, index);
    if (row >= 0 && row < int(m_raw.size()))
        m_raw[row] = raw;
}
