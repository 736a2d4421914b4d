#include "tests/support/GdiCounter.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "tests/support/ImportTable.h"

namespace testsupport {
namespace {

std::set<HGDIOBJ>* live = nullptr;
long long largestBitmap = 0;  // pixels

HDC WINAPI CountedCreateCompatibleDC(HDC dc);
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int width, int height);
HFONT WINAPI CountedCreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                DWORD, DWORD, LPCSTR);
BOOL WINAPI CountedDeleteDC(HDC dc);
BOOL WINAPI CountedDeleteObject(HGDIOBJ object);

ImportHook hooks[] = {
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

}  // namespace

GdiCounter::GdiCounter(HMODULE module) : module_(module ? module : GetModuleHandleA(nullptr)) {
    live = new std::set<HGDIOBJ>;
    largestBitmap = 0;
    hooked_ = PatchImports(module_, "gdi32.dll", hooks, std::size(hooks), true);
}

GdiCounter::~GdiCounter() {
    PatchImports(module_, "gdi32.dll", hooks, std::size(hooks), false);
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
