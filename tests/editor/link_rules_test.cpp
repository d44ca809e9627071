// Which link clicks the internal browser follows.
#include "editor/link_rules.h"
#include "temp_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

class LinkRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site/sub"_s));
        for (const char *name :
             {"site/index.htm", "site/page2.htm", "site/sub/x.htm", "site/my page.htm"})
            velmora::testing::WriteBytes(dir.filePath(QString::fromUtf8(name)), "<p>x");
        shown = dir.filePath(u"site/index.htm"_s);
    }
    QString Site(const QString &name) const { return dir.filePath(u"site/"_s + name); }

    QTemporaryDir dir;
    QString shown;
};

// Relative addresses, as a page writes them, and the absolute file addresses
// the view reports for them, come to the same decision.
TEST_F(LinkRulesTest, LinksToExistingLocalFilesAreFollowedWithoutTheirFragment) {
    for (const QString &url :
         {u"page2.htm#part"_s, QUrl::fromLocalFile(Site(u"page2.htm"_s)).toString() + u"#part"_s}) {
        const LinkDecision d = DecideLinkClick(shown, url);
        EXPECT_EQ(d.kind, LinkDecision::Follow) << url.toStdString();
        EXPECT_EQ(d.localName, Site(u"page2.htm"_s));
    }
    EXPECT_EQ(DecideLinkClick(shown, u"sub/x.htm"_s).localName, Site(u"sub/x.htm"_s));
    EXPECT_EQ(DecideLinkClick(shown, u"sub/../page2.htm"_s).kind, LinkDecision::Follow);
    // An escaped blank names the file with the blank.
    const LinkDecision escaped = DecideLinkClick(shown, u"my%20page.htm"_s);
    EXPECT_EQ(escaped.kind, LinkDecision::Follow);
    EXPECT_EQ(escaped.localName, Site(u"my page.htm"_s));
}

TEST_F(LinkRulesTest, AFragmentAloneIsLeftToTheViewAndEverythingElseIsRefused) {
    EXPECT_EQ(DecideLinkClick(shown, u"#top"_s).kind, LinkDecision::LeaveToView);
    EXPECT_TRUE(DecideLinkClick(shown, u"#top"_s).localName.isEmpty());

    const LinkDecision missing = DecideLinkClick(shown, u"gone.htm"_s);
    EXPECT_EQ(missing.kind, LinkDecision::Refuse);
    EXPECT_EQ(missing.localName, Site(u"gone.htm"_s));
    EXPECT_EQ(DecideLinkClick(shown, u"https://example.org/page2.htm"_s).kind,
              LinkDecision::Refuse);
    EXPECT_EQ(DecideLinkClick(shown, u"sub"_s).kind, LinkDecision::Refuse); // a folder
}

} // namespace
