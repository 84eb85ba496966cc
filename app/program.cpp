#include "program.h"

#include "lifecycle.h"
#include "session_end.h"
#include "termination_signals.h"

#include <QApplication>

#include <cstdlib>

namespace pelmora {

Program::Program() {
    StartUp(form_.State(), form_.Placement(), store_);
    form_.ShowState();
}

Program::~Program() { SaveOnLibraryExit(nullptr, nullptr); }

void Program::EndOnEveryRequest(QApplication& application) {
    auto shutDown = [this] { ShutDown(); };
    form_.SetShutDown(shutDown);
    // The session asks for a save at a checkpoint and at the start of a
    // logout that may yet be cancelled: save, answer and go on. The session
    // really ends with a quit.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form_, [this] { Save(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &form_, shutDown);
    RouteTerminationSignals(&form_, shutDown);
    KeepRunningWithoutSessionManager();
    SaveOnLibraryExit([](void* program) { static_cast<Program*>(program)->Save(); }, this);
}

void Program::Save() { SaveOnShutDown(form_.State(), form_.Placement(), store_); }

void Program::ShutDown() {
    // Ending at once means no further events, so this cannot run twice.
    Save();
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace pelmora
