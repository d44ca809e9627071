#include "widgets/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velmora {

void CentreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void FitAndCentreOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize room = screen->availableGeometry().size();
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize fitted = window->size().boundedTo(room - frame);
    if (fitted != window->size())
        window->resize(fitted.expandedTo(window->minimumSizeHint()));
    CentreOnScreen(window);
}

} // namespace velmora
