#include "about_box.h"

#include "identity.h"

#include <QMessageBox>
#include <QStringList>

namespace pelmora {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString AboutTitle() { return QStringLiteral("About ") + Text(identity::kInternalName); }

QString AboutText() {
    QStringList lines;
    lines << Text(identity::kProductName) + QStringLiteral(" (Win98) ") + Text(identity::kVersionText) << QString()
          << Text(identity::kRights) << QString() << Text(identity::kPublisher);
    for (std::string_view line : identity::kPostalAddress) lines << Text(line);
    lines << QString() << Text(identity::kEmail) << Text(identity::kWeb);
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
