#include "about_box.h"

#include "qt_text.h"

#include <QMessageBox>

namespace pelmora {

void ShowAboutBox(QWidget* parent, const std::string& title, const std::string& text) {
    // A lone carriage return would be drawn as a glyph of its own.
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, ToQString(title), shown, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace pelmora
