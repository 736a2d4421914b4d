#include "programs/StartEntry.h"

#include <shellapi.h>

#include "programs/Apartment.h"

namespace torvex::programs {
namespace {

const wchar_t kElevatedVerb[] = L"runas";

}  // namespace

DWORD StartEntry(const std::u16string& start, const std::u16string& extra, bool elevated) {
    const std::wstring file(start.begin(), start.end());
    const std::wstring parameters(extra.begin(), extra.end());
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    // The box tells the user what failed; the call returns once the program has been started.
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = elevated ? kElevatedVerb : nullptr;
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    Apartment apartment;
    if (ShellExecuteExW(&execute)) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : error;
}

}  // namespace torvex::programs
