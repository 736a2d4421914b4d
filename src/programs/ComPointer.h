#pragma once
// A COM interface pointer released on every path.
#include <windows.h>

namespace torvex::programs {

template <class Interface>
class ComPointer {
  public:
    ComPointer() = default;
    ~ComPointer() { Reset(); }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    void Reset() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }
    Interface** Address() {
        Reset();
        return &pointer_;
    }
    void** Out() { return reinterpret_cast<void**>(Address()); }
    Interface* operator->() const { return pointer_; }
    Interface& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace torvex::programs
