#pragma once
// Owners for what COM and OLE Automation hand out, so that each reference,
// string, variant and apartment membership is given back exactly once.

#include <new>
#include <utility>

#include "platform/platform.h"

// One counted reference to a COM interface, released when the owner lets go.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer = std::exchange(other.pointer, nullptr);
        }
        return *this;
    }
    ~ComRef() { Reset(); }

    Interface* operator->() const { return pointer; }
    Interface* Get() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // The out-parameter slot for a call that hands out a new reference.
    Interface** Receive() {
        Reset();
        return &pointer;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    void Reset() {
        if (pointer != nullptr) std::exchange(pointer, nullptr)->Release();
    }

private:
    Interface* pointer = nullptr;
};

// An automation string made for one call; a failed allocation is an
// out-of-memory error like any other failed allocation.
class Bstr {
public:
    explicit Bstr(const OLECHAR* text) : value(SysAllocString(text)) {
        if (value == nullptr) throw std::bad_alloc();
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value); }

    BSTR Get() const { return value; }

private:
    BSTR value;
};

// A variant that frees whatever it holds before it is filled again and when
// it goes away.
class Variant {
public:
    Variant() { VariantInit(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value); }

    const VARIANT& Get() const { return value; }
    VARIANT* Receive() {
        VariantClear(&value);
        VariantInit(&value);
        return &value;
    }

private:
    VARIANT value{};
};

// Membership of the calling thread in the multithreaded apartment; left
// once for each successful join, including S_FALSE (already a member).
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ComApartment(ComApartment&& other) noexcept : joined(std::exchange(other.joined, false)) {}
    ComApartment& operator=(ComApartment&& other) noexcept {
        if (this != &other) {
            Leave();
            joined = std::exchange(other.joined, false);
        }
        return *this;
    }
    ~ComApartment() { Leave(); }

    HRESULT Join() {
        Leave();
        const HRESULT status = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        joined = SUCCEEDED(status);
        return status;
    }

private:
    void Leave() {
        if (std::exchange(joined, false)) CoUninitialize();
    }

    bool joined = false;
};
