#pragma once
// The "Replace in Files" preview: every page the replacement would change,
// checked, with its count, and under it each changed line before and after.
// Apply takes the checked pages; a page that cannot be changed is shown with
// the reason and cannot be checked.

#include "sitesearch/replace_apply.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

namespace velmora {

class ReplacePreviewDialog final : public QDialog {
    Q_OBJECT
public:
    // Pages are shown by their path below folder.
    ReplacePreviewDialog(const std::vector<PreviewedFile> &files, const QString &folder,
                         QWidget *parent = nullptr);

    // The pages checked now.
    std::vector<ReplaceTarget> Chosen() const;
    QTreeWidget *Files() const { return files_; }

private:
    std::vector<ReplaceTarget> targets_; // in the rows' order
    QTreeWidget *files_ = nullptr;
};

} // namespace velmora
