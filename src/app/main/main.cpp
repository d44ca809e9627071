// Velmora: starts the program with its folders beside the executable.
#include "app/main_window.h"
#include "app/program.h"
#include "foundation/desktop_services.h"
#include "foundation/document_guard.h"
#include "render/render_environment.h"
#include "widgets/qt_prompts.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>

int main(int argc, char **argv) {
    velmora::PrepareRenderingBeforeApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationDisplayName(velmora::WindowTitle);

    velmora::QtPrompts prompts;
    velmora::QtFileDialogs dialogs;
    velmora::SystemDesktopServices desktop;
    // Until the editor comes, the preview holds no document of its own.
    velmora::DocumentGuard document;
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    velmora::Program program(
        velmora::ProgramFolders::Locate(QApplication::applicationDirPath(), userData), prompts);
    const QScreen *screen = QGuiApplication::primaryScreen();
    program.Start(screen ? screen->size() : QSize(1024, 768));

    velmora::TForm1 window({program, prompts, dialogs, desktop, document});
    window.show();
    return app.exec();
}
