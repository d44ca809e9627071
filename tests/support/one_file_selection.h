#pragma once
// The active view of a window under test: one file, current and selected,
// as the main window would report it.

#include "foundation/view_selection.h"

#include <QString>
#include <QStringList>

namespace velmora::testing {

class OneFileSelection final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return current; }
    TSelectionInfo GetSelectionInfo() const override { return {0, 1, 1}; }
    QStringList SelectedFiles() const override { return {current}; }
    QString GetViewFile(int i, bool) const override { return i == 0 ? current : QString(); }
    QString current;
};

} // namespace velmora::testing
