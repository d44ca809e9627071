#pragma once
// The File Lists tab's view for the main window: the tab itself, whose report
// view's selection gives the current file and the selected files, reported
// like the other two tabs report theirs.

#include "filelists/window/file_lists_page.h"
#include "widgets/tab_view.h"

#include <QObject>
#include <QPointer>

namespace velmora {

class ELVReport;
struct Settings;

class ListsTabView final : public TabView {
public:
    explicit ListsTabView(FileListsContext context);
    ~ListsTabView() override;

    QWidget *Widget() override;
    int Count() const override;
    int SelectedCount() const override;
    // The focused row's path while it is the only row selected.
    QString CurrentFile() const override;
    QStringList SelectedFiles() const override;
    QString ViewFile(int i, bool selectedOnly) const override;

    FileListsPage *Page() const { return page_; }
    ELVReport *Report() const;

    // The report's column widths and sort order, as stored in the settings.
    void RestoreColumns(const Settings &settings);
    void SaveColumns(Settings &settings) const;

private:
    QPointer<FileListsPage> page_;
};

} // namespace velmora
