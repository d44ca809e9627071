#include "thumbs/thumbnail_cache.h"

#include "pictures/jpeg_codec.h"

#include <QPainter>

#include <algorithm>
#include <new>

namespace velmora {

namespace {
// The path starts after the state letter and the 7-digit counter. A counter
// past 9,999,999 pushes it one place on, and such entries no longer match:
// the entry format allows no more loads in one run.
constexpr int kPathStart = 8;
} // namespace

bool ThumbnailCache::DecodeThumbnailFile(const QString &path, Picture *picture) {
    return LoadJpeg(path, picture, nullptr, JpegDecodeOptions{.quantize = true});
}

ThumbnailCache::ThumbnailCache(int cacheMax, Decoder decoder)
    : cacheMax_(cacheMax), decoder_(std::move(decoder)) {}

int ThumbnailCache::SlotOfEntry(const QString &entry) {
    // The slot number follows the last '*': file names here may hold '*'
    // themselves, the number never does.
    bool ok = false;
    const int slot = QStringView(entry).mid(entry.lastIndexOf(u'*') + 1).toInt(&ok);
    return ok ? slot : -1;
}

bool ThumbnailCache::Matches(const QString &entry, const QString &thumbPath) const {
    // The whole path must match, letter case included: a path that is only
    // the beginning of a cached one ("a.jpg" beside "a.jpg.jpg") must not be
    // taken for it.
    if (entry.isEmpty() || entry.front() != u'T')
        return false;
    const qsizetype star = entry.lastIndexOf(u'*');
    return star - kPathStart == thumbPath.size() &&
           QStringView(entry).mid(kPathStart, thumbPath.size()) == thumbPath;
}

int ThumbnailCache::FindCachedEntry(const QString &thumbPath) const {
    if (thumbPath.isEmpty())
        return -1;
    for (qsizetype i = 0; i < ThumbCacheIndex.size(); ++i)
        if (Matches(ThumbCacheIndex[i], thumbPath))
            return static_cast<int>(i);
    return -1;
}

int ThumbnailCache::FindCachedThumb(const QString &thumbPath) const {
    const int pos = FindCachedEntry(thumbPath);
    return pos < 0 ? -1 : SlotOfEntry(ThumbCacheIndex[pos]);
}

void ThumbnailCache::AddEntry(const QString &entry) {
    const auto less = [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    };
    const auto at = std::lower_bound(ThumbCacheIndex.begin(), ThumbCacheIndex.end(), entry, less);
    if (at != ThumbCacheIndex.end() && QString::compare(*at, entry, Qt::CaseInsensitive) == 0)
        return; // never two equal entries
    ThumbCacheIndex.insert(at, entry);
}

Picture ThumbnailCache::FitToSlot(const Picture &picture) {
    // Slots have one size; a picture of another size is drawn into a white
    // slot from its top-left corner, cut where it is larger.
    if (picture.width() == ThumbWidth && picture.height() == ThumbHeight)
        return ToPicture(picture);
    Picture slot = MakePicture(ThumbWidth, ThumbHeight);
    if (slot.isNull())
        return slot;
    const Picture source = ToPicture(picture);
    const int w = std::min(ThumbWidth, source.width());
    for (int y = 0; y < std::min(ThumbHeight, source.height()); ++y)
        std::copy_n(source.constScanLine(y), 3 * w, slot.scanLine(y));
    return slot;
}

int ThumbnailCache::TakeSlot(const Picture &picture) {
    // A negative CacheMax would leave no slot at all; it counts as 0.
    const auto cacheMax = static_cast<std::size_t>(std::max(cacheMax_, 0));
    if (ILCache.size() <= cacheMax) {
        try {
            ILCache.push_back(picture);
            return static_cast<int>(ILCache.size()) - 1;
        } catch (const std::bad_alloc &) {
            // fall through to recycling
        }
    }
    if (ThumbCacheIndex.isEmpty())
        return -1;
    const int slot = SlotOfEntry(ThumbCacheIndex.first());
    if (slot < 0 || slot >= PictureCount())
        return -1;
    ILCache[slot] = picture;
    ThumbCacheIndex.removeFirst();
    return slot;
}

void ThumbnailCache::LoadCachedThumb(const QString &thumbPath) {
    if (FindCachedThumb(thumbPath) != -1)
        return;
    Picture decoded;
    if (!decoder_ || !decoder_(thumbPath, &decoded) || decoded.isNull())
        return;
    const Picture picture = FitToSlot(decoded);
    if (picture.isNull())
        return;
    ++CacheCounter;
    const int slot = TakeSlot(picture);
    if (slot < 0)
        return;
    AddEntry(u'T' + QString::number(CacheCounter).rightJustified(7, u'0') + thumbPath + u'*' +
             QString::number(slot));
}

void ThumbnailCache::RefreshCachedThumb(const QString &thumbPath, const Picture &picture) {
    const int slot = FindCachedThumb(thumbPath);
    if (slot < 0 || slot >= PictureCount() || picture.isNull())
        return;
    Picture fitted = FitToSlot(picture);
    if (!fitted.isNull())
        ILCache[slot] = std::move(fitted);
}

void ThumbnailCache::InvalidateCachedThumb(const QString &thumbPath) {
    const int pos = FindCachedEntry(thumbPath);
    if (pos < 0)
        return;
    QString entry = ThumbCacheIndex.takeAt(pos);
    entry[0] = u'D';
    AddEntry(entry);
}

Picture ThumbnailCache::SlotPicture(int slot) const {
    return slot >= 0 && slot < PictureCount() ? ILCache[slot] : Picture();
}

void ThumbnailCache::Draw(QPainter &painter, QPoint at, int slot) const {
    if (slot >= 0 && slot < PictureCount())
        painter.drawImage(at, ILCache[slot]);
}

} // namespace velmora
