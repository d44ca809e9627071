#pragma once
// The program's settings: one field per key of prg.ini, read once at start
// and written once at the end. The option dialogs change them in memory only.

#include "foundation/colors.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>

namespace velmora {

class IniFile;
struct ProgramFolders;

// One external application of the context menu.
struct TExtEditor {
    QString Location;
    QString Param;
    QString Descript;
    bool Exists = false;
};

// What an application's Location stands for when nothing is configured.
inline const QString kNoApplication = QStringLiteral("(none)");

// Whether Location names an existing file; "(none)" never does. Evaluated
// when the settings are loaded and when the options dialog is confirmed.
bool ExternalAppExists(const QString &location);

struct Settings {
    // OPTIONS
    QString AllowedExtensions;
    QString StyleName = QStringLiteral("THUMBS");
    QString PopUpStyleName = QStringLiteral("_default");
    QString BackupExt = QStringLiteral(".pbak");
    bool DoCreateBackUps = true;
    bool DoValidate = false;
    QString LastSearch;
    QString LastReplace;
    bool DoShowFileIcons = true;
    bool DoRecycleBin = true;
    bool DoShowHints = true;
    bool DoOpenOnSingleClick = true;
    int CacheMax = 200;
    bool DoShowLineNumbers = true; // the editor's line-number strip
    // POSITION_MAIN
    int Top = 50;
    int Left = 50;
    int Width = 0;
    int Height = 0;
    // COLORS
    ColorRef TextCol = 0;
    ColorRef TagCol = 16711680;
    ColorRef QuotedCol = 255;
    ColorRef CommentCol = 8421376;
    bool DoColorTags = true;
    // PATHS
    QString ViewPath;
    QString SnapshotPath;
    QString CopyPath;
    // THUMBS: the thumbnail base size and the snapshot defaults
    int ThumbBaseIndex = 3;
    int CustomWidth = 800;
    int CustomHeight = 600;
    int Scale = 100;
    int Shade = 10;
    int Border = 1;
    ColorRef BGCol = 16777215;
    ColorRef ShadeCol = 8421504;
    ColorRef BorderCol = 8388608;
    bool CropHori = false;
    bool CropVerti = false;
    // EDITOR1 to EDITOR6
    std::array<TExtEditor, 6> ExtApps;
    // Columns and Sort: the File Lists report view's column widths (comma
    // separated, empty for the default widths) and its sort column and order
    QString ColumnSizes;
    bool SortAscending = true;
    int SortCol = 0;

    // Every value at its default for a program in programDir on a screen of
    // the given size.
    static Settings Defaults(const QString &programDir, QSize screen);
    // The editor colours of the standard scheme.
    void ResetEditorColours();
};

inline constexpr int kMaxBackupExtLength = 5;

QString DefaultFilterDefinition();

// Reads every key in the order the settings table gives. A missing or unreadable
// file, section or key, and a value that is no number where one is expected,
// give the default.
Settings LoadSettings(const IniFile &ini, const QString &programDir, QSize screen);
Settings LoadSettings(const QString &iniPath, const QString &programDir, QSize screen);

// What the end of the program stores besides the settings themselves.
struct SettingsAtExit {
    QRect windowBounds; // the main window's bounds now
    QString viewPath;   // the folder to open next time
};

// Writes every key into ini in the fixed save order. The editor colours are
// reset to the standard scheme first, so the file always receives those.
void SaveSettings(Settings &settings, const SettingsAtExit &atExit, IniFile &ini);
// Loads iniPath (keeping unknown keys), writes the settings and saves the file
// atomically. On failure error receives a message that names the file.
bool SaveSettings(Settings &settings, const SettingsAtExit &atExit, const QString &iniPath,
                  QString *error);

} // namespace velmora
