// SPDX-License-Identifier: GPL-3.0-or-later
// Help texts for the parameter window, one case table per group, written as
// the printed parameter list has them. A Text entry gives its help text
// whatever the value (a setting range, or a digit-by-digit explanation); a
// Choice entry names the option the present value selects, and gives its
// last text (empty unless written) for any value it does not list. The texts
// are the drive maker's own, blanks, odd spellings and full-width punctuation
// included; do not tidy them. The texts of P7.00 and P7.10 really end in a
// blank and a double quote.

#include "CatalogueData.h"

namespace Tab::data {
namespace {

// clang-format off
// Group 0
constexpr Option kP0_00[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Open-loop vector Open-loop vector control")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "V/F control")},
};
constexpr Option kP0_01[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Set by the operating panel potentiometer")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Figures given 1,operating panel▲/▼ button or Digital encoder settings")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Figures given 2,Pin UP/DOWN setting")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "Figures given 3,485Serial Communication Settings")},
    {4, QT_TRANSLATE_NOOP("CatalogueOptions", "AVI Analog reference(0--10V)")},
    {5, QT_TRANSLATE_NOOP("CatalogueOptions", "ACI Analog reference(0--20mA)")},
    {6, QT_TRANSLATE_NOOP("CatalogueOptions", "Pulse for a given terminal(0--10KHz)")},
    {7, QT_TRANSLATE_NOOP("CatalogueOptions", "Combination Setting")},
    {8, QT_TRANSLATE_NOOP("CatalogueOptions", "Select the external terminal")},
};
constexpr Option kP0_04[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Controlled By the operating panel RUN/STOP Button")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Controlled by the external control terminal")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "485 serial communication control by the")},
};
constexpr Option kP0_05[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Forward")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Reverse")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Prohibit reverse")},
};
constexpr Option kP0_10[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "G type")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "P type")},
};
constexpr Option kP0_11[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Manual")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Auto")},
};
constexpr Option kP0_16[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Constant Torque")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Torque down curve1")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Torque down curve2")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "V/F curve settde  by user (determined by the P0.17--P0.22)")},
};
constexpr Option kP0_23[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "REV")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "JOG")},
};
constexpr OptionEntry kGroup0[] = {
    Choice("P0.00", kP0_00),
    Choice("P0.01", kP0_01),
    Text("P0.02", QT_TRANSLATE_NOOP("CatalogueOptions", "LED 1:SAVE WHILE Power Down 0:SAVE 1:NOT SAVE LED 2:SAVE WHILE Power Down 0:KEEP 1:NOT KEEP LED 3/4:Reservation (only P0.01=1,2,3) ")),
    Text("P0.03", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz--Max Fre")),
    Choice("P0.04", kP0_04),
    Choice("P0.05", kP0_05),
    Text("P0.06", QT_TRANSLATE_NOOP("CatalogueOptions", "lower freq.--400.00Hz")),
    Text("P0.07", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz--maximal freq.")),
    Text("P0.08", QT_TRANSLATE_NOOP("CatalogueOptions", "1.00Hz--freq.")),
    Text("P0.09", "380:200--500V 220:100--250V"),
    Choice("P0.10", kP0_10),
    Choice("P0.11", kP0_11),
    Text("P0.12", QT_TRANSLATE_NOOP("CatalogueOptions", "0.0--30.0%,(only F0.11=0)")),
    Text("P0.13", "0.0--150.0%"),
    Text("P0.14", QT_TRANSLATE_NOOP("CatalogueOptions", "0.1--3600,(The default unit is seconds,acceleration time unit to see P3.09)")),
    Text("P0.15", QT_TRANSLATE_NOOP("CatalogueOptions", "0.1--3600,(The default unit is seconds,acceleration time unit to see P3.09)")),
    Choice("P0.16", kP0_16),
    Text("P0.17", QT_TRANSLATE_NOOP("CatalogueOptions", "0.000--Frequency F2")),
    Text("P0.18", QT_TRANSLATE_NOOP("CatalogueOptions", "0.0--Voltage V2")),
    Text("P0.19", QT_TRANSLATE_NOOP("CatalogueOptions", "Frequency F1--Frequency F3")),
    Text("P0.20", QT_TRANSLATE_NOOP("CatalogueOptions", "Voltage V1--Voltage V3")),
    Text("P0.21", QT_TRANSLATE_NOOP("CatalogueOptions", "Frequency F2--Basic running frequency")),
    Text("P0.22", QT_TRANSLATE_NOOP("CatalogueOptions", "Voltage V2--100%")),
    Choice("P0.23", kP0_23),
};

// Group 1
constexpr Option kP1_11[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Conditions of effective")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "alway effective")},
};
constexpr Option kP1_13[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "not work")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Static self-learning (only P0.00=0)")},
};
constexpr OptionEntry kGroup1[] = {
    Text("P1.00", "380V：200--500V 220V：100--250V。"),
    Text("P1.01", "0.1--500.0A"),
    Text("P1.02", "300--6000rpm"),
    Text("P1.03", "1.00--400.00Hz"),
    Text("P1.04", "0.1--500.0A"),
    Text("P1.05", "0.001--10.000Ω"),
    Text("P1.06", "0.001--10.000Ω"),
    Text("P1.07", "0.01--600.00mH"),
    Text("P1.08", "0.01--600.00mH"),
    Text("P1.09", ""),
    Text("P1.10", "0.50--2.00"),
    Choice("P1.11", kP1_11),
    Text("P1.12", "0.1--10.0S"),
    Choice("P1.13", kP1_13),
    Text("P1.14", "0.01--5.00"),
    Text("P1.15", "0.1--10.00S"),
};

// Group 2
constexpr Option kP2_00[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Start with start Frequency")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Start with tracking speed")},
};
constexpr Option kP2_04[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "DC brake unit don't work")},
};
constexpr Option kP2_05[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Linear acceleration and deceleration")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "S Curve acceleration and deceleration")},
};
constexpr Option kP2_08[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Forbidden")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Allowed")},
};
constexpr Option kP2_09[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Forbidden")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Allowed")},
};
constexpr Option kP2_11[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Slow down to stop")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Free to stop")},
};
constexpr Option kP2_14[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "DC brake unit don't work")},
};
constexpr Option kP2_15[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Forbidden")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Start Normally")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Start with tracking speed")},
};
constexpr Option kP2_43[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Fixed carrier")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Automatically adjust the carrier")},
};
constexpr OptionEntry kGroup2[] = {
    Choice("P2.00", kP2_00, "1"),
    Text("P2.01", "0.00--10.00Hz"),
    Text("P2.02", "0.0--10.0S"),
    Text("P2.03", "0.0%--100.0%"),
    Choice("P2.04", kP2_04, "0.1--30.0S"),
    Choice("P2.05", kP2_05),
    Text("P2.06", "10.0%--40.0%"),
    Text("P2.07", "10%--80%"),
    Choice("P2.08", kP2_08),
    Choice("P2.09", kP2_09),
    Text("P2.10", "0.1--10.0S"),
    Choice("P2.11", kP2_11),
    Text("P2.12", "0.00--20.00Hz"),
    Text("P2.13", "0.0--100.0%"),
    Choice("P2.14", kP2_14, "0.1--30.0S"),
    Choice("P2.15", kP2_15),
    Text("P2.16", "0.0--20.0S"),
    Text("P2.17", "0--10"),
    Text("P2.18", "0.5--25.0S"),
    Text("P2.19", "0.00--400.00Hz"),
    Text("P2.20", "P2.27", QT_TRANSLATE_NOOP("CatalogueOptions", "0.1--3600 ,(The default unit is seconds;acceleration time unit to see P3.09.")),
    Text("P2.28", "P2.34", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00 to Maximal frequency")),
    Text("P2.35", ""),
    Text("P2.36", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00 to Maximal frequency")),
    Text("P2.37", "0.00--10.00Hz"),
    Text("P2.38", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00 to Maximal frequency")),
    Text("P2.39", "0.00--10.00Hz"),
    Text("P2.40", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00 to Maximal frequency")),
    Text("P2.41", "0.00--10.00Hz"),
    Text("P2.42", "1.0--15.0KHz"),
    Choice("P2.43", kP2_43),
};

// Group 3
constexpr Option kP3_00[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Chinese")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "English")},
};
constexpr Option kP3_01[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "No Action")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Restore factory settings")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Clear fault records")},
};
constexpr Option kP3_02[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Allowed to modify all the parameters (some parameters can not be modified when running)")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Only allowed to modify the frequency setting")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Prohibited to modify all parameters.(The above restrictions on the parameter is invali)")},
};
constexpr Option kP3_09[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "second")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Minute")},
};
constexpr OptionEntry kGroup3[] = {
    Choice("P3.00", kP3_00),
    Choice("P3.01", kP3_01),
    Choice("P3.02", kP3_02, QT_TRANSLATE_NOOP("CatalogueOptions", "Parameter-Write Protection")),
    Text("P3.03", QT_TRANSLATE_NOOP("CatalogueOptions", "Reserved")),
    Text("P3.04", "P3.05", "0--18"),
    Text("P3.06", "P3.07", "0.01--100.0"),
    Text("P3.08", "0--99.99"),
    Choice("P3.09", kP3_09),
};

