#pragma once
// Stand-ins for the user's answers and the desktop in the main window's
// benchmarks: every question gets its default answer, nothing is shown and
// nothing is started.

#include "foundation/desktop_services.h"
#include "foundation/prompts.h"

#include <QString>
#include <QStringList>

#include <QUrl>
#include <cstdio>

namespace velmora::bench {

// Answers every question with No and every file dialog with nothing. With
// echo on, messages go to standard error, so that a run that met one (a full
// disk, say) does not pass for a timed run.
class SilentPrompts final : public Prompts, public FileDialogs {
public:
    explicit SilentPrompts(bool echo = false) : echo_(echo) {}
    void ShowInfo(const QString &text) override {
        if (echo_)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool AskYesNo(const QString &) override { return false; }
    Answer AskYesNoCancel(const QString &) override { return Answer::No; }
    void ShowError(const QString &text) override { ShowInfo(text); }
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

private:
    bool echo_;
};

class NoDesktop final : public DesktopServices {
public:
    bool OpenUrl(const QUrl &) override { return true; }
    bool StartDetached(const QString &, const QStringList &) override { return true; }
};

} // namespace velmora::bench
