// Reference counting for the platform's interface objects.
//
// ComObject<Interface> implements AddRef and Release; the object deletes itself when its count
// reaches zero. The program checks the counts that Release returns when it tears its objects down,
// so every implementation must count for real. QueryInterface stays with the implementation.
#pragma once

#include "platform/win32/types.h"

template <class Interface> class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++refCount_; }
    ULONG Release() override {
        ULONG left = --refCount_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    ULONG RefCount() const { return refCount_; }

protected:
    ComObject() = default;
    ~ComObject() override = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    // Single-threaded by design (one GUI thread); no atomics needed.
    ULONG refCount_ = 1;
};

// Releases an interface pointer and nulls it, if it is set.
template <class T> void SafeRelease(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}
