// ComPtr owns one reference to an interface: it releases it when it goes. Built from a raw
// pointer it takes a reference of its own; Attach() adopts one the caller already holds. Copying
// adds a reference, moving passes it on.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference.
    explicit ComPtr(T* p) noexcept : FPtr(p) {
        if (FPtr)
            FPtr->AddRef();
    }
    // Adopts a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr r;
        r.FPtr = p;
        return r;
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.FPtr) {}
    ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    template <class U>
    ComPtr(ComPtr<U>&& other) noexcept : FPtr(other.Detach()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(FPtr, other.FPtr);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return FPtr; }
    T* operator->() const noexcept { return FPtr; }
    explicit operator bool() const noexcept { return FPtr != nullptr; }
    void Reset() noexcept {
        if (T* p = std::exchange(FPtr, nullptr))
            p->Release();
    }
    T* Detach() noexcept { return std::exchange(FPtr, nullptr); }
    T** Receive() noexcept {
        Reset();
        return &FPtr;
    }
    template <class U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> r;
        if (FPtr)
            FPtr->QueryInterface(iid, reinterpret_cast<void**>(r.Receive()));
        return r;
    }

private:
    T* FPtr = nullptr;
};
