#include "foundation/settings.h"

#include "foundation/ini_file.h"
#include "foundation/prompts.h"
#include "foundation/text_utils.h"

#include <QFileInfo>

#include <functional>
#include <variant>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

QString DefaultFilterDefinition() {
    return u"All HTML file types + Pictures|*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht|"
           u"All HTML file types|*.htm;*.asp;*.sht;*.dht;*.cfm;*.jht|HTM(L) only|*.htm|"
           u"JPG and GIF only|*.jpg;*.gif|ASP only|*.asp|SSI only|*.sht|DHTML only|*.dht|"
           u"Cold Fusion only|*.cfm"_s;
}

Settings Settings::Defaults(const QString &programDir, QSize screen) {
    Settings s;
    s.AllowedExtensions = DefaultFilterDefinition();
    s.Width = screen.width() * 8 / 10;
    s.Height = screen.height() * 8 / 10;
    s.ViewPath = programDir;
    s.SnapshotPath = programDir + u"SNAPSHOTS/"_s;
    s.CopyPath = programDir;
    for (size_t n = 0; n < s.ExtApps.size(); ++n) {
        s.ExtApps[n].Location = kNoApplication;
        s.ExtApps[n].Descript = u"External Application "_s + QString::number(n + 1);
    }
    return s;
}

bool ExternalAppExists(const QString &location) {
    return location != kNoApplication && QFileInfo(location).isFile();
}

void Settings::ResetEditorColours() {
    const Settings standard;
    TextCol = standard.TextCol;
    TagCol = standard.TagCol;
    QuotedCol = standard.QuotedCol;
    CommentCol = standard.CommentCol;
}

namespace {

// One row per key of prg.ini: where it lives and which field holds it.
// Integers, colours and booleans differ only in how they are read and written.
using FieldRef = std::variant<QString *, int *, bool *>;

struct SettingRow {
    QString section;
    QString key;
    std::function<FieldRef(Settings &)> field;
};

template <typename T> SettingRow Row(const char *section, const char *key, T Settings::*member) {
    return {QString::fromLatin1(section), QString::fromLatin1(key),
            [member](Settings &s) -> FieldRef { return &(s.*member); }};
}

SettingRow EditorRow(int n, const char *key, QString TExtEditor::*member) {
    return {u"EDITOR"_s + QString::number(n + 1), QString::fromLatin1(key),
            [n, member](Settings &s) -> FieldRef { return &(s.ExtApps[n].*member); }};
}

// The rows in the order LoadSettings reads them (ALLOWED_EXTENSIONS first).
const std::vector<SettingRow> &SettingsTable() {
    static const std::vector<SettingRow> table = [] {
        std::vector<SettingRow> t{
            Row("OPTIONS", "ALLOWED_EXTENSIONS", &Settings::AllowedExtensions),
            Row("OPTIONS", "StyleName", &Settings::StyleName),
            Row("OPTIONS", "PopUpStyleName", &Settings::PopUpStyleName),
            Row("OPTIONS", "BackupExt", &Settings::BackupExt),
            Row("OPTIONS", "DoCreateBackUps", &Settings::DoCreateBackUps),
            Row("OPTIONS", "DoValidate", &Settings::DoValidate),
            Row("OPTIONS", "LastSearch", &Settings::LastSearch),
            Row("OPTIONS", "LastReplace", &Settings::LastReplace),
            Row("POSITION_MAIN", "Top", &Settings::Top),
            Row("POSITION_MAIN", "Left", &Settings::Left),
            Row("POSITION_MAIN", "Width", &Settings::Width),
            Row("POSITION_MAIN", "Height", &Settings::Height),
            Row("COLORS", "TextCol", &Settings::TextCol),
            Row("COLORS", "TagCol", &Settings::TagCol),
            Row("COLORS", "QuotedCol", &Settings::QuotedCol),
            Row("COLORS", "CommentCol", &Settings::CommentCol),
            Row("COLORS", "DoColorTags", &Settings::DoColorTags),
            Row("PATHS", "VIEW_PATH", &Settings::ViewPath),
            Row("PATHS", "SNAPSHOTPATH", &Settings::SnapshotPath),
            Row("PATHS", "COPYPATH", &Settings::CopyPath),
            Row("THUMBS", "THUMB_BASEIDX", &Settings::ThumbBaseIndex),
            Row("THUMBS", "CustomWidth", &Settings::CustomWidth),
            Row("THUMBS", "CustomHeight", &Settings::CustomHeight),
            Row("THUMBS", "Scale", &Settings::Scale),
            Row("THUMBS", "Shade", &Settings::Shade),
            Row("THUMBS", "Border", &Settings::Border),
            Row("THUMBS", "BGCol", &Settings::BGCol),
            Row("THUMBS", "ShadeCol", &Settings::ShadeCol),
            Row("THUMBS", "BorderCol", &Settings::BorderCol),
            Row("THUMBS", "CropHori", &Settings::CropHori),
            Row("THUMBS", "CropVerti", &Settings::CropVerti),
        };
        for (int n = 0; n < 6; ++n) {
            t.push_back(EditorRow(n, "Location", &TExtEditor::Location));
            t.push_back(EditorRow(n, "Param", &TExtEditor::Param));
            t.push_back(EditorRow(n, "Descript", &TExtEditor::Descript));
        }
        for (SettingRow row :
             {Row("OPTIONS", "DoShowFileIcons", &Settings::DoShowFileIcons),
              Row("OPTIONS", "DoRecycleBin", &Settings::DoRecycleBin),
              Row("OPTIONS", "DoShowHints", &Settings::DoShowHints),
              Row("OPTIONS", "DoOpenOnSingleClick", &Settings::DoOpenOnSingleClick),
              Row("OPTIONS", "CACHE_MAX", &Settings::CacheMax),
              Row("OPTIONS", "DoShowLineNumbers", &Settings::DoShowLineNumbers),
              Row("Columns", "Sizes", &Settings::ColumnSizes),
              Row("Sort", "Ascending", &Settings::SortAscending),
              Row("Sort", "SortCol", &Settings::SortCol)})
            t.push_back(row);
        return t;
    }();
    return table;
}

// The keys in the order SaveSettings writes them; a key that is new to the file
// goes to the end of its section, so this order fixes the layout of a new file.
const QStringList &SaveOrder() {
    static const QStringList order = [] {
        QStringList keys{u"StyleName"_s,
                         u"PopUpStyleName"_s,
                         u"BackupExt"_s,
                         u"DoCreateBackUps"_s,
                         u"DoValidate"_s,
                         u"LastSearch"_s,
                         u"LastReplace"_s,
                         u"Top"_s,
                         u"Left"_s,
                         u"Width"_s,
                         u"Height"_s,
                         u"TextCol"_s,
                         u"TagCol"_s,
                         u"QuotedCol"_s,
                         u"CommentCol"_s,
                         u"DoColorTags"_s,
                         u"THUMB_BASEIDX"_s,
                         u"CustomWidth"_s,
                         u"CustomHeight"_s,
                         u"Scale"_s,
                         u"Shade"_s,
                         u"Border"_s,
                         u"BGCol"_s,
                         u"ShadeCol"_s,
                         u"BorderCol"_s,
                         u"CropHori"_s,
                         u"CropVerti"_s,
                         u"VIEW_PATH"_s,
                         u"SNAPSHOTPATH"_s,
                         u"COPYPATH"_s,
                         u"ALLOWED_EXTENSIONS"_s};
        for (int n = 1; n <= 6; ++n)
            for (const char *key : {"Location", "Param", "Descript"})
                keys << u"EDITOR"_s + QString::number(n) + u'/' + QString::fromLatin1(key);
        keys << u"DoShowFileIcons"_s << u"DoRecycleBin"_s << u"DoShowHints"_s
             << u"DoOpenOnSingleClick"_s << u"CACHE_MAX"_s << u"DoShowLineNumbers"_s << u"Sizes"_s
             << u"Ascending"_s << u"SortCol"_s;
        return keys;
    }();
    return order;
}

const SettingRow &RowNamed(const QString &name) {
    for (const SettingRow &row : SettingsTable()) {
        const bool editor = row.section.startsWith(u"EDITOR"_s);
        if ((editor ? row.section + u'/' + row.key : row.key) == name)
            return row;
    }
    Q_UNREACHABLE();
}

void ReadRow(const IniFile &ini, const SettingRow &row, Settings &s) {
    std::visit(
        [&](auto *value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                *value = ini.ReadString(row.section, row.key, *value);
            else if constexpr (std::is_same_v<T, int>)
                *value = ini.ReadInteger(row.section, row.key, *value);
            else
                *value = ini.ReadBool(row.section, row.key, *value);
        },
        row.field(s));
}

void WriteRow(IniFile &ini, const SettingRow &row, Settings &s) {
    std::visit(
        [&](auto *value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>)
                ini.WriteString(row.section, row.key, *value);
            else if constexpr (std::is_same_v<T, int>)
                ini.WriteInteger(row.section, row.key, *value);
            else
                ini.WriteBool(row.section, row.key, *value);
        },
        row.field(s));
}

} // namespace

