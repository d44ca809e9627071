#include "app/program.h"

#include "foundation/prompts.h"

#include "foundation/file_utils.h"
#include "sitewalk/file_search.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

Program::Program(ProgramFolders folders, Prompts &prompts)
    : folders_(std::move(folders)), prompts_(prompts) {}

void Program::Start(QSize screen) {
    folders_.CreateWorkFolders();
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

QString ReadCommandLine(const QStringList &arguments) {
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    const QString path = QFileInfo(arguments.last()).absoluteFilePath();
    if (HasAllowedExtension(path, AcceptedKinds) && QFileInfo(path).isFile())
        return path;
    return {};
}

bool IsListFileName(const QString &path) {
    return path.endsWith(u".lst"_s, Qt::CaseInsensitive) && path.size() > 4 &&
           !path.endsWith(u"/.lst"_s, Qt::CaseInsensitive);
}

QString ReadCommandListFile(const QStringList &arguments) {
    if (arguments.isEmpty() || arguments.size() > 2)
        return {};
    const QString path = QFileInfo(arguments.last()).absoluteFilePath();
    if (IsListFileName(path) && QFileInfo(path).isFile())
        return path;
    return {};
}

} // namespace velmora
