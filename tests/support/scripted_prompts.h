#pragma once
// A double of the prompts and the file dialogs for tests: records every
// message and dialog request, and answers from queues set up by the test
// (defaults when a queue is empty).

#include "foundation/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora::testing {

class ScriptedPrompts final : public Prompts, public FileDialogs {
public:
    enum class Kind {
        Info,
        YesNo,
        YesNoCancel,
        Error,
        Beep,
        OpenFile,
        OpenFiles,
        SaveFile,
        Folder
    };
    struct Call {
        Kind kind;
        QString text; // message, or dialog caption
        QString dir;  // the folder or file a dialog starts on
    };

    // Queued answers; used front first.
    QList<bool> yesNoAnswers;
    QList<Answer> yesNoCancelAnswers;
    QStringList fileAnswers; // open, save and folder dialogs
    QList<QStringList> filesAnswers;
    // The filter index chosen in each filtered save dialog; an empty queue
    // keeps the index the dialog started with.
    QList<int> filterAnswers;
    // What each filtered save dialog was opened with.
    QStringList proposedPaths;
    QList<int> proposedFilters;
    bool defaultYesNo = false;
    Answer defaultYesNoCancel = Answer::Cancel;

    QList<Call> calls;

    QStringList Texts(Kind kind) const;
    int Count(Kind kind) const { return int(Texts(kind).size()); }
    void Clear() { calls.clear(); }

    void ShowInfo(const QString &message) override;
    bool AskYesNo(const QString &message) override;
    Answer AskYesNoCancel(const QString &message) override;
    void ShowError(const QString &message) override;
    void Beep() override;
    QString GetOpenFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QStringList GetOpenFileNames(const QString &caption, const QString &dir,
                                 const QString &filter) override;
    QString GetSaveFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString GetExistingDirectory(const QString &caption, const QString &dir) override;
    QString GetSaveFileNameFiltered(const QString &caption, const QString &proposedPath,
                                    const QStringList &filters, int *filterIndex) override;

private:
    QString NextFileAnswer();
};

} // namespace velmora::testing
