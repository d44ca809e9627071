#include "app/context_menu_rules.h"
#include "foundation/desktop_services.h"
#include "temp_files.h"

#include <QFileSystemWatcher>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;

TEST(ContextMenuRules, CaptionsOfTheApplicationEntries) {
    TExtEditor app;
    app.Descript = u"Kate"_s;
    EXPECT_EQ(CaptionOfApp(app, AppCaptionStyle::AtStart), u"Launch file with: Kate"_s);
    EXPECT_EQ(CaptionOfApp(app, AppCaptionStyle::AfterOptions), u"Launch with: Kate"_s);
    // An ampersand is shown as typed, not taken as a shortcut mark; a tab
    // would push the rest into the shortcut column.
    EXPECT_EQ(MenuText(u"Launch with: Tom & Jerry\tNew"_s), u"Launch with: Tom && Jerry New"_s);
}

TEST(ContextMenuRules, LaunchArgumentsKeepQuotedGroupsAndTheFileWhole) {
    const QString file = u"/tmp/a b/x.htm"_s;
    TExtEditor app{u"/usr/bin/ed"_s, {}, {}, true};
    EXPECT_EQ(LaunchArguments(app, file), QStringList{file});
    // Three quotes stand for one quote character; no shell runs the command,
    // so its characters mean nothing.
    app.Param = u"  -r --title=\"A B\" \"\"\"x\"\"\" ; $HOME"_s;
    EXPECT_EQ(
        LaunchArguments(app, u"/w/$(x).htm"_s),
        (QStringList{u"-r"_s, u"--title=A B"_s, u"\"x\""_s, u";"_s, u"$HOME"_s, u"/w/$(x).htm"_s}));
}

// The real launcher: the program gets the parameters split as a shell would
// and the file path, blanks and all, as one argument.
TEST(ContextMenuRules, TheSystemLauncherPassesParametersAndTheFileAsArguments) {
    QTemporaryDir blanks(QDir::tempPath() + u"/velmora launch XXXXXX"_s);
    const QByteArray output = blanks.filePath(u"arguments.txt"_s).toUtf8();
    const QString script = blanks.filePath(u"record args.sh"_s);
    // Written aside and moved into place, so the file appears complete.
    WriteBytes(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + output +
                           ".part\"\nmv \"" + output + ".part\" \"" + output + "\"\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    const QString page = blanks.filePath(u"a b/x.htm"_s);

    QFileSystemWatcher watcher({blanks.path()});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    const TExtEditor app{script, u"-t \"My Site\""_s, u"Recorder"_s, true};
    SystemDesktopServices system;
    ASSERT_TRUE(system.StartDetached(app.Location, LaunchArguments(app, page)));
    for (int wait = 0; wait < 20 && !QFile::exists(QString::fromUtf8(output)); ++wait)
        changed.wait(500);
    EXPECT_EQ(velmora::testing::ReadBytes(QString::fromUtf8(output)),
              "-t\nMy Site\n" + page.toUtf8() + "\n");
}

// The entries the menu always had keep their places; the one acting on the
// whole folder follows the applications and asks only for files in it.
TEST(ContextMenuRules, UpdateChangedThumbnailsFollowsTheFolderNotTheSelection) {
    const auto &entries = ContextMenuEntries();
    EXPECT_EQ(entries[FirstAppItem + kAppCount].app, kAppCount);
    EXPECT_EQ(entries[UpdateChangedItem - 1].command, MenuCommand::Separator);
    EXPECT_EQ(entries[UpdateChangedItem].caption, u"Update Changed Thumbnails"_s);
    EXPECT_EQ(UpdateChangedItem, kContextMenuSize - 1);

    ContextMenuState state;
    EXPECT_FALSE(IsEntryEnabled(state, UpdateChangedItem));
    state.folderFileCount = 3; // nothing selected, no current file, any tab
    for (int page : {0, 1, 2}) {
        state.activePage = page;
        EXPECT_TRUE(IsEntryEnabled(state, UpdateChangedItem)) << page;
    }
    EXPECT_FALSE(IsEntryEnabled(state, 2)); // Make/Update still wants a selection
    EXPECT_FALSE(IsEntryEnabled(state, UpdateChangedItem - 1));
    state.viewerModal = true;
    EXPECT_FALSE(IsEntryEnabled(state, UpdateChangedItem));
}
