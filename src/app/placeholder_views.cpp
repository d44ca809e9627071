#include "app/placeholder_views.h"

#include "foundation/file_utils.h"

#include <QFileInfo>

namespace velmora {

static constexpr int kPathRole = Qt::UserRole;

PlaceholderListView::PlaceholderListView(QListView::ViewMode mode) : list_(new QListWidget) {
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setViewMode(mode);
    if (mode == QListView::IconMode) {
        list_->setResizeMode(QListView::Adjust);
        list_->setGridSize(QSize(150, 40));
    }
    QObject::connect(list_, &QListWidget::itemSelectionChanged, list_, [this] {
        if (SelectionChanged)
            SelectionChanged();
    });
}

PlaceholderListView::~PlaceholderListView() {
    // The list belongs to its tab once it is placed; only delete it if it
    // was never given a parent.
    if (list_ && !list_->parent())
        delete list_;
}

int PlaceholderListView::Count() const {
    return list_->count();
}

int PlaceholderListView::SelectedCount() const {
    return int(list_->selectedItems().size());
}

QString PlaceholderListView::CurrentFile() const {
    // One selected entry that has the caret; with several there is none.
    const QListWidgetItem *item = list_->currentItem();
    return item && item->isSelected() && SelectedCount() == 1 ? item->data(kPathRole).toString()
                                                              : QString();
}

QStringList PlaceholderListView::SelectedFiles() const {
    QStringList paths;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected())
            paths << list_->item(i)->data(kPathRole).toString();
    return paths;
}

QString PlaceholderListView::ViewFile(int i, bool selectedOnly) const {
    const QListWidgetItem *item = i >= 0 && i < list_->count() ? list_->item(i) : nullptr;
    if (!item || (selectedOnly && !item->isSelected()))
        return {};
    return item->data(kPathRole).toString();
}

void PlaceholderListView::SelectFirstIfNone() {
    if (list_->count() > 0 && list_->selectedItems().isEmpty())
        list_->setCurrentRow(0);
}

void PlaceholderListView::ShowFolderFiles(const QStringList &paths) {
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const QString &path : paths) {
        auto *item = new QListWidgetItem(QFileInfo(path).fileName(), list_);
        item->setData(kPathRole, path);
    }
    if (SelectionChanged)
        SelectionChanged();
}

// The caret goes to the first entry of the same name without regard to ASCII
// letter case, and the entry is not selected: the preview stays empty until
// the user selects it.
int PlaceholderListView::RowOf(const QString &path) const {
    QStringList names;
    for (int i = 0; i < list_->count(); ++i)
        names << list_->item(i)->text();
    return IndexOfFileName(names, QFileInfo(path).fileName());
}

void PlaceholderListView::SelectFile(const QString &path) {
    const int row = RowOf(path);
    if (row >= 0)
        list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void PlaceholderListView::FocusFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    list_->selectionModel()->setCurrentIndex(list_->model()->index(row, 0),
                                             QItemSelectionModel::NoUpdate);
    list_->scrollToItem(list_->item(row));
    if (list_->isVisible())
        list_->setFocus();
}

} // namespace velmora
