#pragma once
// The desktop of a window under test: nothing is opened or started, and what
// would have been is recorded.

#include "foundation/desktop_services.h"

#include <QList>
#include <QStringList>
#include <QUrl>

namespace velmora::testing {

class RecordingDesktop final : public DesktopServices {
public:
    bool OpenUrl(const QUrl &url) override {
        urls << url;
        return true;
    }
    bool StartDetached(const QString &program, const QStringList &arguments) override {
        starts << (QStringList{program} + arguments);
        return true;
    }
    QList<QUrl> urls;
    QList<QStringList> starts; // the program, then its arguments
};

} // namespace velmora::testing
