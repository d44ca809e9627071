#pragma once
// Every question and message the program puts to the user goes through one
// injectable service, and every file or folder choice through another, so
// that each command can run in a test without a person: the program installs
// the message boxes and dialogs of the widgets library, a console tool prints
// its messages and has no dialogs, tests install a scripted double.

#include <QString>
#include <QStringList>

namespace velmora {

enum class Answer { Yes, No, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;

    // Information box with one OK button.
    virtual void ShowInfo(const QString &message) = 0;
    // Confirmation with Yes and No; true only for Yes.
    virtual bool AskYesNo(const QString &message) = 0;
    // Question with Yes, No and Cancel; closing the box counts as Cancel.
    virtual Answer AskYesNoCancel(const QString &message) = 0;
    // Error box with one OK button.
    virtual void ShowError(const QString &message) = 0;
    // The default system beep.
    virtual void Beep() = 0;

    // Several error paths sound the beep before their error box.
    void BeepAndShowError(const QString &message) {
        Beep();
        ShowError(message);
    }
};

// The standard file and folder dialogs; an empty result means cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString GetOpenFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QStringList GetOpenFileNames(const QString &caption, const QString &dir,
                                         const QString &filter) = 0;
    virtual QString GetSaveFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString GetExistingDirectory(const QString &caption, const QString &dir) = 0;
    // A save dialog offering several filters ("Name (*.ext)"), starting on
    // proposedPath. *filterIndex (from 1) chooses the filter shown first and
    // receives the one chosen. By default the plain save dialog with every
    // filter, leaving the index as it was.
    virtual QString GetSaveFileNameFiltered(const QString &caption, const QString &proposedPath,
                                            const QStringList &filters, int *filterIndex) {
        (void)filterIndex;
        return GetSaveFileName(caption, proposedPath, filters.join(QStringLiteral(";;")));
    }
};

// Line break inside message texts.
inline constexpr char16_t kMessageBreak = u'\n';

// Commands whose feature is still to come say so when chosen.
inline void ShowNotYetAvailable(Prompts &prompts, const QString &caption) {
    prompts.ShowInfo(u'"' + caption +
                     QStringLiteral("\" is not available in this version of Velmora yet."));
}

} // namespace velmora
