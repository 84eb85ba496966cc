#pragma once

class QWidget;

namespace pelmora {

// Shows the modal About box and returns when the user dismisses it.
void ShowAboutBox(QWidget* parent);

}  // namespace pelmora
