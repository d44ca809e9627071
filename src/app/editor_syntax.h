#pragma once
// What the editor colours and formats text with: the formatter style of the
// program's style folder and the tag syntax lines of tagsyntax.txt, read once
// when the main window is first shown.

#include "formatter/formatter_style.h"
#include "foundation/program_folders.h"

#include <QString>
#include <QStringList>

namespace velmora {

struct Settings;

class EditorSyntax {
public:
    // The stored style (settings.StyleName) when its folder is there, else
    // the stock THUMBS; the settings are told which one it is.
    void LoadThumbStyle(const ProgramFolders &folders, Settings &settings);
    void LoadTagSyntax(const ProgramFolders &folders);

    // The lines of tagsyntax.txt.
    const QStringList &TagSyntaxList() const { return tagSyntaxList_; }
    // The formatter style folder (StyleDir + the style's name + "/") and the
    // style read from it.
    QString StyleFolder() const { return styleFolder_; }
    const FormatterStyle &Style() const { return style_; }

private:
    QStringList tagSyntaxList_;
    QString styleFolder_;
    FormatterStyle style_;
};

} // namespace velmora
