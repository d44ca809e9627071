#include "app/lists_tab_view.h"

#include "filelists/window/elv_report.h"
#include "foundation/settings.h"

#include <QItemSelectionModel>

namespace velmora {

ListsTabView::ListsTabView(FileListsContext context)
    : page_(new FileListsPage(std::move(context))) {
    QItemSelectionModel *selection = page_->Report()->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &TabView::selectionChanged);
    connect(selection, &QItemSelectionModel::currentChanged, this, &TabView::selectionChanged);
    connect(page_, &FileListsPage::statusChanged, this, &TabView::statusChanged);
    connect(page_, &FileListsPage::openRequested, this, &TabView::openRequested);
}

ListsTabView::~ListsTabView() {
    // The tab belongs to the main window once it is placed; only delete it
    // if it was never given a parent.
    if (page_ && !page_->parent())
        delete page_;
}

QWidget *ListsTabView::Widget() {
    return page_;
}

ELVReport *ListsTabView::Report() const {
    return page_->Report();
}

void ListsTabView::RestoreColumns(const Settings &settings) {
    Report()->RestoreColumnSizes(settings.ColumnSizes);
    Report()->RestoreSort(settings.SortCol, settings.SortAscending);
}

void ListsTabView::SaveColumns(Settings &settings) const {
    settings.ColumnSizes = Report()->ColumnSizesText();
    settings.SortCol = Report()->Model().SortColumn();
    settings.SortAscending = Report()->Model().SortOrder() == Qt::AscendingOrder;
}

int ListsTabView::Count() const {
    return page_->Report()->Model().Count();
}

int ListsTabView::SelectedCount() const {
    return page_->Report()->SelectedCount();
}

QString ListsTabView::CurrentFile() const {
    return page_->CurrentFile();
}

QStringList ListsTabView::SelectedFiles() const {
    QStringList paths;
    for (const int row : page_->Report()->SelectedRows())
        paths << page_->EntryPath(row);
    return paths;
}

QString ListsTabView::ViewFile(int i, bool selectedOnly) const {
    if (i < 0 || i >= Count() || (selectedOnly && !page_->Report()->IsRowSelected(i)))
        return {};
    return page_->EntryPath(i);
}

} // namespace velmora
