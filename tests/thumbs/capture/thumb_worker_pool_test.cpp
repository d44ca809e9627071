// The worker pool behind Make Thumbs and the batch snapshot export, driven
// with small stand-in workers (shell scripts speaking the workers' protocol)
// so that a worker that crashes or never starts can be had on demand. Every
// page must be accounted for exactly once, in page order, and the run must
// end.

#include "temp_files.h"
#include "thumbs/capture/thumb_workers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class ThumbWorkerPoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A worker that answers "ok" for every page, and ends (as a crashed
    // engine would) on a page whose name holds "crash".
    QStringList CrashingWorker() {
        return {u"-c"_s, u"while IFS= read -r -d '' page; do"
                         u"  case \"$page\" in *crash*) exit 3;; esac;"
                         u"  printf 'ok\\n';"
                         u"done"_s};
    }

    static QStringList Pages(const QStringList &names) {
        QStringList pages;
        for (const QString &name : names)
            pages << u"/site/"_s + name;
        return pages;
    }

    struct Reported {
        std::vector<int> order;
        QStringList failed;
        QStringList errors;
    };

    Reported Run(const QString &program, const QStringList &arguments, int jobs,
                 const QStringList &pages, BatchSummary *summary) {
        Reported reported;
        *summary = RunThumbWorkers(
            program, arguments, jobs, pages,
            [&](int index, int count, const BatchPageResult &result) {
                EXPECT_EQ(count, pages.size());
                EXPECT_EQ(result.page, pages.at(index));
                reported.order.push_back(index);
                if (!result.ok) {
                    reported.failed << result.page;
                    reported.errors << result.error;
                }
            },
            [] { return false; });
        return reported;
    }

    static std::vector<int> Upto(int count) {
        std::vector<int> all(count);
        for (int i = 0; i < count; ++i)
            all[i] = i;
        return all;
    }

    QTemporaryDir dir;
};

TEST_F(ThumbWorkerPoolTest, AWorkerThatCrashesFailsItsPageAndTheOthersAreStillMade) {
    const QStringList pages =
        Pages({u"a"_s, u"b"_s, u"crash-c"_s, u"d"_s, u"e"_s, u"crash-f"_s, u"g"_s, u"h"_s});
    for (const int jobs : {1, 2, 3}) {
        SCOPED_TRACE(jobs);
        BatchSummary summary;
        const Reported reported = Run(u"/bin/bash"_s, CrashingWorker(), jobs, pages, &summary);
        EXPECT_EQ(reported.order, Upto(pages.size()));
        EXPECT_EQ(reported.failed, Pages({u"crash-c"_s, u"crash-f"_s}));
        EXPECT_EQ(summary.done, pages.size());
        EXPECT_EQ(summary.failed, 2);
        EXPECT_FALSE(summary.stopped);
    }
}

TEST_F(ThumbWorkerPoolTest, WorkersThatCannotBeStartedFailEveryPageAndTheRunEnds) {
    const QString missing = dir.filePath(u"no-such-worker"_s);
    const QString notExecutable = dir.filePath(u"not-executable"_s);
    WriteBytes(notExecutable, "#!/bin/sh\nexit 0\n");
    const QStringList pages = Pages({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
    for (const QString &program : {missing, notExecutable}) {
        for (const int jobs : {1, 2}) {
            SCOPED_TRACE(program.toStdString() + " jobs " + std::to_string(jobs));
            BatchSummary summary;
            const Reported reported = Run(program, {}, jobs, pages, &summary);
            EXPECT_EQ(reported.order, Upto(pages.size()));
            EXPECT_EQ(reported.failed, pages);
            ASSERT_FALSE(reported.errors.isEmpty());
            EXPECT_FALSE(reported.errors.first().isEmpty());
            EXPECT_EQ(summary.done, pages.size());
            EXPECT_EQ(summary.failed, pages.size());
        }
    }
}

} // namespace
} // namespace velmora::testing
