#include "widgets/item_list_tab_view.h"

#include "foundation/file_utils.h"

#include <QAbstractItemView>
#include <QHash>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

// Ctrl+A selects every entry when it is released with Ctrl alone held, not
// when it is pressed, so that a Ctrl+Shift+A on its way does not.
class SelectAllOnRelease final : public QObject {
public:
    explicit SelectAllOnRelease(QAbstractItemView *view) : QObject(view), view_(view) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::SelectAll))
            return true;
        if (event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat() || key->key() != Qt::Key_A ||
            key->modifiers() != Qt::ControlModifier)
            return false;
        view_->selectAll();
        return true;
    }

private:
    QAbstractItemView *view_;
};

} // namespace

class ItemListTabView::Quiet {
public:
    explicit Quiet(bool &flag) : flag_(flag), before_(std::exchange(flag, true)) {}
    ~Quiet() { flag_ = before_; }

private:
    bool &flag_;
    bool before_;
};

ItemListTabView::ItemListTabView(QAbstractItemView *view) : view_(view) {
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->installEventFilter(new SelectAllOnRelease(view_));
}

ItemListTabView::~ItemListTabView() {
    // The view belongs to its tab once it is placed; only delete it if it
    // was never given a parent.
    if (view_ && !view_->parent())
        delete view_;
}

void ItemListTabView::WatchSelection() {
    QItemSelectionModel *selection = view_->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this, [this] { ReportChange(false); });
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this] { ReportChange(true); });
    connect(view_, &QAbstractItemView::doubleClicked, this, &TabView::openRequested);
}

QWidget *ItemListTabView::Widget() {
    return view_;
}

int ItemListTabView::Count() const {
    return int(Paths().size());
}

int ItemListTabView::SelectedCount() const {
    return int(view_->selectionModel()->selectedRows().size());
}

QString ItemListTabView::CurrentFile() const {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || !view_->selectionModel()->isSelected(current) || SelectedCount() != 1)
        return {};
    return Paths().value(current.row());
}

QStringList ItemListTabView::SelectedFiles() const {
    QList<int> rows;
    for (const QModelIndex &index : view_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    paths.reserve(rows.size());
    for (const int row : rows)
        paths << Paths().value(row);
    return paths;
}

QString ItemListTabView::ViewFile(int i, bool selectedOnly) const {
    if (i < 0 || i >= Count())
        return {};
    if (selectedOnly && !view_->selectionModel()->isRowSelected(i))
        return {};
    return Paths().at(i);
}

void ItemListTabView::SelectFirstIfNone() {
    if (Count() == 0 || view_->selectionModel()->hasSelection())
        return;
    const Quiet quiet(quiet_);
    view_->selectionModel()->setCurrentIndex(view_->model()->index(0, 0),
                                             QItemSelectionModel::ClearAndSelect);
}

void ItemListTabView::ReplaceRows(const std::function<bool()> &replace) {
    {
        const Quiet quiet(quiet_);
        if (!replace())
            return;
        reportedRow_ = -1;
    }
    if (!holding_)
        emit selectionChanged();
}

void ItemListTabView::RefreshFolderFiles(const QStringList &paths) {
    const QStringList selected = SelectedFiles();
    const int caretRow = view_->currentIndex().row();
    const QString caret = Paths().value(caretRow);
    QScrollBar *bar = view_->verticalScrollBar();
    const int scrolled = bar->value();
    {
        const Quiet quiet(quiet_);
        const Quiet holding(holding_);
        ShowFolderFiles(paths);
        RestoreSelection(selected, caret, caretRow);
        // The rows are laid out now, so the view can stay where it was
        // instead of jumping back to the top.
        view_->doItemsLayout();
        bar->setValue(scrolled);
        reportedRow_ = view_->currentIndex().row();
    }
    if (SelectedFiles() != selected || Paths().value(view_->currentIndex().row()) != caret)
        emit selectionChanged();
}

void ItemListTabView::RestoreSelection(const QStringList &selected, const QString &caret,
                                       int caretRow) {
    const QStringList &paths = Paths();
    QHash<QString, int> rows;
    rows.reserve(paths.size());
    for (int i = 0; i < paths.size(); ++i)
        rows.insert(paths[i], i);
    // Selected entries stay in order, so neighbours join into one range.
    QItemSelection keep;
    int first = -1, last = -1;
    const auto flush = [&] {
        if (first >= 0)
            keep.select(view_->model()->index(first, 0), view_->model()->index(last, 0));
    };
    for (const QString &path : selected) {
        const int row = rows.value(path, -1);
        if (row < 0)
            continue;
        if (row != last + 1 || first < 0) {
            flush();
            first = row;
        }
        last = row;
    }
    flush();
    view_->selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
    int row = rows.value(caret, -1);
    if (row < 0 && caretRow >= 0 && !paths.isEmpty())
        row = std::min(caretRow, int(paths.size()) - 1);
    if (row >= 0)
        view_->selectionModel()->setCurrentIndex(view_->model()->index(row, 0),
                                                 QItemSelectionModel::NoUpdate);
}

// The first entry of the same name without regard to ASCII letter case.
int ItemListTabView::RowOf(const QString &path) const {
    const QStringList &paths = Paths();
    QStringList names;
    names.reserve(paths.size());
    for (const QString &entry : paths)
        names << entry.mid(entry.lastIndexOf(u'/') + 1);
    return IndexOfFileName(names, path.mid(path.lastIndexOf(u'/') + 1));
}

// The caret goes to the entry, which is not selected: the preview stays
// empty until the user selects it.
void ItemListTabView::FocusFile(const QString &path) {
    FocusEntry(RowOf(path));
}

void ItemListTabView::FocusEntry(int i) {
    if (i < 0 || i >= Count())
        return;
    const QModelIndex index = view_->model()->index(i, 0);
    {
        const Quiet quiet(quiet_);
        view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    view_->scrollTo(index);
    if (view_->isVisible())
        view_->setFocus();
}

void ItemListTabView::SelectFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    const QModelIndex index = view_->model()->index(row, 0);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
}

// The current file depends on the caret as much as on the selection, so both
// are reported; a move of the caret is reported once, before the selection
// that comes with it, whichever of the two the view changed first.
void ItemListTabView::ReportChange(bool selectionMoved) {
    if (holding_)
        return;
    const int row = view_->currentIndex().row();
    const bool caretMoved = row != reportedRow_;
    reportedRow_ = row;
    if (caretMoved && !quiet_)
        emit currentFileChanged();
    if (caretMoved || selectionMoved)
        emit selectionChanged();
}

} // namespace velmora
