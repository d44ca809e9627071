#include "filelists/list_verification.h"

#include "filelists/duplicate_entries.h"
#include "filelists/list_file.h"
#include "filelists/list_status.h"
#include "foundation/file_utils.h"
#include "foundation/progress.h"
#include "foundation/prompts.h"
#include "foundation/text_utils.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <sys/stat.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

std::optional<FoundEntry> StatAs(const QString &path, const QString &name) {
    struct stat st {};
    const QByteArray bytes = QFile::encodeName(path);
    // Every kind of entry counts, a link whose target is gone included.
    if (::stat(bytes.constData(), &st) != 0 && ::lstat(bytes.constData(), &st) != 0)
        return std::nullopt;
    return FoundEntry{name, qint64(st.st_size), st.st_mtime};
}

// Names of a folder by their case-folded form, listed once per verification.
class FolderNames {
public:
    QString Find(const QString &folder, const QString &name) {
        auto it = folders_.find(folder);
        if (it == folders_.end()) {
            QHash<QString, QString> names;
            const QStringList all = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot,
                                                           QDir::NoSort);
            for (const QString &entry : all)
                names.insert(entry.toCaseFolded(), entry); // keeps the first listed
            it = folders_.insert(folder, names);
        }
        return it->value(name.toCaseFolded());
    }

private:
    QHash<QString, QHash<QString, QString>> folders_;
};

std::optional<FoundEntry> LookUp(const QString &path, FolderNames *names) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    if (name.isEmpty())
        return std::nullopt;
    if (auto found = StatAs(path, name))
        return found;
    if (!names || slash < 0)
        return std::nullopt;
    const QString folder = path.left(slash + 1);
    const QString onDisk = names->Find(folder, name);
    if (onDisk.isEmpty())
        return std::nullopt;
    return StatAs(folder + onDisk, onDisk);
}

void AdvanceProgress(ProgressBar *progress, int row, int step) {
    if (progress && (row + 1) % step == 0)
        ProgressSet(*progress, false, (row + 1) / step);
}

// True when the line MakeEntryLine would build from found equals the row's
// line: checked field by field, as nearly every entry of a list is unchanged
// and building its line only to compare it would cost more than the lookup.
bool RowMatches(const FileListModel &model, int row, const FoundEntry &found) {
    const QStringView folder = model.FieldView(row, FieldFolder);
    if (!folder.endsWith(u'/') || folder.endsWith(u"//") || !CanHoldInEntryLine(found.name))
        return false;
    const qsizetype dot = found.name.lastIndexOf(u'.');
    const QStringView name(found.name);
    const QStringView filename = dot < 0 ? name : name.left(dot);
    const QStringView ext = dot < 0 ? QStringView() : name.mid(dot);
    return filename == model.FieldView(row, FieldFilename) &&
           ext == model.FieldView(row, FieldExt) &&
           model.FieldView(row, FieldSize) == FormatEntrySize(found.size) &&
           model.FieldView(row, FieldDate) == FormatEntryDate(found.modified);
}

} // namespace

std::optional<FoundEntry> LookUpFileAnyCase(const QString &path) {
    FolderNames names;
    return LookUp(path, &names);
}

VerifyResult VerifyLoadedList(FileListModel &model, QStringList &workList, ProgressBar *progress) {
    VerifyResult result;
    result.total = model.Count();
    if (result.total == 0)
        return result;
    const FileListModel::UpdateSuspender suspended(model);
    const int step = ProgressStride(result.total);
    if (progress)
        ProgressInit(*progress, false, 10);
    workList.clear();
    FolderNames names;
    QList<int> gone;
    for (int i = 0; i < result.total; ++i) {
        const QString path = model.GetLVEntryPath(i);
        const std::optional<FoundEntry> found = LookUp(path, &names);
        if (found && RowMatches(model, i, *found)) {
            AdvanceProgress(progress, i, step);
            continue;
        }
        const QString line = found ? MakeEntryLine(model.Field(i, FieldFolder), *found) : QString();
        if (line.isEmpty()) {
            gone.append(i);
            ++result.removed;
            workList.append(u"Not Found:  "_s + path);
            continue;
        }
        if (line != model.GetLVEntryLine(i)) {
            model.SetLVEntry(i, line);
            ++result.updated;
            workList.append(u"Updated:  "_s + path);
        }
        AdvanceProgress(progress, i, step);
    }
    // Taken out in one step at the end: the rows stay in place meanwhile, so
    // the report keeps the view's order and removal stays linear.
    model.RemoveRowsAt(gone);
    if (progress)
        ProgressSet(*progress, false, 0);
    return result;
}

void ApplyVerifyResult(const VerifyResult &result, TListFileStatus &status) {
    if (result.OffersSave())
        status.Saved = false;
}

QString VerifySaveQuestion(const VerifyResult &result) {
    const QString br(kMessageBreak);
    return u"Loaded list contains "_s + QString::number(result.total) + u" entries."_s + br + br +
           QString::number(result.removed) + u" orphaned file entries removed from list"_s + br +
           QString::number(result.updated) + u" file entries updated"_s + br + br +
           u"Save updated list before continue?"_s;
}

QString NoValidEntriesMessage() {
    return u"No more valid entries left in this list!"_s;
}

QString MergeQuestion(const QStringList &names) {
    const QString br(kMessageBreak);
    QString text = u"Merge following list files?:"_s;
    for (const QString &name : names)
        text += br + u"  "_s + name;
    return text + br + br + u"(Note: Duplicates will be detected)"_s;
}

MergeResult MergeListFiles(const QString &listDir, const QStringList &names, FileListModel &model,
                           QStringList &workList, TListFileStatus &status, const QLocale &locale,
                           const std::function<void()> &generating) {
    MergeResult result;
    QStringList merged;
    QString caption;
    for (const QString &name : names) {
        const QString path = WithBackslash(listDir) + name;
        ListFileText read = ReadListFile(path);
        if (!read.ok) {
            result.failedPath = path;
            result.error = read.error;
            return result;
        }
        merged += read.lines;
        caption += u' ' + name + u" +"_s;
    }
    RemoveDuplicateEntries(merged, locale);
    if (generating)
        generating();
    workList = std::move(merged);
    model.FillLVFromList(workList);
    status.Name.clear();
    status.Saved = false;
    result.ok = true;
    result.caption = TrimCharRight(caption, u'+');
    return result;
}

} // namespace velmora
