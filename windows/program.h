#pragma once

#include "main_window.h"
#include "registry_store.h"

#include <windows.h>

namespace pelmora {

// The program between its entry and its message loop: the settings store and
// the window, started up and ready to show.
class Program {
public:
    // Builds the window and, where it could be made, starts it up (position
    // and mode restored, then shown) before it is first shown.
    explicit Program(HINSTANCE instance);

    // However the program is asked to end (close button, File > Exit, the
    // end of the session), the settings are saved once and the program ends
    // at once.
    void EndProgramOnEveryRequest();

    Form1& Window() { return form_; }

private:
    RegistryStore store_;
    Form1 form_;
};

}  // namespace pelmora