// Group 4
constexpr Option kP4_00[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0:no Function")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "1:Multi-speed selection 1")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "2:Multi-speed selection 2")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "3:Multi-speed selection 3")},
    {4, QT_TRANSLATE_NOOP("CatalogueOptions", "4:Acceleration and deceleration time selection 1")},
    {5, QT_TRANSLATE_NOOP("CatalogueOptions", "5:Acceleration and deceleration time selection 2")},
    {6, QT_TRANSLATE_NOOP("CatalogueOptions", "6:Frequency channel selection 1")},
    {7, QT_TRANSLATE_NOOP("CatalogueOptions", "7:Frequency channel selection 2")},
    {8, QT_TRANSLATE_NOOP("CatalogueOptions", "8:Frequency channel selection 3")},
    {9, QT_TRANSLATE_NOOP("CatalogueOptions", "9:Forward jog control")},
    {10, QT_TRANSLATE_NOOP("CatalogueOptions", "10:Reverse jog control")},
    {11, QT_TRANSLATE_NOOP("CatalogueOptions", "11:free-Stop control")},
    {12, QT_TRANSLATE_NOOP("CatalogueOptions", "12:Frequency increment / UP command")},
    {13, QT_TRANSLATE_NOOP("CatalogueOptions", "13:Frequency decreasing / DOWN command")},
    {14, QT_TRANSLATE_NOOP("CatalogueOptions", "14:Input an external equipment failure")},
    {15, QT_TRANSLATE_NOOP("CatalogueOptions", "15:Three-wire operation control")},
    {16, QT_TRANSLATE_NOOP("CatalogueOptions", "16:DC braking command")},
    {17, QT_TRANSLATE_NOOP("CatalogueOptions", "17:Counter clear signal input")},
    {18, QT_TRANSLATE_NOOP("CatalogueOptions", "18:Counter Pulse Inpu (only for X6)")},
    {19, QT_TRANSLATE_NOOP("CatalogueOptions", "19:External pulse input (only for X6)")},
    {20, QT_TRANSLATE_NOOP("CatalogueOptions", "20:External reset signal input")},
    {21, QT_TRANSLATE_NOOP("CatalogueOptions", "21:UP/DOWN Frequency Clear")},
    {22, QT_TRANSLATE_NOOP("CatalogueOptions", "22:run PID")},
    {23, QT_TRANSLATE_NOOP("CatalogueOptions", "23:Programmable multi-speed operation rnn")},
    {24, QT_TRANSLATE_NOOP("CatalogueOptions", "24:Pendulum frequency Run")},
    {25, QT_TRANSLATE_NOOP("CatalogueOptions", "25:Pendulum frequency reset")},
    {26, QT_TRANSLATE_NOOP("CatalogueOptions", "26:External stop command")},
    {27, QT_TRANSLATE_NOOP("CatalogueOptions", "27:prohibit run command")},
    {28, QT_TRANSLATE_NOOP("CatalogueOptions", "28:Deceleration prohibited command (reserved)")},
    {29, QT_TRANSLATE_NOOP("CatalogueOptions", "29:Command channel setted to the terminals")},
    {30, QT_TRANSLATE_NOOP("CatalogueOptions", "30:frequency setting setted to VCI")},
    {31, QT_TRANSLATE_NOOP("CatalogueOptions", "31:Timer start")},
    {32, QT_TRANSLATE_NOOP("CatalogueOptions", "32:Timer clear")},
};
constexpr Option kP4_06[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Two-wire control mode 1")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Two-wire control mode 2")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Three-wire control mode 1")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "Three-wire control mode 2 (reserved)")},
};
constexpr Option kP4_07[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Inverter running instructions")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Frequency / speed reach signal (FAR)")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "Frequency / speed level detection signal (DFT)")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "Inverter runnig with zero speed direction")},
    {4, QT_TRANSLATE_NOOP("CatalogueOptions", "stop because of External equipment error")},
    {5, QT_TRANSLATE_NOOP("CatalogueOptions", "Output frequency reaches the upper limit")},
    {6, QT_TRANSLATE_NOOP("CatalogueOptions", "Output frequency reaches the lower limit")},
    {7, QT_TRANSLATE_NOOP("CatalogueOptions", "a cycle of Programmable multi-speed running is completed")},
    {8, QT_TRANSLATE_NOOP("CatalogueOptions", "Overload alarm signal of the Inverter")},
    {9, QT_TRANSLATE_NOOP("CatalogueOptions", "Inverter is ready to run")},
    {10, QT_TRANSLATE_NOOP("CatalogueOptions", "Detection signal output of the counter")},
    {11, QT_TRANSLATE_NOOP("CatalogueOptions", "Counter reset signal output")},
    {12, QT_TRANSLATE_NOOP("CatalogueOptions", "Inverter error")},
    {13, QT_TRANSLATE_NOOP("CatalogueOptions", "stop because of undervoltage lockout")},
    {14, QT_TRANSLATE_NOOP("CatalogueOptions", "Pendulum frequency Upper and lower limits")},
    {15, QT_TRANSLATE_NOOP("CatalogueOptions", "Programmable multi-speed running completed")},
    {16, QT_TRANSLATE_NOOP("CatalogueOptions", "reserved")},
    {17, QT_TRANSLATE_NOOP("CatalogueOptions", "Timing pulse output")},
};
constexpr OptionEntry kGroup4[] = {
    Choice("P4.00", "P4.05", kP4_00),
    Choice("P4.06", kP4_06),
    Choice("P4.07", "P4.09", kP4_07),
    Text("P4.10", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz to Max freq.")),
    Text("P4.11", "0.00--30.00Hz"),
    Text("P4.12", "0.00--15.00Hz"),
    Text("P4.13", "20--120%"),
    Text("P4.14", "0.0--15.0S"),
    Text("P4.15", QT_TRANSLATE_NOOP("CatalogueOptions", "the checking value of the counter to 60000")),
    Text("P4.16", QT_TRANSLATE_NOOP("CatalogueOptions", "0 to Counter reset value")),
};

// Group 5
constexpr Option kP5_09[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0:running frequency")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "1:Setting frequency")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "2:Output Current")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "3:Motor speed")},
    {4, QT_TRANSLATE_NOOP("CatalogueOptions", "4:Output Voltage")},
    {5, QT_TRANSLATE_NOOP("CatalogueOptions", "5:Bus voltage")},
    {6, QT_TRANSLATE_NOOP("CatalogueOptions", "6:PID value Settings")},
    {7, QT_TRANSLATE_NOOP("CatalogueOptions", "7:PID feedback value")},
};
constexpr OptionEntry kGroup5[] = {
    Text("P5.00", QT_TRANSLATE_NOOP("CatalogueOptions", "0.0V--AVI Input upper voltage")),
    Text("P5.01", QT_TRANSLATE_NOOP("CatalogueOptions", "AVI Input lower voltage--10.0V")),
    Text("P5.02", QT_TRANSLATE_NOOP("CatalogueOptions", "0.0mA--ACI Input upper current")),
    Text("P5.03", QT_TRANSLATE_NOOP("CatalogueOptions", "ACI Input lower current--20.0mA")),
    Text("P5.04", QT_TRANSLATE_NOOP("CatalogueOptions", "0.0--upper frequency of pulse input")),
    Text("P5.05", QT_TRANSLATE_NOOP("CatalogueOptions", "lower frequency of pulse input--10.0KHz")),
    Text("P5.06", "P5.07", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz--upper frequency ")),
    Text("P5.08", "0.1--5.0S"),
    Choice("P5.09", "P5.10", kP5_09),
    Text("P5.11", "20--200%"),
    Text("P5.12", ""),
    Text("P5.13", QT_TRANSLATE_NOOP("CatalogueOptions", "20--200%(Rated value 10KHz)")),
    Text("P5.14", ""),
    Text("P5.15", QT_TRANSLATE_NOOP("CatalogueOptions", "LED1:Operand 1 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED2:Operand 2 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED3:Operand 3 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED4:reserved ")),
    Text("P5.16", QT_TRANSLATE_NOOP("CatalogueOptions", " LED1:Algorithm 1 0:add 1:minus 2:Absolute valu(minus) 3:the greater one 4:the smaller one LED2:Algorithm 2 0:add 1:minus 2:Absolute valu(minus) 3:the greater one 4:the smaller one 5:Operand 3 is not involved in operations LED3/4:reserved note:These two parameters is valid only when F0.01=7")),
};

// Group 6
constexpr Option kP6_01[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Keypad potentiometer")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Figures given")},
    {2, QT_TRANSLATE_NOOP("CatalogueOptions", "reserved")},
    {3, QT_TRANSLATE_NOOP("CatalogueOptions", "reserved")},
    {4, "AVI"},
    {5, "ACI"},
    {6, QT_TRANSLATE_NOOP("CatalogueOptions", "Pulse terminals")},
    {7, "AVI+ACI"},
    {8, "AVI-ACI"},
    {9, "MIN{AVI，ACI}"},
    {10, "MAX{AVI，ACI}"},
};
constexpr Option kP6_05[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0：Positive")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "1：Negative")},
};
constexpr Option kP6_08[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0.0：no Differential")},
};
constexpr Option kP6_09[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0.00：Auto")},
};
constexpr OptionEntry kGroup6[] = {
    Text("P6.00", QT_TRANSLATE_NOOP("CatalogueOptions", "LED1：Feature set 0：close 1：open LED2：PID RUN SELECT 0：AUTO RUN 1：By the defining multi-function input terminals LED3/4：reserved")),
    Choice("P6.01", "P6.02", kP6_01),
    Text("P6.03", "0.00--10.00V"),
    Text("P6.04", "0.01--10.00"),
    Choice("P6.05", kP6_05),
    Text("P6.06", "0.01--10"),
    Text("P6.07", "0.1--200.0S"),
    Choice("P6.08", kP6_08, "0.1--10.0S"),
    Choice("P6.09", kP6_09, "0.00--10.00S"),
    Text("P6.10", "0.0--20.0%"),
    Text("P6.11", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00--Max freq.")),
    Text("P6.12", "0.0--6000.0S"),
    Text("P6.13", "0.00--10.00V"),
    Text("P6.14", "0.00--10.00V"),
    Text("P6.15", "0.0--600.0S"),
};

// Group 7
constexpr OptionEntry kGroup7[] = {
    Text("P7.00", QT_TRANSLATE_NOOP("CatalogueOptions", "  LED 1:PLC run mode Select 0:no 1:Round robin 2:Continuous cycle 3:To keep the final value after single cycle 4:Pendulum frequency Run LED 2:PLC run mode Select 0:auto run  1:By the defining multi-function input terminals LED 3:Pendulum frequency run mode Select 0:auto run  1:By the defining multi-function input terminals LED 4: reserved \"")),
    Text("P7.01", "P7.07", "0.0--6000.0S"),
    Text("P7.08", ""),
    Text("P7.09", QT_TRANSLATE_NOOP("CatalogueOptions", "  LED1:Direction of Stage 1 0:forward 1:backwards LED2:Direction of Stage 2 0:forward 1:backwards LED3:Direction of Stage 3 0:forward 1:backwards LED4:Direction of Stage 4 0:forward 1:backwards ")),
    Text("P7.10", QT_TRANSLATE_NOOP("CatalogueOptions", "  LED1:Direction of Stage 1 0:forward 1:backwards LED2:Direction of Stage 1 0:forward 1:backwards LED3:Direction of Stage 1 0:forward 1:backwards LED4:reserved \"")),
    Text("P7.11", QT_TRANSLATE_NOOP("CatalogueOptions", " LED1:reserved LED2:Swing control 0:Fixed swing 1:Variable frequency pendulum LED3:Pendulum frequency start mode selection  0:start with the record state before stop 1:restart LED4:storage state of the pendulum frequency  0:yes 1:no")),
    Text("P7.12", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz--max freq.")),
    Text("P7.13", "0.0--3600.0S"),
    Text("P7.14", "0.0--50.0%"),
    Text("P7.15", "0.0--50.0%"),
    Text("P7.16", "0.1--3600.0S"),
    Text("P7.17", "0.1--100.0%"),
    Text("P7.18", QT_TRANSLATE_NOOP("CatalogueOptions", "0.00Hz～max freq.")),
};

// Group 8
constexpr Option kP8_00[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "0:Main engine")},
};
constexpr OptionEntry kGroup8[] = {
    Choice("P8.00", kP8_00, QT_TRANSLATE_NOOP("CatalogueOptions", "1--31:Slave engine")),
    Text("P8.01", QT_TRANSLATE_NOOP("CatalogueOptions", " LED 1:Baud Rate Selection 0:1200BPS 1:2400BPS 2:4800BPS 3:9600BPS 4:19200BPS 5:38400BPS LED 2:Data Format  0:NONE  1:Odd 2:Even LED 3:Action Selection after communication failure 0:stop 1:keep LED 4: reserved ")),
    Text("P8.02", "0.0--100.0S"),
    Text("P8.03", "0--1000ms"),
    Text("P8.04", "0.01--10.00"),
};

