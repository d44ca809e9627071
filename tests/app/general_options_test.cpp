#include "app/general_options.h"
#include "foundation/settings.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class GeneralOptionsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Settings settings = Settings::Defaults(u"/prg/"_s, QSize(1000, 800));

    QString Program(const QString &name) {
        const QString path = dir.filePath(name);
        WriteBytes(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }
    template <class T> static T *Child(QWidget &w, const QString &name) {
        T *child = w.findChild<T *>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    static QLineEdit *Edit(QWidget &w, const char *kind, int n) {
        return Child<QLineEdit>(w, QString::fromLatin1(kind) + QString::number(n));
    }
};

// The dialog shows the settings; OK takes every row over as typed and
// confirms a location only when it names a file. Cancel is tested through
// the main window.
TEST_F(GeneralOptionsTest, OkTakesEveryRowAndSwitchOver) {
    const QString ed = Program(u"ed"_s);
    settings.ExtApps[0] = {ed, u"-r"_s, u"My Ed"_s, true};
    settings.DoRecycleBin = false;
    TFormGenOpt dialog(settings, prompts, prompts);
    EXPECT_EQ(Edit(dialog, "EParam", 1)->text(), u"-r"_s);
    EXPECT_EQ(Edit(dialog, "EDescr", 6)->text(), u"External Application 6"_s);
    auto *trash = Child<QCheckBox>(dialog, u"CBDoRecycleBin"_s);
    dialog.show();
    EXPECT_FALSE(trash->isVisible()); // loaded and stored, never shown
    EXPECT_FALSE(trash->isChecked());

    Edit(dialog, "ELoc", 1)->setText(dir.filePath(u"gone"_s));
    Edit(dialog, "ELoc", 2)->setText(ed);
    Edit(dialog, "EParam", 2)->setText(u" -t \"My Site\" "_s);
    Edit(dialog, "ELoc", 3)->setText(dir.path()); // a folder
    Child<QCheckBox>(dialog, u"CBShowHints"_s)->setChecked(false);
    Child<QCheckBox>(dialog, u"CBOpenOnSingleClick"_s)->setChecked(false);
    Child<QPushButton>(dialog, u"BOK"_s)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(settings.ExtApps[0].Exists);
    EXPECT_EQ(settings.ExtApps[1].Location, ed);
    EXPECT_EQ(settings.ExtApps[1].Param, u" -t \"My Site\" "_s);
    EXPECT_TRUE(settings.ExtApps[1].Exists);
    EXPECT_FALSE(settings.ExtApps[2].Exists);
    EXPECT_FALSE(settings.ExtApps[5].Exists); // "(none)"
    EXPECT_FALSE(settings.DoShowHints);
    EXPECT_FALSE(settings.DoOpenOnSingleClick);
    EXPECT_TRUE(settings.DoColorTags);
    EXPECT_FALSE(settings.DoRecycleBin);
}

// "Formatter style" offers the styles given; OK stores the one chosen. A
// stored name that is not among them stays selected, so OK keeps it.
TEST_F(GeneralOptionsTest, FormatterStyleIsChosenFromTheStyles) {
    settings.StyleName = u"HTML5"_s;
    TFormGenOpt dialog(settings, prompts, prompts, nullptr, {u"HTML5"_s, u"THUMBS"_s});
    auto *styles = Child<QComboBox>(dialog, u"CBStyleName"_s);
    EXPECT_EQ(styles->accessibleName(), u"Formatter style"_s);
    EXPECT_EQ(styles->currentText(), u"HTML5"_s);
    styles->setCurrentText(u"THUMBS"_s);
    Child<QPushButton>(dialog, u"BOK"_s)->click();
    EXPECT_EQ(settings.StyleName, u"THUMBS"_s);

    settings.StyleName = u"GONE"_s;
    TFormGenOpt again(settings, prompts, prompts, nullptr, {u"THUMBS"_s});
    EXPECT_EQ(Child<QComboBox>(again, u"CBStyleName"_s)->count(), 2);
    Child<QPushButton>(again, u"BOK"_s)->click();
    EXPECT_EQ(settings.StyleName, u"GONE"_s);
}

// "..." takes only a file that may be run: a plain file, a folder and a
// cancelled dialog leave the row as it was.
TEST_F(GeneralOptionsTest, BrowsingAcceptsOnlyAnExecutableFile) {
    const QString text = dir.filePath(u"notes.txt"_s);
    WriteBytes(text, "text");
    const QString ed = Program(u"my ed"_s);
    TFormGenOpt dialog(settings, prompts, prompts);
    QLineEdit *location = Edit(dialog, "ELoc", 5);
    prompts.fileAnswers = {text, dir.path(), QString(), ed};
    for (int i = 0; i < 3; ++i) {
        Child<QPushButton>(dialog, u"BEditor5"_s)->click();
        EXPECT_EQ(location->text(), u"(none)"_s);
    }
    const QStringList refusals = prompts.Texts(Kind::Info);
    ASSERT_EQ(refusals.size(), 2);
    EXPECT_TRUE(refusals[0].contains(text));
    EXPECT_TRUE(refusals[0].contains(u"not a program"_s));
    Child<QPushButton>(dialog, u"BEditor5"_s)->click();
    EXPECT_EQ(location->text(), ed);
    EXPECT_EQ(settings.ExtApps[4].Location, u"(none)"_s); // nothing before OK
}

} // namespace
