#include "program.h"

#include "session_end.h"
#include "termination_signals.h"

#include <QApplication>

#include <cstdlib>

namespace pelmora {

Program::Program() { form_.Presenter().StartUp(form_.Placement(), store_); }

Program::~Program() { SaveOnLibraryExit(nullptr, nullptr); }

void Program::EndProgramOnEveryRequest(QApplication& application) {
    FormPresenter& presenter = form_.Presenter();
    // Ending at once means no further events, so the settings are saved once.
    presenter.EndProgramWith([] { std::_Exit(EXIT_SUCCESS); });
    auto endProgram = [&presenter] { presenter.EndProgram(); };
    // The session asks for a save at a checkpoint and at the start of a
    // logout that may yet be cancelled: save, answer and go on. The session
    // really ends with a quit.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form_,
                     [&presenter] { presenter.SaveSettings(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &form_, endProgram);
    RouteTerminationSignals(&form_, endProgram);
    KeepRunningWithoutSessionManager();
    SaveOnLibraryExit([](void* presenter) { static_cast<FormPresenter*>(presenter)->SaveSettings(); }, &presenter);
}

}  // namespace pelmora
