// The editor's document without any window: loading and saving in the file's
// own encoding and line ends, NUL bytes, pictures, a failed save, reloading
// after an outside change, Save As, the question before unsaved text is given
// up, and opening a file at a line.
#include "editor/editor_document.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmora;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::SetModified;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class EditorDocumentTest : public ::testing::Test {
protected:
    QString Write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        WriteBytes(path, bytes);
        return path;
    }
    EditorTextBuffer &Text() { return document.Buffer(); }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    EditorDocument document{prompts};
};

// Each sample is loaded, its second line changed and saved: the encoding,
// the byte-order mark and the line ends of the lines not touched stay.
TEST_F(EditorDocumentTest, AnEditIsSavedInTheFilesOwnEncodingAndLineEnds) {
    struct Sample {
        const char *name;
        QByteArray bytes;
        QString text;
        QByteArray saved; // after "two" became "2"
    };
    const Sample samples[] = {
        {"utf8.htm", "<p>\xC3\xA9</p>\r\ntwo\r\nend\n", u"<p>\u00E9</p>\ntwo\nend\n"_s,
         "<p>\xC3\xA9</p>\r\n2\r\nend\n"},
        {"bom.htm", "\xEF\xBB\xBFone\r\ntwo\r\nend", u"one\ntwo\nend"_s,
         "\xEF\xBB\xBFone\r\n2\r\nend"},
        {"latin1.htm", "caf\xE9\r\ntwo\r\n\xA0", u"caf\u00E9\ntwo\n\u00A0"_s,
         "caf\xE9\r\n2\r\n\xA0"},
        {"utf16.htm", QByteArray("\xFF\xFEo\0\n\0t\0w\0o\0\n\0", 14), u"o\ntwo\n"_s,
         QByteArray("\xFF\xFEo\0\n\0\x32\0\n\0", 10)},
    };
    for (const Sample &sample : samples) {
        SCOPED_TRACE(sample.name);
        const QString page = Write(QString::fromLatin1(sample.name), sample.bytes);
        QSignalSpy loaded(&document, &EditorDocument::Loaded);
        document.Load(page);
        EXPECT_EQ(document.File(), page);
        EXPECT_NE(document.FileTime(), 0);
        EXPECT_EQ(Text().EditedText(), sample.text);
        EXPECT_FALSE(Text().ReadOnly());
        EXPECT_FALSE(document.IsModified());
        EXPECT_EQ(document.OriginalBytes(), sample.bytes);
        ASSERT_EQ(loaded.size(), 1);
        EXPECT_EQ(loaded.first().at(0).toString(), page);

        // Unchanged, it is written back byte for byte.
        EXPECT_TRUE(document.Save());
        EXPECT_EQ(ReadBytes(page), sample.bytes);

        QString edited = sample.text;
        edited.replace(u"two"_s, u"2"_s);
        ASSERT_TRUE(Text().Edit(edited));
        EXPECT_TRUE(document.IsModified());
        EXPECT_TRUE(document.Save());
        EXPECT_EQ(ReadBytes(page), sample.saved);
        EXPECT_FALSE(document.IsModified());
        // What was saved is now what an unchanged save writes.
        EXPECT_EQ(document.OriginalBytes(), sample.saved);
    }
    EXPECT_TRUE(prompts.Texts(Kind::Info).isEmpty());
}

TEST_F(EditorDocumentTest, ModifiedLoadedSavedAndClearedAreSignalled) {
    const QString page = Write(u"a.htm"_s, "<p>a</p>");
    document.Load(page);
    QSignalSpy modified(&document, &EditorDocument::ModifiedChanged);
    QSignalSpy saved(&document, &EditorDocument::Saved);
    QSignalSpy cleared(&document, &EditorDocument::Cleared);
    Text().Edit(u"<p>b</p>"_s);
    Text().Edit(u"<p>c</p>"_s); // still modified: no second signal
    ASSERT_EQ(modified.size(), 1);
    EXPECT_TRUE(modified.last().at(0).toBool());
    document.Save();
    ASSERT_EQ(modified.size(), 2);
    EXPECT_FALSE(modified.last().at(0).toBool());
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().at(0).toString(), page);

    const quint64 generation = document.Generation();
    document.Clear();
    EXPECT_EQ(cleared.size(), 1);
    EXPECT_TRUE(document.File().isEmpty());
    EXPECT_EQ(document.FileTime(), 0);
    EXPECT_TRUE(Text().EditedText().isEmpty());
    EXPECT_NE(document.Generation(), generation);
}

