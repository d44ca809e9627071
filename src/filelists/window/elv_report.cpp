#include "filelists/window/elv_report.h"

#include "widgets/wait_cursor.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kFolderWidth = 270;
// Fitting a column to its content looks at this many rows at most, so that
// a fill of half a million rows does not measure every one.
constexpr int kFitPrecision = 500;

// Suspends painting and the model's re-sorting for a bulk change.
class Frozen {
public:
    explicit Frozen(ELVReport &view) : view_(view), suspended_(view.Model()) {
        view_.setUpdatesEnabled(false);
    }
    ~Frozen() { view_.setUpdatesEnabled(true); }
    Frozen(const Frozen &) = delete;
    Frozen &operator=(const Frozen &) = delete;

private:
    ELVReport &view_;
    FileListModel::UpdateSuspender suspended_;
};

} // namespace

ELVReport::ELVReport(QWidget *parent) : QTreeView(parent) {
    setObjectName(u"ELVReport"_s);
    setAccessibleName(u"File list entries"_s);
    setModel(&model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setSortingEnabled(false);
    setToolTip(u"[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect"_s);

    // Black on white, and the selection keeps its colours without the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    QHeaderView *top = header();
    top->setSectionsClickable(true);
    top->setSortIndicatorShown(true);
    top->setStretchLastSection(false);
    top->setResizeContentsPrecision(kFitPrecision);
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->resizeSection(FieldFolder, kFolderWidth);
    connect(top, &QHeaderView::sectionClicked, this, &ELVReport::ColumnClick);
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!widthsRestored_)
            FitColumnsToContents();
    });
    ShowSortIndicator();
}

QList<int> ELVReport::SelectedRows() const {
    const QItemSelection ranges = selectionModel()->selection();
    QList<int> rows;
    qsizetype total = 0;
    for (const QItemSelectionRange &range : ranges)
        total += range.height();
    rows.reserve(total);
    for (const QItemSelectionRange &range : ranges)
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int ELVReport::SelectedCount() const {
    const QItemSelection ranges = selectionModel()->selection();
    // One range, as Select All leaves it, needs no list of rows.
    if (ranges.size() == 1)
        return ranges.first().height();
    return int(SelectedRows().size());
}

bool ELVReport::IsRowSelected(int row) const {
    return selectionModel()->isRowSelected(row, {});
}

int ELVReport::CurrentSingleRow() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !IsRowSelected(current.row()) || SelectedCount() != 1)
        return -1;
    return current.row();
}

void ELVReport::SelectAllRows() {
    const WaitCursor busy;
    setUpdatesEnabled(false);
    selectAll();
    setUpdatesEnabled(true);
}

int ELVReport::TakeOutSelectedEntries() {
    const WaitCursor busy;
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return 0;
    const Frozen frozen(*this);
    // The selection goes first: it need not follow every removed row.
    selectionModel()->clearSelection();
    return model_.TakeOutSelectedEntries(rows);
}

void ELVReport::ColumnClick(int column) {
    if (column < 0 || column >= kEntryFieldCount)
        return;
    const Qt::SortOrder order =
        column == model_.SortColumn() && model_.SortOrder() == Qt::AscendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    model_.SetSortStyle(FileListModel::SortStyleForColumn(column));
    {
        const WaitCursor busy;
        model_.sort(column, order);
    }
    ShowSortIndicator();
}

void ELVReport::RestoreSort(int column, bool ascending) {
    if (column < 0 || column >= kEntryFieldCount)
        column = 0;
    model_.SetSortStyle(SortStyle::Plain);
    model_.sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    ShowSortIndicator();
}

void ELVReport::ShowSortIndicator() {
    const QSignalBlocker quiet(header());
    header()->setSortIndicator(model_.SortColumn(), model_.SortOrder());
}

QString ELVReport::ColumnSizesText() const {
    QStringList widths;
    for (int column = 0; column < kEntryFieldCount; ++column)
        widths << QString::number(header()->sectionSize(column));
    return widths.join(u',');
}

void ELVReport::RestoreColumnSizes(const QString &text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != kEntryFieldCount)
        return;
    QList<int> widths;
    for (const QString &part : parts) {
        bool ok = false;
        const int width = part.trimmed().toInt(&ok);
        if (!ok || width < 0 || width > 10000)
            return;
        widths << width;
    }
    for (int column = 0; column < kEntryFieldCount; ++column)
        header()->resizeSection(column, widths[column]);
    widthsRestored_ = true;
}

void ELVReport::FitColumnsToContents() {
    for (int column = FieldFilename; column < kEntryFieldCount; ++column)
        resizeColumnToContents(column);
}

void ELVReport::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit OpenRequested();
        break;
    case Qt::Key_Delete:
        emit TakeOutRequested();
        break;
    default:
        // Select All waits for the release of the A with Ctrl alone held.
        if (event->matches(QKeySequence::SelectAll))
            break;
        QTreeView::keyPressEvent(event);
        break;
    }
    emit KeyPressed();
}

void ELVReport::keyReleaseEvent(QKeyEvent *event) {
    QTreeView::keyReleaseEvent(event);
    if (!event->isAutoRepeat() && event->key() == Qt::Key_A &&
        event->modifiers() == Qt::ControlModifier &&
        QGuiApplication::mouseButtons() == Qt::NoButton)
        emit SelectAllRequested();
    emit KeyReleased();
}

void ELVReport::mouseReleaseEvent(QMouseEvent *event) {
    QTreeView::mouseReleaseEvent(event);
    emit MouseReleased();
}

void ELVReport::mouseDoubleClickEvent(QMouseEvent *event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit OpenRequested();
}

void ELVReport::focusInEvent(QFocusEvent *event) {
    QTreeView::focusInEvent(event);
    emit FocusChanged(true);
}

void ELVReport::focusOutEvent(QFocusEvent *event) {
    QTreeView::focusOutEvent(event);
    emit FocusChanged(false);
}

} // namespace velmora
