#pragma once
// Shared by the capture and thumbnail maker tests: an engine profile, an
// internal browser view, a capture object and pages written into a temporary
// folder.

#include "render/page_view.h"
#include "render/render_profile.h"
#include "temp_files.h"
#include "thumbs/capture/page_capture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmora::testing {

// A page whose script fills memory without end, 64 MB at a time and every
// byte touched. It stops taking more at 1.5 GB and then never returns, so
// that without a working cap it meets the time limit instead of the
// machine's memory.
inline QByteArray FillingMemoryPage() {
    return "<body>fill<script>const kept = [];"
           "while (kept.length < 24) kept.push(new Uint8Array(64 << 20).fill(1));"
           "while (true) {}</script></body>";
}

class CaptureFixture : public ::testing::Test {
protected:
    CaptureFixture() : browser(profile, BrowserOptions()), capture(profile, &browser) {}

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    static ViewOptions BrowserOptions() {
        ViewOptions options;
        options.historyLength = 10;
        return options;
    }

    QString Write(const QString &name, const QByteArray &content) {
        const QString path = dir.filePath(name);
        WriteBytes(path, content);
        return path;
    }

    // A page of one background colour with a block at a known place.
    QString BlockPage(const QString &name, const char *background, const char *block) {
        return Write(name, QByteArray("<html><body style='margin:0;background:") + background +
                               "'><div style='position:absolute;left:200px;top:100px;"
                               "width:60px;height:40px;background:" +
                               block + "'></div></body></html>");
    }

    QTemporaryDir dir;
    RenderProfile profile;
    PageView browser;
    PageCapture capture;
};

} // namespace velmora::testing
