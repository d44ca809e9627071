#pragma once
// The program's own scripts inside pages. They run in an isolated world that
// page scripts cannot see or change, and report through console messages that
// begin with a per-process key.

#include "render/display_settings.h"

#include <QColor>
#include <QSize>
#include <QString>

namespace velmora {

// Reports the link under the pointer ("hover " + JSON with url, target and the
// address of the frame holding the link) whenever it changes. Every frame.
QString LinkHoverScript(const QString &messageKey);

// Gives the document the default text and link colours, the way a page's own
// <body text link> attributes would, so the page's own attributes and style
// sheets still win. With pictures switched off it also hides every picture,
// including pictures already in the engine's memory. Every frame.
QString DefaultColoursScript(const DisplaySettings &display);

// Waits until the document has painted and stopped changing: pending
// timeouts run, the given number of frames is drawn, and this repeats while
// the document still changes or pictures still load (at most maxRounds
// times). Then it reports "painted " + token, followed by " still" when the
// document was still changing as the rounds ran out.
QString SettleScript(const QString &messageKey, int token, int maxRounds, int frames);

// Shows (colour valid) or removes the frame mark: a small block of one colour
// at the top left corner of the viewport, above everything the page draws.
// It is shown only once the viewport has the given size in CSS pixels, so a
// picture that shows it was painted at that size. A document whose root is no
// HTML element, or whose root is filtered, moved, zoomed or translucent (the
// mark would not keep its colour or place), gets no mark: the script reports
// "unmarkable " + token instead.
QString FrameMarkScript(const QString &messageKey, int token, const QColor &colour, QSize viewport);

} // namespace velmora
