// The driver module loaded, used and unloaded a thousand times by a Windows host: nothing may stay
// behind, neither a handle (a thread's, an event, a file of the printer library) nor a
// thread-local storage slot nor a heap block, but what the thread library linked into each module
// keeps of every load, measured apart on a probe module.
#include "server/LifetimeSession.h"

#include <psapi.h>

#include <algorithm>
#include <map>
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

// The blocks in use in the process's heaps, taken into room reserved beforehand: taking them
// allocates nothing, so the picture holds only what the code under test left.
struct THeapBlocks {
    std::vector<std::pair<const void*, std::size_t>> Blocks; // address, size; sorted
    bool Complete = true;

    explicit THeapBlocks(std::size_t Room) { Blocks.reserve(Room); }
    void Take() {
        std::vector<HANDLE> heaps(64);
        heaps.resize(std::min<std::size_t>(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()), 64));
        Blocks.clear();
        for (HANDLE heap : heaps) {
            if (!HeapLock(heap))
                continue;
            PROCESS_HEAP_ENTRY entry{};
            while (HeapWalk(heap, &entry))
                if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && (Complete = Blocks.size() < Blocks.capacity()))
                    Blocks.emplace_back(entry.lpData, entry.cbData);
            HeapUnlock(heap);
        }
        std::sort(Blocks.begin(), Blocks.end());
    }
    std::size_t Bytes() const {
        std::size_t bytes = 0;
        for (const auto& block : Blocks)
            bytes += block.second;
        return bytes;
    }
    // The blocks here that were not in Before, counted by size.
    std::map<std::size_t, std::size_t> AddedSince(const THeapBlocks& Before) const {
        std::map<std::size_t, std::size_t> added;
        for (const auto& block : Blocks)
            if (!std::binary_search(Before.Blocks.begin(), Before.Blocks.end(), block))
                ++added[block.second];
        return added;
    }
};

// What the thread library keeps of every load of a module that used it on this thread (its
// record of the thread, in a pool it never frees), by block size: measured on a module that
// does only that.
std::map<std::size_t, std::size_t> ThreadLibraryKeepsPerLoad() {
    const std::string file = platform::ModuleFolder(nullptr) + "orvel_thread_probe.dll";
    const auto load = [&] {
        HMODULE module = LoadLibraryA(file.c_str());
        EXPECT_NE(module, nullptr) << file;
        if (!module)
            return;
        const auto probe = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "ProbeThreadRecord")));
        EXPECT_TRUE(probe && probe());
        FreeLibrary(module);
    };
    constexpr std::size_t Loads = 50;
    for (int i = 0; i < 5; ++i)
        load();
    THeapBlocks before(1 << 16), after(1 << 16);
    before.Take();
    for (std::size_t i = 0; i < Loads; ++i)
        load();
    after.Take();
    // Blocks made once (a cache reached for the first time) are not kept per load.
    std::map<std::size_t, std::size_t> perLoad;
    for (const auto& [size, count] : after.AddedSince(before))
        if (count >= Loads)
            perLoad[size] = count / Loads;
    return perLoad;
}

// Private bytes (commit charge where the system does not count them apart) and working set.
std::pair<std::size_t, std::size_t> Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    EXPECT_TRUE(K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                        sizeof counters));
    return {counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage, counters.WorkingSetSize};
}

TEST(Lifetime, AThousandSessionsOfLoadCreateUseReleaseUnloadLeaveNothingBehind) {
    const std::map<std::size_t, std::size_t> threadLibrary = ThreadLibraryKeepsPerLoad();
    EXPECT_FALSE(threadLibrary.empty()) << "the probe shows nothing kept: the allowance below would be none";
    THost host;
    const std::string file = DriverFile();
    for (int i = 0; i < WarmUp; ++i)
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager));
    // The heap is pictured before the sessions, half way and after: a cache first reached in the
    // first half is made once, so the second half must add nothing but the thread library's.
    THeapBlocks heapBefore(1 << 18), heapHalfWay(1 << 18), heapAfter(1 << 18);
    heapBefore.Take();
    const std::size_t handles = Handles(), slots = FreeTlsSlots(), heap = heapBefore.Bytes();
    const auto [privateBytes, workingSet] = Memory();
    const DWORD started = GetTickCount();
    for (int i = 0; i < Sessions; ++i) {
        if (i == Sessions / 2)
            heapHalfWay.Take();
        ASSERT_NO_FATAL_FAILURE(Session(file, host.Manager)) << "session " << i;
    }
    const DWORD took = GetTickCount() - started;
    const auto [privateAfter, workingSetAfter] = Memory();
    heapAfter.Take();
    ASSERT_TRUE(heapBefore.Complete && heapHalfWay.Complete && heapAfter.Complete) << "more heap blocks than room";
    std::printf("lifetime: %d sessions, %lu ms each; handles %zu -> %zu; free TLS slots %zu -> %zu; heap in use %zu "
                "-> %zu; private bytes %zu -> %zu; working set %zu -> %zu\n",
                Sessions, static_cast<unsigned long>(took / Sessions), handles, Handles(), slots, FreeTlsSlots(), heap,
                heapAfter.Bytes(), privateBytes, privateAfter, workingSet, workingSetAfter);
    // One handle or slot kept per session would show as a thousand.
    EXPECT_LE(Handles(), handles + 4);
    EXPECT_GE(FreeTlsSlots() + 4, slots);
    // Of the heap, only what the thread library keeps of each load of the driver and of the
    // printer library may stay, block for block. Besides, Wine's heap now and then keeps a small
    // block of its own (four of 8 and 16 bytes in 500 sessions, pointing into the heap's header):
    // a few strays in all, where something a session leaves would be hundreds.
    const int secondHalf = Sessions - Sessions / 2;
    std::size_t strays = 0, strayBytes = 0;
    for (const auto& [size, count] : heapAfter.AddedSince(heapHalfWay)) {
        const auto kept = threadLibrary.find(size);
        const std::size_t allowed = kept == threadLibrary.end() ? 0 : kept->second * 2 * secondHalf;
        std::printf("lifetime: %zu blocks of %zu bytes stayed in the last %d sessions (the thread library's: %zu)\n",
                    count, size, secondHalf, allowed);
        strays += count > allowed ? count - allowed : 0;
        strayBytes += count > allowed ? (count - allowed) * size : 0;
    }
    EXPECT_LE(strays, 8u) << strayBytes << " bytes";
    EXPECT_LE(strayBytes, 1024u) << strays << " blocks";
    // Wine's loader commits about 4 KB for every load of a module, and the working set follows.
    EXPECT_LT(privateAfter, privateBytes + Sessions * 8192) << "from " << privateBytes;
    EXPECT_LT(workingSetAfter, workingSet + Sessions * 8192) << "from " << workingSet;
    EXPECT_EQ(host.Manager.References(), 1u);
}

} // namespace
