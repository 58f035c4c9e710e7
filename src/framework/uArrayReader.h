// ArrayReader is a view of an array a host sent, of any element type and dimension count. It owns
// nothing: the Variant holding the array must outlive it. Each element it gives is a copy that the
// caller owns.
#pragma once

#include "framework/uVariant.h"

#include <cstdint>

class ArrayReader {
public:
    // Throws EInputError when the value is not an array, or when its label names another element
    // type than the array holds.
    explicit ArrayReader(const VARIANT& value);
    static bool IsArray(const VARIANT& value) noexcept;

    UINT Dims() const noexcept;
    LONG Lower(UINT dim = 1) const;
    LONG Upper(UINT dim = 1) const;
    // How many elements the dimension has. Not Upper - Lower + 1: an empty dimension whose lower
    // bound is the least LONG has an upper bound that wraps to the greatest.
    std::int64_t Count(UINT dim = 1) const;
    // The array's own element type (the label agrees with it).
    VARTYPE ElementType() const noexcept { return FElementType; }

    // A copy of the element, references resolved; one index per dimension, in dimension order
    // (first index = dimension 1). Another number of indices than the array has dimensions:
    // EInputError, for the runtime would read the missing ones from past the caller's list.
    // Index out of bounds: EComError.
    Variant Item(LONG i) const;
    Variant Item(LONG i, LONG j) const;
    Variant ItemAt(const LONG* indices, UINT count) const;

private:
    SAFEARRAY* FArray;
    VARTYPE FElementType;
};
