// SPDX-License-Identifier: GPL-3.0-or-later
#include "DigitOptions.h"

#include "menu.h"

#include <cctype>
#include <cmath>
#include <map>
#include <vector>

namespace menu {
namespace {

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Digit
{
    int place = 0; // 1: units
    std::string title;
    std::map<int, std::string> options;
};

// "n:" at i (blanks allowed before the colon), opening an option: its
// length up to and with the colon, or 0.
size_t optionMark(const std::string& s, size_t i)
{
    if (!isDigit(s[i]) || (i > 0 && s[i - 1] != ' '))
        return 0;
    size_t j = i + 1;
    while (j < s.size() && s[j] == ' ')
        ++j;
    return j < s.size() && s[j] == ':' ? j + 1 - i : 0;
}

Digit parseDigit(int place, const std::string& body)
{
    Digit d;
    d.place = place;
    int current = -1;
    size_t from = 0;
    auto close = [&](size_t to) {
        const std::string piece = trimmed(body.substr(from, to - from));
        if (current < 0)
            d.title = piece;
        else
            d.options[current] = piece;
    };
    for (size_t i = 0; i < body.size(); ++i) {
        if (const size_t mark = optionMark(body, i)) {
            close(i);
            current = body[i] - '0';
            from = i + mark;
            i += mark - 1;
        }
    }
    close(body.size());
    return d;
}

std::vector<Digit> digitsOf(std::string text)
{
    // Some texts use the full-width colon.
    for (size_t at; (at = text.find("\xEF\xBC\x9A")) != std::string::npos;)
        text.replace(at, 3, ":");
    std::vector<Digit> digits;
    size_t at = text.find("LED");
    while (at != std::string::npos) {
        size_t i = at + 3;
        while (i < text.size() && text[i] == ' ')
            ++i;
        const int place = i < text.size() && isDigit(text[i]) ? text[i] - '0' : -1;
        while (i < text.size() && text[i] != ':')
            ++i;
        const size_t next = text.find("LED", i);
        if (place > 0 && i < text.size())
            digits.push_back(parseDigit(
                place,
                text.substr(i + 1, next == std::string::npos ? std::string::npos : next - i - 1)));
        at = next;
    }
    return digits;
}

} // namespace

std::string DigitOptionText(int group, int index, int value)
{
    return DigitOptionTextOf(std::string(OptionText(group, index, std::nan(""))), value);
}

std::string DigitOptionTextOf(const std::string& optionText, int value)
{
    if (value < 0)
        return {};
    const std::vector<Digit> digits = digitsOf(optionText);
    std::string text;
    for (const Digit& d : digits) {
        if (d.options.empty())
            continue; // reserved
        const int digit = value / int(std::pow(10, d.place - 1)) % 10;
        const auto option = d.options.find(digit);
        if (option == d.options.end())
            return {};
        text += (text.empty() ? "" : "; ") + d.title + ": " + option->second;
    }
    return text;
}

} // namespace menu
