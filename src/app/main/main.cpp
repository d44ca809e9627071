// Velmora: starts the program with its folders beside the executable.
#include "app/main_window.h"
#include "app/program.h"
#include "app/single_instance.h"
#include "foundation/desktop_services.h"
#include "render/render_environment.h"
#include "render/render_profile.h"
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
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    velmora::Program program(
        velmora::ProgramFolders::Locate(QApplication::applicationDirPath(), userData), prompts);
    // A second start of the same program folder hands its page to the
    // program running there and ends.
    velmora::SingleInstance instance(velmora::SingleInstance::KeyFor(program.Folders().ProgramDir));
    if (instance.Claim(velmora::SingleInstance::PathFromArguments(app.arguments().mid(1))) ==
        velmora::SingleInstance::Role::HandedOver)
        return 0;
    const QScreen *screen = QGuiApplication::primaryScreen();
    program.Start(screen ? screen->size() : QSize(1024, 768));

    velmora::RenderProfile pages;
    velmora::TForm1 window({program, prompts, dialogs, desktop, &pages});
    QObject::connect(&instance, &velmora::SingleInstance::PathReceived, &window,
                     &velmora::TForm1::OpenHandedOverPath);
    window.show();
    return app.exec();
}
