#pragma once
// The selection of the tab in front, over the views of the three tabs: the
// ViewSelection that the parts acting on files are given. The active tab is
// the FolderContext's; a new selection or caret in that tab's view is passed
// on as the context's selectionChanged.

#include "foundation/view_selection.h"

#include <QObject>

#include <array>

namespace velmora {

class FolderContext;
class TabView;

// A QObject so that its connections to the views end when it goes, whichever
// of them is taken down first.
class TabSelection final : public QObject, public ViewSelection {
public:
    // The views, in tab order, must outlive this object.
    TabSelection(FolderContext &context, std::array<TabView *, 3> views);

    QString GetCurrentFile() const override;
    TSelectionInfo GetSelectionInfo() const override;
    QStringList SelectedFiles() const override;
    QString GetViewFile(int i, bool selectedOnly) const override;

    TabView *View(int page) const { return views_[size_t(page)]; }
    TabView *ActiveView() const;

private:
    const FolderContext &context_;
    std::array<TabView *, 3> views_;
};

} // namespace velmora
