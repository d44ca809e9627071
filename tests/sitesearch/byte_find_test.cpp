// The quick byte searches of a plain text: the same answers as the C
// library's, wherever in a block of sixteen bytes (or in the tail after the
// last block) the needle or the telling byte sits.
#include "sitesearch/byte_find.h"

#include <QByteArray>

#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace velmora {
namespace {

qsizetype SlowFind(const QByteArray &haystack, const QByteArray &needle, qsizetype from) {
    for (qsizetype i = from; i + needle.size() <= haystack.size(); ++i)
        if (std::memcmp(haystack.constData() + i, needle.constData(), size_t(needle.size())) == 0)
            return i;
    return -1;
}

TEST(FindBytes, AgreesWithAPlainSearchOnRandomText) {
    // Few letters, so that near misses (first and last byte right, middle
    // wrong) are common.
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray haystack, needle;
        const int length = int(random() % 80);
        for (int i = 0; i < length; ++i)
            haystack += "abc\n\xE9"[random() % 5];
        const int n = 1 + int(random() % 6);
        for (int i = 0; i < n; ++i)
            needle += "abc\n\xE9"[random() % 5];
        const qsizetype from = length ? qsizetype(random() % (length + 1)) : 0;
        SCOPED_TRACE(haystack.toStdString() + " / " + needle.toStdString());
        ASSERT_EQ(FindBytes(haystack, needle, from), SlowFind(haystack, needle, from));
    }
}

TEST(FindBytes, EdgesOfTheText) {
    const QByteArray text = QByteArray(40, 'x') + "return";
    EXPECT_EQ(FindBytes(text, "return"), 40);     // ends on the last byte
    EXPECT_EQ(FindBytes(text, "returns"), -1);    // would run past the end
    EXPECT_EQ(FindBytes(text, "return", 41), -1); // starts after it
    EXPECT_EQ(FindBytes(text, "", 5), 5);
    EXPECT_EQ(FindBytes(text, "x", 47), -1); // from past the end
    EXPECT_EQ(FindBytes("", "a"), -1);
}

TEST(ScanByteKinds, FindsEachKindWhereverItIs) {
    for (int length = 1; length < 50; ++length) {
        for (int at = 0; at < length; ++at) {
            QByteArray bytes(length, 'a');
            const ByteKinds plain = ScanByteKinds(bytes);
            EXPECT_FALSE(plain.nul || plain.cr || plain.nonAscii);
            bytes[at] = '\0';
            EXPECT_TRUE(ScanByteKinds(bytes).nul) << length << " " << at;
            bytes[at] = '\r';
            EXPECT_TRUE(ScanByteKinds(bytes).cr) << length << " " << at;
            bytes[at] = char(0x80);
            const ByteKinds high = ScanByteKinds(bytes);
            EXPECT_TRUE(high.nonAscii && !high.nul && !high.cr) << length << " " << at;
        }
    }
}

} // namespace
} // namespace velmora
