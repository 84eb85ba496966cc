#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The verdict phrases shown under the entry field, without subject or full stop.
inline constexpr std::string_view kWrongNumberOfDigits = "has wrong number of digits";
inline constexpr std::string_view kValidVatCode = "is a valid VAT code";
inline constexpr std::string_view kValidCardNumber = "is a valid credit card number";
inline constexpr std::string_view kNotValid = "is not valid";

// Only the ASCII bytes '0' to '9' count as digits, in an entry and in stored
// number text alike; every other byte, including each byte of a multi-byte
// UTF-8 character, is a separator.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a text in their order, everything else dropped.
std::string ExtractDigits(std::string_view entry);

// Nine-digit UK VAT registration code, judged by its two modulus 97 check digits.
std::string_view CheckVat(std::string_view entry);

// Payment card number, judged by its Luhn (modulus 10) check digit.
std::string_view CheckCC(std::string_view entry);

}  // namespace pelmora
