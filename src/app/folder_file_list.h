#pragma once
// The Folder View's file list, LBFile: the files of the current folder by
// name, several of which can be selected (Shift and Ctrl extend the
// selection), with their file icons when those are switched on. Built for
// folders of tens of thousands of files: the rows are plain paths, all rows
// have one height, and icons are made only for the rows being painted.

#include "app/tab_view.h"

#include <QAbstractFileIconProvider>
#include <QObject>
#include <QPointer>

#include <memory>

class QListView;

namespace velmora {

class FolderFileModel;

class FolderFileList final : public TabView {
public:
    // The icons come from the system's file icon provider unless another
    // is given.
    explicit FolderFileList(bool showIcons,
                            std::unique_ptr<QAbstractFileIconProvider> icons = nullptr);
    ~FolderFileList() override;

    QWidget *Widget() override;
    int Count() const override;
    int SelectedCount() const override;
    // The caret entry, when it is selected and no other entry is.
    QString CurrentFile() const override;
    QStringList SelectedFiles() const override;
    QString ViewFile(int i, bool selectedOnly) const override;
    void SelectFirstIfNone() override;
    void ShowFolderFiles(const QStringList &paths) override;
    void FocusFile(const QString &path) override;
    void SelectFile(const QString &path) override;
    void SetShowIcons(bool show) override;

    QListView *ListView() const { return view_; }

private:
    int RowOf(const QString &path) const;
    void ReportChange(bool selectionChanged);

    QPointer<QListView> view_;
    QPointer<FolderFileModel> model_;
    // The context of every connection to the view, so that none outlives
    // this object when the view stays behind in its tab.
    QObject connections_;
    int reportedRow_ = -1;
    // Set while the main window itself moves the caret: it has asked
    // whatever it needed to ask, so CurrentChanged is not called.
    bool quiet_ = false;
};

} // namespace velmora