// A file the editor cannot hold exactly is read-only: no edit, no save from
// its text, but a copy is the file's own bytes.
TEST_F(EditorDocumentTest, AFileWithNulBytesIsReadOnlyAndCopiedExactly) {
    const QByteArray bytes("<p>a\0b</p>", 10);
    const QString page = Write(u"nul.htm"_s, bytes);
    document.Load(page);
    EXPECT_TRUE(Text().ReadOnly());
    EXPECT_TRUE(Text().HoldsFileText());
    EXPECT_FALSE(document.LoadedText().exact);
    EXPECT_TRUE(document.LoadedText().notice.contains(u"NUL"_s));
    EXPECT_FALSE(Text().Edit(u"<p>ab</p>"_s));
    EXPECT_FALSE(document.IsModified());

    const QString copy = dir.filePath(u"copy.htm"_s);
    prompts.fileAnswers = {copy};
    EXPECT_EQ(document.SaveAs(prompts), copy);
    EXPECT_EQ(ReadBytes(copy), bytes);
    EXPECT_EQ(ReadBytes(page), bytes);
}

// Pictures have no text and no file to save, but their stamp is kept.
TEST_F(EditorDocumentTest, APictureShowsTheNoticeAndLeavesNothingToSave) {
    const QString picture = Write(u"photo.JPG"_s, "\xFF\xD8\xFF");
    QSignalSpy loaded(&document, &EditorDocument::Loaded);
    document.Load(picture);
    EXPECT_TRUE(document.File().isEmpty());
    EXPECT_NE(document.FileTime(), 0);
    EXPECT_EQ(Text().EditedText(), kPictureNotice);
    EXPECT_FALSE(Text().HoldsFileText());
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded.first().at(0).toString(), picture); // the browser still shows it
    EXPECT_FALSE(document.Save());
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    EXPECT_TRUE(document.SaveAs(prompts).isEmpty());
    EXPECT_EQ(prompts.Count(Kind::SaveFile), 0);
    EXPECT_EQ(ReadBytes(picture), QByteArray("\xFF\xD8\xFF"));
}

// What cannot be read is named in place of the text; the file is still the
// document's, and nothing can be saved over it from the notice.
TEST_F(EditorDocumentTest, AFileThatCannotBeReadShowsWhy) {
    const QString folder = dir.filePath(u"folder.htm"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    document.Load(folder);
    EXPECT_EQ(document.File(), folder);
    EXPECT_TRUE(Text().EditedText().contains(u"This file cannot be shown in the editor: "_s));
    EXPECT_FALSE(Text().HoldsFileText());
    EXPECT_FALSE(document.Save());
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
}

// The atomic writer refuses a file without write permission, even for root.
TEST_F(EditorDocumentTest, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    const QString page = Write(u"locked.htm"_s, "<p>keep</p>");
    document.Load(page);
    const qint64 stamp = document.FileTime();
    Text().Edit(u"<p>more</p>"_s);
    ASSERT_EQ(chmod(QFile::encodeName(page).constData(), 0444), 0);
    QSignalSpy saved(&document, &EditorDocument::Saved);
    EXPECT_FALSE(document.Save());
    ASSERT_EQ(prompts.Count(Kind::Info), 1);
    const QString message = prompts.Texts(Kind::Info).first();
    EXPECT_TRUE(message.startsWith(u"File saving error in:\n"_s + page)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"Please check diskspace and writing permissions...\n"_s));
    // The writer's own reason follows.
    EXPECT_FALSE(message.section(u'\n', 3).isEmpty()) << message.toStdString();
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>keep</p>"));
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(document.FileTime(), stamp);
    EXPECT_EQ(document.OriginalBytes(), QByteArray("<p>keep</p>"));
    EXPECT_TRUE(saved.isEmpty());

    // Yes to the question tries to save; as that fails, the caller must stop.
    prompts.yesNoCancelAnswers = {Answer::Yes};
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Cancel);
    EXPECT_TRUE(document.IsModified());
}

