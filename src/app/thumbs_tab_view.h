#pragma once
// The Thumbnail View tab's view: the tile grid LVThumbs over the files of the
// current folder, reporting its selection and caret to the main window like
// the Folder View's list does. The current file is the focused tile's while
// exactly that tile is selected.

#include "thumbs/view/lv_thumbs.h"
#include "widgets/item_list_tab_view.h"

#include <QObject>
#include <QPointer>

namespace velmora {

class ThumbnailStore;

class ThumbsTabView final : public ItemListTabView {
public:
    explicit ThumbsTabView(ThumbnailStore &store);

    void ShowFolderFiles(const QStringList &paths) override;
    void RefreshEntry(int i) override;

    LVThumbs *Grid() const { return grid_; }

protected:
    const QStringList &Paths() const override;

private:
    QPointer<LVThumbs> grid_;
};

} // namespace velmora
