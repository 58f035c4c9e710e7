// A module that does on its caller's thread what the driver and the printer library do there with
// the thread library linked into them (a mutex locked, a local static made), and gives back its
// runtime at unload as they do. The lifetime test loads it to measure apart what the thread
// library keeps of every load: its record of the thread and the runtime's lock for local statics,
// which it never frees.
#include "platform/Platform.h"

#include <mutex>
#include <string>

namespace {

const platform::TModuleRuntimeRelease RuntimeRelease;
std::mutex Lock;

const std::string& Made() {
    static const std::string made(40, 'x'); // past the small-string buffer, as a static's data is
    return made;
}

} // namespace

extern "C" __declspec(dllexport) int ProbeThreadRecord() {
    const std::lock_guard<std::mutex> held(Lock);
    return Made().empty() ? 0 : 1;
}
