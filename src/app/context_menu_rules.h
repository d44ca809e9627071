#pragma once
// The context menu of the file views as data: its entries in menu order, the
// rule that decides which of them may be chosen, the captions of the external
// application entries and the arguments an application is started with. The
// main window builds the menu from these and asks them before every opening
// and every click.

#include "foundation/settings.h"

#include <QString>
#include <QStringList>

#include <array>

namespace velmora {

enum class MenuCommand {
    ViewInBrowser,
    Separator,
    MakeThumbnails,
    ClearThumbnails,
    CreateSnapshots,
    CopyFiles,
    JumpToFolder,
    LaunchApplication,
    UpdateChangedThumbnails,
};

struct ContextMenuEntry {
    int index;       // position in the menu
    QString caption; // as shown; the application entries get theirs from CaptionOfApp
    MenuCommand command;
    int app = 0; // 1 to 6 for the application entries, else 0
};

// The entry before the first application: application n sits at FirstAppItem + n.
inline constexpr int FirstAppItem = 8;
inline constexpr int kAppCount = 6;
// After the applications, behind a separator: the entry that acts on the
// whole folder shown rather than on the selection.
inline constexpr int UpdateChangedItem = FirstAppItem + kAppCount + 2;
inline constexpr int kContextMenuSize = UpdateChangedItem + 1;

// Every entry in menu order, the application entries with empty captions.
const std::array<ContextMenuEntry, kContextMenuSize> &ContextMenuEntries();

// How the application entries are worded: until the options dialog is first
// confirmed "Launch file with: ", afterwards "Launch with: ".
enum class AppCaptionStyle { AtStart, AfterOptions };
QString CaptionOfApp(const TExtEditor &app, AppCaptionStyle style);

// A caption made safe for a menu: "&" would otherwise mark a shortcut letter
// and a tab would start the shortcut column.
QString MenuText(const QString &caption);

// What the enabling rule looks at when the menu opens or an entry is chosen.
struct ContextMenuState {
    bool hasCurrentFile = false;
    int selectedCount = 0;
    int activePage = 0; // 0 Folder View, 1 Thumbnail View, 2 File Lists
    bool viewerModal = false;
    int folderFileCount = 0; // files of the folder shown in the Folder View
    std::array<bool, kAppCount> appExists{};
};

// Whether entry index may be chosen; separators and unknown indexes never.
bool IsEntryEnabled(const ContextMenuState &state, int index);

// The program's arguments for opening file in app: Param split as a shell
// would split it (quotes group, and are removed), then the file as one
// argument whatever it holds.
QStringList LaunchArguments(const TExtEditor &app, const QString &file);

} // namespace velmora
