#pragma once

// Independent formulations of the two checks, written the textbook way, for
// comparison in the property test and the fuzz targets.

#include "number_checks.h"

#include <string>
#include <string_view>

namespace pelmora::reference {

inline std::string Digits(std::string_view entry) {
    std::string digits;
    for (unsigned char c : entry) {
        if (c >= '0' && c <= '9') digits += static_cast<char>(c);
    }
    return digits;
}

// Luhn: from the right, double every second digit and subtract 9 from a
// product above 9. No digits at all is not a card number.
inline std::string_view Luhn(std::string_view entry) {
    const std::string digits = Digits(entry);
    if (digits.empty()) return kNotValid;
    long long sum = 0;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        int d = digits[digits.size() - 1 - k] - '0';
        if (k % 2 == 1) {
            d *= 2;
            if (d > 9) d -= 9;
        }
        sum += d;
    }
    return sum % 10 == 0 ? kValidCardNumber : kNotValid;
}

// Modulus 97: the nine digits weighted 8, 7, 6, 5, 4, 3, 2, 10, 1 sum to a
// multiple of 97, or, for numbers issued since 2009, to 42 more than one.
// Check digits are issued from 01 to 97: '00', '98' and '99' never are.
inline std::string_view Vat(std::string_view entry) {
    const std::string digits = Digits(entry);
    if (digits.size() != 9) return kWrongNumberOfDigits;
    const int weights[9] = {8, 7, 6, 5, 4, 3, 2, 10, 1};
    int sum = 0;
    for (int i = 0; i < 9; ++i) sum += weights[i] * (digits[i] - '0');
    const int check = std::stoi(digits.substr(7, 2));
    const bool issued = check >= 1 && check <= 97;
    return issued && (sum % 97 == 0 || sum % 97 == 42) ? kValidVatCode : kNotValid;
}

}  // namespace pelmora::reference
