// Golden files: cases/NAME.html is formatted with the style of NAME.ini (the
// stock style when there is none) and must give cases/NAME.expected exactly;
// formatting the expected text once more must give it unchanged, or, where a
// dropped generated comment cut a run of text in two, cases/NAME.second: the
// second run joins the two lines, and a third run changes nothing more.

#include "formatter_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::FormatLf;
using testing::ReadTextFile;

struct GoldenCase {
    QString name;
    QString dir;
};

std::vector<GoldenCase> AllCases() {
    std::vector<GoldenCase> cases;
    const QDir dir(QStringLiteral(VELMORA_FORMATTER_CASES));
    for (const QFileInfo &fi : dir.entryInfoList({u"*.html"_s}, QDir::Files, QDir::Name))
        cases.push_back({fi.completeBaseName(), dir.path()});
    return cases;
}

// NAME.style names a shipped style (its folder under STYLES), NAME.ini holds
// a style of its own; else the stock style.
FormatterStyle CaseStyle(const GoldenCase &c) {
    const QString shipped = c.dir + u'/' + c.name + u".style"_s;
    if (QFileInfo::exists(shipped))
        return LoadFormatterStyle(QStringLiteral(VELMORA_STYLES_DIR) + u'/' +
                                  ReadTextFile(shipped).trimmed());
    const QString ini = c.dir + u'/' + c.name + u".ini"_s;
    return QFileInfo::exists(ini) ? testing::StyleFromIni(ReadTextFile(ini))
                                  : testing::StockStyle();
}

class GoldenFormat : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFormat, GivesExpectedOutputAndIsStable) {
    const GoldenCase &c = GetParam();
    const FormatterStyle style = CaseStyle(c);
    const QString input = ReadTextFile(c.dir + u'/' + c.name + u".html"_s);
    const QString expected = ReadTextFile(c.dir + u'/' + c.name + u".expected"_s);
    ASSERT_TRUE(QFileInfo::exists(c.dir + u'/' + c.name + u".expected"_s))
        << "missing " << c.name.toStdString() << ".expected";
    const QString once = FormatLf(input, style);
    EXPECT_EQ(once.toStdString(), expected.toStdString());
    const QString secondFile = c.dir + u'/' + c.name + u".second"_s;
    const QString second = QFileInfo::exists(secondFile) ? ReadTextFile(secondFile) : once;
    const QString twice = FormatLf(once, style);
    EXPECT_EQ(twice.toStdString(), second.toStdString()) << "second run";
    EXPECT_EQ(FormatLf(twice, style).toStdString(), twice.toStdString()) << "not idempotent";
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenFormat, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<GoldenCase> &info) {
                             QString n = info.param.name;
                             n.replace(u'-', u'_');
                             return n.toStdString();
                         });

TEST(GoldenFormat, CasesFolderIsNotEmpty) {
    EXPECT_GE(AllCases().size(), 5u);
}

} // namespace
} // namespace velmora
