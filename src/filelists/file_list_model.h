#pragma once
// The entries of the current file list as an item model for the report view:
// one row per entry, five columns (Folder, Filename, Ext, Size, Date). The
// model keeps its rows in the current sort order: a fill or a change re-sorts
// at once, or, while updates are suspended, once when they resume.

#include "sitewalk/file_entry.h"

#include <QAbstractItemModel>
#include <QList>
#include <QLocale>
#include <QStringList>

#include <array>
#include <vector>

namespace velmora {

class ProgressBar;

// Plain: text by the locale's rules, letter case significant. Smart: points in
// time, then numbers, then plain text (the Size column uses it).
enum class SortStyle { Plain, Smart };

// Which rows CopyLVToList copies.
enum class CopyMode { All = 1, Selected = 2, Unselected = 3 };

class FileListModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FileListModel(const QLocale &locale = QLocale(), QObject *parent = nullptr);

    // The style a header click chooses: smart for "Size", plain otherwise.
    static SortStyle SortStyleForColumn(int column);
    static QString ColumnCaption(int column);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Sorts with the current style; a column of -1 leaves the rows unsorted.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void SetSortStyle(SortStyle style) { sortStyle_ = style; }
    SortStyle CurrentSortStyle() const { return sortStyle_; }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

    int Count() const { return int(rows_.size()); }
    QString Field(int row, int column) const;
    // The same without a copy; valid until the row changes.
    QStringView FieldView(int row, int column) const;

    void AddLVEntry(const QString &line);
    void SetLVEntry(int row, const QString &line);
    QString GetLVEntryLine(int row) const;
    QString GetLVEntryPath(int row) const;
    // Replaces all rows by one row per line, in one reset, then re-sorts.
    void FillLVFromList(const QStringList &lines, ProgressBar *progress = nullptr);
    // Appends the lines of all, the selected or the unselected rows, in the
    // order shown. selectedRows may come in any order.
    void CopyLVToList(QStringList &target, CopyMode mode,
                      const QList<int> &selectedRows = {}) const;
    // Removes the selected rows; returns how many were removed.
    int TakeOutSelectedEntries(const QList<int> &selectedRows);
    // Removes the given rows in one step (used where many rows go at once).
    int RemoveRowsAt(const QList<int> &rows);
    void Clear();

    // While suspended, changes do not re-sort; the last resume re-sorts once.
    void SuspendUpdates();
    void ResumeUpdates();
    class UpdateSuspender {
    public:
        explicit UpdateSuspender(FileListModel &model) : model_(model) { model_.SuspendUpdates(); }
        ~UpdateSuspender() { model_.ResumeUpdates(); }
        UpdateSuspender(const UpdateSuspender &) = delete;
        UpdateSuspender &operator=(const UpdateSuspender &) = delete;

    private:
        FileListModel &model_;
    };

private:
    // The entry line holds exactly four separators; star[k] is the position
    // of the separator after field k. One string per row keeps fills cheap.
    struct Row {
        QString line;
        std::array<int, 4> star{};
        QStringView FieldView(int column) const;
    };
    static Row MakeRow(const QString &line);
    std::vector<int> SortedOrder(int column, Qt::SortOrder order) const;
    void ApplyOrder(const std::vector<int> &order);
    void ResortIfNeeded();
    std::vector<bool> SelectionMask(const QList<int> &selectedRows) const;

    QLocale locale_;
    std::vector<Row> rows_;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    SortStyle sortStyle_ = SortStyle::Plain;
    int suspended_ = 0;
    bool dirty_ = false;
};

} // namespace velmora