// Group 9
constexpr OptionEntry kGroup9[] = {
    Text("P9.00", "30%--110%"),
    Text("P9.01", "380V：360--480V  220V：180--240V"),
    Text("P9.02", "380V：660--760V  220V：330--380V"),
    Text("P9.03", "120%--220%"),
};

// Group A
constexpr Option kPA_04[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Auto Run")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Run After Power On")},
};
constexpr Option kPA_06[] = {
    {0, QT_TRANSLATE_NOOP("CatalogueOptions", "Forbidden")},
    {1, QT_TRANSLATE_NOOP("CatalogueOptions", "Allowed")},
};
constexpr OptionEntry kGroupA[] = {
    Text("PA.00", "PA.01", "0.00--50.00Hz"),
    Text("PA.02", "380V:600--750V  220V:300--375V"),
    Text("PA.03", "10%--100%"),
    Choice("PA.04", kPA_04),
    Text("PA.05", "0.01Hz/S--100.00Hz/S"),
    Choice("PA.06", kPA_06),
    Text("PA.07", "0--65535S"),
    Text("PA.08", "PA.12", ""),
};

// clang-format on

constexpr std::array<std::span<const OptionEntry>, GroupCount> kCaseTables{{
    kGroup0,
    kGroup1,
    kGroup2,
    kGroup3,
    kGroup4,
    kGroup5,
    kGroup6,
    kGroup7,
    kGroup8,
    kGroup9,
    kGroupA,
}};

// Entries must name parameters of their own group, in ascending order without
// overlap, or the walk in OptionText would find the wrong one first.
constexpr bool CaseTablesAreOrdered()
{
    for (int g = 0; g < GroupCount; ++g) {
        int next = 0;
        for (const OptionEntry& e : kCaseTables[g]) {
            const int first = IndexOfNumber(e.from);
            const int last = IndexOfNumber(e.to);
            if (GroupOfNumber(e.from) != g || GroupOfNumber(e.to) != g || first < next ||
                last < first || last >= kGroups[g].rowCount)
                return false;
            for (const Option& o : e.options) {
                if (o.text.empty())
                    return false;
            }
            next = last + 1;
        }
    }
    return true;
}
static_assert(CaseTablesAreOrdered());

} // namespace

std::span<const OptionEntry> CaseTable(int group)
{
    if (group < 0 || group >= GroupCount)
        return {};
    return kCaseTables[static_cast<std::size_t>(group)];
}

} // namespace Tab::data
