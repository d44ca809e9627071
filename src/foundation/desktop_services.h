#pragma once
// Hands files and addresses to other programs: the user's default application
// for a file or web address, or an external program with a command line.
// Injectable so that tests record the calls instead of starting programs.

#include <QStringList>
#include <QUrl>

namespace velmora {

class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    virtual bool OpenUrl(const QUrl &url) = 0;
    virtual bool StartDetached(const QString &program, const QStringList &arguments) = 0;
};

class SystemDesktopServices final : public DesktopServices {
public:
    bool OpenUrl(const QUrl &url) override;
    bool StartDetached(const QString &program, const QStringList &arguments) override;
};

} // namespace velmora
