#pragma once

#include "checker_state.h"
#include "settings_store.h"
#include "window_placement.h"

#include <string_view>

namespace pelmora {

// Where the program's three values live in the settings store.
inline constexpr std::string_view kSettingsApplication = "Orvane";
inline constexpr std::string_view kSettingsSection = "Dravon";
inline constexpr std::string_view kWindowXKey = "Window X";
inline constexpr std::string_view kWindowYKey = "Window Y";
inline constexpr std::string_view kCurrentModeKey = "Current mode";

// Before the window is first shown: fill the mode captions, restore the
// window's position (each edge only when positive, and only where the title
// bar would be on a screen) and the last mode, VAT by default.
void StartUp(CheckerState& state, WindowPlacement& window, SettingsStore& store);

// Stores the mode and the window's edges (where the platform tells them), in
// that order, and flushes the store: when the program ends, and at a save it
// outlives (a session's checkpoint, a logout that may be cancelled).
void SaveSettings(const CheckerState& state, const WindowPlacement& window, SettingsStore& store);

}  // namespace pelmora
