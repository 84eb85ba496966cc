#include "program.h"

#include "lifecycle.h"

namespace pelmora {

Program::Program(HINSTANCE instance) : form_(instance) {
    if (!form_.Handle()) return;
    StartUp(form_.State(), form_.Placement(), store_);
    form_.ShowState();
}

void Program::EndOnEveryRequest() {
    form_.SetShutDown([this] { ShutDown(); });
}

void Program::ShutDown() {
    // Ending at once means no further messages, so this cannot run twice.
    SaveOnShutDown(form_.State(), form_.Placement(), store_);
    ExitProcess(0);
}

}  // namespace pelmora
