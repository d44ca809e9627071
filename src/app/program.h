#pragma once
// What the program holds from start to end, independent of any window: its
// folders, its settings and the state all windows share. The main window
// receives it by reference.

#include "app/shared_state.h"
#include "formatter/formatter_style.h"
#include "foundation/desktop_services.h"
#include "foundation/program_folders.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"

#include <QSize>
#include <QStringList>

namespace velmora {

inline const QString WindowTitle = QStringLiteral(" Velmora v1.0b ");
inline const QString AboutTitle = QStringLiteral("About -  Velmora v1.0b ");
inline const QString HomePageUrl = QStringLiteral("https://velmora.example.org/");

class Program {
public:
    // Computes nothing by itself: call Start() to go through the start-up steps.
    Program(ProgramFolders folders, Prompts &prompts, DesktopServices &desktop);

    // The window-free start-up steps, in order: create THUMBS and FILELISTS, set
    // the shared state to its initial values, load prg.ini, and fall back to the
    // program folder when the stored start folder is gone.
    void Start(QSize screen);

    // Writes prg.ini; on failure shows one error box naming the file.
    bool SaveAtExit(const SettingsAtExit &atExit);

    const ProgramFolders &Folders() const { return folders_; }
    Settings &Config() { return settings_; }
    const Settings &Config() const { return settings_; }
    SharedState &State() { return state_; }
    const SharedState &State() const { return state_; }
    Prompts &Ask() { return prompts_; }
    DesktopServices &Desktop() { return desktop_; }

    // The formatter style folder chosen by LoadThumbStyle (StyleDir + "THUMBS/")
    // and the style read from it.
    QString StyleFolder;
    FormatterStyle Style;

private:
    ProgramFolders folders_;
    Prompts &prompts_;
    DesktopServices &desktop_;
    Settings settings_;
    SharedState state_;
};

// The page named on the command line: with one or two arguments the last one,
// made absolute against the working folder, if it is an existing file of an
// accepted kind; otherwise empty.
QString ReadCommandLine(const QStringList &arguments);

} // namespace velmora
