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

// A list file on the command line is taken by the same rules, and never as
// the page to jump to.
TEST(CommandLine, TakesAListFileApartFromThePage) {
    QTemporaryDir dir;
    for (const char *name : {"mine.lst", "OLD.LST", "page.htm"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.lst"_s));
    const QString list = dir.filePath(u"mine.lst"_s);
    EXPECT_EQ(ReadCommandListFile({list}), list);
    EXPECT_EQ(ReadCommandListFile({u"--switch"_s, list}), list);
    EXPECT_EQ(ReadCommandListFile({dir.filePath(u"OLD.LST"_s)}), dir.filePath(u"OLD.LST"_s));
    EXPECT_EQ(ReadCommandListFile({list, list, list}), u""_s);
    EXPECT_EQ(ReadCommandListFile({dir.filePath(u"missing.lst"_s)}), u""_s);
    EXPECT_EQ(ReadCommandListFile({dir.filePath(u"folder.lst"_s)}), u""_s);
    EXPECT_EQ(ReadCommandListFile({dir.filePath(u"page.htm"_s)}), u""_s);
    EXPECT_EQ(ReadCommandLine({list}), u""_s);
    EXPECT_FALSE(IsListFileName(dir.filePath(u".lst"_s)));
    EXPECT_FALSE(IsListFileName(u"notes.lst.txt"_s));
}

// --help and --version are answered from the arguments alone, before any
// window exists; anything else leaves the start-up to the program.
TEST(CommandLine, AnswersHelpAndVersionFromTheArgumentsAlone) {
    const QString version = HelpOrVersionText({u"--version"_s});
    EXPECT_EQ(version, u"velmora "_s + QLatin1StringView(ProgramVersion()) + u"\n"_s);
    EXPECT_FALSE(QString::fromLatin1(ProgramVersion()).isEmpty());

    const QString help = HelpOrVersionText({u"-h"_s});
    EXPECT_TRUE(help.startsWith(u"Usage: velmora [PAGE | LIST]\n"_s)) << help.toStdString();
    EXPECT_TRUE(help.contains(u"--version"_s));
    EXPECT_EQ(HelpOrVersionText({u"page.htm"_s, u"--help"_s}), help);
    // Help wins over the version, as with most commands.
    EXPECT_EQ(HelpOrVersionText({u"--version"_s, u"--help"_s}), help);

    EXPECT_EQ(HelpOrVersionText({}), u""_s);
    EXPECT_EQ(HelpOrVersionText({u"page.htm"_s}), u""_s);
    EXPECT_EQ(HelpOrVersionText({u"--versions"_s, u"-help"_s}), u""_s);
    // After "--" a file may have any name.
    EXPECT_EQ(HelpOrVersionText({u"--"_s, u"--version"_s}), u""_s);
    EXPECT_EQ(HelpOrVersionText({u"--version"_s, u"--"_s}), version);
}
