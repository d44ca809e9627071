#pragma once
// How every part of the program asks about the active view: the current file
// and the selected entries of whichever tab is showing. The main window
// implements it; the parts that act on files receive it by reference.

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

// The tabs, numbered as TSelectionInfo::Page gives them.
enum ViewPage { PageFolderView = 0, PageThumbnailView = 1, PageFileLists = 2 };

struct TSelectionInfo {
    int Page = 0;     // the active tab: 0 Folder View, 1 Thumbnail View, 2 File Lists
    int SelCount = 0; // selected entries of the active view
    int Count = 0;    // all entries of the active view
};

class ViewSelection {
public:
    virtual ~ViewSelection() = default;
    virtual QString GetCurrentFile() const = 0;
    virtual TSelectionInfo GetSelectionInfo() const = 0;
    // Full paths of the selected entries, in view order.
    virtual QStringList SelectedFiles() const = 0;
    // The path of entry i of the active view; empty beyond the last entry,
    // and with selectedOnly also when the entry is not selected.
    virtual QString GetViewFile(int i, bool selectedOnly) const = 0;
};

// One selected entry of the active view: its index and its path.
struct ViewFile {
    int index = -1;
    QString path;
};

// The selected entries in view order, asked entry by entry as every command
// over the selection does.
QList<ViewFile> SelectedViewFiles(const ViewSelection &selection);

} // namespace velmora
