#pragma once
// The Thumbnail View tab's view: the tile grid LVThumbs over the files of the
// current folder, reporting its selection and caret to the main window like
// the Folder View's list does. The current file is the focused tile's while
// exactly that tile is selected.

#include "app/tab_view.h"
#include "thumbs/view/lv_thumbs.h"

#include <QObject>
#include <QPointer>

namespace velmora {

class ThumbnailStore;

class ThumbsTabView final : public TabView {
public:
    explicit ThumbsTabView(ThumbnailStore &store);
    ~ThumbsTabView() override;

    QWidget *Widget() override;
    int Count() const override;
    int SelectedCount() const override;
    QString CurrentFile() const override;
    QStringList SelectedFiles() const override;
    QString ViewFile(int i, bool selectedOnly) const override;
    void SelectFirstIfNone() override;
    void ShowFolderFiles(const QStringList &paths) override;
    void FocusFile(const QString &path) override;
    void SelectFile(const QString &path) override;
    void RefreshEntry(int i) override;

    LVThumbs *Grid() const { return grid_; }

private:
    int RowOf(const QString &path) const;
    void ReportChange(bool selectionChanged);

    QPointer<LVThumbs> grid_;
    // The context of every connection to the grid, so that none outlives
    // this object when the grid stays behind in its tab.
    QObject connections_;
    int reportedRow_ = -1;
    bool quiet_ = false;
};

} // namespace velmora
