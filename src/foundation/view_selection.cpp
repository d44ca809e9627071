#include "foundation/view_selection.h"

#include <utility>

namespace velmora {

QList<ViewFile> SelectedViewFiles(const ViewSelection &selection) {
    const TSelectionInfo info = selection.GetSelectionInfo();
    QList<ViewFile> files;
    for (int i = 0; i < info.Count; ++i) {
        QString path = selection.GetViewFile(i, true);
        if (!path.isEmpty())
            files.append({i, std::move(path)});
    }
    return files;
}

} // namespace velmora