// A character a Latin-1 file cannot hold is not written as '?'.
TEST_F(EditorDocumentTest, ACharacterTheEncodingCannotHoldIsNotSaved) {
    const QString page = Write(u"latin1.htm"_s, "caf\xE9\n");
    document.Load(page);
    Text().Edit(u"caf\u00E9 \u20AC\n"_s);
    EXPECT_FALSE(document.Save());
    ASSERT_EQ(prompts.Count(Kind::Info), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Info).first().startsWith(u"File saving error in:\n"_s + page));
    EXPECT_EQ(ReadBytes(page), QByteArray("caf\xE9\n"));
    EXPECT_TRUE(document.IsModified());
}

TEST_F(EditorDocumentTest, ReloadAfterAnOutsideChangeTakesTheNewTextAndStamp) {
    const QString page = Write(u"r.htm"_s, "<p>old</p>");
    SetModified(page, QDateTime::currentDateTime().addSecs(-60));
    document.Load(page);
    const qint64 stamp = document.FileTime();
    Text().Edit(u"<p>mine</p>"_s);

    WriteBytes(page, "\xEF\xBB\xBF<p>theirs</p>\r\n");
    SetModified(page, QDateTime::currentDateTime());
    QSignalSpy loaded(&document, &EditorDocument::Loaded);
    document.ReloadFromDisk();
    EXPECT_EQ(loaded.size(), 1);
    EXPECT_EQ(document.File(), page);
    EXPECT_NE(document.FileTime(), stamp);
    EXPECT_EQ(Text().EditedText(), u"<p>theirs</p>\n"_s);
    EXPECT_FALSE(document.IsModified());
    EXPECT_TRUE(document.LoadedText().byteOrderMark);
    // An unchanged save now writes the new bytes, not the old ones.
    EXPECT_TRUE(document.Save());
    EXPECT_EQ(ReadBytes(page), QByteArray("\xEF\xBB\xBF<p>theirs</p>\r\n"));
}

TEST_F(EditorDocumentTest, SaveAsWritesAnEditedCopyAndTheDocumentKeepsItsFile) {
    const QString page = Write(u"orig.htm"_s, "caf\xE9\r\nb\r\n");
    // An older stamp than the copy's will have.
    SetModified(page, QDateTime::currentDateTime().addSecs(-3600));
    document.Load(page);
    const qint64 stamp = document.FileTime();
    Text().Edit(u"caf\u00E9\nB\n"_s);
    const QString copy = dir.filePath(u"copy.htm"_s);
    prompts.fileAnswers = {copy};
    QSignalSpy saved(&document, &EditorDocument::Saved);
    EXPECT_EQ(document.SaveAs(prompts), copy);
    EXPECT_EQ(ReadBytes(copy), QByteArray("caf\xE9\r\nB\r\n")); // Latin-1 and CR LF kept
    EXPECT_EQ(ReadBytes(page), QByteArray("caf\xE9\r\nb\r\n"));
    EXPECT_EQ(document.File(), page);
    EXPECT_EQ(document.FileTime(), stamp);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().at(0).toString(), copy);
    EXPECT_EQ(prompts.Texts(Kind::SaveFile).first(), u"Save As"_s);

    // A cancelled dialog and a name that is not allowed write nothing.
    prompts.fileAnswers = {QString(), dir.filePath(u"bad?name.htm"_s)};
    EXPECT_TRUE(document.SaveAs(prompts).isEmpty());
    EXPECT_TRUE(document.SaveAs(prompts).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"bad?name.htm"_s)));
}

