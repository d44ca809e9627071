#include "sitesearch/byte_prefilter.h"

#include "sitesearch/page_read.h"

#include <cstring>

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
    return ::memmem(bytes.data(), size_t(bytes.size()), needle_.constData(),
                    size_t(needle_.size())) != nullptr;
}

} // namespace velmora
