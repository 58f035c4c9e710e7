// Ends a document on the printer when a scope is left without Release: every early return and
// every exception between two library calls leaves nothing open on the printer.
#pragma once

#include "platform/Platform.h"

#include <functional>

class TDocumentGuard {
public:
    using TEnd = LONG(WINAPI*)();
    // Told the library's answer when the guard ended the document on leaving its scope.
    using TOnAbandoned = std::function<void(LONG Code)>;
    explicit TDocumentGuard(TEnd End, TOnAbandoned OnAbandoned = {}) noexcept
        : FEnd(End), FOnAbandoned(std::move(OnAbandoned)) {}
    TDocumentGuard(const TDocumentGuard&) = delete;
    TDocumentGuard& operator=(const TDocumentGuard&) = delete;
    ~TDocumentGuard() {
        if (!FEnd)
            return;
        const LONG code = Run();
        if (FOnAbandoned)
            FOnAbandoned(code);
    }

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
    TOnAbandoned FOnAbandoned;
};
