#include "number_text.h"

#include "number_checks.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pelmora {

std::string FormatNumberText(double value) {
    char buffer[64];
    char* first = buffer + 1;
    char* last = buffer + sizeof buffer;
    std::to_chars_result result;
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        result = std::to_chars(first, last, static_cast<long long>(value));
    } else {
        result = std::to_chars(first, last, value, std::chars_format::general, 7);
    }
    std::string text(first, result.ptr);
    if (text.empty() || text.front() != '-') text.insert(text.begin(), ' ');
    return text;
}

namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Copies the longest prefix of the blank-free text that forms a number, in
// the form std::from_chars reads (exponent marker 'e', no '+').
std::string NumberPrefix(std::string_view text) {
    std::string squeezed;
    squeezed.reserve(text.size());
    for (char c : text) {
        if (!IsBlank(c)) squeezed.push_back(c);
    }

    std::size_t i = 0;
    std::string number;
    if (i < squeezed.size() && (squeezed[i] == '+' || squeezed[i] == '-')) {
        if (squeezed[i] == '-') number.push_back('-');
        ++i;
    }
    bool anyDigit = false;
    for (; i < squeezed.size() && IsDigit(squeezed[i]); ++i) {
        number.push_back(squeezed[i]);
        anyDigit = true;
    }
    if (i < squeezed.size() && squeezed[i] == '.') {
        number.push_back('.');
        for (++i; i < squeezed.size() && IsDigit(squeezed[i]); ++i) {
            number.push_back(squeezed[i]);
            anyDigit = true;
        }
    }
    if (!anyDigit) return {};

    if (i < squeezed.size() && (squeezed[i] == 'E' || squeezed[i] == 'e' || squeezed[i] == 'D' || squeezed[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < squeezed.size() && (squeezed[j] == '+' || squeezed[j] == '-')) {
            if (squeezed[j] == '-') exponent.push_back('-');
            ++j;
        }
        const std::size_t digitsStart = j;
        while (j < squeezed.size() && IsDigit(squeezed[j])) exponent.push_back(squeezed[j++]);
        // An exponent marker without digits is not part of the number.
        if (j > digitsStart) number += exponent;
    }
    return number;
}

}  // namespace

std::optional<double> ReadNumberText(std::string_view text) {
    const std::string number = NumberPrefix(text);
    if (number.empty()) return 0.0;

    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

namespace {

// Rounds half to even and gives 0 when the result falls outside [low, high].
long long RoundInto(std::string_view text, long long low, long long high) {
    const std::optional<double> value = ReadNumberText(text);
    if (!value) return 0;
    const double rounded = std::nearbyint(*value);  // default mode: halves to even
    if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high))) return 0;
    return static_cast<long long>(rounded);
}

}  // namespace

std::int32_t ReadPositionText(std::string_view text) {
    return static_cast<std::int32_t>(
        RoundInto(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::uint8_t ReadModeText(std::string_view text) { return static_cast<std::uint8_t>(RoundInto(text, 0, 255)); }

}  // namespace pelmora
