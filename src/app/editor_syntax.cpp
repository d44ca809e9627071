#include "app/editor_syntax.h"

#include "editor/tag_hints.h"
#include "foundation/settings.h"

using namespace Qt::StringLiterals;

namespace velmora {

void EditorSyntax::LoadThumbStyle(const ProgramFolders &folders, Settings &settings) {
    styleFolder_ = folders.StyleDir + u"THUMBS/"_s;
    style_ = LoadFormatterStyle(styleFolder_);
    settings.StyleName = u"THUMBS"_s;
}

void EditorSyntax::LoadTagSyntax(const ProgramFolders &folders) {
    tagSyntaxList_ = velmora::LoadTagSyntax(folders.ShippedPath(u"tagsyntax.txt"_s));
}

} // namespace velmora
