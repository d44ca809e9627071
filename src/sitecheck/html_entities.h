#pragma once
// Character references in attribute values, decoded as a browser decodes
// them: "&amp;", "&#38;" and "&#x26;" all give '&'. A reference without its
// ';' is decoded only for the old names browsers still take that way, and not
// when a letter, digit or '=' follows it, so "?a=1&copy=2" stays as written.

#include <QString>
#include <QStringView>

namespace velmora {

QString DecodeAttributeEntities(QStringView value);

} // namespace velmora
