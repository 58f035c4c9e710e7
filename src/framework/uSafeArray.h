// SafeArray owns one SAFEARRAY and destroys it when it goes; not copyable, moving passes it on.
// The builders below make the Variant arrays the host receives (one- and two-dimensional, lower
// bound 0): each element is moved in, so a builder never holds a value twice.
#pragma once

#include "framework/uVariant.h"

#include <initializer_list>
#include <utility>
#include <vector>

class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* adopt) noexcept : FArray(adopt) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : FArray(std::exchange(other.FArray, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept;
    ~SafeArray() { Reset(); }

    // One-dimensional Variant array [0..count-1].
    static SafeArray CreateVector(LONG count);
    // Two-dimensional Variant array [0..count1-1, 0..count2-1].
    static SafeArray Create2D(LONG count1, LONG count2);

    SAFEARRAY* Get() const noexcept { return FArray; }
    void Reset() noexcept;
    SAFEARRAY* Detach() noexcept { return std::exchange(FArray, nullptr); }
    SAFEARRAY** Receive() noexcept {
        Reset();
        return &FArray;
    }

private:
    SAFEARRAY* FArray = nullptr;
};

// One-dimensional Variant array with lower bound 0 holding the given items.
Variant MakeVariantArray(std::initializer_list<Variant> items);
Variant MakeVariantArray(std::vector<Variant>&& items);

// Fills a two-dimensional Variant array [0..count1-1, 0..count2-1] element by element.
class VariantArray2D {
public:
    VariantArray2D(LONG count1, LONG count2);
    void Set(LONG i, LONG j, Variant value);
    Variant Release();

private:
    SafeArray FArray;
};
