#include "lifecycle.h"

#include "number_text.h"

#include <string>

namespace pelmora {

namespace {

std::string Stored(SettingsStore& store, std::string_view key, std::string_view fallback = {}) {
    return store.GetSetting(kSettingsApplication, kSettingsSection, key, fallback);
}

void Save(SettingsStore& store, std::string_view key, double value) {
    store.SaveSetting(kSettingsApplication, kSettingsSection, key, FormatNumberText(value));
}

}  // namespace

void StartUp(CheckerState& state, WindowPlacement& window, SettingsStore& store) {
    state.ModeCaptions[kModeVat] = kVatCaption;
    state.ModeCaptions[kModeCard] = kCardCaption;

    // An edge of 0 or less stays where the platform put the new window; the
    // two edges are judged separately.
    const std::int32_t x = ReadPositionText(Stored(store, kWindowXKey));
    const std::int32_t y = ReadPositionText(Stored(store, kWindowYKey));
    if (std::optional<TwipPoint> position = window.TopLeft(); position && (x > 0 || y > 0)) {
        if (x > 0) position->x = x;
        if (y > 0) position->y = y;
        if (window.TitleBarOnAScreen(*position)) window.MoveTo(*position);
    }

    state.CurrentMode = ReadModeText(Stored(store, kCurrentModeKey, "1"));
    state.SetMode(state.CurrentMode);
}

void SaveSettings(const CheckerState& state, const WindowPlacement& window, SettingsStore& store) {
    const std::optional<TwipPoint> position = window.TopLeft();
    Save(store, kCurrentModeKey, state.CurrentMode);
    // A position the platform cannot tell is no position: what is stored
    // stays for the next start on a platform that can.
    if (position) {
        Save(store, kWindowXKey, position->x);
        Save(store, kWindowYKey, position->y);
    }
    store.Flush();
}

}  // namespace pelmora
