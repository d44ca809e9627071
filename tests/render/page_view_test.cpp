// The page view as the internal browser and the capture use it: what it
// paints, which pages it renders, its settings, its history and its links.

#include "page_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

const QByteArray kBlockPage =
    "<html><body style='margin:0;background:#336699'>"
    "<div style='position:absolute;left:100px;top:50px;width:40px;height:30px;"
    "background:#ff8000'></div></body></html>";

using PageViewTest = PageFixture;

// Events go straight to the engine's surface (the off-screen window gets no
// system input), each with a later time stamp so that none looks repeated.
ulong NextTimestamp() {
    static ulong now = 1000;
    return now += 1000;
}

void MoveMouse(QWidget *surface, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, surface->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    move.setTimestamp(NextTimestamp());
    QApplication::sendEvent(surface, &move);
}

void Click(QWidget *surface, QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, surface->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        event.setTimestamp(NextTimestamp());
        QApplication::sendEvent(surface, &event);
    }
}

TEST_F(PageViewTest, PaintsPageColoursAtTheirPlaces) {
    const QString page = Write(u"block.htm"_s, kBlockPage);
    auto view = MakeView(640, 480);
    QString error;
    ASSERT_TRUE(view->LoadFile(page, &error)) << error.toStdString();
    EXPECT_EQ(view->CurrentFile(), page);
    const QImage shot = view->GrabSettled();
    ASSERT_EQ(shot.size(), QSize(640, 480));
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(shot.pixelColor(600, 400), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(shot.pixelColor(100, 50), QColor(0xff, 0x80, 0x00));
    EXPECT_EQ(shot.pixelColor(139, 79), QColor(0xff, 0x80, 0x00));
    EXPECT_EQ(shot.pixelColor(140, 80), QColor(0x33, 0x66, 0x99));
}

TEST_F(PageViewTest, ShowsHtmlTextAndRefusesMissingFiles) {
    auto view = MakeView(200, 100);
    Write(u"blue.png"_s, Png(20, 20, Qt::blue));
    ASSERT_TRUE(view->LoadHtml(u"<body style='margin:0;background:#ff0000'><img src='blue.png'>"_s,
                               dir.path()));
    const QImage shot = view->GrabSettled();
    EXPECT_EQ(shot.pixelColor(150, 80), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::blue)); // resolved against the base folder
    QString error;
    const QString missing = dir.filePath(u"nothing.htm"_s);
    EXPECT_FALSE(view->LoadFile(missing, &error));
    EXPECT_EQ(error, u"Can't locate file: "_s + missing);
}

// Server-side page kinds hold plain HTML on a local disk; the system's type
// database would otherwise make some of them downloads or plain text.
TEST_F(PageViewTest, EveryPageKindRendersAsHtml) {
    auto view = MakeView(320, 240);
    ASSERT_TRUE(view->LoadFile(Write(u"same.htm"_s, kBlockPage)));
    const QImage reference = view->GrabSettled();
    ASSERT_EQ(reference.pixelColor(110, 60), QColor(0xff, 0x80, 0x00));
    for (const QString &ext : {u"asp"_s, u"shtml"_s, u"cfm"_s, u"dht"_s, u"jht"_s, u"sht"_s}) {
        QString error;
        ASSERT_TRUE(view->LoadFile(Write(u"same."_s + ext, kBlockPage), &error))
            << ext.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(view->GrabSettled(), reference) << ext.toStdString();
    }
    EXPECT_EQ(profile.RefusedDownloads(), 0);
}

TEST_F(PageViewTest, PicturesSwitchedOffAreNotDrawn) {
    Write(u"red.png"_s, Png(64, 64, Qt::red));
    const QString page =
        Write(u"picture.htm"_s, "<body style='margin:0;background:#fff'><img src='red.png'>");
    auto view = MakeView(200, 150);
    ASSERT_TRUE(view->LoadFile(page));
    EXPECT_EQ(CountPixels(view->GrabSettled(), Qt::red), 64 * 64);

    DisplaySettings display = view->Display();
    display.showImages = false;
    view->SetDisplay(display);
    ASSERT_TRUE(view->Rerender());
    EXPECT_EQ(CountPixels(view->GrabSettled(), Qt::red), 0);
}

