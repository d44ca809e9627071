#pragma once
// What the tests of the main window share: a program in a temporary folder,
// the prompts and desktop that stand in for the user's, and the window made
// from them, shown and active as the event loop would leave it.

#include "app/main_window.h"
#include "editor/editor_document.h"
#include "recording_desktop.h"
#include "scripted_prompts.h"

#include <QListView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {

// The editor's document as the main window sees it: the test sets the answer
// to "save changes?" and counts the questions.
class AnsweringDocument : public EditorDocument {
public:
    explicit AnsweringDocument(Prompts &prompts) : EditorDocument(prompts) {}
    // As if the file had been loaded with that stamp.
    void SetFileForTest(const QString &file, qint64 stamp) { SetFile(file, stamp); }
    SaveChangesReply SaveChangesPrompt() override {
        ++asked;
        return answer;
    }
    SaveChangesReply answer = SaveChangesReply::NotAsked;
    int asked = 0;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void TearDown() override { window.reset(); }

    // Makes the program anew from the files in dir, as a start would.
    void StartProgram();
    // The services of a window over the fixture's program (started first if
    // need be), prompts and desktop; render and document as given.
    MainWindowServices Services(RenderProfile *render = nullptr,
                                EditorDocument *document = nullptr);
    // A window made from services and views, shown and activated.
    std::unique_ptr<TForm1> MakeWindow(const MainWindowServices &services,
                                       MainWindowViews views = {});
    // Shows and activates w; false when it never became active.
    static bool ShowAndActivate(TForm1 &w);

    QString ProgramDir() const { return dir.path() + u'/'; }
    // The path of name in the folder "site" of dir.
    QString Site(const QString &name = {}) const;
    // Writes bytes into name in the folder "site" and gives its path.
    QString WriteSite(const QString &name, const QByteArray &bytes);
    // The Folder View's file list.
    QListView *FileList() const;

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> window;
};

} // namespace velmora::testing
