#pragma once
// Guards of runs that let events through while they work: a widget or a
// window disabled for the run and the progress window shown for it, all
// undone on every path out of the run.

#include "foundation/progress_window.h"

#include <QPointer>
#include <QWidget>

namespace velmora {

// Disables a widget while the guard lives, then gives it back the state of
// its own it had (it may have been disabled itself before, not only through
// its window); a widget taken down meanwhile is left alone.
class DisabledWhile {
public:
    explicit DisabledWhile(QWidget *widget)
        : widget_(widget), wasDisabled_(widget->testAttribute(Qt::WA_ForceDisabled)) {
        widget->setEnabled(false);
    }
    ~DisabledWhile() {
        if (widget_)
            widget_->setEnabled(!wasDisabled_);
    }
    DisabledWhile(const DisabledWhile &) = delete;
    DisabledWhile &operator=(const DisabledWhile &) = delete;

private:
    QPointer<QWidget> widget_;
    bool wasDisabled_;
};

// Disables a window for the lifetime of the object and enables it again on
// every path, active again with the keyboard focus back where it was.
class DisabledWindow {
public:
    explicit DisabledWindow(QWidget *window) : window_(window), focus_(window->focusWidget()) {
        window_->setEnabled(false);
    }
    ~DisabledWindow() {
        if (!window_)
            return;
        window_->setEnabled(true);
        // The progress window that had the focus is gone: the window takes
        // it back, as it would from a dialog.
        window_->activateWindow();
        if (focus_)
            focus_->setFocus();
    }
    DisabledWindow(const DisabledWindow &) = delete;
    DisabledWindow &operator=(const DisabledWindow &) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

// Closes the progress window however the run ends.
class ShownProgress {
public:
    explicit ShownProgress(ProgressWindow &window) : window_(window) { window_.Show(); }
    ~ShownProgress() { window_.Close(); }
    ShownProgress(const ShownProgress &) = delete;
    ShownProgress &operator=(const ShownProgress &) = delete;

private:
    ProgressWindow &window_;
};

} // namespace velmora
