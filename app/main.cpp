#include "program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pelmora::Program program;
    program.EndProgramOnEveryRequest(application);
    program.Window().show();
    return application.exec();
}
