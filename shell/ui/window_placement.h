#pragma once
// Dialogs centre themselves on the screen when they load, not over their owner.
class QWidget;

namespace velk {

void CentreOnScreen(QWidget& window);

}  // namespace velk
