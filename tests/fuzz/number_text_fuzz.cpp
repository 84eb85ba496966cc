// The stored-number reader on arbitrary text: it never fails, its results
// stay within their types, and written values read back unchanged.
#include "number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto number = pelmora::ReadNumberText(text);
    if (number && !std::isfinite(*number)) std::abort();
    // The position is an int32 and the mode a uint8 by type; reading twice must agree.
    if (pelmora::ReadPositionText(text) != pelmora::ReadPositionText(text)) std::abort();
    (void)pelmora::ReadModeText(text);

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
