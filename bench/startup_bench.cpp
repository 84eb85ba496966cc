// The program's real start-up: settings read, window built, mode set, window
// shown and painted once; then it quits.
#include "first_paint.h"
#include "program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pelmora::Program program;
    QuitAfterFirstPaint quit(program.Window());
    program.Window().show();
    application.exec();
    ReportPeakMemory();
    return 0;
}
