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

QString HelpOrVersionText(const QStringList &arguments) {
    // "--" ends the options: what follows is a file, whatever its name.
    const QStringList options = arguments.mid(0, arguments.indexOf(u"--"_s));
    if (options.contains(u"--help"_s) || options.contains(u"-h"_s))
        return u"Usage: velmora [PAGE | LIST]\n"
               u"Browses, previews and thumbnails web sites kept as folders on the disk.\n"
               u"\n"
               u"  PAGE       a page or picture to open (*.htm, *.jpg, *.gif, *.asp, *.sht,\n"
               u"             *.dht, *.cfm or *.jht; a relative path is taken from the\n"
               u"             working folder): its folder is shown with the page selected\n"
               u"  LIST       a saved file list (*.lst), loaded into the File Lists tab\n"
               u"  -h, --help  print this help and exit\n"
               u"  --version   print the version and exit\n"_s;
    if (options.contains(u"--version"_s))
        return u"velmora "_s + QLatin1StringView(ProgramVersion()) + u"\n"_s;
    return {};
}

} // namespace velmora
