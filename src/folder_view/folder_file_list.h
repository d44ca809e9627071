#pragma once
// The Folder View's file list, LBFile: the files of the current folder by
// name, several of which can be selected (Shift and Ctrl extend the
// selection), with their file icons when those are switched on. Built for
// folders of tens of thousands of files: the rows are plain paths, all rows
// have one height, and icons are made only for the rows being painted.

#include "widgets/item_list_tab_view.h"

#include <QAbstractFileIconProvider>
#include <QObject>
#include <QPointer>

#include <memory>

class QListView;

namespace velmora {

class FolderFileModel;

class FolderFileList final : public ItemListTabView {
public:
    // The icons come from the system's file icon provider unless another
    // is given.
    explicit FolderFileList(bool showIcons,
                            std::unique_ptr<QAbstractFileIconProvider> icons = nullptr);

    void ShowFolderFiles(const QStringList &paths) override;
    void SetShowIcons(bool show) override;

    QListView *ListView() const { return view_; }

protected:
    const QStringList &Paths() const override;

private:
    QPointer<QListView> view_;
    QPointer<FolderFileModel> model_;
};

} // namespace velmora
