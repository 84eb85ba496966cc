#pragma once

#include <QString>

class QWidget;

namespace pelmora {

QString AboutTitle();
// The About text: its lines joined with "\r\n", no break after the last.
QString AboutText();
// Shows the modal About box and returns when the user dismisses it.
void ShowAboutBox(QWidget* parent);

}  // namespace pelmora
