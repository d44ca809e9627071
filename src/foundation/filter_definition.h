#pragma once
// The folder view's filter definition: "Description|mask|Description|mask...",
// a mask being one or more patterns separated by ';'.

#include <QList>
#include <QString>

namespace velmora {

struct FileFilter {
    QString description;
    QString mask;
};

// The description/mask pairs in order; a trailing description without a mask
// is ignored.
QList<FileFilter> ParseFilterDefinition(const QString &definition);

// The mask of the first filter, as the folder view takes it; "*.*" when there
// is no filter or its mask holds no pattern.
QString FirstFilterMask(const QString &definition);

} // namespace velmora
