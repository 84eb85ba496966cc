#include "about_box.h"

#include "identity.h"
#include "qt_text.h"

#include <QMessageBox>
#include <QStringList>

namespace pelmora {

QString AboutTitle() { return QStringLiteral("About ") + ToQString(identity::kInternalName); }

QString AboutText() {
    QStringList lines;
    lines << ToQString(identity::kProductName) + QStringLiteral(" (Win98) ") + ToQString(identity::kVersionText)
          << QString() << ToQString(identity::kRights) << QString() << ToQString(identity::kPublisher);
    for (std::string_view line : identity::kPostalAddress) lines << ToQString(line);
    lines << QString() << ToQString(identity::kEmail) << ToQString(identity::kWeb);
    return lines.join(QStringLiteral("\r\n"));
}

void ShowAboutBox(QWidget* parent) {
    // A lone carriage return would be drawn as a glyph of its own.
    QString shown = AboutText();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, AboutTitle(), shown, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace pelmora
