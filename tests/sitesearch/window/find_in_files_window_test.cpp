// The Find in Files window headless: the status line, the results, opening
// a result, the limit of rows, and Replace All through its preview.
#include "sitesearch/window/find_in_files_window.h"

#include "foundation/settings.h"
#include "scripted_prompts.h"
#include "sitesearch/window/replace_preview_dialog.h"
#include "temp_files.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadBytes;
using testing::ScriptedPrompts;
using testing::WriteBytes;

class FindInFilesWindowTest : public ::testing::Test {
protected:
    FindInFilesWindowTest() {
        settings_.DoCreateBackUps = false;
        window_ = std::make_unique<FindInFilesWindow>(
            FindInFilesServices{prompts_, prompts_, settings_, nullptr,
                                [this](QDialog &dialog) { return AnswerPreview(dialog); }});
    }

    QString Root() const { return dir_.path() + u'/'; }
    template <class T> T *Child(const QString &name) const {
        for (T *w : window_->findChildren<T *>())
            if (w->accessibleName() == name)
                return w;
        ADD_FAILURE() << "no control named " << name.toStdString();
        return nullptr;
    }
    void Set(const QString &field, const QString &text) { Child<QLineEdit>(field)->setText(text); }
    void Click(const QString &button) {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }
    void WaitForEnd() { QTRY_VERIFY_WITH_TIMEOUT(!window_->Searching(), 10000); }
    int AnswerPreview(QDialog &dialog) {
        auto &preview = static_cast<ReplacePreviewDialog &>(dialog);
        previewRows_ = preview.Files()->topLevelItemCount();
        if (uncheck_ >= 0)
            preview.Files()->topLevelItem(uncheck_)->setCheckState(0, Qt::Unchecked);
        return previewAnswer_;
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    Settings settings_;
    std::unique_ptr<FindInFilesWindow> window_;
    int previewAnswer_ = QDialog::Accepted;
    int uncheck_ = -1;
    int previewRows_ = 0;
};

TEST_F(FindInFilesWindowTest, FindAllListsPagesAndOccurrencesAndCounts) {
    WriteBytes(Root() + u"a.htm"_s, "<p>old one</p>\r\n<p>an old two</p>\r\n");
    WriteBytes(Root() + u"sub/b.html"_s, "nothing");
    WriteBytes(Root() + u"sub/c.htm"_s, "old");
    WriteBytes(Root() + u"pic.htm"_s, QByteArray("old\0", 4));
    window_->Prefill(Root(), u"*.htm"_s, u"old"_s);
    Click(u"Find All"_s);
    WaitForEnd();
    EXPECT_EQ(window_->Status(), u"3 matches in 2 files (3 files searched, 1 skipped)"_s);
    QTreeWidget *tree = Child<QTreeWidget>(u"Find in Files results"_s);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem *a = tree->topLevelItem(0)->text(0).startsWith(u"a.htm"_s)
                             ? tree->topLevelItem(0)
                             : tree->topLevelItem(1);
    EXPECT_EQ(a->text(0), u"a.htm  (2)"_s);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(1)->text(0), u"2: <p>an old two</p>"_s);
    EXPECT_EQ(settings_.LastSearch, u"old"_s);

    // Enter on an occurrence asks for it in the editor, where a CR LF is one
    // character.
    QSignalSpy opened(window_.get(), &FindInFilesWindow::matchActivated);
    tree->setCurrentItem(a->child(1));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].toString(), Root() + u"a.htm"_s);
    EXPECT_EQ(opened[0][1].toInt(), 2);
    EXPECT_EQ(opened[0][2].toInt(), 7);
    EXPECT_EQ(opened[0][3].toInt(), 3);
}

TEST_F(FindInFilesWindowTest, AnInvalidPatternIsToldAndNothingRuns) {
    window_->Prefill(Root(), u"*.htm"_s, u"a[b"_s);
    Child<QCheckBox>(u"Regular expression"_s)->setChecked(true);
    Click(u"Find All"_s);
    EXPECT_FALSE(window_->Searching());
    ASSERT_EQ(prompts_.Count(ScriptedPrompts::Kind::Info), 1);
    EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Info)[0].contains(u"at offset"_s));
    window_->Prefill(Root() + u"missing/"_s, {}, u"x"_s);
    Click(u"Find All"_s);
    EXPECT_EQ(prompts_.Count(ScriptedPrompts::Kind::Info), 2);
}

