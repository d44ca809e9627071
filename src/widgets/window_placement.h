#pragma once
// Where the program's windows open.

class QWidget;

namespace velmora {

// Moves window so that its frame is centred on the screen it is on.
void CentreOnScreen(QWidget *window);

// Shrinks window, frame included, to the screen's free area when it is larger
// (a size stored on a bigger screen), then centres it.
void FitAndCentreOnScreen(QWidget *window);

} // namespace velmora
