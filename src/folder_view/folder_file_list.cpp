#include "folder_view/folder_file_list.h"

#include "folder_view/folder_file_model.h"

#include <QFileIconProvider>
#include <QListView>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

FolderFileList::FolderFileList(bool showIcons, std::unique_ptr<QAbstractFileIconProvider> icons)
    : ItemListTabView(new QListView), view_(static_cast<QListView *>(Widget())) {
    if (!icons)
        icons = std::make_unique<QFileIconProvider>();
    model_ = new FolderFileModel(std::move(icons), view_);
    model_->SetShowIcons(showIcons);
    view_->setObjectName(u"LBFile"_s);
    view_->setAccessibleName(u"Folder View files"_s);
    // One row height for all rows: the view then lays out any number of rows
    // without asking each for its size.
    view_->setUniformItemSizes(true);
    view_->setIconSize(QSize(16, 16));
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    view_->setPalette(palette);
    view_->setModel(model_);

    WatchSelection();
}

const QStringList &FolderFileList::Paths() const {
    return model_->Paths();
}

void FolderFileList::ShowFolderFiles(const QStringList &paths) {
    ReplaceRows([&] {
        model_->SetPaths(paths);
        return true;
    });
}

void FolderFileList::SetShowIcons(bool show) {
    model_->SetShowIcons(show);
    // Rows with and without icons may differ in height; the view measures
    // its one row height again on the next layout.
    view_->doItemsLayout();
}

} // namespace velmora
