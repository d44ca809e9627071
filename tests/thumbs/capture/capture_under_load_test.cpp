// Captures and thumbnails made while other processes keep every core busy:
// each picture must show its own page, painted at the size asked for, never a
// blank picture or one left over from the page or the size before.

#include "capture_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

// Processes that spin for as long as they live, one per core the machine is
// asked to lose.
class BusyLoops {
public:
    explicit BusyLoops(int count) {
        for (int i = 0; i < count; ++i) {
            auto loop = std::make_unique<QProcess>();
            loop->start(u"/bin/sh"_s, {u"-c"_s, u"while :; do :; done"_s});
            loop->waitForStarted();
            loops_.push_back(std::move(loop));
        }
    }
    ~BusyLoops() {
        for (auto &loop : loops_) {
            loop->kill();
            loop->waitForFinished();
        }
    }
    BusyLoops(const BusyLoops &) = delete;
    BusyLoops &operator=(const BusyLoops &) = delete;

    bool AllRunning() const {
        for (const auto &loop : loops_)
            if (loop->state() != QProcess::Running)
                return false;
        return true;
    }

private:
    std::vector<std::unique_ptr<QProcess>> loops_;
};

// A page of one colour with a block of another; no two pages share a colour,
// so a picture of the page before, or a blank one, cannot pass for it.
struct ColourPage {
    QString path;
    QColor background;
    QColor block;
    QRect blockRect;
};

QColor ColourOf(int index, int salt) {
    return QColor::fromHsv((index * 47 + salt * 151) % 360, 200, 120 + (index * 13) % 100).toRgb();
}

std::string Hex(const QColor &colour) {
    return colour.name().toStdString();
}

class CaptureUnderLoadTest : public CaptureFixture {
protected:
    ColourPage MakePage(int index) {
        ColourPage page;
        page.background = ColourOf(index, 0);
        page.block = ColourOf(index, 1);
        page.blockRect = QRect(20 + index * 7 % 90, 15 + index * 11 % 70, 90, 60);
        const QRect r = page.blockRect;
        page.path = Write(u"page%1.htm"_s.arg(index),
                          u"<html><body style='margin:0;background:%1'><div style='position:"
                          u"absolute;left:%2px;top:%3px;width:%4px;height:%5px;background:%6'>"
                          u"</div></body></html>"_s.arg(page.background.name())
                              .arg(r.x())
                              .arg(r.y())
                              .arg(r.width())
                              .arg(r.height())
                              .arg(page.block.name())
                              .toUtf8());
        return page;
    }

    // The picture is of this page at this size: its block where it belongs and
    // its background in every corner.
    static void ExpectShowsPage(const Picture &shot, const ColourPage &page, QSize base,
                                const std::string &what) {
        ASSERT_EQ(shot.size(), base) << what;
        const QRect r = page.blockRect;
        EXPECT_EQ(Hex(shot.pixelColor(r.center())), Hex(page.block)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(r.topLeft())), Hex(page.block)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(r.bottomRight())), Hex(page.block)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(0, 0)), Hex(page.background)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(base.width() - 1, 0)), Hex(page.background)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(0, base.height() - 1)), Hex(page.background)) << what;
        EXPECT_EQ(Hex(shot.pixelColor(base.width() - 1, base.height() - 1)), Hex(page.background))
            << what;
        EXPECT_EQ(Hex(shot.pixelColor(r.right() + 1, r.bottom() + 1)), Hex(page.background))
            << what;
    }
};

TEST_F(CaptureUnderLoadTest, EveryCaptureShowsItsOwnPageAtItsSizeWhileTheCoresAreBusy) {
    std::vector<ColourPage> pages;
    for (int i = 0; i < 12; ++i)
        pages.push_back(MakePage(i));
    const QSize sizes[] = {{640, 480}, {1024, 768}, {320, 240}};
    // What is checked is the picture, not the speed: a machine busy beyond
    // the loops started here must not fail the run by the time limit.
    capture.SetTimeLimit(60000);
    const BusyLoops busy(2);
    int n = 0;
    for (int round = 0; round < 8; ++round) {
        for (const ColourPage &page : pages) {
            // The size changes between captures as often as the page does.
            const QSize base = sizes[n++ % 3];
            Picture shot;
            QString error;
            const std::string what = u"capture %1 of %2 at %3x%4"_s.arg(n)
                                         .arg(QFileInfo(page.path).fileName())
                                         .arg(base.width())
                                         .arg(base.height())
                                         .toStdString();
            ASSERT_TRUE(capture.CapturePage(page.path, {base, 0, 0}, &shot, &error))
                << what << ": " << error.toStdString();
            ExpectShowsPage(shot, page, base, what);
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_TRUE(busy.AllRunning()) << "the machine was not kept busy throughout";
}

// The file managers' thumbnailer starts a fresh engine for every page: its
// first picture is the one that may come before the page has painted.
TEST_F(CaptureUnderLoadTest, ThumbnailerPicturesShowTheirPagesWhileTheCoresAreBusy) {
    const BusyLoops busy(2);
    for (int i = 0; i < 8; ++i) {
        const ColourPage page = MakePage(i);
        const QString output = dir.filePath(u"thumb%1.png"_s.arg(i));
        QProcess tool;
        tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL),
                   {u"--thumbnail"_s, u"1024"_s, page.path, output, u"--time-limit"_s, u"60"_s});
        ASSERT_TRUE(tool.waitForFinished(90000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        QImage thumb;
        ASSERT_TRUE(thumb.load(output, "PNG"));
        // At 1024 the thumbnail keeps the page's own pixels.
        ExpectShowsPage(ToPicture(thumb.convertToFormat(QImage::Format_RGB32)), page,
                        QSize(1024, 768), u"thumbnail %1"_s.arg(i).toStdString());
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_TRUE(busy.AllRunning()) << "the machine was not kept busy throughout";
}

} // namespace
} // namespace velmora::testing
