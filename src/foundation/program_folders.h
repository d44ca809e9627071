#pragma once
// The folders the program keeps beside itself. The program runs from a
// portable folder: its shipped files (STYLES/, HELP/, tagsyntax.txt) lie beside
// the executable, and so do the folders it writes (THUMBS/, FILELISTS/,
// SNAPSHOTS/) and prg.ini. When the executable's folder cannot be written to
// (installed system-wide), everything the program writes goes to the per-user
// data folder instead, and shipped files are read from there only when the
// user put their own copies there.

#include <QString>

namespace velmora {

struct ProgramFolders {
    QString ExeDir;     // folder of the executable, one trailing '/'
    QString ProgramDir; // folder the program writes to, one trailing '/'
    QString ThumbDir;   // ProgramDir + "THUMBS/"
    QString ListDir;    // ProgramDir + "FILELISTS/"
    QString StyleDir;   // "STYLES/" of ProgramDir when present, else of ExeDir

    // ProgramDir is exeDir when that folder is writable and not a system
    // installation (under /usr), else userDataDir.
    static ProgramFolders Locate(const QString &exeDir, const QString &userDataDir);
    // Everything in one folder (tests, and a program folder given explicitly).
    static ProgramFolders At(const QString &dir);

    // The user's copy of a shipped file or folder in ProgramDir when there is
    // one, else the shipped one beside the executable.
    QString ShippedPath(const QString &relative) const;
    QString SettingsFile() const { return ProgramDir + QStringLiteral("prg.ini"); }
    QString SnapshotDir() const { return ProgramDir + QStringLiteral("SNAPSHOTS/"); }

    // Creates THUMBS and then FILELISTS with all missing parents. A failure is
    // not reported here: the operations that use the folders report their own.
    void CreateWorkFolders() const;
};

// True when path is the thumbnail folder or lies inside it.
bool IsInThumbFolder(const QString &path, const QString &thumbDir);

// Whether dir lies in the tree the package manager owns (/usr).
bool IsSystemInstallFolder(const QString &dir);

} // namespace velmora
