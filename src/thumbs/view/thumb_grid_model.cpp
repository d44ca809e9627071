#include "thumbs/view/thumb_grid_model.h"

#include "thumbs/thumbnail_store.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

ThumbGridModel::ThumbGridModel(ThumbnailStore &store, QObject *parent)
    : QAbstractListModel(parent), store_(store), ahead_([this] { PostDecoded(); }) {
    store_.Cache().SetDecoder(
        [this](const QString &path, Picture *picture) { return ahead_.Decode(path, picture); });
}

ThumbGridModel::~ThumbGridModel() {
    store_.Cache().SetDecoder(ThumbnailCache::DecodeThumbnailFile);
}

QStringList ThumbGridModel::UncachedThumbs(int first, int last) const {
    QStringList thumbs;
    const ThumbnailCache &cache = store_.Cache();
    for (int row = std::max(first, 0); row <= last && row < paths_.size(); ++row) {
        const QString thumb = ThumbPathAt(row);
        if (cache.FindCachedThumb(thumb) == -1 && QFileInfo(thumb).isFile())
            thumbs << thumb;
    }
    return thumbs;
}

void ThumbGridModel::PrepareRange(int first, int last) {
    ahead_.Request(UncachedThumbs(first, last));
}

void ThumbGridModel::ShowRange(int first, int last, int aheadLast) {
    if (first < 0 || first > last || last >= paths_.size())
        return;
    shown_ = {first, last};
    const ThumbnailCache &cache = store_.Cache();
    // Tiles without a thumbnail file show so at once; the others wait for
    // their pictures.
    for (int row = first; row <= last; ++row) {
        const QString thumb = ThumbPathAt(row);
        if (decoding_[size_t(row)] != Decoding::Failed && cache.FindCachedThumb(thumb) == -1 &&
            QFileInfo(thumb).isFile())
            decoding_[size_t(row)] = Decoding::Waiting;
    }
    // Pictures decoded ahead are shown now: the decoding thread does not
    // announce them again.
    TakeDecodedPictures();
    QStringList wanted;
    for (int row = first; row <= last; ++row)
        if (decoding_[size_t(row)] == Decoding::Waiting)
            wanted << ThumbPathAt(row);
    ahead_.Request(wanted + UncachedThumbs(last + 1, aheadLast));
}

void ThumbGridModel::PostDecoded() {
    if (decodedPosted_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            decodedPosted_ = false;
            TakeDecodedPictures();
        },
        Qt::QueuedConnection);
}

void ThumbGridModel::TakeDecodedPictures() {
    const auto [first, last] = shown_;
    if (first < 0 || last >= paths_.size())
        return;
    ThumbnailCache &cache = store_.Cache();
    for (int row = first; row <= last; ++row) {
        Decoding &state = decoding_[size_t(row)];
        const QString thumb = ThumbPathAt(row);
        if (state != Decoding::Waiting || !ahead_.IsReady(thumb))
            continue;
        // The cache's decoder takes the picture decoded ahead.
        cache.LoadCachedThumb(thumb);
        state = cache.FindCachedThumb(thumb) == -1 ? Decoding::Failed : Decoding::Idle;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed);
    }
}

bool ThumbGridModel::SetPaths(const QStringList &paths) {
    // The same files may have been saved since they were last shown.
    freshness_.assign(size_t(paths.size()), 0);
    decoding_.assign(size_t(paths.size()), Decoding::Idle);
    if (paths == paths_)
        return false;
    beginResetModel();
    paths_ = paths;
    shown_ = {-1, -1};
    endResetModel();
    return true;
}

ThumbFreshness ThumbGridModel::FreshnessAt(int row) const {
    std::uint8_t &known = freshness_[size_t(row)];
    if (known == 0)
        known = std::uint8_t(1 + int(ThumbFreshnessOfPage(store_.ThumbDir(), PathAt(row))));
    return ThumbFreshness(known - 1);
}

QString ThumbGridModel::PathAt(int row) const {
    return row >= 0 && row < paths_.size() ? paths_[row] : QString();
}

QString ThumbGridModel::NameAt(int row) const {
    const QString path = PathAt(row);
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString ThumbGridModel::CaptionAt(int row) const {
    return QString::number(row + 1) + u": "_s + NameAt(row);
}

QString ThumbGridModel::ThumbPathAt(int row) const {
    return store_.ThumbPathOf(PathAt(row));
}

void ThumbGridModel::LoadRange(int first, int last, const std::function<void()> &busy) {
    if (first < 0 || first > last || last >= paths_.size())
        return;
    const QStringList thumbs = UncachedThumbs(first, last);
    if (thumbs.isEmpty())
        return;
    if (busy)
        busy();
    QStringList backwards(thumbs.crbegin(), thumbs.crend());
    ahead_.Request(backwards);
    // In the range's order, so the cache's slots are what they would be
    // without the second thread.
    ThumbnailCache &cache = store_.Cache();
    for (const QString &thumb : thumbs)
        cache.LoadCachedThumb(thumb);
    for (int row = first; row <= last; ++row)
        if (decoding_[size_t(row)] == Decoding::Waiting)
            decoding_[size_t(row)] = Decoding::Idle;
}

int ThumbGridModel::FindByPrefix(const QString &text, int start, bool wrap) const {
    const int count = int(paths_.size());
    if (count == 0 || text.isEmpty())
        return -1;
    int row = std::clamp(start, 0, count - 1);
    for (int tested = 0; tested < count; ++tested, ++row) {
        if (row >= count) {
            if (!wrap)
                return -1;
            row = 0;
        }
        if (NameAt(row).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void ThumbGridModel::RefreshRow(int row) {
    if (row < 0 || row >= paths_.size())
        return;
    freshness_[size_t(row)] = 0;
    decoding_[size_t(row)] = Decoding::Idle;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

int ThumbGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(paths_.size());
}

QVariant ThumbGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= paths_.size())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return CaptionAt(row);
    case SlotRole:
        return store_.Cache().FindCachedThumb(ThumbPathAt(row));
    case PathRole:
        return PathAt(row);
    case OutdatedRole:
        return FreshnessAt(row) == ThumbFreshness::Outdated;
    case PendingRole:
        return decoding_[size_t(row)] == Decoding::Waiting;
    case Qt::AccessibleDescriptionRole:
        // Read by assistive tools (and the end-to-end tests): whether the
        // page has a thumbnail file, cached or not, and whether it is older
        // than the page.
        if (FreshnessAt(row) == ThumbFreshness::Outdated)
            return u"outdated thumbnail"_s;
        return QFileInfo(ThumbPathAt(row)).isFile() ? u"thumbnail"_s : u"no thumbnail"_s;
    default:
        return {};
    }
}

Qt::ItemFlags ThumbGridModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace velmora
