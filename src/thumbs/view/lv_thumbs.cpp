#include "thumbs/view/lv_thumbs.h"

#include "thumbs/thumb_size.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/thumb_grid_model.h"
#include "thumbs/view/thumb_tile_delegate.h"
#include "widgets/wait_cursor.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace velmora {

LVThumbs::LVThumbs(ThumbnailStore &store, QWidget *parent)
    : QListView(parent), model_(new ThumbGridModel(store, this)),
      delegate_(new ThumbTileDelegate(store.Cache(), this)) {
    setObjectName(u"LVThumbs"_s);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every tile has one size: the view lays out any number of tiles without
    // asking each for its size.
    setUniformItemSizes(true);
    setDragEnabled(false);
    QFont font(u"Sans Serif"_s, 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    setGridSize(ThumbTileGeometry::CellSize(font.pointSize(), QFontMetrics(font).height()));
    setSpacing(0);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, tile_colours::kGray);
    colours.setColor(QPalette::Text, tile_colours::kCaption);
    setPalette(colours);
    setItemDelegate(delegate_);
    setModel(model_);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { hinted_ = {-1, -1}; });
}

bool LVThumbs::ShowFiles(const QStringList &paths) {
    if (model_->SetPaths(paths)) {
        // The files usually come while another tab is shown: the first
        // screen's pictures are decoded meanwhile, so that choosing this
        // view finds them ready instead of decoding them all then.
        if (!paths.isEmpty())
            model_->PrepareRange(0, TilesPerScreen() - 1);
        return true;
    }
    // The same files: their marks of outdated thumbnails are drawn anew, and
    // the pictures of the tiles on screen asked for again.
    hinted_ = {-1, -1};
    viewport()->update();
    return false;
}

void LVThumbs::LVThumbsDataHint(int first, int last) {
    // Shows the busy cursor only while files are decoded.
    std::optional<WaitCursor> busy;
    model_->LoadRange(first, last, [&busy] { busy.emplace(); });
}

int LVThumbs::LVThumbsDataFind(const QString &text, int start) const {
    return model_->FindByPrefix(text, start, true);
}

void LVThumbs::RefreshEntry(int i) {
    hinted_ = {-1, -1};
    model_->RefreshRow(i);
}

int LVThumbs::TilesPerScreen() const {
    const QSize cell = gridSize().isValid() ? gridSize() : QSize(ThumbWidth, ThumbHeight);
    const QSize area = viewport()->size();
    const int columns = std::max(1, area.width() / std::max(1, cell.width()));
    // A row cut at the bottom counts: it is painted too.
    const int rows = std::max(1, (area.height() + cell.height() - 1) / std::max(1, cell.height()));
    return std::min(columns * rows, kMaxTilesPerScreen);
}

// Tiles are laid out row by row in their order, so the first tile whose
// bottom is on screen and the last whose top is are found by bisection.
std::pair<int, int> LVThumbs::VisibleRange() const {
    const int count = model_->rowCount();
    if (count == 0)
        return {-1, -1};
    const int height = viewport()->height();
    const auto firstWhere = [&](auto past) {
        int low = 0, high = count;
        while (low < high) {
            const int mid = (low + high) / 2;
            if (past(visualRect(model_->index(mid))))
                high = mid;
            else
                low = mid + 1;
        }
        return low;
    };
    const int first = firstWhere([](const QRect &r) { return r.bottom() >= 0; });
    const int end = firstWhere([height](const QRect &r) { return r.top() >= height; });
    if (first >= end)
        return {-1, -1};
    return {first, end - 1};
}

void LVThumbs::paintEvent(QPaintEvent *event) {
    const std::pair<int, int> range = VisibleRange();
    const bool moved = range != hinted_ && range.first >= 0;
    // The paint never waits for a decode: tiles whose pictures are not
    // decoded yet are drawn empty and again when their pictures come. After
    // this screen, the next one is decoded ahead.
    if (moved) {
        hinted_ = range;
        const int screen = range.second - range.first + 1;
        model_->ShowRange(range.first, range.second, range.second + screen);
    }
    QListView::paintEvent(event);
}

// Keys typed in quick succession make one search text; a new search starts
// after the focused tile, a longer text from the focused tile itself, so
// that typing on narrows the match without leaving it.
void LVThumbs::keyboardSearch(const QString &search) {
    if (search.isEmpty() || model_->rowCount() == 0)
        return;
    const bool goesOn = sinceTyped_.isValid() &&
                        sinceTyped_.elapsed() < QApplication::keyboardInputInterval() &&
                        !typed_.isEmpty();
    sinceTyped_.start();
    typed_ = goesOn ? typed_ + search : search;
    const int current = std::max(currentIndex().row(), 0);
    const int start = goesOn || !currentIndex().isValid() ? current : current + 1;
    const int found = LVThumbsDataFind(typed_, start % model_->rowCount());
    if (found < 0)
        return;
    const QModelIndex index = model_->index(found);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

} // namespace velmora
