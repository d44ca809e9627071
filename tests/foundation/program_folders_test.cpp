#include "foundation/program_folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

TEST(ProgramFolders, PortableFolderOrPerUserData) {
    QTemporaryDir exe, user;
    const ProgramFolders here = ProgramFolders::Locate(exe.path(), user.path());
    EXPECT_EQ(here.ProgramDir, exe.path() + u'/');
    EXPECT_EQ(here.ThumbDir, exe.path() + u"/THUMBS/"_s);
    EXPECT_EQ(here.ListDir, exe.path() + u"/FILELISTS/"_s);
    EXPECT_EQ(here.StyleDir, exe.path() + u"/STYLES/"_s);

    // An executable folder that cannot be written to: the program writes to
    // the per-user folder and reads its shipped files beside the executable,
    // unless the user has own copies.
    const QString gone = exe.path() + u"/not-writable"_s;
    const ProgramFolders installed = ProgramFolders::Locate(gone, user.path() + u"//"_s);
    EXPECT_EQ(installed.ProgramDir, user.path() + u'/');
    EXPECT_EQ(installed.ExeDir, gone + u'/');
    EXPECT_EQ(installed.StyleDir, gone + u"/STYLES/"_s);
    EXPECT_EQ(installed.ShippedPath(u"tagsyntax.txt"_s), gone + u"/tagsyntax.txt"_s);
    QFile own(user.path() + u"/tagsyntax.txt"_s);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    EXPECT_EQ(installed.ShippedPath(u"tagsyntax.txt"_s), user.path() + u"/tagsyntax.txt"_s);

    installed.CreateWorkFolders();
    EXPECT_TRUE(QDir(user.path() + u"/THUMBS"_s).exists());
    EXPECT_TRUE(QDir(user.path() + u"/FILELISTS"_s).exists());
}

// An installed copy keeps its data per user even when its folder could be
// written (as root): removing the package must not leave files behind.
TEST(ProgramFolders, ASystemInstallationWritesPerUser) {
    EXPECT_TRUE(IsSystemInstallFolder(u"/usr/lib/velmora"_s));
    EXPECT_TRUE(IsSystemInstallFolder(u"/usr/local/lib/velmora/"_s));
    EXPECT_TRUE(IsSystemInstallFolder(u"/usr//lib/../lib/velmora"_s));
    EXPECT_FALSE(IsSystemInstallFolder(u"/usrdata/velmora"_s));
    EXPECT_FALSE(IsSystemInstallFolder(u"/home/me/Velmora/bin"_s));
    QTemporaryDir user;
    const ProgramFolders installed = ProgramFolders::Locate(u"/usr/lib"_s, user.path());
    EXPECT_EQ(installed.ProgramDir, user.path() + u'/');
    EXPECT_EQ(installed.ExeDir, u"/usr/lib/"_s);
}

TEST(ProgramFolders, ThumbFolderTest) {
    EXPECT_TRUE(IsInThumbFolder(u"/p/THUMBS"_s, u"/p/THUMBS/"_s));
    EXPECT_TRUE(IsInThumbFolder(u"/p/thumbs/=a/"_s, u"/p/THUMBS/"_s));
    EXPECT_FALSE(IsInThumbFolder(u"/p/THUMBSX/"_s, u"/p/THUMBS/"_s));
    EXPECT_FALSE(IsInThumbFolder(u"/p/"_s, u"/p/THUMBS/"_s));
}
