#pragma once
// Draws a whole tile of the Thumbnail View: the background, the thumbnail
// picture from the cache (or a "no thumbnail" placeholder, or nothing while
// the picture is being decoded) in a frame whose
// colour tells pictures from pages, the outline that marks a selected tile,
// and the caption below. A thumbnail older than its page gets a small
// triangle in its top-right corner. The view's own drawing is not used at
// all.

#include <QAbstractItemDelegate>
#include <QColor>
#include <QRect>

namespace velmora {

class ThumbnailCache;

// Where the parts of a tile lie; every tile has the same size.
struct ThumbTileGeometry {
    // Room for the 130 x 100 picture plus the font size on either side.
    static QSize TileSize(int fontPoints, int lineHeight);
    // The area the grid reserves per tile: the tile and a gap.
    static QSize CellSize(int fontPoints, int lineHeight);
    // The tile's icon area inside its bounds: the full width, the picture's
    // height plus the font size.
    static QRect IconRect(const QRect &bounds, int fontPoints);
    // The picture rectangle: the icon area moved right by the font size in
    // points and down by half of it, 130 x 100.
    static QRect PictureRect(const QRect &bounds, int fontPoints);
    // The caption's area below the icon area, clear of the outline.
    static QRect LabelRect(const QRect &bounds, int fontPoints);
    // The triangle marking an outdated thumbnail: its right angle in the
    // picture's top-right corner, kOutdatedMarkSize pixels along each edge.
    static constexpr int kOutdatedMarkSize = 16;
};

// The colours of a tile.
namespace tile_colours {
inline const QColor kGray{128, 128, 128};
inline const QColor kNavy{0, 0, 128};
inline const QColor kRed{255, 0, 0};
inline const QColor kYellow{255, 255, 0};
inline const QColor kLime{0, 255, 0};
inline const QColor kBlack{0, 0, 0};
inline const QColor kCaption{0xFF, 0xFC, 0xCE};
inline const QColor kOutdatedMark{255, 128, 0};
} // namespace tile_colours

// The frame colour for a caption's file extension: yellow for JPEG
// pictures, lime for GIF pictures, black for everything else.
QColor FrameColourOf(const QString &caption);

class ThumbTileDelegate final : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit ThumbTileDelegate(const ThumbnailCache &cache, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void DrawPicture(QPainter &painter, const QRect &picture, int slot, bool pending,
                     const QColor &frame, const QColor &text) const;
    static void DrawOutdatedMark(QPainter &painter, const QRect &picture);
    static void DrawCaption(QPainter &painter, const QRect &label, const QString &caption,
                            const QColor &background, const QColor &text);

    const ThumbnailCache &cache_;
};

} // namespace velmora
