#pragma once

#include "main_window.h"
#include "qt_settings_store.h"

class QApplication;

namespace pelmora {

// The program between its entry and its event loop: the settings store and
// the window, started up and ready to show.
class Program {
public:
    // Builds the window and starts it up (position and mode restored, then
    // shown) before it is first shown.
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // However the program is asked to end (close button, File > Exit, the
    // end of the desktop session, a termination signal), the settings are
    // saved once and the program ends at once. A session's save request
    // that the program outlives saves them too, and so does a lost
    // connection to the display.
    void EndProgramOnEveryRequest(QApplication& application);

    Form1& Window() { return form_; }

private:
    QtSettingsStore store_;
    Form1 form_;
};

}  // namespace pelmora
