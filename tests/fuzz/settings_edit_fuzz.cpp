// Any bytes as the shared settings file: the program's edit of it holds as
// QSettings itself reads the file before and after (its three values set,
// every other value as it was, every line and line break kept), or the file
// is left as it was.
#include "settings_oracle.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray before(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::string fault = pelmora::test_support::EditFault(
        before, {{"Dravon/Current mode", " 2"}, {"Dravon/Window X", " 3000"}, {"Dravon/Window Y", "-300"}}, false);
    if (!fault.empty()) {
        std::fprintf(stderr, "the edit does not hold: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
