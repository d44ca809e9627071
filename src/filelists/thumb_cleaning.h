#pragma once
// Cleaning the thumbnail folder: removing the thumbnails whose page is gone,
// or all of them, and then the thumbnail subfolders left empty.

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

struct Settings;

struct ThumbCleaning {
    int found = 0;   // thumbnail files listed
    int removed = 0; // files deleted (a file that resisted deletion counts too)
};

// Lists every ".jpg" below thumbDir into workList (plain paths), deletes the
// ones whose page (PageFromThumbName) no longer exists, or all of them with
// removeAll, then removes the empty subfolders directly inside thumbDir.
// thumbDir itself stays. Folders reached through symbolic links are not
// entered, so nothing outside the thumbnail folder is deleted. Switches the
// DoValidate setting off, as every search does. onEntry is called once per
// directory entry, so that a window can keep repainting.
ThumbCleaning RemoveThumbs(const QString &thumbDir, bool removeAll, QStringList &workList,
                           Settings &settings, const std::function<void()> &onEntry = {});

// The text of the information message that follows the cleaning.
QString ThumbCleaningMessage(const ThumbCleaning &result, bool removeAll);

} // namespace velmora
