// The driver module loaded, used and unloaded a thousand times by a Windows host: nothing may stay
// behind, neither a handle (a thread's, an event, a file of the printer library) nor a
// thread-local storage slot nor memory.
#include "server/LifetimeSession.h"

#include <psapi.h>

#include <vector>

namespace {

using namespace lifetimetest;

// The process's handles as the system counts them, or, where it does not (Wine answers 0), the
// value of a new handle: handles are numbered from the lowest free one, so every handle left
// open pushes it up by a step of 4.
std::size_t Handles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return count;
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    return reinterpret_cast<std::uintptr_t>(probe) / 4;
}

// Thread-local storage slots still free: a module that takes one at each load runs out after
// about a thousand loads, and the next one aborts the process.
std::size_t FreeTlsSlots() {
    std::vector<DWORD> taken;
    for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;)
        taken.push_back(slot);
    for (DWORD slot : taken)
        TlsFree(slot);
    return taken.size();
}

// The bytes of the process's heaps in use.
std::size_t HeapInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t used = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heap);
    }
    return used;
}

// Private bytes (commit charge where the system does not count them apart) and working set.
std::pair<std::size_t, std::size_t> Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    EXPECT_TRUE(K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                        sizeof counters));
    return {counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage, counters.WorkingSetSize};
}

TEST(Lifetime, AThousandSessionsOfLoadCreateUseReleaseUnloadLeaveNothingBehind) {
    THost host;
    const std::string file = DriverFile();
    for (int i = 0; i < WarmUp; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager));
    const std::size_t handles = Handles(), slots = FreeTlsSlots(), heap = HeapInUse();
    const auto [privateBytes, workingSet] = Memory();
    const DWORD started = GetTickCount();
    for (int i = 0; i < Sessions; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager)) << "session " << i;
    const DWORD took = GetTickCount() - started;
    const auto [privateAfter, workingSetAfter] = Memory();
    const std::size_t heapAfter = HeapInUse();
    std::printf("lifetime: %d sessions, %lu ms each; handles %zu -> %zu; free TLS slots %zu -> %zu; heap in use %zu "
                "-> %zu; private bytes %zu -> %zu; working set %zu -> %zu\n",
                Sessions, static_cast<unsigned long>(took / Sessions), handles, Handles(), slots, FreeTlsSlots(), heap,
                heapAfter, privateBytes, privateAfter, workingSet, workingSetAfter);
    // One handle or slot kept per session would show as a thousand.
    EXPECT_LE(Handles(), handles + 4);
    EXPECT_GE(FreeTlsSlots() + 4, slots);
    // The thread library keeps the record of the thread that used a module (about half a
    // kilobyte) in a pool of its own that it never frees: about 1 KB a session for the driver and
    // the printer library. Anything a session's objects or the runtime's reserves would leave is
    // far more (the runtime's reserve for exceptions alone is 73 KB).
    EXPECT_LT(heapAfter, heap + Sessions * 1536) << "from " << heap;
    // Wine's loader commits about 4 KB for every load of a module, and the working set follows.
    EXPECT_LT(privateAfter, privateBytes + Sessions * 8192) << "from " << privateBytes;
    EXPECT_LT(workingSetAfter, workingSet + Sessions * 8192) << "from " << workingSet;
    EXPECT_EQ(host.Manager.References(), 1u);
}

} // namespace
