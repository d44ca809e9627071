#include "app/editor_syntax.h"

#include "editor/tag_hints.h"
#include "foundation/settings.h"

using namespace Qt::StringLiterals;

namespace velmora {

void EditorSyntax::LoadThumbStyle(const ProgramFolders &folders, Settings &settings) {
    // A name is one folder of STYLES, never a path leading elsewhere.
    const QStringList styles = FormatterStyleNames(folders.StyleDir);
    const QString chosen = styles.contains(settings.StyleName) ? settings.StyleName : u"THUMBS"_s;
    styleFolder_ = folders.StyleDir + chosen + u'/';
    style_ = LoadFormatterStyle(styleFolder_);
    settings.StyleName = chosen;
}

void EditorSyntax::LoadTagSyntax(const ProgramFolders &folders) {
    tagSyntaxList_ = velmora::LoadTagSyntax(folders.ShippedPath(u"tagsyntax.txt"_s));
}

} // namespace velmora
