// Pages are untrusted: they cannot reach the network, and a page that never
// finishes cannot hold the view beyond its time limit.

#include "page_fixture.h"
#include "render/page_source.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

using PageSafetyTest = PageFixture;

TEST_F(PageSafetyTest, RemoteResourcesAreNeverRequested) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] { ++connections; });
    const QString remote = u"http://127.0.0.1:%1/"_s.arg(server.serverPort());
    const QString page =
        Write(u"remote.htm"_s,
              (u"<body style='margin:0;background:#00ff00'><img src='%1a.png' width=1 height=1>"
               "<script src='%1b.js'></script><link rel=stylesheet href='%1c.css'>"
               "<iframe src='%1d.htm' width=1 height=1></iframe><script>fetch('%1e').catch(()=>0);"
               "alert('x'); confirm('y'); window.open('%1f');</script>"_s)
                  .arg(remote)
                  .toUtf8());
    auto view = MakeView(200, 100);
    view->SetTimeLimit(5000);
    QString error;
    ASSERT_TRUE(view->LoadFile(page, &error)) << error.toStdString();
    EXPECT_EQ(view->GrabSettled().pixelColor(190, 90), QColor(Qt::green));
    for (const QString &url : profile.BlockedUrls())
        EXPECT_TRUE(url.startsWith(remote)) << url.toStdString();
    // HTML given as text is not local content; its requests reach the
    // request filter, which refuses them.
    ASSERT_TRUE(view->LoadHtml(u"<img src='%1g.png'><script src='%1h.js'></script>"_s.arg(remote)));
    EXPECT_EQ(profile.BlockedRequests(), 2) << profile.BlockedUrls().join(u' ').toStdString();
    for (const QString &url : profile.BlockedUrls())
        EXPECT_TRUE(url.startsWith(remote)) << url.toStdString();
    QTest::qWait(100);
    EXPECT_EQ(connections, 0);
}

// A script that never returns holds its renderer; the view gives up at the
// time limit and the next page renders normally in a fresh one.
TEST_F(PageSafetyTest, EndlessScriptEndsAtTheTimeLimit) {
    const QString hang =
        Write(u"hang.htm"_s, "<body>before<script>while (true) {}</script>after</body>");
    const QString good =
        Write(u"good.htm"_s, "<body style='margin:0;background:#0000ff'>fine</body>");
    auto view = MakeView(200, 100);
    view->SetTimeLimit(1500);
    QElapsedTimer clock;
    clock.start();
    QString error;
    EXPECT_FALSE(view->LoadFile(hang, &error));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(error.contains(u"did not finish"_s)) << error.toStdString();
    EXPECT_EQ(view->Recoveries(), 1);

    ASSERT_TRUE(view->LoadFile(good, &error)) << error.toStdString();
    EXPECT_EQ(view->GrabSettled().pixelColor(150, 80), QColor(Qt::blue));
    EXPECT_FALSE(view->IsBusy());
}

TEST(PageSourceTest, LocalAddressesRoundTripAndPagesAreHtml) {
    for (const QString &path : {u"/tmp/a b/c#d.htm"_s, u"/tmp/x%20y/ü?.asp"_s, u"/p.shtml"_s}) {
        const QUrl url = PageUrlFromPath(path);
        EXPECT_EQ(url.scheme(), LocalPageScheme());
        EXPECT_EQ(PathFromPageUrl(url), path);
        EXPECT_EQ(PathFromPageUrl(QUrl(url.toString())), path) << url.toString().toStdString();
    }
    EXPECT_EQ(PathFromPageUrl(QUrl(u"http://host/x.htm"_s)), QString());
    for (const QString &page : {u"a.htm"_s, u"a.asp"_s, u"a.sht"_s, u"a.shtml"_s, u"a.cfm"_s,
                                u"a.dht"_s, u"a.jht"_s, u"a.php"_s, u"a.unknown"_s, u"noext"_s})
        EXPECT_EQ(ContentTypeForFile(page), u"text/html"_s) << page.toStdString();
    EXPECT_EQ(ContentTypeForFile(u"a.jpg"_s), u"image/jpeg"_s);
    EXPECT_EQ(ContentTypeForFile(u"a.GIF"_s), u"image/gif"_s);
    EXPECT_EQ(ContentTypeForFile(u"a.css"_s), u"text/css"_s);
    EXPECT_FALSE(IsAllowedScheme(u"https"_s));
    EXPECT_FALSE(IsAllowedScheme(u"ftp"_s));
    EXPECT_FALSE(IsAllowedScheme(u"mailto"_s));
    EXPECT_TRUE(IsAllowedScheme(u"FILE"_s));
}

} // namespace
} // namespace velmora::testing
