#pragma once
// Making and clearing the thumbnail of one page: the page is captured at the
// thumbnail base size, shrunk with Lanczos3 to 130 x 100 without keeping the
// aspect ratio, and written as a JPEG of quality 70 under the page's
// thumbnail name; a cached copy is refreshed. Failures end the attempt
// without a message (the program goes on with the next page); the reason is
// handed back for the batch command.

#include "foundation/file_utils.h"

#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace velmora {

class PageCapture;
class Prompts;
class ThumbnailStore;

// The base sizes of the thumbnail base box, by item index.
struct ThumbBaseSize {
    int width;
    int height;
    const char16_t *itemText;
};
inline constexpr std::array<ThumbBaseSize, 7> kThumbBaseSizes{{
    {160, 120, u"Thumbs Base: 160x120"},
    {320, 240, u"Thumbs Base: 320x240"},
    {480, 360, u"Thumbs Base: 480x360"},
    {640, 480, u"Thumbs Base: 640x480"},
    {800, 600, u"Thumbs Base: 800x600"},
    {1024, 768, u"Thumbs Base: 1024x768"},
    {1600, 1200, u"Thumbs Base: 1600x1200"},
}};
// Free space the thumbnail folder's volume needs before each thumbnail, in
// units of 1000 bytes.
inline constexpr qint64 kThumbFreeSpaceKb = 2000;

// The base size of an item of the base box; nothing for an index outside it.
std::optional<QSize> ThumbBaseSizeOf(int itemIndex);

class ThumbnailMaker {
public:
    ThumbnailMaker(PageCapture &capture, ThumbnailStore &store, Prompts &prompts,
                   FreeSpaceQuery freeSpace = FreeSpaceOfVolume);

    // The base box changed to itemIndex: the base index follows it, and the
    // base size follows it when the index is one of the table's. Until then
    // the base size is 0 x 0, and no thumbnail can be made.
    void CBSnapBaseChange(int itemIndex);
    int BaseIndex() const { return baseIndex_; }
    // A base size of its own instead of the base box's (the batch command's
    // --base).
    void SetBase(QSize base) { base_ = base; }
    QSize Base() const { return base_; }
    // CheckDiskSpace(ThumbDir, 2000): false after its message when the
    // thumbnail volume is short of space.
    bool HasRoomForThumbnail();
    // Makes or replaces the thumbnail of one page. Nothing happens for a
    // missing page; any other failure leaves an older thumbnail as it was.
    bool MakeThumbnail(const QString &pagePath, QString *error = nullptr);
    // Deletes the thumbnail of one page; a missing thumbnail is no error.
    bool ClearThumbnail(const QString &pagePath, QString *error = nullptr);

private:
    PageCapture &capture_;
    ThumbnailStore &store_;
    Prompts &prompts_;
    FreeSpaceQuery freeSpace_;
    int baseIndex_ = -1;
    QSize base_{0, 0};
};

} // namespace velmora
