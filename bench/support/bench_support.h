#pragma once
// Helpers shared by the benchmark programs.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <functional>

namespace velmora::bench {

// Runs the event loop until done() holds; false when limitMs passed first.
inline bool RunEventsUntil(const std::function<bool()> &done, qint64 limitMs) {
    QElapsedTimer limit;
    limit.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (limit.elapsed() > limitMs)
            return false;
    }
    return true;
}

// Writes count small pages page0.htm, page1.htm, ... into folder, page n on
// the background colour backgroundOf(n) (0xRRGGBB), and gives their paths.
inline QStringList WriteColouredPages(const QString &folder, int count,
                                      const std::function<int(int)> &backgroundOf) {
    QStringList pages;
    for (int n = 0; n < count; ++n) {
        const QString path = QDir(folder).filePath(QStringLiteral("page%1.htm").arg(n));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QStringLiteral("<body style='background:#%1'><h1>Page %2</h1><p>Text</p>")
                           .arg(QString::number(backgroundOf(n), 16))
                           .arg(n)
                           .toUtf8());
        pages << path;
    }
    return pages;
}

} // namespace velmora::bench
