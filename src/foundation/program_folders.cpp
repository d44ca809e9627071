#include "foundation/program_folders.h"

#include "foundation/file_utils.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

static ProgramFolders Build(const QString &exeDir, const QString &programDir) {
    ProgramFolders f;
    f.ExeDir = WithBackslash(exeDir);
    f.ProgramDir = WithBackslash(programDir);
    f.ThumbDir = f.ProgramDir + u"THUMBS/"_s;
    f.ListDir = f.ProgramDir + u"FILELISTS/"_s;
    f.StyleDir = f.ShippedPath(u"STYLES/"_s);
    return f;
}

static bool IsWritableFolder(const QString &dir) {
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

// A copy installed under /usr belongs to the package manager: even a user
// who may write there (root) keeps the program's data in the per-user
// folder, so that removing the package removes every file it brought and
// leaves none it did not.
bool IsSystemInstallFolder(const QString &dir) {
    return QDir::cleanPath(dir).startsWith(u"/usr/"_s);
}

ProgramFolders ProgramFolders::Locate(const QString &exeDir, const QString &userDataDir) {
    const bool own = IsWritableFolder(exeDir) && !IsSystemInstallFolder(exeDir);
    return Build(exeDir, own ? exeDir : userDataDir);
}

ProgramFolders ProgramFolders::At(const QString &dir) {
    return Build(dir, dir);
}

QString ProgramFolders::ShippedPath(const QString &relative) const {
    const QString own = ProgramDir + relative;
    if (ProgramDir == ExeDir || QFileInfo::exists(own))
        return own;
    return ExeDir + relative;
}

void ProgramFolders::CreateWorkFolders() const {
    QDir().mkpath(ThumbDir);
    QDir().mkpath(ListDir);
}

bool IsInThumbFolder(const QString &path, const QString &thumbDir) {
    return WithBackslash(path).startsWith(thumbDir, Qt::CaseInsensitive);
}

} // namespace velmora
