#pragma once

#include "checker_state.h"

class QWidget;

namespace pelmora {

class SettingsStore;

// Before the window is first shown: fill the mode captions, restore the
// window's position and the last mode.
void StartUp(CheckerState& state, QWidget& window, SettingsStore& store);

// When the program ends: store the mode and the window's position, in that
// order, and flush the store. The caller then ends the program at once.
void SaveOnShutDown(const CheckerState& state, const QWidget& window, SettingsStore& store);

}  // namespace pelmora
