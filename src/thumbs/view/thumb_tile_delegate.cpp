#include "thumbs/view/thumb_tile_delegate.h"

#include "thumbs/thumb_size.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Two caption lines: the number and the name usually fit on the first, a
// long name goes on to the second and ends in an ellipsis when it is longer.
constexpr int kCaptionLines = 2;
constexpr int kCellGap = 4;

// The caption broken at word boundaries (or anywhere in a long word) into at
// most maxLines lines of the width; when it needs more, the last line ends in
// an ellipsis.
QStringList CaptionLines(const QString &text, const QFont &font, int width, int maxLines) {
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrapping);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            const QString rest = text.mid(line.textStart());
            lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

// A one-pixel frame on the outermost pixels of r.
void Frame(QPainter &painter, const QRect &r, const QColor &colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRect(r.left(), r.top(), r.width(), 1);
    painter.drawRect(r.left(), r.bottom(), r.width(), 1);
    painter.drawRect(r.left(), r.top(), 1, r.height());
    painter.drawRect(r.right(), r.top(), 1, r.height());
}

} // namespace

QSize ThumbTileGeometry::TileSize(int fontPoints, int lineHeight) {
    return {ThumbWidth + 2 * fontPoints, ThumbHeight + fontPoints + kCaptionLines * lineHeight + 4};
}

QSize ThumbTileGeometry::CellSize(int fontPoints, int lineHeight) {
    return TileSize(fontPoints, lineHeight) + QSize(kCellGap, kCellGap);
}

QRect ThumbTileGeometry::IconRect(const QRect &bounds, int fontPoints) {
    return {bounds.left(), bounds.top(), bounds.width(), ThumbHeight + fontPoints};
}

QRect ThumbTileGeometry::PictureRect(const QRect &bounds, int fontPoints) {
    const QRect icon = IconRect(bounds, fontPoints);
    return {icon.left() + fontPoints, icon.top() + fontPoints / 2, ThumbWidth, ThumbHeight};
}

QRect ThumbTileGeometry::LabelRect(const QRect &bounds, int fontPoints) {
    const QRect icon = IconRect(bounds, fontPoints);
    return QRect(QPoint(bounds.left() + 2, icon.bottom() + 1),
                 QPoint(bounds.right() - 2, bounds.bottom() - 2));
}

QColor FrameColourOf(const QString &caption) {
    const int dot = caption.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : caption.mid(dot).toUpper();
    if (extension == u".JPG"_s || extension == u".JPEG"_s)
        return tile_colours::kYellow;
    if (extension == u".GIF"_s)
        return tile_colours::kLime;
    return tile_colours::kBlack;
}

ThumbTileDelegate::ThumbTileDelegate(const ThumbnailCache &cache, QObject *parent)
    : QAbstractItemDelegate(parent), cache_(cache) {}

QSize ThumbTileDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return ThumbTileGeometry::CellSize(option.font.pointSize(), QFontMetrics(option.font).height());
}

void ThumbTileDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
    using namespace tile_colours;
    const int points = std::max(option.font.pointSize(), 0);
    // The tile in the middle of its cell; the gap around it is background.
    QRect bounds(QPoint(), ThumbTileGeometry::TileSize(points, QFontMetrics(option.font).height())
                               .boundedTo(option.rect.size()));
    bounds.moveCenter(option.rect.center());
    const bool selected = option.state & QStyle::State_Selected;
    const QString caption = index.data(Qt::DisplayRole).toString();
    bool hasSlot = false;
    const int slot = index.data(ThumbGridModel::SlotRole).toInt(&hasSlot);

    painter->save();
    painter->setFont(option.font);
    painter->fillRect(bounds, selected ? kNavy : kGray);
    const QRect picture = ThumbTileGeometry::PictureRect(bounds, points);
    const bool pending = index.data(ThumbGridModel::PendingRole).toBool();
    DrawPicture(*painter, picture, hasSlot ? slot : -1, pending, FrameColourOf(caption), kCaption);
    // Only a picture on show can be outdated; the answer is kept by the model.
    if (hasSlot && slot != -1 && index.data(ThumbGridModel::OutdatedRole).toBool())
        DrawOutdatedMark(*painter, picture);
    Frame(*painter, bounds, selected ? kRed : kGray);
    const QColor inner = selected ? kYellow : kGray;
    Frame(*painter, bounds.adjusted(1, 1, -1, -1), inner);
    // The caption is in the view's own light colour on every tile, selected
    // or not; only its background follows the selection.
    DrawCaption(*painter, ThumbTileGeometry::LabelRect(bounds, points), caption, inner, kCaption);
    painter->restore();
}

void ThumbTileDelegate::DrawPicture(QPainter &painter, const QRect &picture, int slot, bool pending,
                                    const QColor &frame, const QColor &text) const {
    if (slot != -1) {
        cache_.Draw(painter, picture.topLeft(), slot);
        Frame(painter, picture.adjusted(-1, -1, 1, 1), frame);
        return;
    }
    // A picture still being decoded leaves its place empty for a moment;
    // saying "no thumbnail" there would be wrong.
    if (pending) {
        Frame(painter, picture.adjusted(-1, -1, 1, 1), frame);
        return;
    }
    Frame(painter, picture, frame);
    painter.setPen(text);
    painter.drawText(picture.adjusted(0, 40, 0, 0),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, u"--- No Thumbnail ---"_s);
}

// Orange, with a dark edge along its long side so that it stands out on a
// light page as on an orange one.
void ThumbTileDelegate::DrawOutdatedMark(QPainter &painter, const QRect &picture) {
    constexpr int size = ThumbTileGeometry::kOutdatedMarkSize;
    // Inside the picture, clear of its frame.
    const QPoint corner(picture.right(), picture.top());
    const QPolygon triangle{corner + QPoint(1, 0), corner - QPoint(size - 1, 0),
                            corner + QPoint(1, size)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile_colours::kOutdatedMark);
    painter.drawPolygon(triangle);
    painter.setPen(tile_colours::kBlack);
    painter.drawLine(corner - QPoint(size - 1, 0), corner + QPoint(0, size - 1));
    painter.restore();
}

// Each line is centred on its own background, as wide as its text.
void ThumbTileDelegate::DrawCaption(QPainter &painter, const QRect &label, const QString &caption,
                                    const QColor &background, const QColor &text) {
    const QFontMetrics metrics(painter.font());
    const QStringList lines =
        CaptionLines(caption, painter.font(), label.width(),
                     std::max(1, label.height() / std::max(1, metrics.height())));
    painter.setPen(text);
    int top = label.top();
    for (const QString &line : lines) {
        const int width = std::min(metrics.horizontalAdvance(line), label.width());
        const QRect box(label.left() + (label.width() - width) / 2, top, width, metrics.height());
        painter.fillRect(box, background);
        painter.drawText(box, Qt::AlignCenter, line);
        top += metrics.height();
    }
}

} // namespace velmora
