#include "filelists/text_order.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

// Texts with long shared beginnings, prefixes of each other, NULs and case
// variants: what the chunked sort must get right.
std::vector<QString> AwkwardTexts() {
    QRandomGenerator random(3);
    const QString alphabet = u"aAbB\u0000/.\u00e9\uffff"_s;
    std::vector<QString> texts{QString(), u"a"_s, QString(1, QChar(0))};
    for (int i = 0; i < 3000; ++i) {
        QString text = (i % 3 == 0) ? u"/home/user/web/"_s : QString();
        const int length = random.bounded(14);
        for (int k = 0; k < length; ++k)
            text += alphabet[random.bounded(int(alphabet.size()))];
        texts.push_back(text);
        if (i % 7 == 0)
            texts.push_back(text); // equal texts must share a rank
    }
    return texts;
}

void ExpectRanksAgree(const TextOrder &order, const std::vector<QString> &texts, const char *name,
                      bool collating = false) {
    const std::vector<QStringView> views(texts.begin(), texts.end());
    const std::vector<int> ranks = order.Ranks(views);
    SCOPED_TRACE(name);
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
        for (size_t j : {i + 1, (i * 7919) % texts.size()}) {
            // QCollator::compare treats an empty text apart from one made of
            // ignorable characters only; their sort keys agree that they tie.
            if (collating && (texts[i].isEmpty() || texts[j].isEmpty()))
                continue;
            const int expected = order.Compare(texts[i], texts[j]);
            const int got = ranks[i] - ranks[j];
            ASSERT_EQ(expected < 0, got < 0) << i << " " << j;
            ASSERT_EQ(expected == 0, got == 0) << i << " " << j;
        }
    }
}

} // namespace

TEST(TextOrder, RanksAgreeWithPairwiseComparison) {
    const std::vector<QString> texts = AwkwardTexts();
    ExpectRanksAgree(TextOrder(QLocale::c(), Qt::CaseSensitive), texts, "c sensitive");
    ExpectRanksAgree(TextOrder(QLocale::c(), Qt::CaseInsensitive), texts, "c insensitive");
    ExpectRanksAgree(TextOrder(QLocale(QLocale::English), Qt::CaseSensitive), texts,
                     "icu sensitive", true);
    ExpectRanksAgree(TextOrder(QLocale(QLocale::English), Qt::CaseInsensitive), texts,
                     "icu insensitive", true);
}

namespace {

// File names as web sites have them: punctuation, blanks, digits, accented
// and non-Latin letters, case variants; more than one helper thread's share
// of the sort keys.
std::vector<QString> FileNames(int count) {
    QRandomGenerator random(17);
    const QStringList parts{u"index"_s,         u"Index"_s,         u"INDEX"_s,       u"news-"_s,
                            u"news_"_s,         u"page "_s,         u"résumé"_s,      u"Resume"_s,
                            u"Straße"_s,        u"strasse"_s,       u"Åland"_s,       u"zebra"_s,
                            u"Ölbild"_s,        u"обзор"_s,         u"日記"_s,        u"a.b"_s,
                            u"(copy)"_s,        u"~old"_s,          u"10"_s,          u"9"_s,
                            u"e\u0301"_s,       u"\u00e9"_s,        u"\u01c5"_s,      u"\ufb01le"_s,
                            u"a\u0301\u0323"_s, u"a\u0323\u0301"_s, u"\u1ea1\u0301"_s};
    std::vector<QString> names;
    for (int i = 0; i < count; ++i) {
        QString name;
        const int pieces = 1 + random.bounded(4);
        for (int k = 0; k < pieces; ++k)
            name += parts[random.bounded(int(parts.size()))];
        if (random.bounded(2))
            name += QString::number(random.bounded(1000));
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST(TextOrder, SortKeysOrderFileNamesAsTheCollatorDoes) {
    const std::vector<QString> names = FileNames(40000);
    for (const auto &[language, territory] : {std::pair{QLocale::English, QLocale::UnitedStates},
                                              {QLocale::German, QLocale::Germany},
                                              {QLocale::Swedish, QLocale::Sweden},
                                              {QLocale::Danish, QLocale::Denmark}}) {
        const QLocale locale(language, territory);
        const std::string name = locale.name().toStdString();
        ExpectRanksAgree(TextOrder(locale, Qt::CaseSensitive), names, name.c_str(), true);
        ExpectRanksAgree(TextOrder(locale, Qt::CaseInsensitive), names, name.c_str(), true);
    }
}

TEST(TextOrder, StableOrderKeepsTiesAndReverses) {
    const std::vector<int> ranks{2, 0, 1, 0, 2};
    EXPECT_EQ(StableOrderByRank(ranks, false), (std::vector<int>{1, 3, 2, 0, 4}));
    EXPECT_EQ(StableOrderByRank(ranks, true), (std::vector<int>{0, 4, 2, 1, 3}));
    EXPECT_TRUE(StableOrderByRank({}, false).empty());
}
