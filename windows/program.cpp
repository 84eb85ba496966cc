#include "program.h"

namespace pelmora {

Program::Program(HINSTANCE instance) : form_(instance) {
    if (!form_.Handle()) return;
    form_.Presenter().StartUp(form_.Placement(), store_);
    form_.FollowMonitorDensity();
}

void Program::EndProgramOnEveryRequest() {
    // Every way of ending arrives as a message to the window; ending at once
    // means no further messages, so the settings are saved once.
    form_.Presenter().EndProgramWith([] { ExitProcess(0); });
}

}  // namespace pelmora
