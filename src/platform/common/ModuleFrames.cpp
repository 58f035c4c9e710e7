// The i686 Windows build unwinds by DWARF frame tables, which each module registers with an
// unwinder as it loads. The compiler's start-up code registers them with the shared runtime
// libgcc_s_dw2-1.dll whenever some other component of the host has loaded that library, while our
// throws go through the unwinder linked into this module: it would find no frame of ours, and
// the first exception would end the host. So the module registers its tables with its own
// unwinder too, unless that one knows them already.
#include "platform/Platform.h"
#include "platform/PlatformExt.h"

#if defined(_WIN32) && defined(__i386__) && !defined(__SEH__) && !defined(__USING_SJLJ_EXCEPTIONS__)

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" {
struct dwarf_eh_bases {
    void* tbase;
    void* dbase;
    void* func;
};
// The unwinder linked into this module.
const void* _Unwind_Find_FDE(void* pc, dwarf_eh_bases* bases);
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
// The image of this module.
extern IMAGE_DOS_HEADER __ImageBase;
}

// A mark inside the module's frame tables: the linker gathers every object's tables into one
// section, so the mark tells which section holds them.
extern const char FrameTablesMark[] asm("orvel_frame_tables_mark");
asm(".section .eh_frame,\"dr\"\n"
    "orvel_frame_tables_mark:\n"
    ".text\n");

namespace {

// The unwinder's record of a registered table (six words in this runtime); it must outlive the
// registration.
alignas(void*) void* FrameObject[16];
const char* RegisteredTables = nullptr;

void DeregisterTables() {
    if (RegisteredTables)
        __deregister_frame_info(RegisteredTables);
    RegisteredTables = nullptr;
}

// The tables around the mark: the records from the start of the section, or from the last end
// mark (a zero length) before it, up to the next end mark, where the unwinder stops reading.
const char* TablesAroundMark() {
    const char* image = reinterpret_cast<const char*>(&__ImageBase);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + __ImageBase.e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    const std::uintptr_t mark = reinterpret_cast<std::uintptr_t>(FrameTablesMark) - reinterpret_cast<std::uintptr_t>(image);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (mark < section->VirtualAddress || mark >= section->VirtualAddress + section->Misc.VirtualSize)
            continue;
        const char* p = image + section->VirtualAddress;
        const char* const end = p + section->Misc.VirtualSize;
        const char* start = p;
        while (end - p >= 4) {
            std::uint32_t length;
            std::memcpy(&length, p, sizeof length);
            if (length == 0) {
                if (FrameTablesMark <= p)
                    return start;
                p += 4;
                start = p;
            } else if (length > static_cast<std::uintptr_t>(end - p) - 4) {
                return nullptr; // not a table this unwinder reads
            } else {
                p += 4 + length;
            }
        }
        return nullptr;
    }
    return nullptr;
}

// Before the module's static objects are made (constructor priority 101 runs right after the
// start-up code's registration): their constructors may throw and catch too.
__attribute__((constructor(101))) void RegisterFrameTables() { platform::RegisterModuleFrames(); }

} // namespace

void platform::RegisterModuleFrames() {
    dwarf_eh_bases bases;
    if (RegisteredTables || _Unwind_Find_FDE(reinterpret_cast<void*>(&RegisterFrameTables), &bases))
        return;
    const char* tables = TablesAroundMark();
    if (!tables)
        return;
    __register_frame_info(tables, FrameObject);
    RegisteredTables = tables;
    // Given back when the module unloads, after the static objects made later are gone.
    std::atexit(DeregisterTables);
}

#else

void platform::RegisterModuleFrames() {}

#endif
