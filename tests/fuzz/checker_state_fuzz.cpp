// The checker state driven by arbitrary sequences of its operations, holding
// its invariants after each one.
#include "checker_state.h"

#include "number_checks.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckInvariants(const pelmora::CheckerState& state, std::uint8_t startMode) {
    using namespace pelmora;
    const std::uint8_t mode = state.CurrentMode;
    if (mode == kModeVat || mode == kModeCard) {
        Require(state.VatMark() == (mode == kModeVat));
        Require(state.CardMark() == (mode == kModeCard));
        Require(state.PromptText() == state.ModeCaptions[mode]);
    } else {
        // No mode: only the stored mode can give it, and nothing changes it but a real mode.
        Require(mode == startMode);
        Require(state.VatMark() && state.CardMark());
        Require(state.PromptText() == "VAT registration code");
    }
    const std::string& result = state.ResultText();
    Require(result.empty() || result == kWrongNumberOfDigits || result == kValidVatCode || result == kValidCardNumber ||
            result == kNotValid);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    if (size == 0) return 0;
    CheckerState state;
    state.ModeCaptions = {"", "VAT registration code", "Credit card number"};
    const std::uint8_t startMode = data[0];
    state.CurrentMode = startMode;
    state.SetMode(startMode);
    CheckInvariants(state, startMode);

    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t op = data[i];
        switch (op % 5) {
            case 0: {
                const std::string resultBefore = state.ResultText();
                const std::uint8_t modeBefore = state.CurrentMode;
                state.SetMode(op / 5 % 4);
                Require(state.EntryText().empty() && state.ResultText().empty());
                if (op / 5 % 4 != kModeVat && op / 5 % 4 != kModeCard) Require(state.CurrentMode == modeBefore);
                break;
            }
            case 1: {
                const std::string entryBefore = state.EntryText();
                state.CheckEntry();
                Require(state.EntryText() == entryBefore);
                break;
            }
            case 2:
                state.OtherKey(op);
                Require(state.ResultText().empty());
                break;
            case 3: {
                const std::string resultBefore = state.ResultText();
                state.ClearNumber();
                Require(state.EntryText().empty() && state.ResultText() == resultBefore);
                break;
            }
            case 4: {
                // The next bytes, up to 24 of them, become the entry as typed.
                const std::size_t length = std::min<std::size_t>(op / 5 % 25, size - i - 1);
                state.SetEntryText(std::string(reinterpret_cast<const char*>(data + i + 1), length));
                i += length;
                break;
            }
        }
        CheckInvariants(state, startMode);
    }
    return 0;
}
