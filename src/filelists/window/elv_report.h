#pragma once
// The report view ELVReport: the current file list in five columns over a
// FileListModel, several rows selectable, read-only. A header click sorts by
// that column (again: the other way round), the Size column by value; default
// page names are drawn red while their row is not selected. Keys and mouse
// releases are reported for the tab to act on: Enter and a double click
// open, Delete takes out, Ctrl+A (released with Ctrl alone) selects all.

#include "filelists/file_list_model.h"

#include <QList>
#include <QTreeView>

namespace velmora {

class ELVReport final : public QTreeView {
    Q_OBJECT
public:
    explicit ELVReport(QWidget *parent = nullptr);

    FileListModel &Model() { return model_; }
    const FileListModel &Model() const { return model_; }

    // The selected rows in ascending order.
    QList<int> SelectedRows() const;
    int SelectedCount() const;
    bool IsRowSelected(int row) const;
    // The focused row when it is the one selected row, else -1.
    int CurrentSingleRow() const;

    // Selects every row with the painting frozen.
    void SelectAllRows();
    // Removes the selected rows; returns how many went.
    int TakeOutSelectedEntries();

    // ELVReportColumnClick: sorts by column, reversing when it is the current
    // sort column; Size sorts by value.
    void ColumnClick(int column);
    // The stored sort, with the plain style; a column out of range gives 0.
    void RestoreSort(int column, bool ascending);
    // The column widths as "270,64,40,56,104", and back; text that does not
    // hold five widths keeps the default widths.
    QString ColumnSizesText() const;
    void RestoreColumnSizes(const QString &text);

signals:
    void OpenRequested();
    void TakeOutRequested();
    void SelectAllRequested();
    // After every key press the view handled (button states, counts).
    void KeyPressed();
    // After every key release and mouse button release.
    void KeyReleased();
    void MouseReleased();
    void FocusChanged(bool focused);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ShowSortIndicator();
    void FitColumnsToContents();

    FileListModel model_;
    bool widthsRestored_ = false;
};

} // namespace velmora
