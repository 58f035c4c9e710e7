// Failures of the template subsystem. A broken template fails the command that renders it (the
// command layer reports the message); a template beyond the limits fails the same way, before
// anything is allocated for it.
#pragma once

#include "framework/uCommonUtils.h"
#include "framework/uEquipmentErrors.h"

enum : LONG {
    ErrTemplateNotFound = 3007,
};

class ETemplateError : public EDriverError {
public:
    explicit ETemplateError(const std::string& messageUtf8) : EDriverError(messageUtf8) {}
    const char* ClassName() const noexcept override { return "ETemplateError"; }
};

// Sizes a document cannot reach: a line, a block or a whole text far beyond any receipt, a
// number format wider than any line. Past them the rendering stops instead of exhausting memory.
namespace templatelimits {
inline constexpr LONG MaxLineWidth = 4096;        // characters of a section's line or a column
inline constexpr LONG MaxBlockRows = 4096;        // rows of one composite string
inline constexpr LONG MaxColumnWeight = 65535;    // Length of a column, fixed or resizable
inline constexpr LONG MaxFormatWidth = 1024;      // ND and NFD
inline constexpr size_t MaxRenderedChars = 1u << 25; // the whole rendered text (32 M characters)
inline constexpr int MaxTableDepth = 16;          // nesting of arrays in an uploaded template
} // namespace templatelimits
