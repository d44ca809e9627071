#pragma once
// Stand-ins for the user's answers and the desktop in the main window's
// benchmarks: every question gets its default answer, nothing is shown and
// nothing is started.

#include "foundation/desktop_services.h"
#include "foundation/prompts.h"

#include <QString>
#include <QStringList>
#include <QUrl>

namespace velmora::bench {

class SilentPrompts final : public Prompts, public FileDialogs {
public:
    void ShowInfo(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
    Answer AskYesNoCancel(const QString &) override { return Answer::No; }
    void ShowError(const QString &) override {}
    void Beep() override {}
    QString GetOpenFileName(const QString &, const QString &, const QString &) override {
        return {};
    }
    QStringList GetOpenFileNames(const QString &, const QString &, const QString &) override {
        return {};
    }
    QString GetSaveFileName(const QString &, const QString &, const QString &) override {
        return {};
    }
    QString GetExistingDirectory(const QString &, const QString &) override { return {}; }
};

class NoDesktop final : public DesktopServices {
public:
    bool OpenUrl(const QUrl &) override { return true; }
    bool StartDetached(const QString &, const QStringList &) override { return true; }
};

} // namespace velmora::bench
