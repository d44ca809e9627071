#pragma once
// The small window that shows how far a run over several files has come and
// lets the user stop it. Commands drive it through this interface, so that
// tests can stand in for the window and press its stop button at a chosen
// moment.

#include <QString>

#include <functional>
#include <memory>

namespace velmora {

class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // The bar runs from 0 to n in steps of 1 and starts at 0.
    virtual void InitProgBar(int n) = 0;
    // Shows the window (not modal) with an empty text; no stop is requested.
    virtual void Show() = 0;
    // The text above the bar, drawn at once.
    virtual void SetText(const QString &text) = 0;
    // One more file done.
    virtual void Step() = 0;
    // Set when the user pressed the stop button or its keys since Show.
    virtual bool StopRequested() const = 0;
    virtual void Close() = 0;
};

// Makes the progress window of one run.
using ProgressWindowFactory = std::function<std::unique_ptr<ProgressWindow>()>;

} // namespace velmora
