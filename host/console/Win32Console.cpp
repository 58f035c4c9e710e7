#include "Console.h"

#include <windows.h>

namespace host {

void UseUtf8Console() {
    // Harmless when the output is a pipe or a file; the bytes are UTF-8 either way.
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

} // namespace host
