// SPDX-License-Identifier: GPL-3.0-or-later
// The drive's function parameters, one row per parameter in catalogue order,
// written as the printed parameter list has them: number, name, resolution,
// default, attribute ("1" not changeable), minimum, maximum, scale. The texts
// are the drive maker's own, odd spellings and blanks included, and are shown
// unchanged; do not tidy them.

#include "CatalogueData.h"

namespace Tab::data {
namespace {

// clang-format off
constexpr std::array<ParamRecord, RowCount> kParams{{
    // Group 0
    {"P0.00", "control model setting", "1", "1", "1", "0", "1", 1},
    {"P0.01", "frequency input channel setection", "1", "1", "0", "0", "8", 1},
    {"P0.02", "Freq.digit setting", "1", "00", "0", "00", "11", 1},
    {"P0.03", "Run Frequency setting", "0.01Hz", "50.00Hz", "0", "0.00", "400", 0.01},
    {"P0.04", "Running command selection", "1", "0", "0", "0", "2", 1},
    {"P0.05", "Motor rotation direction selection", "1", "0", "0", "0", "2", 1},
    {"P0.06", "upper limit freq.", "0.01Hz", "50.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.07", "lower limit freq.", "0.01Hz", "0.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.08", "baisc run freq.", "0.01Hz", "50.00Hz", "1", "1.00", "400.00", 0.01},
    {"P0.09", "max output voltage", "1", "380V", "1", "100", "500", 1},
    {"P0.10", "model setting", "1", "0", "1", "0", "1", 1},
    {"P0.11", "Torque boost selection", "1", "0", "1", "0", "1", 1},
    {"P0.12", "Torque boost setting", "0.1", "model setting", "0", "0.0", "30.0", 0.1},
    {"P0.13", "Slip frequency compensation", "0.1", "0.0", "0", "0.0", "150.0", 0.1},
    {"P0.14", "Acceleration time 1", "0.1", "model setting", "0", "0.1", "3600", 0.1},
    {"P0.15", "Decelertation time 1", "0.1", "model setting", "0", "0.1", "3600", 0.1},
    {"P0.16", "V/F curve setting", "1", "0", "1", "0", "3", 1},
    {"P0.17", "V/F freq. F1", "0.01Hz", "12.50Hz", "1", "0.00", "400.00", 0.01},
    {"P0.18", "V/F voltage V1", "0.1%", "25.0%", "1", "0.0", "100.0", 0.1},
    {"P0.19", "V/F  freq. 2", "0.01Hz", "25.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.20", "V/F voltage V2", "0.1%", "50.0%", "1", "0.0", "100.0", 0.1},
    {"P0.21", "V/F freq. F3", "0.01Hz", "37.50Hz", "1", "0.00", "400.00", 0.01},
    {"P0.22", "V/F voltage V3", "0.1%", "75.0%", "1", "0.0", "100.0", 0.1},
    {"P0.23", "REV/JOG function setting", "1", "1", "0", "0", "1", 1},

    // Group 1
    {"P1.00", "load motor rated voltage", "1V", "380", "0", "200", "500", 1},
    {"P1.01", "load motor rated current", "0.1A", "model setting", "0", "0.1", "500.0", 0.01},
    {"P1.02", "load motor rated speed", "1rmp", "model setting", "1", "300", "6000", 1},
    {"P1.03", "load motor rated frequency", "0.01Hz", "50.00Hz", "1", "1.00", "400.00", 0.01},
    {"P1.04", "Motor load current", "0.1A", "model setting", "0", "0.1", "500.0", 0.01},
    {"P1.05", "Stator resistance", "0.001", "model setting", "1", "0.001", "10.000", 0.001},
    {"P1.06", "Motor rotor resistance", "0.001", "model setting", "1", "0.001", "10.000", 0.001},
    {"P1.07", "Motor stator and rotor inductance", "0.01mH", "model setting", "1", "0.01", "600.00", 0.01},
    {"P1.08", "Motor stator and rotor mutual inductance", "0.01mH", "model setting", "1", "0.01", "600.00", 0.01},
    {"P1.09", "reserved", "", "", "1", "", "", kNoScale},
    {"P1.10", "Slip compensation factor", "0.01", "1.00", "0", "0.50", "2.00", 0.01},
    {"P1.11", "Motor Pre-excitation selection", "1", "0", "1", "0", "1", 1},
    {"P1.12", "The duration of pre-excitation motor", "0.1", "0.2S", "1", "0.1", "10.0", 0.01},
    {"P1.13", "Motor parameters self-learning", "1", "0", "1", "0", "1", 1},
    {"P1.14", "Speed loop (ASR) proportional gain", "0.01", "1.00", "0", "0.01", "5.00", 0.01},
    {"P1.15", "Speed loop (ASR) integral time", "0.01S", "20.00", "0", "0.01", "10.00", 0.01},

    // Group 2
    {"P2.00", "starting way", "1", "0", "1", "0", "1", 1},
    {"P2.01", "stating freq.", "0.01Hz", "1.00Hz", "0", "0.00", "10.00", 0.01},
    {"P2.02", "start freq.duration", "0.1s", "0.0S", "1", "0.0", "10.0", 0.1},
    {"P2.03", "DC braking current when start", "0.1%", "0.0%", "0", "0.0", "100.0", 0.1},
    {"P2.04", "Start DC braking time", "0.1s", "0.0S", "1", "0.0", "30.0", 0.1},
    {"P2.05", "Acceleration and deceleration mode selection", "1", "0", "0", "0", "1", 1},
    {"P2.06", "the Starting ratio of  S curve", "0.1%", "20.0%", "1", "10.0", "40.0", 0.1},
    {"P2.07", "S Curves rise / fall time scale", "0.1%", "60.0%", "1", "10.0", "80.0", 0.1},
    {"P2.08", "AVR function", "1", "1", "1", "0", "1", 1},
    {"P2.09", "Automatic energy-save run", "1", "0", "1", "0", "1", 1},
    {"P2.10", "FWD/REV dead time", "0.1s", "0.0S", "1", "0.1", "10.0", 0.1},
    {"P2.11", "stop mode", "1", "0", "1", "0", "1", 1},
    {"P2.12", "DC brake starting freq.at stoping", "0.01Hz", "0.00Hz", "0", "0.00", "20.00", 0.01},
    {"P2.13", "DC brake current at stop", "0.1%", "0.0%", "0", "0.0", "100.0", 0.1},
    {"P2.14", "DC brake time when stop", "0.1s", "0.0S", "1", "0.0", "30.0", 0.1},
    {"P2.15", "Power-off restart setting", "1", "0", "1", "0", "2", 1},
    {"P2.16", "Power-off warting time before restarting", "0.1s", "0.5S", "1", "0.0", "20.0", 0.1},
    {"P2.17", "Failure self-reset times", "1", "0", "1", "0", "10", 1},
    {"P2.18", "Failure self-reset interval", "0.1s", "3.0S", "1", "0.5", "25.0", 0.1},
    {"P2.19", "Jog run frequence", "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.20", "Jog Acc. time", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.21", "Jog Dec time", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.22", "Acceleration time 2", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.23", "Decelertation time 2", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.24", "Acceleration time 3", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.25", "Decelertation time 3", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.26", "Acceleration time 4", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.27", "Decelertation time 4", "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.28", "Section 1 output freq.", "0.01Hz", "5.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.29", "Section 2 output freq.", "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.30", "Section 3 output freq.", "0.01Hz", "15.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.31", "Section 4 output freq.", "0.01Hz", "20.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.32", "Section 5 output freq.", "0.01Hz", "25.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.33", "Section 6 output freq.", "0.01Hz", "30.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.34", "Section 7 output freq.", "0.01Hz", "40.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.35", "reserved", "", "", "1", "", "", kNoScale},
    {"P2.36", "Avoiding resonant frequency point 1", "0.01Hz", "0.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.37", "Avoiding resonant frequency point 1 bandwidth", "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.38", "Avoiding resonant frequency point 2", "0.01Hz", "0.00Hz", "0", "0.0", "400", 0.01},
    {"P2.39", "Avoiding resonant frequency point 2 bandwidth", "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.40", "Avoiding resonant frequency point 3", "0.01Hz", "0.00Hz", "0", "0.0", "400", 0.01},
    {"P2.41", "Avoiding resonant frequency point 3 bandwidth", "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.42", "carrier freq.adjustment", "0.1KHz", "model setting", "0", "1.0", "12", 0.1},
    {"P2.43", "carrier control mode", "1", "1", "0", "0", "1", 1},

    // Group 3
    {"P3.00", "LCD ", "1", "0", "0", "0", "1", 1},
    {"P3.01", "Parameter initialization", "1", "0", "1", "0", "2", 1},
    {"P3.02", "Parameter Write Protection", "1", "0", "0", "0", "2", 1},
    {"P3.03", "reserved", "1", "0", "0", "0", "9999", 1},
    {"P3.04", "Monitoring Parameters 1 Setting", "1", "0", "0", "0", "18", 1},
    {"P3.05", "Monitoring Parameters 2 Setting", "1", "1", "0", "0", "18", 1},
    {"P3.06", "linear speed coefficient", "0.01", "1.00", "0", "0.01", "100.00", 0.01},
    {"P3.07", "close-loop display coefficient", "0.01", "1.00", "0", "0.01", "100.00", 0.01},
    {"P3.08", "sofeware edition", "0.01", "", "1", "0", "99.99", 0.01},
    {"P3.09", "Acceleration/Decelertation time Unit", "1", "0", "0", "0", "1", 1},

    // Group 4
    {"P4.00", "input terminal X1 function", "1", "0", "1", "0", "32", 1},
    {"P4.01", "input terminal X2 function", "1", "0", "1", "0", "32", 1},
    {"P4.02", "input terminal X3 function", "1", "0", "1", "0", "32", 1},
    {"P4.03", "input terminal X4 function", "1", "0", "1", "0", "32", 1},
    {"P4.04", "input terminal X5 function", "1", "0", "1", "0", "32", 1},
    {"P4.05", "input terminal X6 function", "1", "0", "1", "0", "32", 1},
    {"P4.06", "FWD/REV key function selection", "1", "0", "1", "0", "3", 1},
    {"P4.07", "Open collector output terminal Y1 setting", "1", "0", "0", "0", "17", 1},
    {"P4.08", "Open collector output terminal Y2 setting", "1", "1", "0", "0", "17", 1},
    {"P4.09", "Programmable relay output settings", "1", "12", "0", "0", "17", 1},
    {"P4.10", "FDT level setting", "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P4.11", "FDT lag", "0.1Hz", "1.00Hz", "0", "0.0", "30.00", 0.01},
    {"P4.12", "Freq.checkout scope(FAR)", "0.01Hz", "5.00Hz", "0", "0.00", "15.00", 0.01},
    {"P4.13", "Overload pre-alarm level", "1%", "10O%", "0", "20", "120", 1},
    {"P4.14", "Overload pre-alarming time", "0.1s", "1.0S", "1", "0.0", "15.0", 0.1},
    {"P4.15", "Counter reset value setting", "1", "1", "1", "1", "60000", 1},
    {"P4.16", "Set the value of the counter testing", "1", "1", "1", "1", "60000", 1},

    // Group 5
    {"P5.00", "AVI input lower limit voltage", "0.1V", "0.0V", "0", "0.0", "10.0", 0.1},
    {"P5.01", "AVI input upper limit voltage", "0.1V", "10.0V", "0", "0.0", "10.0", 0.1},
    {"P5.02", "ACI input lower limit current", "0.1mA", "0.0mA", "0", "0.0", "20.0", 0.1},
    {"P5.03", "ACI input upper limit current", "0.1mA", "20.0mA", "0", "0.0", "20.0", 0.1},
    {"P5.04", "external pulse input lower limit frequent", "0.1KHz", "0.0KHz", "0", "0.0", "20.0", 0.1},
    {"P5.05", "external pulse input upper limit frequent", "0.1KHz", "10.0KHz", "0", "0.0", "20.0", 0.01},
    {"P5.06", "Set ferq. corresponding to min analog input", "0.01Hz", "O.00Hz", "0", "0.0", "400.00", 0.01},
    {"P5.07", "Set ferq. corresponding to min analog input", "0.01Hz", "O.01Hz", "0", "0.0", "400.00", 0.01},
    {"P5.08", "Delay time of analog input signal", "0.1s", "0.1S", "0", "0.1", "5.0", 0.1},
    {"P5.09", "Multi-function analog output AFM", "1", "0", "0", "0", "7", 1},
    {"P5.10", "Multi-function digital output DFM", "1", "2", "0", "0", "7", 1},
    {"P5.11", "AFM Gain setting", "1%", "100%", "0", "20", "200", 1},
    {"P5.12", "reserved", "", "", "1", "", "", kNoScale},
    {"P5.13", "DFM Gain setting", "1%", "100%", "0", "20", "200", 1},
    {"P5.14", "reserved", "", "", "1", "", "", kNoScale},
    {"P5.15", "Combination of given channel settings", "1", "000", "1", "000", "666", 1},
    {"P5.16", "Given algorithm combined set", "1", "00", "0", "00", "54", 1},

    // Group 6
    {"P6.00", "PID action selection", "1", "00", "1", "00", "11", 1},
    {"P6.01", "PID provision channel selection", "1", "1", "1", "0", "10", 1},
    {"P6.02", "PID feedback channel selection", "1", "4", "1", "0", "10", 1},
    {"P6.03", "Given digital setting", "0.01V", "0.00v", "0", "0.00", "10.00", 0.01},
    {"P6.04", "Feedback channel gain", "0.01", "1.00", "0", "0.01", "10.00", 0.01},
    {"P6.05", "Feedback Channel Polarity", "1", "0", "1", "0", "1", 1},
    {"P6.06", "PID proportional gain P", "0.01", "1.00", "0", "0.01", "10.00", 0.01},
    {"P6.07", "PID integral Ti", "0.1s", "1.0S", "0", "0.1", "200.0", 0.1},
    {"P6.08", "Differential time Td", "0.1s", "0.0S", "0", "0.0", "10.0", 0.1},
    {"P6.09", "PID sampling T", "0.01s", "0.OOS", "0", "0.00", "10.00", 0.01},
    {"P6.10", "PID deviation margin", "0.1%", "0.0%", "0", "0.0", "20.0", 0.1},
    {"P6.11", "Loop preset frequency", "0.01Hz", "0.00Hz", "0", "0.0", "400.00", 0.01},
    {"P6.12", "time of keeping preset frequency", "0.1s", "0.0S", "1", "0.0", "6000.0", 0.1},
    {"P6.13", "Sleep threshold", "0.01", "10.00V", "0", "0.0", "10.00", 0.01},
    {"P6.14", "Wake threshold", "0.01", "0.00V", "0", "0.0", "10.00", 0.01},
    {"P6.15", "Sleep/waking frequency checkout time", "0.1s", "300.0S", "0", "0.0", "600.0", 0.1},

    // Group 7
    {"P7.00", "Programmable muli-speed running setting", "1", "000", "1", "000", "113", 1},
    {"P7.01", "Section 1 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.02", "Section 2 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.03", "Section 3 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.04", "Section 4 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.05", "Section 5 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.06", "Section 6 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.07", "Section 7 run time", "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.08", "reserved", "", "", "1", "", "", kNoScale},
    {"P7.09", "Section 1 run direction", "1", "0000", "0", "0000", "1111", 1},
    {"P7.10", "Section 2 run direction", "1", "000", "0", "000", "111", 1},
    {"P7.11", "Wobbling function selection", "1", "000", "1", "000", "111", 1},
    {"P7.12", "Wobbling Preferences frequence ", "0.1Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P7.13", "Wobbling Preferences wait time", "0.1S", "0.0S", "1", "0.0", "3600.0", 0.1},
    {"P7.14", "Wobbling margin", "0.1%", "10.0%", "0", "0.0", "50.0", 0.1},
    {"P7.15", "Quick step frequency", "0.1%", "10.0%", "0", "0.0", "50.0", 0.1},
    {"P7.16", "Wobbling period", "0.1S", "10.0S", "0", "0.1", "3600.0", 0.1},
    {"P7.17", "Triangular wave rise time", "0.1%", "50.0%", "0", "0.0", "100.00", 0.1},
    {"P7.18", "Pendulum frequency center frequency reference", "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},

    // Group 8
    {"P8.00", "local address", "1", "1", "1", "0", "31", 1},
    {"P8.01", "communication setting", "1", "013", "1", "000", "125", 1},
    {"P8.02", "Communication timeout detection time", "0.1S", "10.0S", "1", "0.0", "100.0", 0.1},
    {"P8.03", "The delay time of machine response ", "1mS", "5mS", "1", "0", "1000", 1},
    {"P8.04", "Linkage ratio set", "0.01", "1.00", "0", "0.01", "10.00", 0.01},

    // Group 9
    {"P9.00", "Motor overload factor", "1%", "105%", "0", "30", "110", 1},
    {"P9.01", "Undervoltage protection level", "1V", "400", "0", "360", "480", 1},
    {"P9.02", "Overvoltage protection level", "1V", "700", "0", "660", "760", 1},
    {"P9.03", "Current limit level", "1%", "180%", "0", "120", "220", 1},

    // Group A
    {"PA.00", "the threshold of zero-frequency running", "0.01Hz", "0.00Hz", "0", "0.00", "50.00", 0.01},
    {"PA.01", "Zero frequency hysteresis", "0.01Hz", "0.00Hz", "0", "0.00", "50.00", 0.01},
    {"PA.02", "Start braking voltage", "1V", "700V", "0", "600", "720", 1},
    {"PA.03", "The proportion of braking action", "1%", "50%", "0", "10", "100", 1},
    {"PA.04", "Cooling fan control", "1", "0", "0", "0", "1", 1},
    {"PA.05", "Modify the rate by terminal UP/DOWN", "0.01Hz/S", "1.0Hz/S", "0", "0.01", "100.00", 0.01},
    {"PA.06", "Over modulation enabled", "1", "0", "1", "0", "1", 1},
    {"PA.07", "the length of Timer", "1S", "1S", "1", "1", "65535", 1},
    {"PA.08", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.09", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.10", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.11", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.12", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.13", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.14", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.15", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.16", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.17", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.18", "reserved", "", "", "1", "", "", kNoScale},
    {"PA.19", "reserved", "", "", "1", "", "", kNoScale},
}};
// clang-format on

// Each row must sit where its parameter number says, and a row without a
// scale is a reserved one with nothing else to show.
constexpr bool RowsMatchTheirNumbers()
{
    for (int g = 0; g < GroupCount; ++g) {
        for (int i = 0; i < kGroups[g].rowCount; ++i) {
            const ParamRecord& p = kParams[kGroups[g].firstRow + i];
            if (GroupOfNumber(p.number) != g || IndexOfNumber(p.number) != i)
                return false;
            if (!p.scale &&
                (p.name != "reserved" || !p.resolution.empty() || !p.defaultText.empty() ||
                 p.attribute != "1" || !p.minimum.empty() || !p.maximum.empty()))
                return false;
        }
    }
    return true;
}
static_assert(RowsMatchTheirNumbers());

} // namespace

const ParamRecord* FindParam(int row)
{
    if (row < 0 || row >= RowCount)
        return nullptr;
    return &kParams[static_cast<std::size_t>(row)];
}

} // namespace Tab::data
