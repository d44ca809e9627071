// The folder chooser creates a typed folder that does not exist only after
// the user agrees, and chooses an existing one without asking.
#include "widgets/folder_chooser.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

struct Chooser {
    Chooser(const QString &dir, bool answer)
        : dialog(nullptr, u"Copy Files To"_s, dir, [this, answer](const QString &question) {
              questions << question;
              return answer;
          }) {}
    void Type(const QString &text) {
        auto *edit = dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
    }
    FolderChooser dialog;
    QStringList questions;
};

TEST(FolderChooserTest, ATypedNewFolderIsCreatedAfterYes) {
    QTemporaryDir dir;
    Chooser chooser(dir.path(), true);
    chooser.dialog.show();
    chooser.Type(u"new folder"_s);
    chooser.dialog.accept();
    const QString made = dir.filePath(u"new folder"_s);
    EXPECT_TRUE(QDir(made).exists());
    EXPECT_EQ(chooser.dialog.result(), QDialog::Accepted);
    ASSERT_EQ(chooser.questions.size(), 1);
    EXPECT_TRUE(chooser.questions[0].contains(made));
    EXPECT_EQ(chooser.dialog.selectedFiles().value(0), made);
}

TEST(FolderChooserTest, NoCreatesNothingAndKeepsTheDialogOpen) {
    QTemporaryDir dir;
    Chooser chooser(dir.path(), false);
    chooser.dialog.show();
    chooser.Type(u"later"_s);
    chooser.dialog.accept();
    EXPECT_FALSE(QDir(dir.filePath(u"later"_s)).exists());
    EXPECT_TRUE(chooser.dialog.isVisible());
}

TEST(FolderChooserTest, AnExistingFolderIsChosenWithoutAQuestion) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"there"_s));
    Chooser chooser(dir.path(), false);
    chooser.dialog.show();
    chooser.Type(u"there"_s);
    chooser.dialog.accept();
    EXPECT_TRUE(chooser.questions.isEmpty());
    EXPECT_EQ(chooser.dialog.result(), QDialog::Accepted);
}

} // namespace
