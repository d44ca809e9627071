#include "thumbs/thumb_cleaning.h"
#include <cerrno>

#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "sitewalk/file_search.h"
#include "thumbs/thumbnail_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

bool PageExists(const QString &page) {
    return !page.isEmpty() && QFileInfo(page).isFile();
}

// Removes the empty folders directly inside thumbDir; files and folders that
// still hold something stay, and a failure is not reported.
void RemoveEmptySubfolders(const QString &thumbDir) {
    const QStringList entries = QDir(thumbDir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString &name : entries)
        ::rmdir(QFile::encodeName(thumbDir + name).constData());
}

} // namespace

ThumbCleaning RemoveThumbs(const QString &thumbDir, bool removeAll, QStringList &workList,
                           const std::function<void()> &onEntry, const ThumbRemover &remove) {
    ThumbCleaning result;
    // An empty folder name would become "/" and the cleaning would walk the
    // whole disk deleting pictures; there is nothing to clean then.
    if (thumbDir.isEmpty())
        return result;
    const QString dir = WithBackslash(thumbDir);
    workList.clear();
    FileSearchOptions options;
    options.mask = u"*.JPG"_s;
    options.thumbDir = dir;
    options.descendEverywhere = true;
    options.entryMode = false;
    options.descendIntoLinks = false;
    options.onEntry = onEntry;
    SearchFilesRecursive(dir, options, workList);
    result.found = int(workList.size());
    for (const QString &thumb : workList) {
        if (!removeAll && PageExists(PageFromThumbName(dir, thumb)))
            continue;
        if (remove(thumb))
            ++result.removed;
        else
            ++result.failed;
    }
    RemoveEmptySubfolders(dir);
    return result;
}

bool UnlinkThumbnail(const QString &path) {
    // unlink never follows a link and never removes a folder. A file that is
    // already gone counts as removed.
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

QString ThumbCleaningMessage(const ThumbCleaning &result, bool removeAll) {
    const QString br(kMessageBreak);
    QString text = removeAll
                       ? QString::number(result.removed) + u" thumbnails removed."_s
                       : QString::number(result.found) + u" thumbnails found."_s + br + br +
                             QString::number(result.removed) + u" orphaned thumbnails removed."_s;
    if (result.failed > 0)
        text += br + br + QString::number(result.failed) + u" thumbnails could not be deleted."_s;
    return text;
}

} // namespace velmora
