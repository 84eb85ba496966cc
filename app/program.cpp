#include "program.h"

#include "termination_signals.h"
#include "window_lifecycle.h"

#include <QApplication>

#include <cstdlib>

namespace pelmora {

Program::Program() { StartUpWindow(form_, store_); }

void Program::EndOnEveryRequest(QApplication& application) {
    auto shutDown = [this] { ShutDown(); };
    form_.SetShutDown(shutDown);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form_, shutDown);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &form_, shutDown);
    RouteTerminationSignals(&form_, shutDown);
}

void Program::ShutDown() {
    // Ending at once means no further events, so this cannot run twice.
    SaveWindowOnShutDown(form_, store_);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace pelmora
