#pragma once
// The main window of the tests of runs that render with worker processes of
// the thumbnail program (Make Thumbs, the batch snapshot export): a window
// whose browser has display settings no worker has by default, and pages
// that differ in colour and text, so that a worker rendering without the
// window's settings gives other pictures.

#include "app/main_window.h"
#include "app/preview_pane.h"
#include "main_window_fixture.h"
#include "recording_progress.h"
#include "render/page_view.h"
#include "render/render_profile.h"

#include <QDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace velmora::testing {

class WorkerWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("site"))); }

    // A window whose runs start their workers as `workers` (empty: every
    // page in the window's own engine), its browser's font at fontSize.
    void OpenWindow(const QString &workers, int fontSize) {
        window.reset();
        progress = {};
        MainWindowServices services = Services(&profile);
        services.thumbWorkers = workers;
        services.progressWindows = [this]() -> std::unique_ptr<ProgressWindow> {
            return std::make_unique<RecordingProgress>(progress);
        };
        window = MakeWindow(services);
        // The pages without colours of their own take these.
        DisplaySettings display;
        display.backgroundColor = 0x30E0F0; // $00BBGGRR: a yellow
        display.fontColor = 0x800000;       // a dark blue
        display.fontSize = fontSize;
        window->Preview().Browser()->SetDisplay(display);
    }

    // count pages p00.htm, p01.htm, ... in the site folder: every other one
    // has a background colour of its own, the rest take the browser's; each
    // has its number in a heading and body of its own.
    QStringList WritePages(int count, const std::function<QByteArray(int)> &body) {
        QStringList pages;
        for (int n = 0; n < count; ++n) {
            const QByteArray style =
                n % 2
                    ? "style='background:#" + QByteArray::number(0x204060 + n * 0x0a0b0c, 16) + "'"
                    : QByteArray();
            pages << WriteSite(QStringLiteral("p%1.htm").arg(n, 2, 10, QChar(u'0')),
                               "<body " + style + "><h1>Page " + QByteArray::number(n) + "</h1>" +
                                   body(n));
        }
        return pages;
    }

    // The progress texts of a run over pages: each counted once, in order.
    static QStringList TextsOf(const QStringList &pages) {
        QStringList texts;
        for (int i = 0; i < pages.size(); ++i)
            texts << QStringLiteral("(%1 of %2): %3").arg(i + 1).arg(pages.size()).arg(pages[i]);
        return texts;
    }

    using Files = std::map<QString, QByteArray>; // name: bytes

    // The run with workers made the count files the window's own run made,
    // byte for byte.
    static void ExpectSameFiles(const Files &parallel, const Files &sequential, size_t count) {
        ASSERT_EQ(sequential.size(), count);
        ASSERT_EQ(parallel.size(), sequential.size());
        for (const auto &[name, bytes] : sequential) {
            ASSERT_TRUE(parallel.count(name)) << name.toStdString();
            EXPECT_TRUE(parallel.at(name) == bytes) << name.toStdString() << " differs";
        }
    }

    RenderProfile profile;
    ProgressLog progress;
};

} // namespace velmora::testing
