#include "about_box.h"

#include "about_text.h"
#include "qt_text.h"

#include <QMessageBox>

namespace pelmora {

void ShowAboutBox(QWidget* parent) {
    // A lone carriage return would be drawn as a glyph of its own.
    QString shown = ToQString(AboutText());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, ToQString(AboutTitle()), shown, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace pelmora
