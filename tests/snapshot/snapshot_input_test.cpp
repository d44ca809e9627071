// Reading the options as typed, the order of TestInput's messages and what
// each failure keeps, and the texts and names of the snapshot commands.
#include "snapshot/snapshot_input.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

TEST(ReadInteger, DecimalHexadecimalSignsAndBlanks) {
    EXPECT_EQ(ReadInteger(u"800"_s), 800);
    EXPECT_EQ(ReadInteger(u"   42"_s), 42);
    EXPECT_EQ(ReadInteger(u"-7"_s), -7);
    EXPECT_EQ(ReadInteger(u"+7"_s), 7);
    EXPECT_EQ(ReadInteger(u"$1F"_s), 31);
    EXPECT_EQ(ReadInteger(u"x10"_s), 16);
    EXPECT_EQ(ReadInteger(u"0x10"_s), 16);
    EXPECT_EQ(ReadInteger(u"0X1f"_s), 31);
    EXPECT_EQ(ReadInteger(u"-$10"_s), -16);
    EXPECT_EQ(ReadInteger(u"2147483647"_s), 2147483647);
    EXPECT_EQ(ReadInteger(u"-2147483648"_s), std::numeric_limits<int>::min());
    EXPECT_EQ(ReadInteger(u"$FFFFFFFF"_s), -1);
}

TEST(ReadInteger, RefusesEverythingElse) {
    for (const QString &text :
         {u""_s, u"   "_s, u"12 "_s, u"12abc"_s, u"abc"_s, u"-"_s, u"$"_s, u"0x"_s, u"1.5"_s,
          u"2147483648"_s, u"-2147483649"_s, u"$100000000"_s, u"$G"_s, u"1e3"_s})
        EXPECT_FALSE(ReadInteger(text).has_value()) << text.toStdString();
}

SnapshotInput Custom(const QString &width, const QString &height, const QString &scale = u"100"_s) {
    SnapshotInput input;
    input.width = width;
    input.height = height;
    input.scale = scale;
    input.shade = u"10"_s;
    input.border = u"1"_s;
    return input;
}

TEST(TestInput, SizeLimits) {
    TSnapShotParams params;
    EXPECT_EQ(TestInput(Custom(u"9"_s, u"600"_s), params), u"Minimum size is 10x10 pixels!"_s);
    EXPECT_EQ(TestInput(Custom(u"800"_s, u"9"_s), params), u"Minimum size is 10x10 pixels!"_s);
    EXPECT_EQ(TestInput(Custom(u"2001"_s, u"600"_s), params),
              u"Maximum size is 2000x3000 pixels!"_s);
    EXPECT_EQ(TestInput(Custom(u"800"_s, u"3001"_s), params),
              u"Maximum size is 2000x3000 pixels!"_s);
    // The minimum is looked at first.
    EXPECT_EQ(TestInput(Custom(u"9"_s, u"3001"_s), params), u"Minimum size is 10x10 pixels!"_s);
    EXPECT_EQ(params.CustomWidth, 800); // nothing stored by a failure
    EXPECT_FALSE(TestInput(Custom(u"2000"_s, u"3000"_s), params).has_value());
    EXPECT_EQ(params.CustomWidth, 2000);
    EXPECT_EQ(params.CustomHeight, 3000);
    EXPECT_EQ(params.Geometry.TotalWidth, 2010);
}

TEST(TestInput, AnInvalidWidthIsReportedBeforeTheHeightIsRead) {
    TSnapShotParams params;
    EXPECT_EQ(TestInput(Custom(u"abc"_s, u"xyz"_s), params), u"abc is not a valid width!"_s);
    EXPECT_EQ(TestInput(Custom(u"800"_s, u"6 0"_s), params), u"6 0 is not a valid height!"_s);
}

