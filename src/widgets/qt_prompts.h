#pragma once
#include "foundation/prompts.h"

class QWidget;

namespace velmora {

// Prompts shown as the toolkit's standard message boxes, titled with the
// application title and parented to the active window.
class QtPrompts final : public Prompts {
public:
    void ShowInfo(const QString &message) override;
    bool AskYesNo(const QString &message) override;
    Answer AskYesNoCancel(const QString &message) override;
    void ShowError(const QString &message) override;
    void Beep() override;
};

// The toolkit's standard file and folder dialogs, parented to the active
// window. The folder chooser creates a typed folder after asking.
class QtFileDialogs final : public FileDialogs {
public:
    QString GetOpenFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QStringList GetOpenFileNames(const QString &caption, const QString &dir,
                                 const QString &filter) override;
    QString GetSaveFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString GetExistingDirectory(const QString &caption, const QString &dir) override;
    QString GetSaveFileNameFiltered(const QString &caption, const QString &proposedPath,
                                    const QStringList &filters, int *filterIndex) override;
};

} // namespace velmora
