#include "foundation/ini_file.h"
#include "foundation/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

const QString kProgramDir = u"/opt/velmora/"_s;
const QSize kScreen(1600, 1000);

Settings Load(const QByteArray &bytes) {
    IniFile ini;
    ini.Parse(bytes);
    return LoadSettings(ini, kProgramDir, kScreen);
}

QStringList Lines(const IniFile &ini) {
    return QString::fromUtf8(ini.ToBytes()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(Settings, DefaultsWithoutAFile) {
    const Settings s = Load({});
    EXPECT_EQ(s.AllowedExtensions, DefaultFilterDefinition());
    EXPECT_EQ(s.Width, 1280);
    EXPECT_EQ(s.Height, 800);
    EXPECT_EQ(s.ViewPath, kProgramDir);
    EXPECT_EQ(s.SnapshotPath, kProgramDir + u"SNAPSHOTS/"_s);
    EXPECT_EQ(s.CopyPath, kProgramDir);
    EXPECT_EQ(s.ExtApps[2].Descript, u"External Application 3"_s);
    EXPECT_EQ(s.ExtApps[2].Location, u"(none)"_s);
    EXPECT_FALSE(s.ExtApps[2].Exists);
    EXPECT_EQ(s.ThumbBaseIndex, 3);
    EXPECT_EQ(s.CacheMax, 200);
    EXPECT_EQ(s.BorderCol, 8388608);
}

TEST(Settings, ReadingRules) {
    const Settings s = Load("[OPTIONS]\nALLOWED_EXTENSIONS= \t \nBackupExt=.backup\n"
                            "StyleName=MYSTYLE\n[POSITION_MAIN]\nWidth=0x400\nHeight=abc\n"
                            "[THUMBS]\nCropHori=2\nScale=$32\n[COLORS]\nTagCol=255\n"
                            "[EDITOR3]\nLocation=/bin/sh\nDescript=\"Shell \"\n");
    EXPECT_EQ(s.AllowedExtensions, DefaultFilterDefinition());
    EXPECT_EQ(s.BackupExt, u".back"_s);
    EXPECT_EQ(s.StyleName, u"MYSTYLE"_s); // read; the start-up replaces it by THUMBS
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.Height, 800);
    EXPECT_TRUE(s.CropHori);
    EXPECT_EQ(s.Scale, 50);
    EXPECT_EQ(s.TagCol, 255);
    EXPECT_TRUE(s.ExtApps[2].Exists);
    EXPECT_EQ(s.ExtApps[2].Descript, u"Shell "_s);
    EXPECT_FALSE(s.ExtApps[0].Exists);
}

TEST(Settings, DeletedExternalProgramIsNotAvailable) {
    const Settings s = Load("[EDITOR3]\nLocation=/no/such/editor\n");
    EXPECT_FALSE(s.ExtApps[2].Exists);
}

TEST(Settings, NewFileHasTheFixedSectionAndKeyOrder) {
    Settings s = Load({});
    s.TagCol = 255;
    s.CropHori = true;
    IniFile ini;
    SaveSettings(s, {QRect(10, 20, 700, 500), u"/web/"_s}, ini);
    const QStringList expected{u"[OPTIONS]"_s,
                               u"StyleName=THUMBS"_s,
                               u"PopUpStyleName=_default"_s,
                               u"BackupExt=.pbak"_s,
                               u"DoCreateBackUps=1"_s,
                               u"DoValidate=0"_s,
                               u"LastSearch="_s,
                               u"LastReplace="_s,
                               u"ALLOWED_EXTENSIONS="_s + DefaultFilterDefinition(),
                               u"DoShowFileIcons=1"_s,
                               u"DoRecycleBin=1"_s,
                               u"DoShowHints=1"_s,
                               u"DoOpenOnSingleClick=1"_s,
                               u"CACHE_MAX=200"_s,
                               u"DoShowLineNumbers=1"_s,
                               u"[POSITION_MAIN]"_s,
                               u"Top=20"_s,
                               u"Left=10"_s,
                               u"Width=700"_s,
                               u"Height=500"_s,
                               u"[COLORS]"_s,
                               u"TextCol=0"_s,
                               u"TagCol=16711680"_s,
                               u"QuotedCol=255"_s,
                               u"CommentCol=8421376"_s,
                               u"DoColorTags=1"_s,
                               u"[THUMBS]"_s,
                               u"THUMB_BASEIDX=3"_s,
                               u"CustomWidth=800"_s,
                               u"CustomHeight=600"_s,
                               u"Scale=100"_s,
                               u"Shade=10"_s,
                               u"Border=1"_s,
                               u"BGCol=16777215"_s,
                               u"ShadeCol=8421504"_s,
                               u"BorderCol=8388608"_s,
                               u"CropHori=1"_s,
                               u"CropVerti=0"_s,
                               u"[PATHS]"_s,
                               u"VIEW_PATH=/web/"_s,
                               u"SNAPSHOTPATH=/opt/velmora/SNAPSHOTS/"_s,
                               u"COPYPATH=/opt/velmora/"_s};
    QStringList lines = Lines(ini);
    // The report view's columns and sort order come last, after the editors.
    const QStringList listView{u"[Columns]"_s, u"Sizes="_s, u"[Sort]"_s, u"Ascending=1"_s,
                               u"SortCol=0"_s};
    ASSERT_EQ(lines.size(), expected.size() + 6 * 4 + listView.size());
    EXPECT_EQ(lines.mid(lines.size() - listView.size()), listView);
    EXPECT_EQ(lines.mid(0, expected.size()), expected);
    for (int n = 1; n <= 6; ++n) {
        const int at = int(expected.size()) + (n - 1) * 4;
        EXPECT_EQ(lines[at], u"[EDITOR%1]"_s.arg(n));
        EXPECT_EQ(lines[at + 1], u"Location=(none)"_s);
        EXPECT_EQ(lines[at + 2], u"Param="_s);
        EXPECT_EQ(lines[at + 3], u"Descript=External Application %1"_s.arg(n));
    }
    EXPECT_EQ(s.TagCol, 16711680); // the colours are reset in memory too
}

TEST(Settings, LoadSaveCycleKeepsUnknownEntriesAndValues) {
    const QByteArray original = "; my notes\r\n[OPTIONS]\r\nmine=keep me\r\nLastSearch= <td \r\n"
                                "BackupExt=.backup\r\n[EXTRA]\r\nfoo=bar\r\n";
    IniFile ini;
    ini.Parse(original);
    Settings s = LoadSettings(ini, kProgramDir, kScreen);
    EXPECT_EQ(s.LastSearch, u"<td"_s);
    s.LastSearch = u" <td "_s; // blanks at the ends survive the file
    SaveSettings(s, {QRect(0, 0, 640, 480), kProgramDir}, ini);
    const QByteArray saved = ini.ToBytes();
    EXPECT_TRUE(saved.startsWith("; my notes\r\n[OPTIONS]\r\nmine=keep me\r\n"));
    EXPECT_TRUE(saved.contains("\r\n[EXTRA]\r\nfoo=bar\r\n"));
    EXPECT_TRUE(saved.contains("BackupExt=.back\r\n"));

    IniFile again;
    again.Parse(saved);
    Settings reread = LoadSettings(again, kProgramDir, kScreen);
    EXPECT_EQ(reread.LastSearch, u" <td "_s);
    SaveSettings(reread, {QRect(0, 0, 640, 480), kProgramDir}, again);
    EXPECT_EQ(again.ToBytes(), saved); // a second cycle changes nothing
}

TEST(Settings, FailedSaveNamesTheFileAndKeepsTheOldOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prg.ini"_s);
    QDir(dir.path()).mkdir(u"prg.ini"_s);
    Settings s = Load({});
    QString error;
    EXPECT_FALSE(SaveSettings(s, {QRect(0, 0, 1, 1), kProgramDir}, path, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
}

// The line-number switch: an older prg.ini without it reads as on; off is
// written at the end of OPTIONS and read back as off.
TEST(Settings, LineNumbersSwitchRoundTrips) {
    EXPECT_TRUE(Load("[OPTIONS]\nCACHE_MAX=300\n").DoShowLineNumbers);
    EXPECT_FALSE(Load("[OPTIONS]\nDoShowLineNumbers=0\n").DoShowLineNumbers);
    IniFile ini;
    ini.Parse("[OPTIONS]\nCACHE_MAX=300\n[COLORS]\nDoColorTags=0\n");
    Settings s = LoadSettings(ini, kProgramDir, kScreen);
    s.DoShowLineNumbers = false;
    SaveSettings(s, {QRect(0, 0, 640, 480), kProgramDir}, ini);
    const QStringList lines = Lines(ini);
    const qsizetype at = lines.indexOf(u"DoShowLineNumbers=0"_s);
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], u"[COLORS]"_s); // the last key of OPTIONS
    const Settings back = LoadSettings(ini, kProgramDir, kScreen);
    EXPECT_FALSE(back.DoShowLineNumbers);
    EXPECT_EQ(back.CacheMax, 300);
}
