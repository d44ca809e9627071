#include "app/context_menu_rules.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kFileListsPage = 2;

std::array<ContextMenuEntry, kContextMenuSize> MakeEntries() {
    std::array<ContextMenuEntry, kContextMenuSize> entries{{
        {0, u"View in default browser"_s, MenuCommand::ViewInBrowser},
        {1, u"-"_s, MenuCommand::Separator},
        {2, u"Make/Update Thumbnail(s)"_s, MenuCommand::MakeThumbnails},
        {3, u"Clear Thumbnail(s)"_s, MenuCommand::ClearThumbnails},
        {4, u"-"_s, MenuCommand::Separator},
        {5, u"Create Snapshot(s)"_s, MenuCommand::CreateSnapshots},
        {6, u"Copy file(s) to"_s, MenuCommand::CopyFiles},
        {7, u"Jump to Folder"_s, MenuCommand::JumpToFolder},
        {8, u"-"_s, MenuCommand::Separator},
    }};
    for (int n = 1; n <= kAppCount; ++n)
        entries[FirstAppItem + n] = {FirstAppItem + n, QString(), MenuCommand::LaunchApplication,
                                     n};
    entries[UpdateChangedItem - 1] = {UpdateChangedItem - 1, u"-"_s, MenuCommand::Separator};
    entries[UpdateChangedItem] = {UpdateChangedItem, u"Update Changed Thumbnails"_s,
                                  MenuCommand::UpdateChangedThumbnails};
    return entries;
}

} // namespace

const std::array<ContextMenuEntry, kContextMenuSize> &ContextMenuEntries() {
    static const auto entries = MakeEntries();
    return entries;
}

QString CaptionOfApp(const TExtEditor &app, AppCaptionStyle style) {
    return (style == AppCaptionStyle::AtStart ? u"Launch file with: "_s : u"Launch with: "_s) +
           app.Descript;
}

QString MenuText(const QString &caption) {
    QString text = caption;
    text.replace(u'&', u"&&"_s);
    text.replace(u'\t', u' ');
    return text;
}

// One file for the entries that act on the current file, any selection for
// those that act on the selected files, a folder with files for the one that
// acts on the folder shown; nothing while the editor/browser window is
// modal.
bool IsEntryEnabled(const ContextMenuState &state, int index) {
    if (index < 0 || index >= kContextMenuSize || state.viewerModal)
        return false;
    const bool one = state.hasCurrentFile;
    const bool some = state.selectedCount > 0;
    const ContextMenuEntry &entry = ContextMenuEntries()[size_t(index)];
    switch (entry.command) {
    case MenuCommand::ViewInBrowser:
        return one;
    case MenuCommand::MakeThumbnails:
    case MenuCommand::ClearThumbnails:
    case MenuCommand::CreateSnapshots:
    case MenuCommand::CopyFiles:
        return some;
    case MenuCommand::JumpToFolder:
        return one && state.activePage == kFileListsPage;
    case MenuCommand::LaunchApplication:
        return one && state.appExists[size_t(entry.app - 1)];
    case MenuCommand::UpdateChangedThumbnails:
        return state.folderFileCount > 0;
    case MenuCommand::Separator:
        break;
    }
    return false;
}

QStringList LaunchArguments(const TExtEditor &app, const QString &file) {
    return QProcess::splitCommand(app.Param) << file;
}

} // namespace velmora
