#include "filelists/file_list_model.h"

#include "filelists/text_order.h"
#include "foundation/progress.h"

#include <QColor>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
constexpr int kSizeColumn = FieldSize;
} // namespace

FileListModel::FileListModel(const QLocale &locale, QObject *parent)
    : QAbstractItemModel(parent), locale_(locale) {}

SortStyle FileListModel::SortStyleForColumn(int column) {
    return column == kSizeColumn ? SortStyle::Smart : SortStyle::Plain;
}

QString FileListModel::ColumnCaption(int column) {
    static const QString captions[kEntryFieldCount] = {u"Folder"_s, u"Filename"_s, u"Ext"_s,
                                                       u"Size"_s, u"Date"_s};
    return column >= 0 && column < kEntryFieldCount ? captions[column] : QString();
}

QStringView FileListModel::Row::FieldView(int column) const {
    const int from = column == 0 ? 0 : star[size_t(column - 1)] + 1;
    const int to = column == kEntryFieldCount - 1 ? int(line.size()) : star[size_t(column)];
    return QStringView(line).mid(from, to - from);
}

FileListModel::Row FileListModel::MakeRow(const QString &line) {
    Row row;
    int found = 0;
    qsizetype cut = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != kEntrySeparator)
            continue;
        if (found == 4) { // text after a fifth separator is not part of the entry
            cut = i;
            break;
        }
        row.star[size_t(found++)] = int(i);
    }
    if (cut >= 0) {
        row.line = line.left(cut);
    } else if (found < 4) {
        row.line = line;
        for (; found < 4; ++found) {
            row.star[size_t(found)] = int(row.line.size());
            row.line += kEntrySeparator;
        }
    } else {
        row.line = line; // shared, not copied
    }
    return row;
}

QModelIndex FileListModel::index(int row, int column, const QModelIndex &parent) const {
    if (parent.isValid() || row < 0 || row >= Count() || column < 0 || column >= kEntryFieldCount)
        return {};
    return createIndex(row, column);
}

QModelIndex FileListModel::parent(const QModelIndex &) const {
    return {};
}

int FileListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : Count();
}

int FileListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kEntryFieldCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.model() != this || index.row() >= Count())
        return {};
    const Row &row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.FieldView(index.column()).toString();
    case Qt::TextAlignmentRole:
        if (index.column() == kSizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        // Default page names stand out; the view uses selection colours for
        // selected rows on its own.
        if (index.column() == FieldFilename &&
            IsDefaultPageName(row.FieldView(FieldFilename).toString()))
            return QColor(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnCaption(section);
    if (role == Qt::TextAlignmentRole && section == kSizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QString FileListModel::Field(int row, int column) const {
    if (row < 0 || row >= Count() || column < 0 || column >= kEntryFieldCount)
        return {};
    return rows_[size_t(row)].FieldView(column).toString();
}

QStringView FileListModel::FieldView(int row, int column) const {
    if (row < 0 || row >= Count() || column < 0 || column >= kEntryFieldCount)
        return {};
    return rows_[size_t(row)].FieldView(column);
}

std::vector<int> FileListModel::SortedOrder(int column, Qt::SortOrder order) const {
    std::vector<QStringView> cells;
    cells.reserve(rows_.size());
    for (const Row &row : rows_)
        cells.push_back(row.FieldView(column));
    const TextOrder plain(locale_, Qt::CaseSensitive);
    const std::vector<int> ranks =
        sortStyle_ == SortStyle::Smart ? SmartRanks(cells, plain, locale_) : plain.Ranks(cells);
    return StableOrderByRank(ranks, order == Qt::DescendingOrder);
}

void FileListModel::ApplyOrder(const std::vector<int> &order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const int from : order)
        sorted.push_back(std::move(rows_[size_t(from)]));
    rows_ = std::move(sorted);

    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> newRowOf(order.size());
        for (size_t to = 0; to < order.size(); ++to)
            newRowOf[size_t(order[to])] = int(to);
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex &old : persistent)
            moved.append(createIndex(newRowOf[size_t(old.row())], old.column()));
        changePersistentIndexList(persistent, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileListModel::sort(int column, Qt::SortOrder order) {
    if (column >= kEntryFieldCount)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    dirty_ = false;
    if (column < 0 || rows_.size() < 2)
        return;
    ApplyOrder(SortedOrder(column, order));
}

void FileListModel::ResortIfNeeded() {
    if (suspended_ > 0) {
        dirty_ = true;
        return;
    }
    sort(sortColumn_, sortOrder_);
}

void FileListModel::SuspendUpdates() {
    ++suspended_;
}

void FileListModel::ResumeUpdates() {
    if (suspended_ > 0 && --suspended_ == 0 && dirty_)
        ResortIfNeeded();
}

void FileListModel::AddLVEntry(const QString &line) {
    beginInsertRows({}, Count(), Count());
    rows_.push_back(MakeRow(line));
    endInsertRows();
    ResortIfNeeded();
}

void FileListModel::SetLVEntry(int row, const QString &line) {
    if (row < 0 || row >= Count())
        return;
    rows_[size_t(row)] = MakeRow(line);
    emit dataChanged(index(row, 0), index(row, kEntryFieldCount - 1));
    ResortIfNeeded();
}

QString FileListModel::GetLVEntryLine(int row) const {
    return row >= 0 && row < Count() ? rows_[size_t(row)].line : QString();
}

QString FileListModel::GetLVEntryPath(int row) const {
    if (row < 0 || row >= Count())
        return {};
    const Row &r = rows_[size_t(row)];
    QString path;
    path.reserve(r.star[2]);
    path += r.FieldView(FieldFolder);
    path += r.FieldView(FieldFilename);
    path += r.FieldView(FieldExt);
    return path;
}

void FileListModel::FillLVFromList(const QStringList &lines, ProgressBar *progress) {
    const int n = int(lines.size());
    const int step = ProgressStride(n);
    if (progress)
        ProgressInit(*progress, false, 10);
    beginResetModel();
    rows_.clear();
    rows_.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        rows_.push_back(MakeRow(lines.at(i)));
        if (progress && i % step == 0)
            ProgressSet(*progress, false, i / step + 1);
    }
    endResetModel();
    if (progress)
        ProgressSet(*progress, false, 0);
    ResortIfNeeded();
}

std::vector<bool> FileListModel::SelectionMask(const QList<int> &selectedRows) const {
    std::vector<bool> selected(rows_.size(), false);
    for (const int row : selectedRows) {
        if (row >= 0 && row < Count())
            selected[size_t(row)] = true;
    }
    return selected;
}

void FileListModel::CopyLVToList(QStringList &target, CopyMode mode,
                                 const QList<int> &selectedRows) const {
    const std::vector<bool> selected = SelectionMask(selectedRows);
    target.reserve(target.size() + Count());
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (mode == CopyMode::All || (mode == CopyMode::Selected) == selected[i])
            target.append(rows_[i].line);
    }
}

int FileListModel::TakeOutSelectedEntries(const QList<int> &selectedRows) {
    return RemoveRowsAt(selectedRows);
}

int FileListModel::RemoveRowsAt(const QList<int> &rowsToRemove) {
    const std::vector<bool> gone = SelectionMask(rowsToRemove);
    const int removed = int(std::count(gone.begin(), gone.end(), true));
    if (removed == 0)
        return 0;
    // A few runs go as row removals, keeping the view's other selections;
    // scattered rows of a large list go in one reset instead of many shifts.
    std::vector<std::pair<int, int>> runs; // first, last
    for (int i = 0; i < Count(); ++i) {
        if (!gone[size_t(i)])
            continue;
        if (!runs.empty() && runs.back().second == i - 1)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
    }
    constexpr size_t kMaxSeparateRemovals = 32;
    if (runs.size() <= kMaxSeparateRemovals) {
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
            beginRemoveRows({}, it->first, it->second);
            rows_.erase(rows_.begin() + it->first, rows_.begin() + it->second + 1);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        size_t kept = 0;
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (!gone[i])
                rows_[kept++] = std::move(rows_[i]);
        }
        rows_.resize(kept);
        endResetModel();
    }
    return removed;
}

void FileListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

} // namespace velmora
