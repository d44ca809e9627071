#include "scripted_prompts.h"

namespace velmora::testing {

QStringList ScriptedPrompts::Texts(Kind kind) const {
    QStringList texts;
    for (const Call &c : calls)
        if (c.kind == kind)
            texts << c.text;
    return texts;
}

void ScriptedPrompts::ShowInfo(const QString &message) {
    calls.append({Kind::Info, message, {}});
}

bool ScriptedPrompts::AskYesNo(const QString &message) {
    calls.append({Kind::YesNo, message, {}});
    return yesNoAnswers.isEmpty() ? defaultYesNo : yesNoAnswers.takeFirst();
}

Answer ScriptedPrompts::AskYesNoCancel(const QString &message) {
    calls.append({Kind::YesNoCancel, message, {}});
    return yesNoCancelAnswers.isEmpty() ? defaultYesNoCancel : yesNoCancelAnswers.takeFirst();
}

void ScriptedPrompts::ShowError(const QString &message) {
    calls.append({Kind::Error, message, {}});
}

void ScriptedPrompts::Beep() {
    calls.append({Kind::Beep, {}, {}});
}

QString ScriptedPrompts::NextFileAnswer() {
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedPrompts::GetOpenFileName(const QString &caption, const QString &, const QString &) {
    calls.append({Kind::OpenFile, caption, {}});
    return NextFileAnswer();
}

QStringList ScriptedPrompts::GetOpenFileNames(const QString &caption, const QString &,
                                              const QString &) {
    calls.append({Kind::OpenFiles, caption, {}});
    return filesAnswers.isEmpty() ? QStringList() : filesAnswers.takeFirst();
}

QString ScriptedPrompts::GetSaveFileName(const QString &caption, const QString &dir,
                                         const QString &) {
    calls.append({Kind::SaveFile, caption, dir});
    return NextFileAnswer();
}

QString ScriptedPrompts::GetExistingDirectory(const QString &caption, const QString &dir) {
    calls.append({Kind::Folder, caption, dir});
    return NextFileAnswer();
}

QString ScriptedPrompts::GetSaveFileNameFiltered(const QString &caption,
                                                 const QString &proposedPath, const QStringList &,
                                                 int *filterIndex) {
    calls.append({Kind::SaveFile, caption});
    proposedPaths << proposedPath;
    proposedFilters << *filterIndex;
    if (!filterAnswers.isEmpty())
        *filterIndex = filterAnswers.takeFirst();
    return NextFileAnswer();
}

} // namespace velmora::testing
