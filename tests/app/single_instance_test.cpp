// A second start of the program: its path reaches the program running for
// the same folder, copies of other folders never meet, a socket file left by
// a crash does not stop the next start, and the main window opens what it
// is handed.
#include "app/main_window.h"
#include "app/single_instance.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/desktop_services.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>

using namespace velmora;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;
using Role = SingleInstance::Role;

namespace {

// A start of the program in another process: it blocks while it waits for
// the answer, so it runs on a thread of its own while this one answers.
Role ClaimElsewhere(const QString &key, const QString &path, int answerTimeout = 10000) {
    auto claim = std::async(std::launch::async, [key, path, answerTimeout] {
        SingleInstance second(key);
        second.SetAnswerTimeout(answerTimeout);
        return second.Claim(path);
    });
    const bool ended = QTest::qWaitFor(
        [&] { return claim.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        20000);
    EXPECT_TRUE(ended);
    return claim.get();
}

// A key no other test run uses at the same time.
QString TestKey(const QTemporaryDir &dir) {
    return SingleInstance::KeyFor(dir.path());
}

TEST(SingleInstance, TheKeyNamesTheFolderAndTheUser) {
    QTemporaryDir a;
    QTemporaryDir b;
    const QString key = SingleInstance::KeyFor(a.path());
    EXPECT_EQ(SingleInstance::KeyFor(a.path() + u'/'), key);
    EXPECT_EQ(SingleInstance::KeyFor(a.path() + u"/sub/.."_s), key);
    EXPECT_NE(SingleInstance::KeyFor(b.path()), key);
    // A link to the folder is the same program folder.
    const QString link = b.filePath(u"link"_s);
    ASSERT_TRUE(QFile::link(a.path(), link));
    EXPECT_EQ(SingleInstance::KeyFor(link), key);
    // A plain socket name, short enough for any temporary folder.
    EXPECT_FALSE(key.contains(u'/'));
    EXPECT_LT(key.size(), 60);
    EXPECT_TRUE(key.contains(u'-' + QString::number(::getuid()) + u'-'));
}

TEST(SingleInstance, ThePathIsTheLastOfOneOrTwoArgumentsMadeAbsolute) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(SingleInstance::PathFromArguments({u"site/index.htm"_s}),
              dir.filePath(u"site/index.htm"_s));
    EXPECT_EQ(SingleInstance::PathFromArguments({u"-x"_s, u"lists/a.lst"_s}),
              dir.filePath(u"lists/a.lst"_s));
    QDir::setCurrent(before);
    EXPECT_EQ(SingleInstance::PathFromArguments({u"/srv/web"_s}), u"/srv/web"_s);
    EXPECT_EQ(SingleInstance::PathFromArguments({}), QString());
    EXPECT_EQ(SingleInstance::PathFromArguments({u"a"_s, u"b"_s, u"c"_s}), QString());
}

TEST(SingleInstance, ASecondStartHandsItsPathToTheFirst) {
    QTemporaryDir dir;
    const QString key = TestKey(dir);
    SingleInstance first(key);
    ASSERT_EQ(first.Claim(u"/ignored/first.htm"_s), Role::First);
    QSignalSpy received(&first, &SingleInstance::PathReceived);

    const QString page = u"/srv/web/größe page.htm"_s;
    EXPECT_EQ(ClaimElsewhere(key, page), Role::HandedOver);
    ASSERT_TRUE(received.size() == 1 || received.wait(5000));
    EXPECT_EQ(received.takeFirst().value(0).toString(), page);

    // Without a path the first only comes to the front; the next start is
    // answered as well.
    EXPECT_EQ(ClaimElsewhere(key, QString()), Role::HandedOver);
    ASSERT_TRUE(received.size() == 1 || received.wait(5000));
    EXPECT_EQ(received.takeFirst().value(0).toString(), QString());
}

TEST(SingleInstance, CopiesInOtherFoldersDoNotMeet) {
    QTemporaryDir a;
    QTemporaryDir b;
    SingleInstance first(TestKey(a));
    ASSERT_EQ(first.Claim({}), Role::First);
    QSignalSpy received(&first, &SingleInstance::PathReceived);
    SingleInstance other(TestKey(b));
    EXPECT_EQ(other.Claim(u"/srv/page.htm"_s), Role::First);
    QTest::qWait(50);
    EXPECT_TRUE(received.isEmpty());
}

// What a program that crashed leaves behind: a socket file in the temporary
// folder that no one listens on.
bool LeaveDeadSocket(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

TEST(SingleInstance, ASocketFileLeftByACrashIsTakenOver) {
    QTemporaryDir dir;
    const QString key = TestKey(dir);
    const QString socketFile = QDir::tempPath() + u'/' + key;
    ASSERT_TRUE(LeaveDeadSocket(socketFile));
    ASSERT_TRUE(QFileInfo::exists(socketFile));

    SingleInstance first(key);
    ASSERT_EQ(first.Claim({}), Role::First);
    QSignalSpy received(&first, &SingleInstance::PathReceived);
    EXPECT_EQ(ClaimElsewhere(key, u"/srv/a.htm"_s), Role::HandedOver);
    ASSERT_TRUE(received.size() == 1 || received.wait(5000));
    EXPECT_EQ(received.takeFirst().value(0).toString(), u"/srv/a.htm"_s);
}

// A program that takes the connection but never answers (hung, stopped) is
// not waited for without end: the start goes on alone, and leaves the
// other's socket in place.
TEST(SingleInstance, AProgramThatNeverAnswersIsNotWaitedFor) {
    QTemporaryDir dir;
    const QString key = TestKey(dir);
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(key));
    SingleInstance second(key);
    second.SetAnswerTimeout(300);
    EXPECT_EQ(second.Claim(u"/srv/a.htm"_s), Role::Alone);
    EXPECT_TRUE(silent.isListening());
    EXPECT_TRUE(QFileInfo::exists(silent.fullServerName()));
}

// ---- the main window's side -------------------------------------------------

class NoDesktop final : public DesktopServices {
public:
    bool OpenUrl(const QUrl &) override { return true; }
    bool StartDetached(const QString &, const QStringList &) override { return true; }
};

class HandedOverPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = std::make_unique<Program>(ProgramFolders::At(dir.path()), prompts);
        program->Start(QSize(1000, 800));
        MainWindowServices services{*program, prompts, prompts, desktop};
        services.arguments = QStringList{};
        services.runDialog = [](QDialog &) { return int(QDialog::Rejected); };
        window = std::make_unique<TForm1>(services);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QString Current() const {
        auto *list = window->findChild<QAbstractItemView *>(u"LBFile"_s);
        return list->currentIndex().data().toString();
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    NoDesktop desktop;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> window;
};

TEST_F(HandedOverPathTest, APageAFolderAndAListFileOpenAsOnTheCommandLine) {
    const QString site = dir.filePath(u"site/"_s);
    WriteBytes(site + u"a.htm"_s, "<p>a");
    WriteBytes(site + u"b.htm"_s, "<p>b");
    WriteBytes(dir.filePath(u"other/c.htm"_s), "<p>c");
    WriteBytes(site + u"notes.txt"_s, "text");

    window->Start().OpenHandedOverPath(site + u"b.htm"_s);
    EXPECT_EQ(window->Context().Folder(), site);
    EXPECT_EQ(Current(), u"b.htm"_s);
    EXPECT_EQ(window->Pages()->currentIndex(), TForm1::TabFile);
    // Selected and so previewed, as the page of a first start is.
    EXPECT_EQ(window->Selection().SelectedFiles(), QStringList{site + u"b.htm"_s});

    window->Start().OpenHandedOverPath(dir.filePath(u"other"_s));
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));

    // Files the command line does not take change nothing.
    window->Start().OpenHandedOverPath(site + u"notes.txt"_s);
    window->Start().OpenHandedOverPath(site + u"gone.htm"_s);
    window->Start().OpenHandedOverPath(QString());
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"other/"_s));

    const QString list = dir.filePath(u"elsewhere/old.lst"_s);
    WriteBytes(list, (site + u"*a*.htm*4*2000-01-01  10:00\r\n"_s).toUtf8());
    window->Start().OpenHandedOverPath(list);
    EXPECT_EQ(window->Pages()->currentIndex(), TForm1::TabTree);
    EXPECT_EQ(window->ListsPage()->CurrentList().Name, list);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// A question or the options of a command are open: the view under them stays
// as it is, and the open window comes to the front instead.
TEST_F(HandedOverPathTest, AnOpenModalWindowKeepsTheViewUnderIt) {
    WriteBytes(dir.filePath(u"site/a.htm"_s), "<p>a");
    const QString before = window->Context().Folder();
    QDialog question(window.get());
    question.setWindowModality(Qt::ApplicationModal);
    question.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &question);
    window->Start().OpenHandedOverPath(dir.filePath(u"site/a.htm"_s));
    EXPECT_EQ(window->Context().Folder(), before);
    question.close();
    window->Start().OpenHandedOverPath(dir.filePath(u"site/a.htm"_s));
    EXPECT_EQ(window->Context().Folder(), dir.filePath(u"site/"_s));
}

TEST_F(HandedOverPathTest, AMinimizedWindowComesBack) {
    window->showMinimized();
    QTest::qWait(20);
    window->Start().OpenHandedOverPath(QString());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
