#include "foundation/desktop_services.h"

#include <QDesktopServices>
#include <QProcess>

namespace velmora {

bool SystemDesktopServices::OpenUrl(const QUrl &url) {
    return QDesktopServices::openUrl(url);
}

bool SystemDesktopServices::StartDetached(const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
}

} // namespace velmora
