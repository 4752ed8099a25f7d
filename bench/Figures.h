// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every figure a benchmark prints also goes, in one fixed form, into the file
// named by VFD_FIGURES (bench/run-all sets it; nothing is written without
// it), one tab-separated line per figure:
//
//   time  load  bench  figure  value  unit  against  against-value  ratio  how
//
// time is UTC when the figure was taken, load the 1-minute load average then;
// against names what the figure is set beside (a limit, a peer measured in the
// same run, a goal), against-value its value in the same unit, ratio
// value / against-value, and how says how the figure and the limit were
// worked out. bench/readme-figures makes the README's tables from this file,
// so the README holds no figure that no run produced. Plain C++ (the start-up
// benchmark uses no Qt).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace Figures {

inline std::string loadAverage()
{
    char text[64] = {};
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%63s", text) != 1)
            text[0] = 0;
        std::fclose(f);
    }
    return text;
}

// Tabs and line ends would break the form; anything else stays.
inline std::string field(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

inline std::string number(double value)
{
    if (std::isnan(value))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    // Whole numbers of four digits and more as they are, not 1.234e+04.
    if (std::fabs(value) >= 1000 && std::fabs(value) < 1e9)
        std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// A figure with what it is set beside; againstValue NaN (or against empty)
// for a figure that stands alone.
inline void record(const std::string& bench, const std::string& figure, double value,
                   const std::string& unit, const std::string& against, double againstValue,
                   const std::string& how)
{
    const char* path = std::getenv("VFD_FIGURES");
    if (!path || !*path)
        return;
    std::FILE* f = std::fopen(path, "a");
    if (!f)
        return;
    char when[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
    const bool beside = !against.empty() && !std::isnan(againstValue) && againstValue != 0;
    std::fprintf(f, "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", when, loadAverage().c_str(),
                 field(bench).c_str(), field(figure).c_str(), number(value).c_str(),
                 field(unit).c_str(), field(against).c_str(),
                 beside ? number(againstValue).c_str() : "",
                 beside ? number(value / againstValue).c_str() : "", field(how).c_str());
    std::fclose(f);
}

inline void record(const std::string& bench, const std::string& figure, double value,
                   const std::string& unit, const std::string& how)
{
    record(bench, figure, value, unit, {}, std::nan(""), how);
}

} // namespace Figures