Settings LoadSettings(const IniFile &ini, const QString &programDir, QSize screen) {
    Settings s = Settings::Defaults(programDir, screen);
    for (const SettingRow &row : SettingsTable())
        ReadRow(ini, row, s);
    if (IsBlank(s.AllowedExtensions))
        s.AllowedExtensions = DefaultFilterDefinition();
    s.BackupExt.truncate(kMaxBackupExtLength);
    for (TExtEditor &app : s.ExtApps)
        app.Exists = ExternalAppExists(app.Location);
    return s;
}

Settings LoadSettings(const QString &iniPath, const QString &programDir, QSize screen) {
    IniFile ini;
    ini.Load(iniPath);
    return LoadSettings(ini, programDir, screen);
}

void SaveSettings(Settings &settings, const SettingsAtExit &atExit, IniFile &ini) {
    settings.ResetEditorColours();
    settings.Top = atExit.windowBounds.top();
    settings.Left = atExit.windowBounds.left();
    settings.Width = atExit.windowBounds.width();
    settings.Height = atExit.windowBounds.height();
    settings.ViewPath = atExit.viewPath;
    for (const QString &name : SaveOrder())
        WriteRow(ini, RowNamed(name), settings);
}

bool SaveSettings(Settings &settings, const SettingsAtExit &atExit, const QString &iniPath,
                  QString *error) {
    IniFile ini;
    ini.Load(iniPath);
    SaveSettings(settings, atExit, ini);
    QString reason;
    if (ini.Save(iniPath, &reason))
        return true;
    if (error)
        *error = u"Unable to write to "_s + iniPath + QChar(kMessageBreak) + reason;
    return false;
}

} // namespace velmora
