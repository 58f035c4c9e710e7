// Ends a document on the printer when a scope is left without Release: every early return and
// every exception between two library calls leaves nothing open on the printer.
#pragma once

#include "platform/Platform.h"

class TDocumentGuard {
public:
    using TEnd = LONG(WINAPI*)();
    explicit TDocumentGuard(TEnd End) noexcept : FEnd(End) {}
    TDocumentGuard(const TDocumentGuard&) = delete;
    TDocumentGuard& operator=(const TDocumentGuard&) = delete;
    ~TDocumentGuard() { Run(); }

    // Ends the document now and answers the library's code (0 when already ended).
    LONG Run() noexcept {
        const TEnd end = FEnd;
        FEnd = nullptr;
        return end ? end() : 0;
    }
    // The document ended the regular way.
    void Release() noexcept { FEnd = nullptr; }

private:
    TEnd FEnd;
};
