#include "main_window_fixture.h"

#include "temp_files.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace velmora::testing {

void MainWindowFixture::StartProgram() {
    program = std::make_unique<Program>(ProgramFolders::At(dir.path()), prompts);
    program->Start(QSize(1000, 800));
}

MainWindowServices MainWindowFixture::Services(RenderProfile *render, EditorDocument *document) {
    if (!program)
        StartProgram();
    return MainWindowServices{*program, prompts, prompts, desktop, render, document};
}

std::unique_ptr<TForm1> MainWindowFixture::MakeWindow(const MainWindowServices &services,
                                                      MainWindowViews views) {
    auto made = std::make_unique<TForm1>(services, std::move(views));
    EXPECT_TRUE(ShowAndActivate(*made));
    return made;
}

bool MainWindowFixture::ShowAndActivate(TForm1 &w) {
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

QString MainWindowFixture::Site(const QString &name) const {
    return dir.filePath(u"site/"_s) + name;
}

QString MainWindowFixture::WriteSite(const QString &name, const QByteArray &bytes) {
    WriteBytes(Site(name), bytes);
    return Site(name);
}

QListView *MainWindowFixture::FileList() const {
    return window ? window->findChild<QListView *>(u"LBFile"_s) : nullptr;
}

} // namespace velmora::testing
