#include "app/thumbs_tab_view.h"

#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"

using namespace Qt::StringLiterals;

namespace velmora {

ThumbsTabView::ThumbsTabView(ThumbnailStore &store)
    : ItemListTabView(new LVThumbs(store)), grid_(static_cast<LVThumbs *>(Widget())) {
    grid_->setAccessibleName(u"Thumbnail View files"_s);
    WatchSelection();
}

const QStringList &ThumbsTabView::Paths() const {
    return grid_->Model()->Paths();
}

void ThumbsTabView::ShowFolderFiles(const QStringList &paths) {
    ReplaceRows([&] { return grid_->ShowFiles(paths); });
}

void ThumbsTabView::RefreshEntry(int i) {
    grid_->RefreshEntry(i);
}

} // namespace velmora
