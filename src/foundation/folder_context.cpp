#include "foundation/folder_context.h"

namespace velmora {

void FolderContext::SetFolder(const QString &folder) {
    if (folder == folder_)
        return;
    folder_ = folder;
    emit folderChanged(folder_);
}

void FolderContext::SetMask(const QString &mask) {
    if (mask == mask_)
        return;
    mask_ = mask;
    emit maskChanged(mask_);
}

void FolderContext::SetActiveTab(int tab) {
    if (tab == activeTab_)
        return;
    activeTab_ = tab;
    emit activeTabChanged(activeTab_);
}

void FolderContext::ReportSelectionChanged() {
    emit selectionChanged();
}

} // namespace velmora
