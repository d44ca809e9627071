#include "filelists/file_operations.h"

#include "foundation/file_utils.h"
#include "foundation/progress_window.h"
#include "foundation/prompts.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

bool OnDisk(const QFileInfo &info) {
    return info.exists() || info.isSymLink();
}

// The same file under another spelling: a link, "./" or a second slash.
// Copying it onto itself would only replace it with its own copy.
bool SameFile(const QString &a, const QString &b) {
    if (SamePathIgnoringCase(a, b))
        return true;
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

QString FolderOf(const QString &path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString NameOf(const QString &path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

QString DeleteQuestion(const QString &currentFile, int count) {
    QString question = u"CAUTION:"_s + kMessageBreak +
                       u"--- File(s) will not be moved to the trash! ---"_s + kMessageBreak +
                       kMessageBreak + kMessageBreak;
    if (!currentFile.isEmpty())
        question += u"Delete file \""_s + currentFile + u"\" permanently from disk?"_s;
    else
        question += u"Delete "_s + QString::number(count) + u" files permanently from disk?"_s;
    return question + kMessageBreak + kMessageBreak;
}

DeletionResult DeleteViewFiles(const QList<ViewFile> &files, bool &doRecycleBin) {
    DeletionResult result;
    for (const ViewFile &file : files) {
        result.lastIndex = file.index;
        const QFileInfo info(file.path);
        // A link is removed as a link; a folder that carries a page's name
        // is not a file to delete.
        if (info.isDir() && !info.isSymLink()) {
            result.failed << file.path;
            continue;
        }
        DeleteFileFromDisk(file.path, doRecycleBin);
        if (OnDisk(QFileInfo(file.path)))
            result.failed << file.path;
    }
    if (!files.isEmpty())
        doRecycleBin = false;
    return result;
}

int FocusIndexAfterDeletion(int lastIndex, int itemCount) {
    const int index = std::min(lastIndex, itemCount - 1);
    return index < 0 ? -1 : index;
}

bool SamePathIgnoringCase(const QString &a, const QString &b) {
    return a.toUpper() == b.toUpper();
}

SingleCopyResult CopyOneFile(const QString &source, const QString &chosen, Prompts &prompts) {
    SingleCopyResult result;
    result.target = MakeFileName(FolderOf(chosen), NameOf(chosen), QString(), prompts);
    if (result.target.isEmpty()) {
        result.outcome = SingleCopy::Refused;
        return result;
    }
    if (SameFile(source, result.target)) {
        prompts.ShowInfo(u"Cannot copy a file to itself ..."_s);
        result.outcome = SingleCopy::Itself;
        return result;
    }
    if (CopyFileKeepDate(source, result.target)) {
        result.outcome = SingleCopy::Copied;
        return result;
    }
    // The copy helper leaves no partial target behind; the user is told that
    // nothing arrived rather than left to believe it did.
    prompts.ShowError(u"Could not copy the file"_s + kMessageBreak + source + kMessageBreak +
                      u"to"_s + kMessageBreak + result.target);
    result.outcome = SingleCopy::Failed;
    return result;
}

QString CopySeveralQuestion(int count, const QString &folder) {
    return u"Copy "_s + QString::number(count) + u" file(s) to folder:"_s + kMessageBreak +
           kMessageBreak + folder;
}

QString OverwriteQuestion(const QString &target) {
    return u"File: "_s + target + u" exists."_s + kMessageBreak + kMessageBreak + u"Overwrite?"_s;
}

QString CopyProgressText(int k, int count, const QString &source) {
    return u"("_s + QString::number(k) + u" of "_s + QString::number(count) + u"): "_s + source;
}

SeveralCopyResult CopyFilesToFolder(const QStringList &sources, const QString &folder,
                                    Prompts &prompts, ProgressWindow &progress,
                                    const std::function<void()> &betweenFiles) {
    SeveralCopyResult result;
    const int count = int(sources.size());
    int k = 1;
    for (const QString &source : sources) {
        const QString target = folder + NameOf(source);
        progress.SetText(CopyProgressText(k, count, source));
        bool goAhead = true;
        if (OnDisk(QFileInfo(target))) {
            const Answer answer = prompts.AskYesNoCancel(OverwriteQuestion(target));
            if (answer == Answer::Cancel) {
                result.cancelled = true;
                break;
            }
            goAhead = answer == Answer::Yes;
        }
        if (!goAhead || SameFile(source, target))
            result.skipped << target;
        else if (CopyFileKeepDate(source, target))
            result.copied << target;
        else
            result.failed << source;
        progress.Step();
        ++k;
        if (betweenFiles)
            betweenFiles();
        if (progress.StopRequested()) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

QString FailureText(const QString &heading, const QStringList &paths) {
    if (paths.isEmpty())
        return {};
    constexpr int kListed = 10;
    QString text = heading + kMessageBreak;
    for (int i = 0; i < std::min(int(paths.size()), kListed); ++i)
        text += kMessageBreak + paths[i];
    if (paths.size() > kListed)
        text +=
            kMessageBreak + u"... and "_s + QString::number(paths.size() - kListed) + u" more"_s;
    return text;
}

} // namespace velmora
