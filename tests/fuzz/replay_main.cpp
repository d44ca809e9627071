// A main for a fuzz target outside libFuzzer: feeds every file named on the
// command line (folders are read recursively, in name order) once to
// LLVMFuzzerTestOneInput and stops at the first input the target rejects by
// crashing. Each input's name is printed before it runs, and a signal handler
// names it again on the way down, so a red test says which file broke it.
//
//   <target>_replay [file or folder]...
//
// Exit status: 0 when every input ran, 1 when the target returned something
// other than 0 or -1, 2 for a usage or read error (including no inputs at
// all); a crash ends the process by its signal as it would without the driver.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
// Optional, as with libFuzzer: a target that needs set-up before its first
// input defines it, the others leave this null.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

namespace fs = std::filesystem;

// The input being replayed, for the signal handler. Points into a string that
// lives until the input has returned.
const char *volatile g_current = nullptr;

constexpr int kCrashSignals[] = {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV};
struct sigaction g_previous[std::size(kCrashSignals)];

void WriteErr(const char *text) {
    std::size_t n = 0;
    while (text[n] != '\0')
        ++n;
    while (n > 0) {
        const ssize_t written = write(STDERR_FILENO, text, n);
        if (written <= 0)
            return;
        text += written;
        n -= std::size_t(written);
    }
}

const char *SignalName(int sig) {
    switch (sig) {
    case SIGABRT:
        return "SIGABRT";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGSEGV:
        return "SIGSEGV";
    }
    return "a signal";
}

// Names the input, then puts back the handler that was there before (the
// default, or a sanitizer's, which then prints its report) and returns: a
// fault runs again into that handler, and abort() raises its signal again.
void OnCrash(int sig) {
    WriteErr("\n*** ");
    WriteErr(SignalName(sig));
    WriteErr(" while replaying ");
    const char *current = g_current;
    WriteErr(current ? current : "(no input)");
    WriteErr("\n");
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i)
        if (kCrashSignals[i] == sig)
            sigaction(sig, &g_previous[i], nullptr);
}

void InstallCrashHandlers() {
    // Own stack for the handler, so that a stack overflow in the target is
    // still named; a stack that a sanitizer set up already is kept.
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        static std::vector<char> altStack(std::size_t(1) << 16);
        stack_t ours{};
        ours.ss_sp = altStack.data();
        ours.ss_size = altStack.size();
        sigaltstack(&ours, nullptr);
    }
    struct sigaction action {};
    action.sa_handler = OnCrash;
    action.sa_flags = SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCrashSignals); ++i)
        sigaction(kCrashSignals[i], &action, &g_previous[i]);
}

// Adds path (a file, or every file below a folder in name order) to inputs.
bool Collect(const fs::path &path, std::vector<fs::path> &inputs) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        std::vector<fs::path> found;
        for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
             it.increment(error))
            if (it->is_regular_file(error))
                found.push_back(it->path());
        if (error) {
            std::fprintf(stderr, "replay: cannot read folder %s: %s\n", path.c_str(),
                         error.message().c_str());
            return false;
        }
        std::sort(found.begin(), found.end());
        inputs.insert(inputs.end(), found.begin(), found.end());
        return true;
    }
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return true;
    }
    std::fprintf(stderr, "replay: no such file or folder: %s\n", path.c_str());
    return false;
}

// The whole file in a buffer of exactly its size, so that a sanitizer sees a
// read past the end of the input.
bool ReadInput(const fs::path &path, std::unique_ptr<std::uint8_t[]> &data, std::size_t &size) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        return false;
    }
    size = bytes.size();
    data.reset(new std::uint8_t[size]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    return true;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: %s [file or folder]...\n", argv[0]);
            return 2;
        }
        if (!Collect(argv[i], inputs))
            return 2;
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs to replay\n");
        return 2;
    }

    InstallCrashHandlers();
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::duration slowest{};
    std::string slowestName;
    std::size_t totalBytes = 0;
    for (const fs::path &path : inputs) {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t size = 0;
        if (!ReadInput(path, data, size))
            return 2;
        const std::string name = path.string();
        std::printf("replay %s (%zu bytes)\n", name.c_str(), size);
        std::fflush(stdout);

        g_current = name.c_str();
        const Clock::time_point before = Clock::now();
        const int result = LLVMFuzzerTestOneInput(data.get(), size);
        const Clock::duration took = Clock::now() - before;
        g_current = nullptr;

        if (result != 0 && result != -1) {
            std::fprintf(stderr, "replay: %s returned %d (only 0 and -1 are allowed)\n",
                         name.c_str(), result);
            return 1;
        }
        if (took > slowest) {
            slowest = took;
            slowestName = name;
        }
        totalBytes += size;
    }
    const auto ms = [](Clock::duration d) {
        return (long long)std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    std::printf("replayed %zu inputs (%zu bytes) in %lld ms; slowest %s (%lld ms)\n", inputs.size(),
                totalBytes, ms(Clock::now() - start), slowestName.c_str(), ms(slowest));
    return 0;
}
