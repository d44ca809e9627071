// The resident memory of a process, as the page views read it for their cap.

#include "render/process_memory.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <vector>

namespace velmora::testing {
namespace {

constexpr qint64 kMB = 1024 * 1024;

TEST(ProcessMemoryTest, ReadsTheResidentSetOfAProcess) {
    EXPECT_EQ(ResidentBytes(0), -1);
    EXPECT_EQ(ResidentBytes(-3), -1);
    EXPECT_EQ(ResidentBytes(0x7ffffff0), -1); // above the kernel's largest process id
    const qint64 pid = QCoreApplication::applicationPid();
    const qint64 before = ResidentBytes(pid);
    ASSERT_GT(before, 1 * kMB);
    // 200 MB, every byte written, so all of it is resident.
    std::vector<char> block(200 * kMB, 1);
    const qint64 after = ResidentBytes(pid);
    EXPECT_GT(after - before, 190 * kMB) << before << " -> " << after;
    EXPECT_LT(after - before, 260 * kMB) << before << " -> " << after;
    EXPECT_EQ(block[block.size() / 2], 1);
}

} // namespace
} // namespace velmora::testing
