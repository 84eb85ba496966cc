#pragma once

#include "main_window.h"
#include "qt_settings_store.h"

class QApplication;

namespace pelmora {

// The program between its entry and its event loop: the settings store and
// the window, started up and ready to show.
class Program {
public:
    // Builds the window and runs the start-up sequence (captions, position,
    // mode) before the window is first shown.
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // However the program is asked to end (close button, File > Exit, the
    // end of the desktop session, a termination signal), the settings are
    // written once and the program ends at once. A session's save request
    // that the program outlives writes them too, and so does a lost
    // connection to the display.
    void EndOnEveryRequest(QApplication& application);

    Form1& Window() { return form_; }

private:
    // Writes the mode and the window's position to the store, durably.
    void Save();
    [[noreturn]] void ShutDown();

    QtSettingsStore store_;
    Form1 form_;
};

}  // namespace pelmora
