#include "widgets/tab_selection.h"

#include "foundation/folder_context.h"
#include "widgets/tab_view.h"

namespace velmora {

TabSelection::TabSelection(FolderContext &context, std::array<TabView *, 3> views)
    : context_(context), views_(views) {
    for (TabView *view : views_)
        connect(view, &TabView::selectionChanged, this, [this, &context, view] {
            if (view == ActiveView())
                context.ReportSelectionChanged();
        });
}

TabView *TabSelection::ActiveView() const {
    return View(context_.ActiveTab());
}

QString TabSelection::GetCurrentFile() const {
    return ActiveView()->CurrentFile();
}

TSelectionInfo TabSelection::GetSelectionInfo() const {
    const TabView *view = ActiveView();
    return {context_.ActiveTab(), view->SelectedCount(), view->Count()};
}

QStringList TabSelection::SelectedFiles() const {
    return ActiveView()->SelectedFiles();
}

QString TabSelection::GetViewFile(int i, bool selectedOnly) const {
    return ActiveView()->ViewFile(i, selectedOnly);
}

} // namespace velmora
