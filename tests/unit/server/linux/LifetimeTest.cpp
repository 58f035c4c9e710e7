// The driver module loaded, used and unloaded a thousand times: nothing may stay behind, neither
// memory nor an open file.
#include "server/LifetimeSession.h"

#include <dirent.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ORVEL_ASAN 1
#endif
#ifdef ORVEL_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // the sanitizer's allocator
extern "C" int __lsan_do_recoverable_leak_check();
#else
#include <malloc.h>
#endif

namespace {

using namespace lifetimetest;

std::size_t HeapInUse() {
#ifdef ORVEL_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::size_t OpenFiles() {
    std::size_t n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

// Whether a module of this file name is mapped into the process: the loader may forget a module
// it cannot unmap.
bool Mapped(const std::string& name) {
    return ReadFile("/proc/self/maps").find(name) != std::string::npos;
}

TEST(Lifetime, AThousandSessionsOfLoadCreateUseReleaseUnloadLeaveNothingBehind) {
    THost host;
    const std::string file = DriverFile();
    for (int i = 0; i < WarmUp; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager));
    const std::size_t heap = HeapInUse(), files = OpenFiles();
    for (int i = 0; i < Sessions; ++i) {
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager)) << "session " << i;
        ASSERT_FALSE(Mapped("liborvel27fr.so")) << "session " << i;
    }
    EXPECT_EQ(OpenFiles(), files);
#ifdef ORVEL_ASAN
    // The sanitizer adds an exit handler of its own for every static destructor a module
    // registers, and those stay (about 250 bytes a session here): unreachable memory is what
    // tells a leak, and growth stays well below what keeping a session's objects would take.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
    EXPECT_LT(HeapInUse(), heap + Sessions * 512) << "from " << heap;
#else
    // A leak of even one small allocation per session would show as 1000 of them.
    EXPECT_LT(HeapInUse(), heap + 16 * 1024) << "from " << heap;
#endif
    EXPECT_EQ(host.Manager.References(), 1u);
}

} // namespace
