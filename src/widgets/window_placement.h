#pragma once
// Where the program's windows open.

class QWidget;

namespace velmora {

// Moves window so that its frame is centred on the screen it is on.
void CentreOnScreen(QWidget *window);

} // namespace velmora
