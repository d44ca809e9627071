#include "program.h"

#include "file_utils.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

Program::Program(ProgramFolders folders, Prompts &prompts, DesktopServices &desktop)
    : folders_(std::move(folders)), prompts_(prompts), desktop_(desktop) {}

void Program::Start(QSize screen) {
    folders_.CreateWorkFolders();
    state_ = SharedState{};
    settings_ = LoadSettings(folders_.SettingsFile(), folders_.ProgramDir, screen);
    if (!QFileInfo(settings_.ViewPath).isDir())
        settings_.ViewPath = folders_.ProgramDir;
}

bool Program::SaveAtExit(const SettingsAtExit &atExit) {
    QString error;
    if (SaveSettings(settings_, atExit, folders_.SettingsFile(), &error))
        return true;
    prompts_.ShowError(error);
    return false;
}

// The kinds of files the command line accepts, whatever the filter settings:
// the extension, cut to a dot and three letters, must be one of these.
static bool IsAcceptedPageKind(const QString &path) {
    static const QStringList kinds{u".HTM"_s, u".JPG"_s, u".GIF"_s, u".ASP"_s,
                                   u".SHT"_s, u".DHT"_s, u".CFM"_s, u".JHT"_s};
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = name.mid(dot, 4).toUpper();
    return kinds.contains(ext);
}

QString ReadCommandLine(const QStringList &arguments) {
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    const QString path = QFileInfo(arguments.last()).absoluteFilePath();
    if (IsAcceptedPageKind(path) && QFileInfo(path).isFile())
        return path;
    return {};
}

} // namespace velmora
