#pragma once
// What the Folder View's file list and the Thumbnail View's grid share: an
// item view whose rows are the paths of a model, several of which can be
// selected, the current file and the selection as the main window asks for
// them, the caret put on a file by name, Ctrl+A on release, and the reports
// of a moved caret and a changed selection.

#include "widgets/tab_view.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractItemView;

namespace velmora {

class ItemListTabView : public TabView {
public:
    ~ItemListTabView() override;

    QWidget *Widget() override;
    int Count() const override;
    int SelectedCount() const override;
    // The caret entry, when it is selected and no other entry is.
    QString CurrentFile() const override;
    QStringList SelectedFiles() const override;
    QString ViewFile(int i, bool selectedOnly) const override;
    void SelectFirstIfNone() override;
    void FocusFile(const QString &path) override;
    void FocusEntry(int i) override;
    void SelectFile(const QString &path) override;
    void RefreshFolderFiles(const QStringList &paths) override;

protected:
    explicit ItemListTabView(QAbstractItemView *view);
    // Call once the view has its model: from then on the caret and the
    // selection are reported.
    void WatchSelection();
    // The rows' paths, in row order.
    virtual const QStringList &Paths() const = 0;
    // Replaces the rows without reporting a moved caret; the selection
    // change is reported afterwards when replace says the rows changed.
    void ReplaceRows(const std::function<bool()> &replace);

private:
    class Quiet;
    int RowOf(const QString &path) const;
    void ReportChange(bool selectionMoved);
    void RestoreSelection(const QStringList &selected, const QString &caret, int caretRow);

    QPointer<QAbstractItemView> view_;
    int reportedRow_ = -1;
    // Set while the main window itself moves the caret: it has asked
    // whatever it needed to ask, so currentFileChanged is not emitted.
    bool quiet_ = false;
    // Set while the rows are refreshed: nothing is reported until the
    // selection is back.
    bool holding_ = false;
};

} // namespace velmora
