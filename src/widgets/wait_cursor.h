#pragma once
#include <QCursor>
#include <QGuiApplication>

namespace velmora {

// Shows the busy cursor for the lifetime of the object, restored on every path.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace velmora