TEST_F(EditorDocumentTest, TheSaveQuestionComesOnlyWhenItMayAndWhileNothingRewritesTheText) {
    const QString page = Write(u"q.htm"_s, "<p>q</p>");
    document.Load(page);
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::NotAsked);
    Text().Edit(u"<p>q</p>1"_s);

    document.SetBusy(true);
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Cancel);
    document.SetBusy(false);
    // While the window offers no Save (no file in hand), nothing is asked.
    document.SetSaveOffered(false);
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::NotAsked);
    document.SetSaveOffered(true);
    EXPECT_TRUE(prompts.Texts(Kind::YesNoCancel).isEmpty());

    prompts.yesNoCancelAnswers = {Answer::No, Answer::Yes};
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::No);
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel).first(), u"Save changes in: "_s + page);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>q</p>"));
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Yes);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>q</p>1"));
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::NotAsked);
}

TEST(PositionOfLine, CountsLinesAndColumnsFromOneAndStaysInTheText) {
    const QString text = u"ab\ncde\n\nf"_s;
    EXPECT_EQ(PositionOfLine(text, 1, 1), 0);
    EXPECT_EQ(PositionOfLine(text, 2, 2), 4);
    EXPECT_EQ(PositionOfLine(text, 2, 99), 6); // the end of "cde"
    EXPECT_EQ(PositionOfLine(text, 3, 5), 7);  // an empty line
    EXPECT_EQ(PositionOfLine(text, 4, 1), 8);
    EXPECT_EQ(PositionOfLine(text, 9, 1), text.size());
    EXPECT_EQ(PositionOfLine(text, 0, 0), 0);
    // The editor control separates its lines with U+2029.
    EXPECT_EQ(PositionOfLine(u"ab\u2029cd"_s, 2, 2), 4);
    EXPECT_EQ(PositionOfLine(QString(), 3, 3), 0);
}

TEST_F(EditorDocumentTest, OpenAtSelectsTheExtentAndAsksBeforeLeavingUnsavedText) {
    const QString a = Write(u"a.htm"_s, "<html>\r\n<p>find me</p>\r\n</html>\r\n");
    const QString b = Write(u"b.htm"_s, "<p>b</p>");
    EXPECT_TRUE(document.OpenAt(a, 2, 4, 7));
    EXPECT_EQ(document.File(), a);
    EXPECT_EQ(Text().EditedText().mid(Text().SelectionStart(), Text().SelectionLength()),
              u"find me"_s);

    // The file open already keeps its unsaved text.
    Text().Edit(u"<html>\n<p>find me!</p>\n"_s);
    QSignalSpy loaded(&document, &EditorDocument::Loaded);
    EXPECT_TRUE(document.OpenAt(a, 2, 99, 5));
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(Text().SelectionStart(), 22); // the end of line 2
    EXPECT_EQ(Text().SelectionLength(), 1); // no further than the text goes

    // Another file: Cancel keeps the text, No gives it up.
    prompts.yesNoCancelAnswers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(document.OpenAt(b, 1, 4, 1));
    EXPECT_EQ(document.File(), a);
    EXPECT_TRUE(document.IsModified());
    EXPECT_TRUE(document.OpenAt(b, 1, 4, 1));
    EXPECT_EQ(document.File(), b);
    EXPECT_EQ(Text().SelectionStart(), 3);
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 2);
    EXPECT_EQ(ReadBytes(a), QByteArray("<html>\r\n<p>find me</p>\r\n</html>\r\n"));

    // A picture has no text to select in.
    const QString picture = Write(u"p.gif"_s, "GIF89a");
    EXPECT_FALSE(document.OpenAt(picture, 1, 1, 1));
}

} // namespace
