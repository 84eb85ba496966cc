// Both checks on arbitrary bytes, compared with the textbook formulations.
#include "number_checks.h"

#include "reference_checks.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entry(reinterpret_cast<const char*>(data), size);
    if (pelmora::CheckVat(entry) != pelmora::reference::Vat(entry)) std::abort();
    if (pelmora::CheckCC(entry) != pelmora::reference::Luhn(entry)) std::abort();
    return 0;
}
