#include "app/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

TEST(CommandLine, TakesTheLastOfOneOrTwoArguments) {
    QTemporaryDir dir;
    for (const char *name : {"page.html", "page.txt", "page.shtml", "pic.GIF"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString html = dir.filePath(u"page.html"_s);
    EXPECT_EQ(ReadCommandLine({html}), html);
    EXPECT_EQ(ReadCommandLine({u"--switch"_s, html}), html);
    EXPECT_EQ(ReadCommandLine({html, html, html}), u""_s);
    EXPECT_EQ(ReadCommandLine({}), u""_s);
    EXPECT_EQ(ReadCommandLine({dir.filePath(u"page.txt"_s)}), u""_s);
    EXPECT_EQ(ReadCommandLine({dir.filePath(u"page.shtml"_s)}), dir.filePath(u"page.shtml"_s));
    EXPECT_EQ(ReadCommandLine({dir.filePath(u"pic.GIF"_s)}), dir.filePath(u"pic.GIF"_s));
    EXPECT_EQ(ReadCommandLine({dir.filePath(u"missing.htm"_s)}), u""_s);
    EXPECT_EQ(ReadCommandLine({dir.path()}), u""_s);

    // A page named relative to the working folder is made absolute.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(ReadCommandLine({u"page.html"_s}), html);
    QDir::setCurrent(before);
}
