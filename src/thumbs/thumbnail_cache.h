#pragma once
// Decoded thumbnails kept in memory for the thumbnail view. Each thumbnail
// file is decoded once and its picture kept in a list of fixed-size slots
// (ILCache); a sorted text index (ThumbCacheIndex) maps thumbnail paths to
// slots. Entries read
//   state letter ("T" valid, "D" invalidated) + load counter as 7 digits +
//   full thumbnail path + "*" + slot number
// e.g. "T0000042/opt/v/THUMBS/=w=site/index.htm.jpg*17". Sorted without
// regard to case, the index lists invalidated entries first and then valid
// ones by load time, so recycling entry 0 takes an invalidated slot if there
// is one and otherwise the picture loaded longest ago (first in, first out:
// lookups do not refresh an entry). At most CacheMax + 1 pictures are held.
// Used only from the user-interface thread.

#include "pictures/picture.h"
#include "thumbs/thumb_size.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace velmora {

class ThumbnailCache {
public:
    // Decodes a thumbnail file into a picture; false when it cannot.
    using Decoder = std::function<bool(const QString &path, Picture *picture)>;
    // The decoder thumbnails are shown with: 256 colours, dithered.
    static bool DecodeThumbnailFile(const QString &path, Picture *picture);

    // The cache holds up to cacheMax + 1 pictures (the CacheMax setting).
    explicit ThumbnailCache(int cacheMax, Decoder decoder = DecodeThumbnailFile);
    // A changed setting applies from the next load on.
    void SetCacheMax(int cacheMax) { cacheMax_ = cacheMax; }
    // The decoder of the next loads (a view that decodes files ahead).
    void SetDecoder(Decoder decoder) { decoder_ = std::move(decoder); }

    // Slot of the cached picture of thumbPath, or -1.
    int FindCachedThumb(const QString &thumbPath) const;
    // Position of thumbPath's valid entry in the index, or -1.
    int FindCachedEntry(const QString &thumbPath) const;
    // Makes sure the picture of the thumbnail file is cached. The caller
    // checks that the file exists; a file that cannot be decoded leaves the
    // cache as it was.
    void LoadCachedThumb(const QString &thumbPath);
    // Puts a newly made thumbnail picture into the slot of a cached entry; the
    // entry keeps its place. Nothing happens when thumbPath is not cached.
    void RefreshCachedThumb(const QString &thumbPath, const Picture &picture);
    // Marks the entry of a cleared thumbnail invalid: it no longer matches
    // and its slot is the first to be reused.
    void InvalidateCachedThumb(const QString &thumbPath);

    // Draws a slot's picture with its top-left corner at the given point.
    void Draw(QPainter &painter, QPoint at, int slot) const;

    int PictureCount() const { return static_cast<int>(ILCache.size()); }
    // The picture in a slot; a null picture for a slot that does not exist.
    Picture SlotPicture(int slot) const;
    const QStringList &Index() const { return ThumbCacheIndex; }
    std::uint32_t LoadCount() const { return CacheCounter; }

private:
    static int SlotOfEntry(const QString &entry);
    static Picture FitToSlot(const Picture &picture);
    bool Matches(const QString &entry, const QString &thumbPath) const;
    void AddEntry(const QString &entry);
    // Slot for a new picture: a new one while the list holds at most
    // CacheMax pictures, else the slot of index entry 0, whose entry is
    // removed. -1 when there is none.
    int TakeSlot(const Picture &picture);

    int cacheMax_;
    Decoder decoder_;
    std::vector<Picture> ILCache;
    QStringList ThumbCacheIndex;
    std::uint32_t CacheCounter = 0;
};

} // namespace velmora
