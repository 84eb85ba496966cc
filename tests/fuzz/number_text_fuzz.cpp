// The stored-number reader on arbitrary text: it never fails, it reads what
// the C library's reader reads, and written values read back unchanged.
#include "number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The reading formulated another way: strtod on the text with its blanks
// taken out, D read as E, cut at the first character no number holds; the
// nearest whole number, halves to even, by remainder(); 0 outside the type.
long long Reference(std::string_view text, long long low, long long high) {
    std::string number;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if (c == 'D' || c == 'd') c = 'e';
        if (c == '\0' || !std::strchr("0123456789+-.eE", c)) break;
        number += c;
    }
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE && std::fabs(value) > 1) return 0;
    const double rounded = value - std::remainder(value, 1.0);
    return rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high) ? static_cast<long long>(rounded)
                                                                                       : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto number = pelmora::ReadNumberText(text);
    if (number && !std::isfinite(*number)) std::abort();
    if (pelmora::ReadPositionText(text) != Reference(text, INT32_MIN, INT32_MAX)) std::abort();
    if (pelmora::ReadModeText(text) != Reference(text, 0, 255)) std::abort();

    if (size >= 4) {
        std::int32_t position;
        std::memcpy(&position, data, sizeof position);
        if (pelmora::ReadPositionText(pelmora::FormatNumberText(position)) != position) std::abort();
    }
    if (size >= 1) {
        const std::uint8_t mode = data[0];
        if (pelmora::ReadModeText(pelmora::FormatNumberText(mode)) != mode) std::abort();
    }
    return 0;
}
