// Counts blank or wrong thumbnails: for every manifest line "page r g b" the
// centre of the page's thumbnail must show the page's block colour.
// usage: thumb_check THUMBDIR MANIFEST
#include "thumbs/thumbnail_names.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: thumb_check THUMBDIR MANIFEST\n");
        return 2;
    }
    QFile manifest(QString::fromLocal8Bit(argv[2]));
    if (!manifest.open(QIODevice::ReadOnly))
        return 2;
    const QString thumbDir = QString::fromLocal8Bit(argv[1]);
    int checked = 0, bad = 0;
    QTextStream in(&manifest);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u' ');
        if (f.size() != 4)
            continue;
        const QFileInfo page(f[0]);
        const QImage thumb(velmora::ThumbFileName(thumbDir, page.absolutePath(), page.fileName()));
        ++checked;
        const QColor c = thumb.isNull() ? QColor(Qt::white) : thumb.pixelColor(65, 70);
        const int d = std::abs(c.red() - f[1].toInt()) + std::abs(c.green() - f[2].toInt()) +
                      std::abs(c.blue() - f[3].toInt());
        if (thumb.size() != QSize(130, 100) || d > 60) {
            ++bad;
            std::printf("bad: %s (%s)\n", qPrintable(f[0]), qPrintable(c.name()));
        }
    }
    std::printf("checked %d thumbnails, %d blank or wrong\n", checked, bad);
    return bad == 0 ? 0 : 1;
}
