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

#include <cstdio>
#include <optional>

// --help and --version are answered before the window system starts, so they
// work without a display; the exit code when one of them was asked for.
static std::optional<int> AnswerHelpOrVersion(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString text = velmora::HelpOrVersionText(arguments);
    if (text.isEmpty())
        return std::nullopt;
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int main(int argc, char **argv) {
    if (const std::optional<int> answered = AnswerHelpOrVersion(argc, argv))
        return *answered;
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
    velmora::MainWindowServices services{program, prompts, dialogs, desktop, &pages};
    // Make Thumbs over several pages renders them at once in worker processes
    // of the thumbnail program installed beside this one.
    services.thumbWorkers = QApplication::applicationDirPath() + QStringLiteral("/velmora-thumbs");
    velmora::TForm1 window(services);
    QObject::connect(&instance, &velmora::SingleInstance::PathReceived, &window,
                     [&window](const QString &path) { window.Start().OpenHandedOverPath(path); });
    window.show();
    return app.exec();
}