// A box painted in currentColor shows the text colour the page ends up with.
TEST_F(PageViewTest, DisplaySettingsAreDefaultsThatPagesOverride) {
    const QByteArray boxes = "<div style='width:50px;height:50px;background:currentColor'></div>"
                             "<a href='x.htm' style='display:block;width:50px;height:50px;"
                             "background:currentColor'></a></body>";
    const QString plain = Write(u"plain.htm"_s, "<body style='margin:0'>" + boxes);
    const QString own = Write(u"own.htm"_s, "<body style='margin:0' bgcolor='#00ff00' "
                                            "text='#0000ff' link='#ff00ff'>" +
                                                boxes);
    auto view = MakeView(200, 150);
    DisplaySettings display;
    display.fontColor = 0x0000ff;       // red
    display.linkColor = 0x00ffff;       // yellow
    display.backgroundColor = 0x808080; // grey
    view->SetDisplay(display);

    ASSERT_TRUE(view->LoadFile(plain));
    QImage shot = view->GrabSettled();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(10, 60), QColor(Qt::yellow));
    EXPECT_EQ(shot.pixelColor(150, 100), QColor(0x80, 0x80, 0x80));

    ASSERT_TRUE(view->LoadFile(own));
    shot = view->GrabSettled();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(10, 60), QColor(Qt::magenta));
    EXPECT_EQ(shot.pixelColor(150, 100), QColor(Qt::green));
}

TEST_F(PageViewTest, FramesetShowsBothFrames) {
    Write(u"left.htm"_s, "<body style='background:#ff0000'>left");
    Write(u"right.htm"_s, "<body style='background:#0000ff'>right");
    const QString page = Write(u"frames.htm"_s, "<html><frameset cols='50%,50%' border=0>"
                                                "<frame src='left.htm'><frame src='right.htm'>"
                                                "</frameset></html>");
    auto view = MakeView(400, 200);
    ASSERT_TRUE(view->LoadFile(page));
    const QImage shot = view->GrabSettled();
    EXPECT_EQ(shot.pixelColor(100, 150), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(300, 150), QColor(Qt::blue));
}

TEST_F(PageViewTest, HistoryGoesBackAndForwardWithinItsLength) {
    ViewOptions options;
    options.historyLength = 3;
    auto view = MakeView(200, 100, options);
    QSignalSpy changes(view.get(), &PageView::HistoryChanged);
    QStringList pages;
    for (int n = 1; n <= 4; ++n)
        pages << Write(u"p%1.htm"_s.arg(n), "<body>page");
    for (const QString &page : pages)
        ASSERT_TRUE(view->LoadFile(page));
    EXPECT_EQ(view->HistoryCount(), 3); // p1 fell out
    EXPECT_GE(changes.count(), 4);
    EXPECT_FALSE(view->CanGoForward());

    ASSERT_TRUE(view->GoBack());
    EXPECT_EQ(view->CurrentFile(), pages[2]);
    ASSERT_TRUE(view->GoBack());
    EXPECT_EQ(view->CurrentFile(), pages[1]);
    EXPECT_FALSE(view->CanGoBack());
    EXPECT_FALSE(view->GoBack());
    ASSERT_TRUE(view->GoForward());
    EXPECT_EQ(view->CurrentFile(), pages[2]);
    EXPECT_TRUE(view->CanGoForward());

    // A new page drops the entries ahead.
    ASSERT_TRUE(view->LoadFile(pages[0]));
    EXPECT_FALSE(view->CanGoForward());
    view->Clear();
    EXPECT_EQ(view->HistoryCount(), 0);
    EXPECT_TRUE(view->CurrentFile().isEmpty());
}