TEST(TestInput, ScaleRangeAndAnInvalidScaleKeepsTheNewSize) {
    TSnapShotParams params;
    const QString message = u" is not a valid scaling factor: (5-100%)!"_s;
    EXPECT_EQ(TestInput(Custom(u"640"_s, u"480"_s, u"4"_s), params), u"4"_s + message);
    // The size passed before the scale failed, and stays stored.
    EXPECT_EQ(params.CustomWidth, 640);
    EXPECT_EQ(params.CustomHeight, 480);
    EXPECT_EQ(params.Scale, 100);
    EXPECT_EQ(TestInput(Custom(u"640"_s, u"480"_s, u"101"_s), params), u"101"_s + message);
    EXPECT_EQ(TestInput(Custom(u"640"_s, u"480"_s, u""_s), params), message);
}

TEST(TestInput, ShadeAndBorderMessages) {
    TSnapShotParams params;
    SnapshotInput input = Custom(u"800"_s, u"600"_s);
    input.shade = u"a"_s;
    EXPECT_EQ(TestInput(input, params), u"a is not a valid shade width: (0-30 pixel)!"_s);
    input.shade = u"3"_s;
    input.border = u""_s;
    EXPECT_EQ(TestInput(input, params), u" is not a valid border width: (0-30 pixel)!"_s);
    EXPECT_EQ(params.Shade, 3);
}

TEST(TestInput, ResultTooSmall) {
    TSnapShotParams params;
    const QString tooSmall = u"Resulting snapshot would be smaller than 10x10 pixels.\n"
                             u"Please increase size values or scaling factor."_s;
    EXPECT_EQ(TestInput(Custom(u"100"_s, u"100"_s, u"5"_s), params), tooSmall);
    EXPECT_EQ(params.Geometry.ScaledWidth, 5);
    SnapshotInput input = Custom(u"26"_s, u"600"_s);
    input.cropVerti = true;
    EXPECT_FALSE(TestInput(input, params).has_value());
    EXPECT_EQ(params.Geometry.PageSize(), QSize(10, 600));
    input.width = u"25"_s;
    EXPECT_EQ(TestInput(input, params), tooSmall);
    input.cropVerti = false;
    input.cropHori = true;
    input.width = u"800"_s;
    input.height = u"26"_s;
    EXPECT_FALSE(TestInput(input, params).has_value());
}

TEST(TestInput, BrowserSizeIsTakenWithoutChecks) {
    TSnapShotParams params;
    params.BrowserWidth = 680;
    params.BrowserHeight = 393;
    SnapshotInput input = Custom(u"junk"_s, u"junk"_s, u"50"_s);
    input.custom = false;
    input.bgCol = clRed;
    EXPECT_FALSE(TestInput(input, params).has_value());
    EXPECT_EQ(params.Geometry.Base, QSize(680, 393));
    EXPECT_EQ(params.Geometry.ScaledHeight, 196);
    EXPECT_EQ(params.CustomWidth, 800);
    EXPECT_EQ(params.BGCol, clRed);
    EXPECT_EQ(params.FilterIndex, 5);
}

TEST(SnapshotTexts, StatusLinesKeepTheirTwoBlanks) {
    TSnapShotParams params;
    ASSERT_FALSE(TestInput(Custom(u"800"_s, u"600"_s, u"50"_s), params).has_value());
    EXPECT_EQ(SinglePreviewStatus(params),
              u"Snapshot done: (Source: 800x600,  Snapshot: 410x310 = 50%)"_s);
    params.SelCount = 3;
    EXPECT_EQ(BatchPreviewStatus(params),
              u"Preview file (1 of 3): (Source: 800x600,  Output: 410x310)"_s);
    EXPECT_EQ(BatchProgressText(2, 3, u"/w/a.htm"_s), u"(2 of 3): /w/a.htm"_s);
}

TEST(SnapshotTexts, FileNamesReplaceEveryDotOfTheNameOnly) {
    EXPECT_EQ(SnapshotFileName(u"/web/index.htm"_s, u".jpg"_s), u"snap_index_htm.jpg"_s);
    EXPECT_EQ(SnapshotFileName(u"/a.b/main.page.htm"_s, u".bmp"_s), u"snap_main_page_htm.bmp"_s);
    EXPECT_EQ(SnapshotExtension(1), u".jpg"_s);
    EXPECT_EQ(SnapshotExtension(2), u".bmp"_s);
}

} // namespace
} // namespace velmora
