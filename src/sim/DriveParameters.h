// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

// The function parameters of one simulated drive, held as the raw 16-bit
// register values the drive keeps. They start at the catalogue's defaults;
// where the catalogue says "model setting" (or gives nothing usable) a value
// fitting a small 380 V drive is chosen instead.
class DriveParameters
{
public:
    enum class WriteResult
    {
        Stored,
        NoSuchRegister,
        OutOfRange
    };

    DriveParameters();

    // Raw value of P<group>.<index>; nullopt for a register with no catalogue row.
    std::optional<quint16> raw(int group, int index) const;
    // The value as a user reads it (raw x scale); 0 for reserved or unknown rows.
    double value(int group, int index) const;

    // A write as the drive judges it: the register must be a parameter with a
    // scale, and raw x scale must lie within the catalogue's minimum and maximum.
    WriteResult write(int group, int index, quint16 raw);
    // Sets a value behind the protocol's back (the drive's own address, tests).
    void force(int group, int index, quint16 raw);

    static bool isParameterRegister(quint16 reg);

private:
    std::array<quint16, 192> m_raw{};
};