// The pointer over a link reports it with its target; a click can be refused.
TEST_F(PageViewTest, LinkHoverAndCancellableClick) {
    const QString target = Write(u"target.htm"_s, "<body>target");
    const QString page =
        Write(u"links.htm"_s, "<body style='margin:0'><a href='target.htm' target='main' "
                              "style='display:block;width:100px;height:40px'>framed</a>"
                              "<a href='target.htm' style='display:block;width:100px;"
                              "height:40px;margin-top:10px'>plain</a>");
    ViewOptions options;
    options.historyLength = 10;
    auto view = MakeView(200, 100, options);
    ASSERT_TRUE(view->LoadFile(page));
    QWidget *surface = view->focusProxy()->focusProxy();
    ASSERT_NE(surface, nullptr);

    QSignalSpy hovers(view.get(), &PageView::LinkHovered);
    MoveMouse(surface, QPoint(30, 20));
    MoveMouse(surface, QPoint(20, 20));
    ASSERT_TRUE(hovers.wait(5000));
    EXPECT_EQ(hovers.last().at(0).toString(), QUrl::fromLocalFile(target).toString());
    EXPECT_EQ(hovers.last().at(1).toString(), u"main"_s);

    QList<LinkInfo> clicks;
    bool cancel = true;
    QObject::connect(view.get(), &PageView::LinkClicked, view.get(),
                     [&](const LinkInfo &link, bool *c) {
                         clicks << link;
                         *c = cancel;
                     });
    QSignalSpy clickSpy(view.get(), &PageView::LinkClicked);
    MoveMouse(surface, QPoint(20, 70));
    Click(surface, QPoint(20, 70));
    ASSERT_TRUE(clickSpy.wait(5000));
    EXPECT_EQ(clicks[0].url, QUrl::fromLocalFile(target).toString());
    EXPECT_EQ(clicks[0].target, QString());
    EXPECT_EQ(clicks[0].framePath, page);
    EXPECT_EQ(view->CurrentFile(), page);

    // Key presses reach the program first; Ctrl+A and Ctrl+C select and copy.
    QSignalSpy keys(view.get(), &PageView::KeyPressed);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, u"a"_s);
    QApplication::sendEvent(surface, &key);
    ASSERT_EQ(keys.count(), 1);
    QSignalSpy copied(QGuiApplication::clipboard(), &QClipboard::dataChanged);
    view->SelectAll();
    view->CopySelection();
    ASSERT_TRUE(copied.wait(5000));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(u"framed"_s))
        << QGuiApplication::clipboard()->text().toStdString();

    cancel = false;
    QSignalSpy history(view.get(), &PageView::HistoryChanged);
    Click(surface, QPoint(20, 70));
    ASSERT_TRUE(history.wait(5000));
    EXPECT_EQ(view->CurrentFile(), target);
    EXPECT_TRUE(view->CanGoBack());
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// The internal browser sits hidden in its window while the editor is
// docked: its loads end when the page is there, without waiting for a
// picture that a hidden view never paints.
TEST_F(PageFixture, AHiddenViewLoadsWithoutWaitingForPaint) {
    PageView view(profile, {});
    view.resize(300, 200);
    // Long enough for an engine start on a busy machine; a view that waited
    // for a paint a hidden view never gets would still run into it.
    view.SetTimeLimit(5000);
    const QString page = Write(u"hidden.htm"_s, "<title>Hidden</title><p>text");
    QString error;
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(view.LoadFile(page, &error)) << error.toStdString();
    EXPECT_EQ(view.CurrentFile(), page);
    EXPECT_EQ(view.Recoveries(), 0);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// The internal browser does not wait for its pages: a page whose script
// never ends leaves the window free, and is stopped at the time limit, or
// at once when the user asks (Esc).
TEST_F(PageFixture, APageThatNeverFinishesIsStoppedWithoutBlocking) {
    const QString hanging = Write(u"hang.htm"_s, "<p>x<script>while (true) {}</script>");
    auto view = MakeView(300, 200);
    view->SetTimeLimit(800);
    QSignalSpy stopped(view.get(), &PageView::PageStopped);
    view->StartLoadingFile(hanging);
    EXPECT_TRUE(view->IsBusy());
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_FALSE(view->IsBusy());
    EXPECT_EQ(view->Recoveries(), 1);

    view->StartLoadingFile(hanging);
    ASSERT_TRUE(view->IsBusy());
    view->StopLoading();
    EXPECT_FALSE(view->IsBusy());
    EXPECT_EQ(view->Recoveries(), 2);
    // The view is ready for the next page.
    const QString page = Write(u"next.htm"_s, "<p>next");
    EXPECT_TRUE(view->LoadFile(page));
}

// The user leaves a page whose script never ends for another one: the
// other page is held up behind the busy script, so at the time limit the
// stuck page is thrown away and the page asked for last is shown.
TEST_F(PageFixture, APageAskedForBehindAHangingOneIsShownAfterTheTimeLimit) {
    const QString hanging = Write(u"hang.htm"_s, "<p>x<script>while (true) {}</script>");
    const QString page = Write(u"next.htm"_s, "<title>Next</title><p>next");
    auto view = MakeView(300, 200);
    view->SetTimeLimit(800);
    view->StartLoadingFile(hanging);
    QTest::qWait(300); // the script is running
    QSignalSpy busy(view.get(), &PageView::BusyChanged);
    view->StartLoadingFile(page);
    const QDeadlineTimer deadline(8000);
    const auto shown = [&] {
        return !view->IsBusy() && view->CurrentFile() == page &&
               view->accessibleDescription() == u"Next"_s;
    };
    while (!shown() && !deadline.hasExpired())
        busy.wait(int(std::max<qint64>(1, deadline.remainingTime())));
    ASSERT_TRUE(shown()) << view->CurrentFile().toStdString();
    // Asked for alone, the hanging page is still stopped once, not again
    // and again.
    const int recoveries = view->Recoveries();
    QSignalSpy stopped(view.get(), &PageView::PageStopped);
    view->StartLoadingFile(hanging);
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_FALSE(stopped.wait(2000));
    EXPECT_EQ(view->Recoveries(), recoveries + 1);
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

// The load the browser was asked for can be let finish: the page is there
// afterwards. A view busy with any other page, also one that page went on
// to by itself, is not waited for.
TEST_F(PageFixture, TheLoadAskedForCanBeLetFinishAndNoOther) {
    const QByteArray busy =
        "<script>const t = Date.now(); while (Date.now() - t < 1200) {}</script>";
    const QString slow = Write(u"slow.htm"_s, "<title>Slow</title><p>slow" + busy);
    const QString other = Write(u"other.htm"_s, "<title>Other</title><p>other" + busy);
    const QString jump = Write(u"jump.htm"_s, "<script>location.href = 'other.htm';</script>");
    auto view = MakeView(300, 200);
    view->StartLoadingFile(slow);
    ASSERT_TRUE(view->IsBusy());
    EXPECT_EQ(view->LoadingFile(), slow);
    EXPECT_FALSE(view->FinishLoading(other));
    EXPECT_TRUE(view->IsBusy());
    EXPECT_TRUE(view->FinishLoading(slow));
    EXPECT_FALSE(view->IsBusy());
    EXPECT_EQ(view->CurrentFile(), slow);
    EXPECT_EQ(view->accessibleDescription(), u"Slow"_s);
    EXPECT_TRUE(view->LoadingFile().isEmpty());
    EXPECT_TRUE(view->FinishLoading(slow)); // idle: nothing to wait for

    view->StartLoadingFile(jump);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view->CurrentFile() == other && view->IsBusy(); }, 5000));
    EXPECT_TRUE(view->LoadingFile().isEmpty());
    EXPECT_FALSE(view->FinishLoading(jump));
    EXPECT_TRUE(view->IsBusy());
}

} // namespace
} // namespace velmora::testing
