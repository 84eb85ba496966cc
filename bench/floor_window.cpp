// The least a Qt Widgets program of the same shape costs: a main window with
// the same menus, two labels and a line edit of the same sizes, and no logic.
#include "first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));

    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"));
    QMenu* mode = window.menuBar()->addMenu(QStringLiteral("&Mode"));
    mode->addAction(QStringLiteral("&VAT registration code"))->setShortcut(QKeySequence(Qt::Key_F1));
    mode->addAction(QStringLiteral("&Credit card numbers"))->setShortcut(QKeySequence(Qt::Key_F2));
    mode->addSeparator();
    mode->addAction(QStringLiteral("Cl&ear number"))->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("About..."));

    auto* client = new QWidget(&window);
    client->setFixedSize(305, 84);
    auto* prompt = new QLabel(QStringLiteral("VAT registration code"), client);
    prompt->setGeometry(8, 8, 145, 17);
    auto* entry = new QLineEdit(client);
    entry->setGeometry(152, 4, 145, 25);
    auto* result = new QLabel(client);
    result->setGeometry(62, 40, 185, 17);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);

    QuitAfterFirstPaint quit(window);
    window.show();
    application.exec();
    ReportPeakMemory();
    return 0;
}
