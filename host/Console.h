#pragma once

namespace host {

// The tool writes UTF-8; a Windows console shows it as such only when told so.
void UseUtf8Console();

} // namespace host
