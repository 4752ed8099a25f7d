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
    {"P0.00", QT_TRANSLATE_NOOP("CatalogueParams", "control model setting"), "1", "1", "1", "0", "1", 1},
    {"P0.01", QT_TRANSLATE_NOOP("CatalogueParams", "frequency input channel setection"), "1", "1", "0", "0", "8", 1},
    {"P0.02", QT_TRANSLATE_NOOP("CatalogueParams", "Freq.digit setting"), "1", "00", "0", "00", "11", 1},
    {"P0.03", QT_TRANSLATE_NOOP("CatalogueParams", "Run Frequency setting"), "0.01Hz", "50.00Hz", "0", "0.00", "400", 0.01},
    {"P0.04", QT_TRANSLATE_NOOP("CatalogueParams", "Running command selection"), "1", "0", "0", "0", "2", 1},
    {"P0.05", QT_TRANSLATE_NOOP("CatalogueParams", "Motor rotation direction selection"), "1", "0", "0", "0", "2", 1},
    {"P0.06", QT_TRANSLATE_NOOP("CatalogueParams", "upper limit freq."), "0.01Hz", "50.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.07", QT_TRANSLATE_NOOP("CatalogueParams", "lower limit freq."), "0.01Hz", "0.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.08", QT_TRANSLATE_NOOP("CatalogueParams", "baisc run freq."), "0.01Hz", "50.00Hz", "1", "1.00", "400.00", 0.01},
    {"P0.09", QT_TRANSLATE_NOOP("CatalogueParams", "max output voltage"), "1", "380V", "1", "100", "500", 1},
    {"P0.10", QT_TRANSLATE_NOOP("CatalogueParams", "model setting"), "1", "0", "1", "0", "1", 1},
    {"P0.11", QT_TRANSLATE_NOOP("CatalogueParams", "Torque boost selection"), "1", "0", "1", "0", "1", 1},
    {"P0.12", QT_TRANSLATE_NOOP("CatalogueParams", "Torque boost setting"), "0.1", "model setting", "0", "0.0", "30.0", 0.1},
    {"P0.13", QT_TRANSLATE_NOOP("CatalogueParams", "Slip frequency compensation"), "0.1", "0.0", "0", "0.0", "150.0", 0.1},
    {"P0.14", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration time 1"), "0.1", "model setting", "0", "0.1", "3600", 0.1},
    {"P0.15", QT_TRANSLATE_NOOP("CatalogueParams", "Decelertation time 1"), "0.1", "model setting", "0", "0.1", "3600", 0.1},
    {"P0.16", QT_TRANSLATE_NOOP("CatalogueParams", "V/F curve setting"), "1", "0", "1", "0", "3", 1},
    {"P0.17", QT_TRANSLATE_NOOP("CatalogueParams", "V/F freq. F1"), "0.01Hz", "12.50Hz", "1", "0.00", "400.00", 0.01},
    {"P0.18", QT_TRANSLATE_NOOP("CatalogueParams", "V/F voltage V1"), "0.1%", "25.0%", "1", "0.0", "100.0", 0.1},
    {"P0.19", QT_TRANSLATE_NOOP("CatalogueParams", "V/F  freq. 2"), "0.01Hz", "25.00Hz", "1", "0.00", "400.00", 0.01},
    {"P0.20", QT_TRANSLATE_NOOP("CatalogueParams", "V/F voltage V2"), "0.1%", "50.0%", "1", "0.0", "100.0", 0.1},
    {"P0.21", QT_TRANSLATE_NOOP("CatalogueParams", "V/F freq. F3"), "0.01Hz", "37.50Hz", "1", "0.00", "400.00", 0.01},
    {"P0.22", QT_TRANSLATE_NOOP("CatalogueParams", "V/F voltage V3"), "0.1%", "75.0%", "1", "0.0", "100.0", 0.1},
    {"P0.23", QT_TRANSLATE_NOOP("CatalogueParams", "REV/JOG function setting"), "1", "1", "0", "0", "1", 1},

    // Group 1
    {"P1.00", QT_TRANSLATE_NOOP("CatalogueParams", "load motor rated voltage"), "1V", "380", "0", "200", "500", 1},
    {"P1.01", QT_TRANSLATE_NOOP("CatalogueParams", "load motor rated current"), "0.1A", "model setting", "0", "0.1", "500.0", 0.01},
    {"P1.02", QT_TRANSLATE_NOOP("CatalogueParams", "load motor rated speed"), "1rmp", "model setting", "1", "300", "6000", 1},
    {"P1.03", QT_TRANSLATE_NOOP("CatalogueParams", "load motor rated frequency"), "0.01Hz", "50.00Hz", "1", "1.00", "400.00", 0.01},
    {"P1.04", QT_TRANSLATE_NOOP("CatalogueParams", "Motor load current"), "0.1A", "model setting", "0", "0.1", "500.0", 0.01},
    {"P1.05", QT_TRANSLATE_NOOP("CatalogueParams", "Stator resistance"), "0.001", "model setting", "1", "0.001", "10.000", 0.001},
    {"P1.06", QT_TRANSLATE_NOOP("CatalogueParams", "Motor rotor resistance"), "0.001", "model setting", "1", "0.001", "10.000", 0.001},
    {"P1.07", QT_TRANSLATE_NOOP("CatalogueParams", "Motor stator and rotor inductance"), "0.01mH", "model setting", "1", "0.01", "600.00", 0.01},
    {"P1.08", QT_TRANSLATE_NOOP("CatalogueParams", "Motor stator and rotor mutual inductance"), "0.01mH", "model setting", "1", "0.01", "600.00", 0.01},
    {"P1.09", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"P1.10", QT_TRANSLATE_NOOP("CatalogueParams", "Slip compensation factor"), "0.01", "1.00", "0", "0.50", "2.00", 0.01},
    {"P1.11", QT_TRANSLATE_NOOP("CatalogueParams", "Motor Pre-excitation selection"), "1", "0", "1", "0", "1", 1},
    {"P1.12", QT_TRANSLATE_NOOP("CatalogueParams", "The duration of pre-excitation motor"), "0.1", "0.2S", "1", "0.1", "10.0", 0.01},
    {"P1.13", QT_TRANSLATE_NOOP("CatalogueParams", "Motor parameters self-learning"), "1", "0", "1", "0", "1", 1},
    {"P1.14", QT_TRANSLATE_NOOP("CatalogueParams", "Speed loop (ASR) proportional gain"), "0.01", "1.00", "0", "0.01", "5.00", 0.01},
    {"P1.15", QT_TRANSLATE_NOOP("CatalogueParams", "Speed loop (ASR) integral time"), "0.01S", "20.00", "0", "0.01", "10.00", 0.01},

    // Group 2
    {"P2.00", QT_TRANSLATE_NOOP("CatalogueParams", "starting way"), "1", "0", "1", "0", "1", 1},
    {"P2.01", QT_TRANSLATE_NOOP("CatalogueParams", "stating freq."), "0.01Hz", "1.00Hz", "0", "0.00", "10.00", 0.01},
    {"P2.02", QT_TRANSLATE_NOOP("CatalogueParams", "start freq.duration"), "0.1s", "0.0S", "1", "0.0", "10.0", 0.1},
    {"P2.03", QT_TRANSLATE_NOOP("CatalogueParams", "DC braking current when start"), "0.1%", "0.0%", "0", "0.0", "100.0", 0.1},
    {"P2.04", QT_TRANSLATE_NOOP("CatalogueParams", "Start DC braking time"), "0.1s", "0.0S", "1", "0.0", "30.0", 0.1},
    {"P2.05", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration and deceleration mode selection"), "1", "0", "0", "0", "1", 1},
    {"P2.06", QT_TRANSLATE_NOOP("CatalogueParams", "the Starting ratio of  S curve"), "0.1%", "20.0%", "1", "10.0", "40.0", 0.1},
    {"P2.07", QT_TRANSLATE_NOOP("CatalogueParams", "S Curves rise / fall time scale"), "0.1%", "60.0%", "1", "10.0", "80.0", 0.1},
    {"P2.08", QT_TRANSLATE_NOOP("CatalogueParams", "AVR function"), "1", "1", "1", "0", "1", 1},
    {"P2.09", QT_TRANSLATE_NOOP("CatalogueParams", "Automatic energy-save run"), "1", "0", "1", "0", "1", 1},
    {"P2.10", QT_TRANSLATE_NOOP("CatalogueParams", "FWD/REV dead time"), "0.1s", "0.0S", "1", "0.1", "10.0", 0.1},
    {"P2.11", QT_TRANSLATE_NOOP("CatalogueParams", "stop mode"), "1", "0", "1", "0", "1", 1},
    {"P2.12", QT_TRANSLATE_NOOP("CatalogueParams", "DC brake starting freq.at stoping"), "0.01Hz", "0.00Hz", "0", "0.00", "20.00", 0.01},
    {"P2.13", QT_TRANSLATE_NOOP("CatalogueParams", "DC brake current at stop"), "0.1%", "0.0%", "0", "0.0", "100.0", 0.1},
    {"P2.14", QT_TRANSLATE_NOOP("CatalogueParams", "DC brake time when stop"), "0.1s", "0.0S", "1", "0.0", "30.0", 0.1},
    {"P2.15", QT_TRANSLATE_NOOP("CatalogueParams", "Power-off restart setting"), "1", "0", "1", "0", "2", 1},
    {"P2.16", QT_TRANSLATE_NOOP("CatalogueParams", "Power-off warting time before restarting"), "0.1s", "0.5S", "1", "0.0", "20.0", 0.1},
    {"P2.17", QT_TRANSLATE_NOOP("CatalogueParams", "Failure self-reset times"), "1", "0", "1", "0", "10", 1},
    {"P2.18", QT_TRANSLATE_NOOP("CatalogueParams", "Failure self-reset interval"), "0.1s", "3.0S", "1", "0.5", "25.0", 0.1},
    {"P2.19", QT_TRANSLATE_NOOP("CatalogueParams", "Jog run frequence"), "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.20", QT_TRANSLATE_NOOP("CatalogueParams", "Jog Acc. time"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.21", QT_TRANSLATE_NOOP("CatalogueParams", "Jog Dec time"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.22", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration time 2"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.23", QT_TRANSLATE_NOOP("CatalogueParams", "Decelertation time 2"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.24", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration time 3"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.25", QT_TRANSLATE_NOOP("CatalogueParams", "Decelertation time 3"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.26", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration time 4"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.27", QT_TRANSLATE_NOOP("CatalogueParams", "Decelertation time 4"), "0.1s", "model setting", "0", "0.1", "3600", 0.1},
    {"P2.28", QT_TRANSLATE_NOOP("CatalogueParams", "Section 1 output freq."), "0.01Hz", "5.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.29", QT_TRANSLATE_NOOP("CatalogueParams", "Section 2 output freq."), "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.30", QT_TRANSLATE_NOOP("CatalogueParams", "Section 3 output freq."), "0.01Hz", "15.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.31", QT_TRANSLATE_NOOP("CatalogueParams", "Section 4 output freq."), "0.01Hz", "20.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.32", QT_TRANSLATE_NOOP("CatalogueParams", "Section 5 output freq."), "0.01Hz", "25.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.33", QT_TRANSLATE_NOOP("CatalogueParams", "Section 6 output freq."), "0.01Hz", "30.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.34", QT_TRANSLATE_NOOP("CatalogueParams", "Section 7 output freq."), "0.01Hz", "40.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.35", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"P2.36", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 1"), "0.01Hz", "0.00Hz", "0", "0.00", "400.00", 0.01},
    {"P2.37", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 1 bandwidth"), "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.38", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 2"), "0.01Hz", "0.00Hz", "0", "0.0", "400", 0.01},
    {"P2.39", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 2 bandwidth"), "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.40", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 3"), "0.01Hz", "0.00Hz", "0", "0.0", "400", 0.01},
    {"P2.41", QT_TRANSLATE_NOOP("CatalogueParams", "Avoiding resonant frequency point 3 bandwidth"), "0.01Hz", "0.00Hz", "0", "0.0", "10.0", 0.01},
    {"P2.42", QT_TRANSLATE_NOOP("CatalogueParams", "carrier freq.adjustment"), "0.1KHz", "model setting", "0", "1.0", "12", 0.1},
    {"P2.43", QT_TRANSLATE_NOOP("CatalogueParams", "carrier control mode"), "1", "1", "0", "0", "1", 1},

    // Group 3
    {"P3.00", QT_TRANSLATE_NOOP("CatalogueParams", "LCD "), "1", "0", "0", "0", "1", 1},
    {"P3.01", QT_TRANSLATE_NOOP("CatalogueParams", "Parameter initialization"), "1", "0", "1", "0", "2", 1},
    {"P3.02", QT_TRANSLATE_NOOP("CatalogueParams", "Parameter Write Protection"), "1", "0", "0", "0", "2", 1},
    {"P3.03", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "1", "0", "0", "0", "9999", 1},
    {"P3.04", QT_TRANSLATE_NOOP("CatalogueParams", "Monitoring Parameters 1 Setting"), "1", "0", "0", "0", "18", 1},
    {"P3.05", QT_TRANSLATE_NOOP("CatalogueParams", "Monitoring Parameters 2 Setting"), "1", "1", "0", "0", "18", 1},
    {"P3.06", QT_TRANSLATE_NOOP("CatalogueParams", "linear speed coefficient"), "0.01", "1.00", "0", "0.01", "100.00", 0.01},
    {"P3.07", QT_TRANSLATE_NOOP("CatalogueParams", "close-loop display coefficient"), "0.01", "1.00", "0", "0.01", "100.00", 0.01},
    {"P3.08", QT_TRANSLATE_NOOP("CatalogueParams", "sofeware edition"), "0.01", "", "1", "0", "99.99", 0.01},
    {"P3.09", QT_TRANSLATE_NOOP("CatalogueParams", "Acceleration/Decelertation time Unit"), "1", "0", "0", "0", "1", 1},

    // Group 4
    {"P4.00", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X1 function"), "1", "0", "1", "0", "32", 1},
    {"P4.01", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X2 function"), "1", "0", "1", "0", "32", 1},
    {"P4.02", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X3 function"), "1", "0", "1", "0", "32", 1},
    {"P4.03", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X4 function"), "1", "0", "1", "0", "32", 1},
    {"P4.04", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X5 function"), "1", "0", "1", "0", "32", 1},
    {"P4.05", QT_TRANSLATE_NOOP("CatalogueParams", "input terminal X6 function"), "1", "0", "1", "0", "32", 1},
    {"P4.06", QT_TRANSLATE_NOOP("CatalogueParams", "FWD/REV key function selection"), "1", "0", "1", "0", "3", 1},
    {"P4.07", QT_TRANSLATE_NOOP("CatalogueParams", "Open collector output terminal Y1 setting"), "1", "0", "0", "0", "17", 1},
    {"P4.08", QT_TRANSLATE_NOOP("CatalogueParams", "Open collector output terminal Y2 setting"), "1", "1", "0", "0", "17", 1},
    {"P4.09", QT_TRANSLATE_NOOP("CatalogueParams", "Programmable relay output settings"), "1", "12", "0", "0", "17", 1},
    {"P4.10", QT_TRANSLATE_NOOP("CatalogueParams", "FDT level setting"), "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P4.11", QT_TRANSLATE_NOOP("CatalogueParams", "FDT lag"), "0.1Hz", "1.00Hz", "0", "0.0", "30.00", 0.01},
    {"P4.12", QT_TRANSLATE_NOOP("CatalogueParams", "Freq.checkout scope(FAR)"), "0.01Hz", "5.00Hz", "0", "0.00", "15.00", 0.01},
    {"P4.13", QT_TRANSLATE_NOOP("CatalogueParams", "Overload pre-alarm level"), "1%", "10O%", "0", "20", "120", 1},
    {"P4.14", QT_TRANSLATE_NOOP("CatalogueParams", "Overload pre-alarming time"), "0.1s", "1.0S", "1", "0.0", "15.0", 0.1},
    {"P4.15", QT_TRANSLATE_NOOP("CatalogueParams", "Counter reset value setting"), "1", "1", "1", "1", "60000", 1},
    {"P4.16", QT_TRANSLATE_NOOP("CatalogueParams", "Set the value of the counter testing"), "1", "1", "1", "1", "60000", 1},

    // Group 5
    {"P5.00", QT_TRANSLATE_NOOP("CatalogueParams", "AVI input lower limit voltage"), "0.1V", "0.0V", "0", "0.0", "10.0", 0.1},
    {"P5.01", QT_TRANSLATE_NOOP("CatalogueParams", "AVI input upper limit voltage"), "0.1V", "10.0V", "0", "0.0", "10.0", 0.1},
    {"P5.02", QT_TRANSLATE_NOOP("CatalogueParams", "ACI input lower limit current"), "0.1mA", "0.0mA", "0", "0.0", "20.0", 0.1},
    {"P5.03", QT_TRANSLATE_NOOP("CatalogueParams", "ACI input upper limit current"), "0.1mA", "20.0mA", "0", "0.0", "20.0", 0.1},
    {"P5.04", QT_TRANSLATE_NOOP("CatalogueParams", "external pulse input lower limit frequent"), "0.1KHz", "0.0KHz", "0", "0.0", "20.0", 0.1},
    {"P5.05", QT_TRANSLATE_NOOP("CatalogueParams", "external pulse input upper limit frequent"), "0.1KHz", "10.0KHz", "0", "0.0", "20.0", 0.01},
    {"P5.06", QT_TRANSLATE_NOOP("CatalogueParams", "Set ferq. corresponding to min analog input"), "0.01Hz", "O.00Hz", "0", "0.0", "400.00", 0.01},
    {"P5.07", QT_TRANSLATE_NOOP("CatalogueParams", "Set ferq. corresponding to min analog input"), "0.01Hz", "O.01Hz", "0", "0.0", "400.00", 0.01},
    {"P5.08", QT_TRANSLATE_NOOP("CatalogueParams", "Delay time of analog input signal"), "0.1s", "0.1S", "0", "0.1", "5.0", 0.1},
    {"P5.09", QT_TRANSLATE_NOOP("CatalogueParams", "Multi-function analog output AFM"), "1", "0", "0", "0", "7", 1},
    {"P5.10", QT_TRANSLATE_NOOP("CatalogueParams", "Multi-function digital output DFM"), "1", "2", "0", "0", "7", 1},
    {"P5.11", QT_TRANSLATE_NOOP("CatalogueParams", "AFM Gain setting"), "1%", "100%", "0", "20", "200", 1},
    {"P5.12", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"P5.13", QT_TRANSLATE_NOOP("CatalogueParams", "DFM Gain setting"), "1%", "100%", "0", "20", "200", 1},
    {"P5.14", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"P5.15", QT_TRANSLATE_NOOP("CatalogueParams", "Combination of given channel settings"), "1", "000", "1", "000", "666", 1},
    {"P5.16", QT_TRANSLATE_NOOP("CatalogueParams", "Given algorithm combined set"), "1", "00", "0", "00", "54", 1},

    // Group 6
    {"P6.00", QT_TRANSLATE_NOOP("CatalogueParams", "PID action selection"), "1", "00", "1", "00", "11", 1},
    {"P6.01", QT_TRANSLATE_NOOP("CatalogueParams", "PID provision channel selection"), "1", "1", "1", "0", "10", 1},
    {"P6.02", QT_TRANSLATE_NOOP("CatalogueParams", "PID feedback channel selection"), "1", "4", "1", "0", "10", 1},
    {"P6.03", QT_TRANSLATE_NOOP("CatalogueParams", "Given digital setting"), "0.01V", "0.00v", "0", "0.00", "10.00", 0.01},
    {"P6.04", QT_TRANSLATE_NOOP("CatalogueParams", "Feedback channel gain"), "0.01", "1.00", "0", "0.01", "10.00", 0.01},
    {"P6.05", QT_TRANSLATE_NOOP("CatalogueParams", "Feedback Channel Polarity"), "1", "0", "1", "0", "1", 1},
    {"P6.06", QT_TRANSLATE_NOOP("CatalogueParams", "PID proportional gain P"), "0.01", "1.00", "0", "0.01", "10.00", 0.01},
    {"P6.07", QT_TRANSLATE_NOOP("CatalogueParams", "PID integral Ti"), "0.1s", "1.0S", "0", "0.1", "200.0", 0.1},
    {"P6.08", QT_TRANSLATE_NOOP("CatalogueParams", "Differential time Td"), "0.1s", "0.0S", "0", "0.0", "10.0", 0.1},
    {"P6.09", QT_TRANSLATE_NOOP("CatalogueParams", "PID sampling T"), "0.01s", "0.OOS", "0", "0.00", "10.00", 0.01},
    {"P6.10", QT_TRANSLATE_NOOP("CatalogueParams", "PID deviation margin"), "0.1%", "0.0%", "0", "0.0", "20.0", 0.1},
    {"P6.11", QT_TRANSLATE_NOOP("CatalogueParams", "Loop preset frequency"), "0.01Hz", "0.00Hz", "0", "0.0", "400.00", 0.01},
    {"P6.12", QT_TRANSLATE_NOOP("CatalogueParams", "time of keeping preset frequency"), "0.1s", "0.0S", "1", "0.0", "6000.0", 0.1},
    {"P6.13", QT_TRANSLATE_NOOP("CatalogueParams", "Sleep threshold"), "0.01", "10.00V", "0", "0.0", "10.00", 0.01},
    {"P6.14", QT_TRANSLATE_NOOP("CatalogueParams", "Wake threshold"), "0.01", "0.00V", "0", "0.0", "10.00", 0.01},
    {"P6.15", QT_TRANSLATE_NOOP("CatalogueParams", "Sleep/waking frequency checkout time"), "0.1s", "300.0S", "0", "0.0", "600.0", 0.1},

    // Group 7
    {"P7.00", QT_TRANSLATE_NOOP("CatalogueParams", "Programmable muli-speed running setting"), "1", "000", "1", "000", "113", 1},
    {"P7.01", QT_TRANSLATE_NOOP("CatalogueParams", "Section 1 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.02", QT_TRANSLATE_NOOP("CatalogueParams", "Section 2 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.03", QT_TRANSLATE_NOOP("CatalogueParams", "Section 3 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.04", QT_TRANSLATE_NOOP("CatalogueParams", "Section 4 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.05", QT_TRANSLATE_NOOP("CatalogueParams", "Section 5 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.06", QT_TRANSLATE_NOOP("CatalogueParams", "Section 6 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.07", QT_TRANSLATE_NOOP("CatalogueParams", "Section 7 run time"), "0.1S", "10.0S", "0", "0.0", "6000.0", 0.1},
    {"P7.08", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"P7.09", QT_TRANSLATE_NOOP("CatalogueParams", "Section 1 run direction"), "1", "0000", "0", "0000", "1111", 1},
    {"P7.10", QT_TRANSLATE_NOOP("CatalogueParams", "Section 2 run direction"), "1", "000", "0", "000", "111", 1},
    {"P7.11", QT_TRANSLATE_NOOP("CatalogueParams", "Wobbling function selection"), "1", "000", "1", "000", "111", 1},
    {"P7.12", QT_TRANSLATE_NOOP("CatalogueParams", "Wobbling Preferences frequence "), "0.1Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},
    {"P7.13", QT_TRANSLATE_NOOP("CatalogueParams", "Wobbling Preferences wait time"), "0.1S", "0.0S", "1", "0.0", "3600.0", 0.1},
    {"P7.14", QT_TRANSLATE_NOOP("CatalogueParams", "Wobbling margin"), "0.1%", "10.0%", "0", "0.0", "50.0", 0.1},
    {"P7.15", QT_TRANSLATE_NOOP("CatalogueParams", "Quick step frequency"), "0.1%", "10.0%", "0", "0.0", "50.0", 0.1},
    {"P7.16", QT_TRANSLATE_NOOP("CatalogueParams", "Wobbling period"), "0.1S", "10.0S", "0", "0.1", "3600.0", 0.1},
    {"P7.17", QT_TRANSLATE_NOOP("CatalogueParams", "Triangular wave rise time"), "0.1%", "50.0%", "0", "0.0", "100.00", 0.1},
    {"P7.18", QT_TRANSLATE_NOOP("CatalogueParams", "Pendulum frequency center frequency reference"), "0.01Hz", "10.00Hz", "0", "0.00", "400.00", 0.01},

    // Group 8
    {"P8.00", QT_TRANSLATE_NOOP("CatalogueParams", "local address"), "1", "1", "1", "0", "31", 1},
    {"P8.01", QT_TRANSLATE_NOOP("CatalogueParams", "communication setting"), "1", "013", "1", "000", "125", 1},
    {"P8.02", QT_TRANSLATE_NOOP("CatalogueParams", "Communication timeout detection time"), "0.1S", "10.0S", "1", "0.0", "100.0", 0.1},
    {"P8.03", QT_TRANSLATE_NOOP("CatalogueParams", "The delay time of machine response "), "1mS", "5mS", "1", "0", "1000", 1},
    {"P8.04", QT_TRANSLATE_NOOP("CatalogueParams", "Linkage ratio set"), "0.01", "1.00", "0", "0.01", "10.00", 0.01},

    // Group 9
    {"P9.00", QT_TRANSLATE_NOOP("CatalogueParams", "Motor overload factor"), "1%", "105%", "0", "30", "110", 1},
    {"P9.01", QT_TRANSLATE_NOOP("CatalogueParams", "Undervoltage protection level"), "1V", "400", "0", "360", "480", 1},
    {"P9.02", QT_TRANSLATE_NOOP("CatalogueParams", "Overvoltage protection level"), "1V", "700", "0", "660", "760", 1},
    {"P9.03", QT_TRANSLATE_NOOP("CatalogueParams", "Current limit level"), "1%", "180%", "0", "120", "220", 1},

    // Group A
    {"PA.00", QT_TRANSLATE_NOOP("CatalogueParams", "the threshold of zero-frequency running"), "0.01Hz", "0.00Hz", "0", "0.00", "50.00", 0.01},
    {"PA.01", QT_TRANSLATE_NOOP("CatalogueParams", "Zero frequency hysteresis"), "0.01Hz", "0.00Hz", "0", "0.00", "50.00", 0.01},
    {"PA.02", QT_TRANSLATE_NOOP("CatalogueParams", "Start braking voltage"), "1V", "700V", "0", "600", "720", 1},
    {"PA.03", QT_TRANSLATE_NOOP("CatalogueParams", "The proportion of braking action"), "1%", "50%", "0", "10", "100", 1},
    {"PA.04", QT_TRANSLATE_NOOP("CatalogueParams", "Cooling fan control"), "1", "0", "0", "0", "1", 1},
    {"PA.05", QT_TRANSLATE_NOOP("CatalogueParams", "Modify the rate by terminal UP/DOWN"), "0.01Hz/S", "1.0Hz/S", "0", "0.01", "100.00", 0.01},
    {"PA.06", QT_TRANSLATE_NOOP("CatalogueParams", "Over modulation enabled"), "1", "0", "1", "0", "1", 1},
    {"PA.07", QT_TRANSLATE_NOOP("CatalogueParams", "the length of Timer"), "1S", "1S", "1", "1", "65535", 1},
    {"PA.08", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.09", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.10", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.11", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.12", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.13", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.14", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.15", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.16", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.17", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.18", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
    {"PA.19", QT_TRANSLATE_NOOP("CatalogueParams", "reserved"), "", "", "1", "", "", kNoScale},
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
