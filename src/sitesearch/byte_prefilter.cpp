#include "sitesearch/byte_prefilter.h"

#include "sitesearch/byte_find.h"
#include "sitesearch/page_read.h"

namespace velmora {

BytePrefilter::BytePrefilter(const QString &find, PatternOptions options) {
    if (options.regularExpression || !options.matchCase || find.isEmpty())
        return;
    for (QChar c : find)
        if (c.unicode() >= 0x80)
            return;
    needle_ = find.toLatin1();
}

bool BytePrefilter::MayOccur(QByteArrayView bytes) const {
    if (needle_.isEmpty() || StartsWithWideMark(bytes))
        return true;
    return FindBytes(bytes, needle_) >= 0;
}

} // namespace velmora
