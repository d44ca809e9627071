// A stand-in fuzz target for checking the replay driver: it reports what it
// receives and misbehaves on purpose when an input is one of the markers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

int g_initialized = 0;

// Recurses until the stack runs out: the frame array keeps the compiler from
// turning the recursion into a loop, and the depth that would end it is never
// reached.
volatile int g_bottom = -1;
int Deep(int depth) {
    if (depth == g_bottom)
        return 0;
    volatile char frame[256];
    frame[0] = char(depth);
    return Deep(depth + 1) + frame[0];
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    ++g_initialized;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::printf("target got %zu bytes, initialized %d\n", size, g_initialized);
    if (input == "trap")
        __builtin_trap();
    if (input == "abort")
        std::abort();
    if (input == "segv") {
        int *volatile nowhere = nullptr; // volatile: a real fault, not a compiled-in trap
        *nowhere = 1;
    }
    if (input == "deep")
        return Deep(0);
    if (input == "two")
        return 2;
    if (input == "reject")
        return -1;
    return 0;
}
