#include "app/folder_file_list.h"

#include "app/folder_file_model.h"
#include "foundation/file_utils.h"

#include <QFileIconProvider>
#include <QKeyEvent>
#include <QListView>

#include <algorithm>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Ctrl+A selects every entry when it is released with Ctrl alone held, not
// when it is pressed, so that a Ctrl+Shift+A on its way does not.
class FileListView final : public QListView {
protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (event->matches(QKeySequence::SelectAll)) {
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent *event) override {
        if (!event->isAutoRepeat() && event->key() == Qt::Key_A &&
            event->modifiers() == Qt::ControlModifier) {
            selectAll();
            event->accept();
            return;
        }
        QListView::keyReleaseEvent(event);
    }
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

FolderFileList::FolderFileList(bool showIcons, std::unique_ptr<QAbstractFileIconProvider> icons)
    : view_(new FileListView) {
    if (!icons)
        icons = std::make_unique<QFileIconProvider>();
    model_ = new FolderFileModel(std::move(icons), view_);
    model_->SetShowIcons(showIcons);
    view_->setObjectName(u"LBFile"_s);
    view_->setAccessibleName(u"Folder View files"_s);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all rows: the view then lays out any number of rows
    // without asking each for its size.
    view_->setUniformItemSizes(true);
    view_->setIconSize(QSize(16, 16));
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    view_->setPalette(palette);
    view_->setModel(model_);

    QItemSelectionModel *selection = view_->selectionModel();
    QObject::connect(selection, &QItemSelectionModel::currentChanged, &connections_,
                     [this] { ReportChange(false); });
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, &connections_,
                     [this] { ReportChange(true); });
}

FolderFileList::~FolderFileList() {
    // The list belongs to its tab once it is placed; only delete it if it
    // was never given a parent.
    if (view_ && !view_->parent())
        delete view_;
}

QWidget *FolderFileList::Widget() {
    return view_;
}

int FolderFileList::Count() const {
    return model_->rowCount();
}

int FolderFileList::SelectedCount() const {
    return int(view_->selectionModel()->selectedRows().size());
}

QString FolderFileList::CurrentFile() const {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || !view_->selectionModel()->isSelected(current) || SelectedCount() >= 2)
        return {};
    return model_->PathAt(current.row());
}

QStringList FolderFileList::SelectedFiles() const {
    QList<int> rows;
    for (const QModelIndex &index : view_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    paths.reserve(rows.size());
    for (const int row : rows)
        paths << model_->PathAt(row);
    return paths;
}

QString FolderFileList::ViewFile(int i, bool selectedOnly) const {
    if (i < 0 || i >= Count())
        return {};
    if (selectedOnly && !view_->selectionModel()->isRowSelected(i))
        return {};
    return model_->PathAt(i);
}

void FolderFileList::SelectFirstIfNone() {
    if (Count() == 0 || view_->selectionModel()->hasSelection())
        return;
    const QuietScope quiet(quiet_);
    view_->selectionModel()->setCurrentIndex(model_->index(0), QItemSelectionModel::ClearAndSelect);
}

void FolderFileList::ShowFolderFiles(const QStringList &paths) {
    {
        const QuietScope quiet(quiet_);
        model_->SetPaths(paths);
        reportedRow_ = -1;
    }
    if (SelectionChanged)
        SelectionChanged();
}

// The caret goes to the first entry of the same name without regard to ASCII
// letter case, and the entry is not selected: the preview stays empty until
// the user selects it.
int FolderFileList::RowOf(const QString &path) const {
    const QStringList &paths = model_->Paths();
    QStringList names;
    names.reserve(paths.size());
    for (const QString &entry : paths)
        names << entry.mid(entry.lastIndexOf(u'/') + 1);
    return IndexOfFileName(names, path.mid(path.lastIndexOf(u'/') + 1));
}

void FolderFileList::FocusFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    const QModelIndex index = model_->index(row);
    {
        const QuietScope quiet(quiet_);
        view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    view_->scrollTo(index);
    if (view_->isVisible())
        view_->setFocus();
}

void FolderFileList::SelectFile(const QString &path) {
    const int row = RowOf(path);
    if (row < 0)
        return;
    const QModelIndex index = model_->index(row);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
}

void FolderFileList::SetShowIcons(bool show) {
    model_->SetShowIcons(show);
    // Rows with and without icons may differ in height; the view measures
    // its one row height again on the next layout.
    view_->doItemsLayout();
}

// The current file depends on the caret as much as on the selection, so both
// are reported; a move of the caret is reported once, before the selection
// that comes with it, whichever of the two the view changed first.
void FolderFileList::ReportChange(bool selectionChanged) {
    const int row = view_->currentIndex().row();
    const bool caretMoved = row != reportedRow_;
    reportedRow_ = row;
    if (caretMoved && !quiet_ && CurrentChanged)
        CurrentChanged();
    if ((caretMoved || selectionChanged) && SelectionChanged)
        SelectionChanged();
}

} // namespace velmora
