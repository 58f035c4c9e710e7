#include "framework/uSafeArray.h"

#include "framework/uDriverExceptions.h"

#include <new>

SafeArray& SafeArray::operator=(SafeArray&& other) noexcept {
    if (this != &other) {
        Reset();
        FArray = other.Detach();
    }
    return *this;
}

void SafeArray::Reset() noexcept {
    if (SAFEARRAY* a = std::exchange(FArray, nullptr))
        SafeArrayDestroy(a);
}

SafeArray SafeArray::CreateVector(LONG count) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count));
    if (!a)
        throw std::bad_alloc();
    return SafeArray(a);
}

SafeArray SafeArray::Create2D(LONG count1, LONG count2) {
    SAFEARRAYBOUND bounds[2];
    bounds[0].cElements = static_cast<ULONG>(count1);
    bounds[0].lLbound = 0;
    bounds[1].cElements = static_cast<ULONG>(count2);
    bounds[1].lLbound = 0;
    SAFEARRAY* a = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!a)
        throw std::bad_alloc();
    return SafeArray(a);
}

namespace {
// Moves a value into an element of a Variant array.
void PutMoved(SAFEARRAY* array, LONG* indices, Variant&& value) {
    void* cell = nullptr;
    CheckHResult(SafeArrayPtrOfIndex(array, indices, &cell), "SafeArrayPtrOfIndex");
    auto* element = static_cast<VARIANT*>(cell);
    VariantClear(element);
    *element = value.Detach();
}
} // namespace

Variant MakeVariantArray(std::vector<Variant>&& items) {
    SafeArray a = SafeArray::CreateVector(static_cast<LONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        PutMoved(a.Get(), &i, std::move(items[static_cast<std::size_t>(i)]));
    return Variant::FromArray(a.Detach());
}

Variant MakeVariantArray(std::initializer_list<Variant> items) {
    return MakeVariantArray(std::vector<Variant>(items));
}

VariantArray2D::VariantArray2D(LONG count1, LONG count2)
    : FArray(SafeArray::Create2D(count1, count2)) {}

void VariantArray2D::Set(LONG i, LONG j, Variant value) {
    LONG indices[2] = {i, j};
    PutMoved(FArray.Get(), indices, std::move(value));
}

Variant VariantArray2D::Release() { return Variant::FromArray(FArray.Detach()); }
