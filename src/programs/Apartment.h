#pragma once
// COM in a single-threaded apartment for as long as this lives, as the shell's folders,
// shortcuts and ShellExecuteEx ask. A thread already in another apartment goes on in it; every
// initialisation that succeeded (S_FALSE too: counted) is undone.
#include <windows.h>
#include <objbase.h>

namespace torvex::programs {

class Apartment {
  public:
    Apartment()
        : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~Apartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

  private:
    HRESULT result_;
};

}  // namespace torvex::programs
