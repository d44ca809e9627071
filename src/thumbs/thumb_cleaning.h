#pragma once
// Cleaning the thumbnail folder: removing the thumbnails whose page is gone,
// or all of them, and then the thumbnail subfolders left empty.

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

struct ThumbCleaning {
    int found = 0;   // thumbnail files listed
    int removed = 0; // files deleted
    int failed = 0;  // files that could not be deleted
};

// Deletes one thumbnail file; true when it is gone.
using ThumbRemover = std::function<bool(const QString &path)>;
bool UnlinkThumbnail(const QString &path);

// Lists every ".jpg" below thumbDir into workList (plain paths), deletes the
// ones whose page (PageFromThumbName) no longer exists, or all of them with
// removeAll, then removes the empty subfolders directly inside thumbDir.
// thumbDir itself stays. Folders reached through symbolic links are not
// entered, so nothing outside the thumbnail folder is deleted. onEntry is
// called once per directory entry, so that a window can keep repainting.
// (Like every search, a cleaning switches the DoValidate setting off; the
// caller, which owns the settings, does that.)
ThumbCleaning RemoveThumbs(const QString &thumbDir, bool removeAll, QStringList &workList,
                           const std::function<void()> &onEntry = {},
                           const ThumbRemover &remove = UnlinkThumbnail);

// The text of the information message that follows the cleaning. Files that
// could not be deleted are not counted as removed; a line names their number.
QString ThumbCleaningMessage(const ThumbCleaning &result, bool removeAll);

} // namespace velmora
