// The folder context: its signals come once per real change, with the new
// value, so that listeners can do real work in them.
#include "foundation/folder_context.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

TEST(FolderContextTest, EachSetterSignalsOncePerRealChangeWithTheNewValue) {
    FolderContext context;
    QSignalSpy folders(&context, &FolderContext::folderChanged);
    QSignalSpy masks(&context, &FolderContext::maskChanged);
    QSignalSpy tabs(&context, &FolderContext::activeTabChanged);

    context.SetFolder(u"/site/"_s);
    context.SetFolder(u"/site/"_s); // shown again: nothing new
    context.SetFolder(u"/other/"_s);
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders.at(1).at(0).toString(), u"/other/"_s);
    EXPECT_EQ(context.Folder(), u"/other/"_s);

    context.SetMask(u"*.htm"_s);
    context.SetMask(u"*.htm"_s);
    ASSERT_EQ(masks.size(), 1);
    EXPECT_EQ(context.Mask(), u"*.htm"_s);

    context.SetActiveTab(0); // the first tab is in front from the start
    context.SetActiveTab(2);
    ASSERT_EQ(tabs.size(), 1);
    EXPECT_EQ(tabs.at(0).at(0).toInt(), 2);

    // None of the setters speaks for another.
    EXPECT_EQ(folders.size(), 2);
    EXPECT_EQ(masks.size(), 1);
}

TEST(FolderContextTest, StartsWithoutFolderOrMaskOnTheFirstTab) {
    const FolderContext context;
    EXPECT_TRUE(context.Folder().isEmpty());
    EXPECT_TRUE(context.Mask().isEmpty());
    EXPECT_EQ(context.ActiveTab(), 0);
}
