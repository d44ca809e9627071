#pragma once
// Shared by the page view tests: a profile, pages written into a temporary
// folder, and small picture checks.

#include "render/page_view.h"
#include "render/render_profile.h"
#include "temp_files.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {

// A script that fills memory without end, 64 MB at a time, touching every
// byte so that it is really held. It stops taking more at 1.5 GB and then
// never returns, so that a view without a working cap meets its time limit
// instead of the machine's memory.
inline QByteArray FillMemoryScript() {
    return "const kept = [];"
           "while (kept.length < 24) kept.push(new Uint8Array(64 << 20).fill(1));"
           "while (true) {}";
}

class PageFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Write(const QString &name, const QByteArray &content) {
        const QString path = dir.filePath(name);
        WriteBytes(path, content);
        return path;
    }

    // A view of the given size, made as the program makes one.
    std::unique_ptr<PageView> MakeView(int width, int height, ViewOptions options = {}) {
        auto view = std::make_unique<PageView>(profile, options);
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(width, height);
        view->show();
        return view;
    }

    // A small PNG of one colour.
    QByteArray Png(int width, int height, QColor colour) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return data;
    }

    static int CountPixels(const QImage &image, QColor colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    }

    QTemporaryDir dir;
    RenderProfile profile;
};

} // namespace velmora::testing
