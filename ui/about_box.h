#pragma once

#include <string>

class QWidget;

namespace pelmora {

// Shows the modal About box and returns when the user dismisses it.
void ShowAboutBox(QWidget* parent, const std::string& title, const std::string& text);

}  // namespace pelmora
