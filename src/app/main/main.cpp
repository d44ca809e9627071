// Velmora: starts the program with its folders beside the executable.
#include "main_window.h"
#include "program.h"
#include "qt_prompts.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>

#include <unistd.h>

int main(int argc, char **argv) {
    // The page renderer runs its own processes; its sandbox cannot work when
    // the program runs as root, so it is turned off only then.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationDisplayName(velmora::WindowTitle);

    velmora::QtPrompts prompts;
    velmora::SystemDesktopServices desktop;
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    velmora::Program program(
        velmora::ProgramFolders::Locate(QApplication::applicationDirPath(), userData), prompts,
        desktop);
    const QScreen *screen = QGuiApplication::primaryScreen();
    program.Start(screen ? screen->size() : QSize(1024, 768));

    velmora::TForm1 window(program);
    window.show();
    return app.exec();
}
