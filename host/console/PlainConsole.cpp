#include "Console.h"

namespace host {

// Terminals elsewhere take UTF-8 as it comes.
void UseUtf8Console() {}

} // namespace host
