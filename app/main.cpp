#include "lifecycle.h"
#include "settings_store.h"
#include "termination_signals.h"

#include "main_window.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pelmora::SettingsStore store;
    pelmora::Form1 form;

    pelmora::StartUp(form.State(), form, store);
    form.ShowState();

    // However the program is asked to end (close button, File > Exit, the end
    // of the desktop session, a termination signal), the settings are written
    // once and the program ends at once, without handling further events.
    auto shutDown = [&form, &store] {
        static bool ending = false;
        if (ending) return;
        ending = true;
        pelmora::SaveOnShutDown(form.State(), form, store);
        std::_Exit(EXIT_SUCCESS);
    };
    form.SetShutDown(shutDown);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form, shutDown);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &form, shutDown);
    pelmora::RouteTerminationSignals(&form, shutDown);

    form.show();
    return application.exec();
}
