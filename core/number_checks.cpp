#include "number_checks.h"

#include <cstdint>

namespace pelmora {

std::string ExtractDigits(std::string_view entry) {
    std::string digits;
    for (char c : entry) {
        if (IsDigit(c)) digits.push_back(c);
    }
    return digits;
}

// Example: 'GB 123 4567 82' keeps 123456782. The first seven digits weighted
// 8 down to 2 sum to 112; 97 - (112 mod 97) = 82, the last two digits, so the
// code is valid. Numbers issued since late 2009 use the same sum shifted by 55
// ('340804329': S = 110, 97 - (165 mod 97) = 29), and both forms are accepted.
std::string_view CheckVat(std::string_view entry) {
    const std::string digits = ExtractDigits(entry);
    if (digits.size() != 9) return kWrongNumberOfDigits;

    int sum = 0;
    for (int i = 0; i < 7; ++i) sum += (8 - i) * (digits[i] - '0');
    const int check = (digits[7] - '0') * 10 + (digits[8] - '0');

    // Both expected values lie in 1..97, so check digits '00' never match.
    const int original = 97 - sum % 97;
    const int since2009 = 97 - (sum + 55) % 97;
    return (check == original || check == since2009) ? kValidVatCode : kNotValid;
}

// Example: '79927398713'. Walking back from the last digit, the weights
// alternate 1, 2, 1, 2, ...; a two-digit product adds 1 on top of itself
// instead of its digit sum, which differs from the digit sum by a multiple of
// 10 (a doubled 5 gives 10 + 1). The sum is 90, a multiple of 10: valid.
// Walking from the end of the text needs no copy of the digits.
std::string_view CheckCC(std::string_view entry) {
    std::uint64_t sum = 0;  // at most 19 per byte: no text is long enough to overflow it
    unsigned weight = 1;
    bool anyDigit = false;
    for (auto it = entry.rbegin(); it != entry.rend(); ++it) {
        if (!IsDigit(*it)) continue;
        const unsigned value = static_cast<unsigned>(*it - '0') * weight;
        sum += value;
        if (value >= 10) sum += 1;
        weight = 3 - weight;
        anyDigit = true;
    }
    // A text without a single digit is not a card number at all.
    return (anyDigit && sum % 10 == 0) ? kValidCardNumber : kNotValid;
}

}  // namespace pelmora
