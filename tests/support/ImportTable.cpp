#include "tests/support/ImportTable.h"

#include <cstring>

namespace testsupport {
namespace {

void Swap(ULONG_PTR* slot, ImportHook& hook, bool install) {
    DWORD protection;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    if (install) hook.original = reinterpret_cast<void*>(*slot);
    *slot = reinterpret_cast<ULONG_PTR>(install ? hook.replacement : hook.original);
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

}  // namespace

int PatchImports(HMODULE module, const char* dll, ImportHook* hooks, std::size_t count,
                 bool install) {
    auto base = reinterpret_cast<BYTE*>(module);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    int patched = 0;
    for (; directory.VirtualAddress != 0 && descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + descriptor->Name), dll) != 0) continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (std::size_t i = 0; i < count; ++i) {
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), hooks[i].name) != 0) {
                    continue;
                }
                Swap(reinterpret_cast<ULONG_PTR*>(&slots->u1.Function), hooks[i], install);
                ++patched;
            }
        }
    }
    return patched;
}

}  // namespace testsupport
