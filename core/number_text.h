#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// Settings are stored as "number text": a blank where the sign would stand
// for zero and positive numbers (' 2100', '-300'), no decimal point for whole
// numbers, and '.' for fractions whatever the locale, with at most 7
// significant digits.
std::string FormatNumberText(double value);

// Reads number text the lenient way stored values have always been read:
// blanks, tabs and line feeds are ignored wherever they stand; then an
// optional sign, digits, an optional '.' with digits and an optional exponent
// (E or D) are read as far as they go. Text with no number gives 0; a number
// beyond the range of a double gives nullopt.
std::optional<double> ReadNumberText(std::string_view text);

// The number rounded half to even into a 32-bit position. Text with no number
// and numbers that do not fit both give 0.
std::int32_t ReadPositionText(std::string_view text);

// The number rounded half to even into a mode 0 to 255; anything outside gives 0.
std::uint8_t ReadModeText(std::string_view text);

}  // namespace pelmora
