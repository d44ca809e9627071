#pragma once
// State shared by all windows, owned by the application and passed by
// reference (never a global), so tests can run several instances.

#include "filelists/list_status.h"
#include "formatter/formatter_lines.h"

#include <QString>
#include <QStringList>

namespace velmora {

struct SharedState {
    static constexpr int ThumbWidth = 130;
    static constexpr int ThumbHeight = 100;

    bool StartingUp = true;    // until the main window's first activation
    bool ViewerModal = false;  // the editor/browser window is open modally
    bool BrowserBusy = false;  // the internal browser is processing a page
    QString EditorFile;        // file shown in the preview; empty for none
    qint64 EditorFileTime = 0; // its modification time when loaded or saved; 0 none
    QString CommandFile;       // page named on the command line
    TListFileStatus ListFileStatus;

    QStringList WorkList; // scratch list of the file-list operations
    FormatterLists Formatter;
    QStringList DroppedFiles;
    QStringList TagSyntaxList;
};

} // namespace velmora
