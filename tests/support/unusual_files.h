#pragma once
// Files that are not regular files, made inside a test's own folder: FIFOs,
// character devices (the zero and null devices, made with mknod, which needs
// root; a FIFO stands in otherwise), and a guard for code that might hang on
// them.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmora::testing {

inline void MakeFifo(const QString &path) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

inline bool CanMakeDevices() {
    return ::geteuid() == 0;
}

// The zero device (reads never end) when the test runs as root, else a FIFO
// (reads never begin): either hangs a reader that does not look first.
inline void MakeEndlessDevice(const QString &path) {
    if (!CanMakeDevices())
        return MakeFifo(path);
    ASSERT_EQ(::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)), 0)
        << path.toStdString();
}

inline bool IsCharacterDeviceOrFifo(const QString &path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 &&
           (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode));
}

// Runs work on a thread of its own and waits at most the given time. A hung
// call is left behind (its thread blocked for good) and reported as false, so
// the test fails instead of hanging.
inline bool FinishesWithin(std::chrono::seconds limit, std::function<void()> work) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto shared = std::make_shared<std::function<void()>>(std::move(work));
    std::thread worker([done, shared] {
        (*shared)();
        *done = true;
    });
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!*done && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (*done) {
        worker.join();
        return true;
    }
    worker.detach();
    return false;
}

} // namespace velmora::testing
