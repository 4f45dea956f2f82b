// COM for the program's own use: an owned interface pointer, and COM held for a scope.
#pragma once

#include <windows.h>
#include <objbase.h>

// An interface pointer released on scope exit.
template <class T> class ComObject {
public:
    ComObject() = default;
    ~ComObject() {
        if (object_) {
            object_->Release();
        }
    }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T** put() { return &object_; }
    void** put_void() { return reinterpret_cast<void**>(&object_); }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// COM for the length of one call, whatever the caller's apartment.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // A thread already in the multithreaded apartment can use COM just the same.
    bool ok() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};
