#pragma once
// The Thumbnail View's grid, LVThumbs: a tile per file of the current folder,
// several of which can be selected, drawn entirely by ThumbTileDelegate.
// Painting never waits for a picture to be decoded: the pictures of the tiles
// on screen are decoded on a second thread (those of the first screen as soon
// as the files are given, while the view may still be hidden) and put into
// the thumbnail cache, in tile order, as they come; a tile is drawn empty
// until then. Typing a file name's first letters moves to the next tile
// whose name begins with them.

#include <QElapsedTimer>
#include <QListView>

namespace velmora {

class ThumbGridModel;
class ThumbTileDelegate;
class ThumbnailStore;

class LVThumbs final : public QListView {
    Q_OBJECT
public:
    explicit LVThumbs(ThumbnailStore &store, QWidget *parent = nullptr);

    ThumbGridModel *Model() const { return model_; }
    // Shows the files; the selection stays when they are the files shown.
    // True when the tiles changed.
    bool ShowFiles(const QStringList &paths);

    // Fills the cache for tiles first .. last now, decoding what is not
    // decoded yet; ignored unless both are tiles.
    void LVThumbsDataHint(int first, int last);
    // The tile whose name begins with text (any letter case), searching from
    // start on and wrapping; -1 when there is none.
    int LVThumbsDataFind(const QString &text, int start) const;
    // Draws tile i again, with its slot looked up anew.
    void RefreshEntry(int i);
    // The first and last tile that the viewport shows now (-1, -1 for none).
    std::pair<int, int> VisibleRange() const;
    // How many tiles a screen of the viewport's present size shows, rows cut
    // at the bottom included; at most kMaxTilesPerScreen.
    int TilesPerScreen() const;
    static constexpr int kMaxTilesPerScreen = 64;

    void keyboardSearch(const QString &search) override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ThumbGridModel *model_;
    ThumbTileDelegate *delegate_;
    // The range last put into the cache: a paint of the same range does not
    // look at the files again.
    std::pair<int, int> hinted_{-1, -1};
    QString typed_;
    QElapsedTimer sinceTyped_;
};

} // namespace velmora
