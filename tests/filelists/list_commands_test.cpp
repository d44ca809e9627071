#include "filelists/file_list_model.h"
#include "filelists/list_commands.h"
#include "temp_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

TEST(ListCommands, SearchOutcomeFollowsTheCounts) {
    EXPECT_EQ(JudgeSearch(0, 0, false), SearchOutcome::NoneFound);
    EXPECT_EQ(JudgeSearch(0, 0, true), SearchOutcome::NoneFound);
    EXPECT_EQ(JudgeSearch(4, 4, true), SearchOutcome::NothingNew);
    // Without adding, the same files found again replace the list.
    EXPECT_EQ(JudgeSearch(4, 0, false), SearchOutcome::Show);
    EXPECT_EQ(JudgeSearch(5, 4, true), SearchOutcome::Show);
    EXPECT_EQ(SearchFinishedMessage(4, 0),
              u"\nSearch finished.\n4 unique entries in list.\nSave results?"_s);
}

TEST(ListCommands, SaveModesCountTheirEntries) {
    EXPECT_EQ(EntriesToSave(CopyMode::All, 3, 1), 3);
    EXPECT_EQ(EntriesToSave(CopyMode::Selected, 3, 1), 1);
    EXPECT_EQ(EntriesToSave(CopyMode::Unselected, 3, 3), 0);
}

TEST(ListCommands, AddDialogFilterOffersLongerExtensions) {
    EXPECT_EQ(AddDialogFilter(u"HTML|*.htm;*.asp|Pictures|*.jpeg|Empty|"_s),
              u"HTML (*.htm *.htm* *.asp *.asp*);;Pictures (*.jpeg)"_s);
    EXPECT_TRUE(AddDialogFilter(QString()).isEmpty());
}

TEST(ListCommands, SavedListsAreTheListFilesByName) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    for (const char *name : {"b.lst", "A.LST", "c.txt", "(newlist2).lst"})
        velmora::testing::WriteBytes(root + QString::fromLatin1(name), "x\r\n");
    QDir().mkpath(root + u"folder.lst"_s);
    EXPECT_EQ(SavedListNames(root), (QStringList{u"(newlist2).lst"_s, u"A.LST"_s, u"b.lst"_s}));
    EXPECT_TRUE(SavedListNames(root + u"missing/"_s).isEmpty());
}