TEST_F(FindInFilesWindowTest, OnlyTheFirstOccurrencesAreListedAndTheRestTold) {
    WriteBytes(Root() + u"a.htm"_s, QByteArray("x ").repeated(8));
    window_->Search().SetKeptMatches(5);
    window_->Prefill(Root(), u"*.htm"_s, u"x"_s);
    window_->FindAll();
    WaitForEnd();
    EXPECT_EQ(
        window_->Status(),
        u"8 matches in 1 files (1 files searched, 0 skipped); the first 5 are listed, and 3 more"_s);
    EXPECT_EQ(window_->Results()->topLevelItem(0)->childCount(), 5);
}

TEST_F(FindInFilesWindowTest, ReplaceAllChangesOnlyTheCheckedPages) {
    WriteBytes(Root() + u"a.htm"_s, "old a");
    WriteBytes(Root() + u"b.htm"_s, "old b");
    window_->Prefill(Root(), u"*.htm"_s, u"old"_s);
    Set(u"Replace with"_s, u"new"_s);
    uncheck_ = 0;
    Click(u"Replace All..."_s);
    WaitForEnd();
    EXPECT_EQ(previewRows_, 2);
    const QStringList infos = prompts_.Texts(ScriptedPrompts::Kind::Info);
    ASSERT_EQ(infos.size(), 1);
    EXPECT_EQ(infos[0], u"Replaced 1 occurrences in 1 files."_s);
    // One of the two stays, whichever the walk listed first.
    const QByteArray a = ReadBytes(Root() + u"a.htm"_s), b = ReadBytes(Root() + u"b.htm"_s);
    EXPECT_EQ(int(a == "new a") + int(b == "new b"), 1);
    EXPECT_EQ(int(a == "old a") + int(b == "old b"), 1);

    // Cancel in the preview writes nothing.
    prompts_.Clear();
    previewAnswer_ = QDialog::Rejected;
    uncheck_ = -1;
    window_->ReplaceAll();
    WaitForEnd();
    EXPECT_EQ(prompts_.Count(ScriptedPrompts::Kind::Info), 0);
    EXPECT_EQ(int(ReadBytes(Root() + u"a.htm"_s) == "new a") +
                  int(ReadBytes(Root() + u"b.htm"_s) == "new b"),
              1);
}

TEST_F(FindInFilesWindowTest, StopEndsTheSearchAndSaysSo) {
    QByteArray page = QByteArray("word ").repeated(20000);
    for (int i = 0; i < 400; ++i)
        WriteBytes(Root() + u"p%1.htm"_s.arg(i), page);
    window_->Prefill(Root(), u"*.htm"_s, u"word"_s);
    window_->FindAll();
    QTRY_VERIFY_WITH_TIMEOUT(window_->Results()->topLevelItemCount() > 0, 10000);
    Click(u"Stop"_s);
    WaitForEnd();
    EXPECT_TRUE(window_->Status().startsWith(u"Stopped: "_s)) << window_->Status().toStdString();
    EXPECT_TRUE(Child<QPushButton>(u"Find All"_s)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(u"Stop"_s)->isEnabled());
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

TEST(ReplacePreviewDialog, APageThatCannotChangeIsShownWithItsReasonAndNeverChosen) {
    PreviewedFile good;
    good.target.path = u"/site/a.htm"_s;
    good.count = 2;
    good.changes = {{3, u"old x"_s, u"new x"_s}};
    good.changesLeftOut = 4;
    PreviewedFile bad;
    bad.target.path = u"/site/b.htm"_s;
    bad.count = 1;
    bad.problem = u"it was changed since the search"_s;
    ReplacePreviewDialog dialog({good, bad}, u"/site"_s);
    QTreeWidget *files = dialog.Files();
    ASSERT_EQ(files->topLevelItemCount(), 2);
    EXPECT_EQ(files->topLevelItem(0)->text(0), u"a.htm  (2 occurrences)"_s);
    ASSERT_EQ(files->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(files->topLevelItem(0)->child(0)->text(1), u"old x"_s);
    EXPECT_EQ(files->topLevelItem(0)->child(0)->text(2), u"new x"_s);
    EXPECT_EQ(files->topLevelItem(0)->child(1)->text(0), u"and 4 more lines"_s);
    EXPECT_EQ(files->topLevelItem(1)->text(0),
              u"b.htm  (not changed: it was changed since the search)"_s);
    EXPECT_FALSE(files->topLevelItem(1)->flags() & Qt::ItemIsEnabled);
    // Even checked by force, the page that cannot change is not chosen.
    files->topLevelItem(1)->setCheckState(0, Qt::Checked);
    ASSERT_EQ(dialog.Chosen().size(), 1u);
    EXPECT_EQ(dialog.Chosen()[0].path, u"/site/a.htm"_s);
    files->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_TRUE(dialog.Chosen().empty());
}

} // namespace
} // namespace velmora
