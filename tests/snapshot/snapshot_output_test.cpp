// Saving one snapshot: the checks before writing, the overwrite question, and
// that the files read back as the picture (JPEG within its error, BMP
// exactly, 24 bits).
#include "pictures/bmp_codec.h"
#include "pictures/jpeg_codec.h"
#include "scripted_prompts.h"
#include "snapshot/snapshot_output.h"
#include "temp_files.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;

namespace velmora {
namespace {

// A picture whose every pixel differs from its neighbours, with a width whose
// BMP rows need padding.
Picture Pattern(int width = 37, int height = 23) {
    Picture picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixelColor(x, y, QColor((x * 7) & 255, (y * 11) & 255, (x * y) & 255));
    return picture;
}

class SnapshotWriterTest : public ::testing::Test {
protected:
    SnapshotWriter Writer() {
        return SnapshotWriter(
            prompts, [this](const QString &) -> std::optional<qint64> { return freeBytes; },
            [this](const QString &text) { status << text; });
    }
    QString Path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    qint64 freeBytes = qint64(1) << 40;
    QStringList status;
};

TEST_F(SnapshotWriterTest, BmpIsTheExactPictureIn24Bits) {
    const Picture picture = Pattern();
    ASSERT_TRUE(Writer().SaveSnapshot(picture, Path(u"a.bmp"_s), 2, false));
    EXPECT_EQ(status.last(), u"Saved as:"_s + Path(u"a.bmp"_s));
    const QByteArray file = ReadBytes(Path(u"a.bmp"_s));
    ASSERT_EQ(file.size(), 54 + 23 * 112); // 37 * 3 = 111 bytes padded to 112
    EXPECT_EQ(file[28], 24);
    QImage read;
    ASSERT_TRUE(read.loadFromData(file, "BMP"));
    EXPECT_EQ(read.size(), picture.size());
    EXPECT_EQ(ToPicture(read), picture);
}

TEST_F(SnapshotWriterTest, JpegIsQuality75AndDecodesCloseToThePicture) {
    Picture picture(64, 48, kPictureFormat);
    picture.fill(QColor(200, 40, 90));
    ASSERT_TRUE(Writer().SaveSnapshot(picture, Path(u"a.jpg"_s), 1, false));
    QByteArray expected;
    ASSERT_TRUE(EncodeJpeg(picture, 75, &expected));
    EXPECT_EQ(ReadBytes(Path(u"a.jpg"_s)), expected);
    Picture decoded;
    ASSERT_TRUE(LoadJpeg(Path(u"a.jpg"_s), &decoded, nullptr, {.quantize = false}));
    ASSERT_EQ(decoded.size(), picture.size());
    const QColor middle = decoded.pixelColor(32, 24);
    EXPECT_NEAR(middle.red(), 200, 6);
    EXPECT_NEAR(middle.green(), 40, 6);
    EXPECT_NEAR(middle.blue(), 90, 6);
}

TEST_F(SnapshotWriterTest, AnotherFormatIsConvertedFirst) {
    QImage argb = Pattern().convertToFormat(QImage::Format_ARGB32);
    ASSERT_TRUE(Writer().SaveSnapshot(argb, Path(u"a.bmp"_s), 2, false));
    EXPECT_TRUE(status.contains(u"Converting snapshot to 24bit, please wait ..."_s));
    QImage read(Path(u"a.bmp"_s));
    EXPECT_EQ(ToPicture(read), Pattern());
}

TEST_F(SnapshotWriterTest, TooLittleRoomWritesNothing) {
    freeBytes = 1999 * 1000;
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), Path(u"a.jpg"_s), 1, false));
    EXPECT_EQ(prompts.Count(Kind::Info), 1);
    EXPECT_FALSE(QFile::exists(Path(u"a.jpg"_s)));
    // A failure, not the user's Cancel.
    bool cancelled = true;
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), Path(u"a.jpg"_s), 1, false, &cancelled));
    EXPECT_FALSE(cancelled);
}

TEST_F(SnapshotWriterTest, OverwriteQuestionAnswers) {
    const QString path = Path(u"a.bmp"_s);
    WriteBytes(path, "old");
    prompts.yesNoCancelAnswers = {Answer::No, Answer::Cancel, Answer::Yes};
    EXPECT_TRUE(Writer().SaveSnapshot(Pattern(), path, 2, true));
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), path, 2, true));
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_TRUE(Writer().SaveSnapshot(Pattern(), path, 2, true));
    EXPECT_EQ(ReadBytes(path), EncodeBmp24(Pattern()));
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel).first(),
              u"File exists: "_s + path + u"\n\nOverwrite ?"_s);
    // Only Cancel says so.
    bool cancelled = false;
    prompts.yesNoCancelAnswers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), path, 2, true, &cancelled));
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(Writer().SaveSnapshot(Pattern(), path, 2, true, &cancelled));
    EXPECT_FALSE(cancelled);
    // Without the question an existing file is simply replaced.
    WriteBytes(path, "old");
    EXPECT_TRUE(Writer().SaveSnapshot(Pattern(), path, 2, false));
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 5);
    EXPECT_NE(ReadBytes(path), "old");
}

TEST_F(SnapshotWriterTest, EmptyPathAndUnwritableFolderEndTheCommand) {
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), QString(), 1, false));
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Invalid file name: "_s});
    const QString missing = Path(u"no/such/folder/a.jpg"_s);
    EXPECT_FALSE(Writer().SaveSnapshot(Pattern(), missing, 1, false));
    ASSERT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_TRUE(
        prompts.Texts(Kind::Error).first().startsWith(u"Cannot write "_s + missing + u": "_s));
    EXPECT_FALSE(status.contains(u"Saved as:"_s + missing));
}

TEST(BmpCodec, NullPictureGivesNoFile) {
    EXPECT_TRUE(EncodeBmp24(QImage()).isEmpty());
    QString error;
    EXPECT_FALSE(SaveBmp(QImage(), u"/nonexistent/x.bmp"_s, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace velmora
