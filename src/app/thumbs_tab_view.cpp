#include "app/thumbs_tab_view.h"

#include "foundation/file_utils.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QKeyEvent>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Ctrl+A selects every tile when it is released with Ctrl alone held, not
// when it is pressed, so that a Ctrl+Shift+A on its way does not.
class SelectAllOnRelease final : public QObject {
public:
    explicit SelectAllOnRelease(LVThumbs *grid) : QObject(grid), grid_(grid) {}
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
        grid_->selectAll();
        return true;
    }

private:
    LVThumbs *grid_;
};

class QuietScope {
public:
    explicit QuietScope(bool &flag) : flag_(flag), before_(std::exchange(flag, true)) {}
    ~QuietScope() { flag_ = before_; }

private:
    bool &flag_;
    bool before_;
};

} // namespace

ThumbsTabView::ThumbsTabView(ThumbnailStore &store) : grid_(new LVThumbs(store)) {
    grid_->setAccessibleName(u"Thumbnail View files"_s);
    grid_->installEventFilter(new SelectAllOnRelease(grid_));
    QItemSelectionModel *selection = grid_->selectionModel();
    QObject::connect(selection, &QItemSelectionModel::currentChanged, &connections_,
                     [this] { ReportChange(false); });
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, &connections_,
                     [this] { ReportChange(true); });
}

ThumbsTabView::~ThumbsTabView() {
    // The grid belongs to its tab once it is placed; only delete it if it
    // was never given a parent.
    if (grid_ && !grid_->parent())
        delete grid_;
}

QWidget *ThumbsTabView::Widget() {
    return grid_;
}

int ThumbsTabView::Count() const {
    return grid_->Model()->rowCount();
}

int ThumbsTabView::SelectedCount() const {
    return int(grid_->selectionModel()->selectedRows().size());
}

QString ThumbsTabView::CurrentFile() const {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid() || !grid_->selectionModel()->isSelected(current) || SelectedCount() != 1)
        return {};
    return grid_->Model()->PathAt(current.row());
}

QStringList ThumbsTabView::SelectedFiles() const {
    QList<int> rows;
    for (const QModelIndex &index : grid_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    paths.reserve(rows.size());
    for (const int row : rows)
        paths << grid_->Model()->PathAt(row);
    return paths;
}

QString ThumbsTabView::ViewFile(int i, bool selectedOnly) const {
    if (i < 0 || i >= Count())
        return {};
    if (selectedOnly && !grid_->selectionModel()->isRowSelected(i))
        return {};
    return grid_->Model()->PathAt(i);
}

void ThumbsTabView::SelectFirstIfNone() {
    if (Count() == 0 || grid_->selectionModel()->hasSelection())
        return;
    const QuietScope quiet(quiet_);
    grid_->selectionModel()->setCurrentIndex(grid_->Model()->index(0),
                                             QItemSelectionModel::ClearAndSelect);
}

void ThumbsTabView::ShowFolderFiles(const QStringList &paths) {
    {
        const QuietScope quiet(quiet_);
        if (!grid_->ShowFiles(paths))
            return;
        reportedRow_ = -1;
    }
    if (SelectionChanged)
        SelectionChanged();
}

// The first tile of the same name without regard to ASCII letter case.
int ThumbsTabView::RowOf(const QString &path) const {
    const QStringList &paths = grid_->Model()->Paths();
    QStringList names;
    names.reserve(paths.size());
    for (const QString &entry : paths)
        names << entry.mid(entry.lastIndexOf(u'/') + 1);
    return IndexOfFileName(names, path.mid(path.lastIndexOf(u'/') + 1));
}

void ThumbsTabView::FocusFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    const QModelIndex index = grid_->Model()->index(row);
    {
        const QuietScope quiet(quiet_);
        grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    grid_->scrollTo(index);
    if (grid_->isVisible())
        grid_->setFocus();
}

void ThumbsTabView::SelectFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    const QModelIndex index = grid_->Model()->index(row);
    grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(index);
}

void ThumbsTabView::RefreshEntry(int i) {
    grid_->RefreshEntry(i);
}

// A move of the caret is reported once, before the selection that comes with
// it, whichever of the two the grid changed first.
void ThumbsTabView::ReportChange(bool selectionChanged) {
    const int row = grid_->currentIndex().row();
    const bool caretMoved = row != reportedRow_;
    reportedRow_ = row;
    if (caretMoved && !quiet_ && CurrentChanged)
        CurrentChanged();
    if ((caretMoved || selectionChanged) && SelectionChanged)
        SelectionChanged();
}

} // namespace velmora
