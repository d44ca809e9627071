#pragma once
// Guards of the main window's runs over several files: the window disabled
// for the run and the progress window shown for it, both undone on every
// path out of the run.

#include "foundation/progress_window.h"

#include <QPointer>
#include <QWidget>

namespace velmora {

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
        // The progress window that had the focus is gone: the main window
        // takes it back, as it would from a dialog.
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
