#include "tests/support/GdiCounter.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace testsupport {
namespace {

std::set<HGDIOBJ>* live = nullptr;
long long largestBitmap = 0;  // pixels

struct Hook {
    const char* name;
    void* replacement;
    void* original;
};

HDC WINAPI CountedCreateCompatibleDC(HDC dc);
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int width, int height);
HFONT WINAPI CountedCreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                DWORD, DWORD, LPCSTR);
BOOL WINAPI CountedDeleteDC(HDC dc);
BOOL WINAPI CountedDeleteObject(HGDIOBJ object);

Hook hooks[] = {
    {"CreateCompatibleDC", reinterpret_cast<void*>(CountedCreateCompatibleDC), nullptr},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(CountedCreateCompatibleBitmap), nullptr},
    {"CreateFontA", reinterpret_cast<void*>(CountedCreateFontA), nullptr},
    {"DeleteDC", reinterpret_cast<void*>(CountedDeleteDC), nullptr},
    {"DeleteObject", reinterpret_cast<void*>(CountedDeleteObject), nullptr},
};

template <typename Function>
Function Original(int index) {
    return reinterpret_cast<Function>(hooks[index].original);
}

HGDIOBJ Made(HGDIOBJ object) {
    if (object != nullptr && live != nullptr) live->insert(object);
    return object;
}

void Gone(HGDIOBJ object) {
    if (live != nullptr) live->erase(object);
}

HDC WINAPI CountedCreateCompatibleDC(HDC dc) {
    return static_cast<HDC>(Made(Original<decltype(&CreateCompatibleDC)>(0)(dc)));
}
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int width, int height) {
    largestBitmap = std::max(largestBitmap, static_cast<long long>(width) * height);
    return static_cast<HBITMAP>(
        Made(Original<decltype(&CreateCompatibleBitmap)>(1)(dc, width, height)));
}
HFONT WINAPI CountedCreateFontA(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s,
                                DWORD c, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
    return static_cast<HFONT>(Made(
        Original<decltype(&CreateFontA)>(2)(h, w, e, o, weight, i, u, s, c, op, cp, q, pf, face)));
}
BOOL WINAPI CountedDeleteDC(HDC dc) {
    Gone(dc);
    return Original<decltype(&DeleteDC)>(3)(dc);
}
BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    Gone(object);
    return Original<decltype(&DeleteObject)>(4)(object);
}

// Swaps the module's gdi32 import table entries between the originals and the hooks.
int Patch(HMODULE module, bool install) {
    auto base = reinterpret_cast<BYTE*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    int patched = 0;
    for (; descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + descriptor->Name), "gdi32.dll") != 0) continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (Hook& hook : hooks) {
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), hook.name) != 0) continue;
                DWORD protection;
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                               &protection);
                if (install) {
                    hook.original = reinterpret_cast<void*>(slots->u1.Function);
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook.replacement);
                } else {
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook.original);
                }
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection,
                               &protection);
                ++patched;
            }
        }
    }
    return patched;
}

}  // namespace

GdiCounter::GdiCounter(HMODULE module) : module_(module ? module : GetModuleHandleA(nullptr)) {
    live = new std::set<HGDIOBJ>;
    largestBitmap = 0;
    hooked_ = Patch(module_, true);
}

GdiCounter::~GdiCounter() {
    Patch(module_, false);
    delete live;
    live = nullptr;
}

int GdiCounter::Live() const {
    return static_cast<int>(live->size());
}

long long GdiCounter::LargestBitmap() const {
    return largestBitmap;
}

}  // namespace testsupport
