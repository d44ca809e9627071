#pragma once
// The tiles of the Thumbnail View: one per file of the current folder, in the
// folder view's order. The model keeps only the list of paths (shared with
// the main window's, not copied) and answers each tile's caption, cache slot
// and thumbnail state when a view asks for them, so a folder of thousands of
// pages costs no objects per file.

#include "thumbs/thumb_freshness.h"
#include "thumbs/view/thumb_decode_ahead.h"

#include <QAbstractListModel>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace velmora {

class ThumbnailStore;

class ThumbGridModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // The slot of the tile's picture in the thumbnail cache, or -1.
    static constexpr int SlotRole = Qt::UserRole;
    // The tile's file path.
    static constexpr int PathRole = Qt::UserRole + 1;
    // True when the tile's thumbnail is older than its page.
    static constexpr int OutdatedRole = Qt::UserRole + 2;
    // True while the tile's thumbnail file is being decoded: the tile has a
    // picture to come, not a missing thumbnail.
    static constexpr int PendingRole = Qt::UserRole + 3;

    explicit ThumbGridModel(ThumbnailStore &store, QObject *parent = nullptr);
    // Gives the cache back its own decoder.
    ~ThumbGridModel() override;

    // Replaces every tile (a model reset) unless the list is the one shown,
    // which keeps the selection. True when the tiles changed. Either way the
    // files are looked at anew for whether their thumbnails are outdated.
    bool SetPaths(const QStringList &paths);
    const QStringList &Paths() const { return paths_; }
    QString PathAt(int row) const;
    QString NameAt(int row) const;
    // "(i + 1): name".
    QString CaptionAt(int row) const;
    QString ThumbPathAt(int row) const;

    // Fills the cache with the pictures of tiles first .. last, in that order,
    // for those that have a thumbnail file. Ranges that reach past the last
    // tile are ignored. busy() is called once before the first file is
    // decoded, so a caller can show the busy cursor only when there is work.
    // A second thread decodes the same files from the last one back, so the
    // two meet in the middle.
    void LoadRange(int first, int last, const std::function<void()> &busy = {});
    // Has the pictures of tiles first .. last decoded ahead, for the screen
    // the user is likely to scroll to next; the cache itself is not touched.
    void PrepareRange(int first, int last);
    // The tiles first .. last are on screen now; never waits for a decode.
    // Pictures already decoded go into the cache at once, in tile order; the
    // others are decoded on the second thread, before the tiles up to
    // aheadLast, dropping what was asked for earlier screens. Each picture
    // joins the cache once decoded, while its tile is still on screen, and
    // the tile is drawn again.
    void ShowRange(int first, int last, int aheadLast);
    // Puts the decoded pictures of the tiles on screen into the cache, in
    // tile order, and has those tiles drawn again.
    void TakeDecodedPictures();
    // True once the tile's picture is decoded ahead and waits to be cached.
    bool DecodedAhead(int row) const { return ahead_.IsReady(ThumbPathAt(row)); }
    // The first tile from start on whose name begins with text, without
    // regard to letter case; past the last tile the search goes on at 0 when
    // wrap is set. Every tile is tested at most once; -1 when none matches.
    int FindByPrefix(const QString &text, int start, bool wrap) const;

    // The tile is drawn again; its slot and whether its thumbnail is
    // outdated are looked up anew.
    void RefreshRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // The thumbnail files of tiles first .. last (clamped) that exist and
    // are not cached.
    QStringList UncachedThumbs(int first, int last) const;
    // Asked of the files once per tile and kept until the tile is refreshed
    // or the files are shown again, so painting costs no file lookups.
    ThumbFreshness FreshnessAt(int row) const;
    // Called on the decoding thread: has TakeDecodedPictures run on this
    // model's thread, once for any number of pictures done meanwhile.
    void PostDecoded();

    // Per tile, whether its picture is on its way.
    enum class Decoding : std::uint8_t { Idle, Waiting, Failed };

    ThumbnailStore &store_;
    QStringList paths_;
    // Per tile: 0 while not yet known, else 1 + the ThumbFreshness value.
    mutable std::vector<std::uint8_t> freshness_;
    std::vector<Decoding> decoding_;
    // The tiles on screen at the last ShowRange; -1, -1 for none.
    std::pair<int, int> shown_{-1, -1};
    std::atomic<bool> decodedPosted_{false};
    ThumbDecodeAhead ahead_; // last: its thread may call PostDecoded at once
};

} // namespace velmora
