#include "program.h"

#include "lifecycle.h"
#include "termination_signals.h"

#include <QApplication>

#include <cstdlib>

namespace pelmora {

Program::Program() {
    StartUp(form_.State(), form_, store_);
    form_.ShowState();
}

void Program::EndOnEveryRequest(QApplication& application) {
    auto shutDown = [this] { ShutDown(); };
    form_.SetShutDown(shutDown);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form_, shutDown);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &form_, shutDown);
    RouteTerminationSignals(&form_, shutDown);
}

void Program::ShutDown() {
    // Ending at once means no further events, so this cannot run twice.
    SaveOnShutDown(form_.State(), form_, store_);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace pelmora
