#pragma once
// What the program holds from start to end, independent of any window: its
// folders and its settings, read at start and written once at the end. The
// main window receives it, with the other services, by reference.

#include "foundation/program_folders.h"
#include "foundation/program_version.h"
#include "foundation/settings.h"

#include <QSize>
#include <QStringList>

namespace velmora {

class Prompts;

// The titles name the package's version, so that the window and the package
// never disagree.
inline const QString WindowTitle =
    QStringLiteral(" Velmora v") + QLatin1StringView(ProgramVersion()) + QStringLiteral(" ");
inline const QString AboutTitle = QStringLiteral("About - ") + WindowTitle;
inline const QString HomePageUrl = QStringLiteral("https://velmora.example.org/");

class Program {
public:
    // Computes nothing by itself: call Start() to go through the start-up
    // steps. A failed save at the end is reported through prompts.
    Program(ProgramFolders folders, Prompts &prompts);

    // The window-free start-up steps, in order: create THUMBS and FILELISTS,
    // load prg.ini, and fall back to the program folder when the stored start
    // folder is gone.
    void Start(QSize screen);

    // Writes prg.ini; on failure shows one error box naming the file.
    bool SaveAtExit(const SettingsAtExit &atExit);

    const ProgramFolders &Folders() const { return folders_; }
    // The windows change settings in memory (the option dialogs, the last
    // folder, the base box); engines take small option structs made from them.
    Settings &Config() { return settings_; }
    const Settings &Config() const { return settings_; }

private:
    ProgramFolders folders_;
    Prompts &prompts_;
    Settings settings_;
};

// The kinds of files the command line and dropped files accept, whatever the
// filter settings say.
inline const QString AcceptedKinds =
    QStringLiteral("*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht");

// The page named on the command line: with one or two arguments the last one,
// made absolute against the working folder, if it is an existing file of an
// accepted kind; otherwise empty.
QString ReadCommandLine(const QStringList &arguments);

// A list file named on the command line, by the same rules (one or two
// arguments, the last one, an existing file), its name ending in ".lst" in
// any case; otherwise empty. It is loaded into the File Lists tab, not taken
// as the page to jump to.
QString ReadCommandListFile(const QStringList &arguments);

// True for a name ending in ".lst" in any case: a list file of the program.
bool IsListFileName(const QString &path);

// What --help or --version among the arguments (the program's name left out)
// print on standard output: the usage or "velmora VERSION". Empty when the
// arguments ask for neither. Needs no application object and no display, so
// that both answer where no window can open.
QString HelpOrVersionText(const QStringList &arguments);

} // namespace velmora
