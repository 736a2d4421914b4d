#include "programs/ChangeWatch.h"

#include "programs/AppPaths.h"
#include "programs/BuildList.h"

namespace torvex::programs {
namespace {

constexpr DWORD kFolderChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kKeyChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

}  // namespace

ChangeWatch::ChangeWatch() {
    for (const std::wstring& folder : StartMenuFolders()) {
        HANDLE change = FindFirstChangeNotificationW(folder.c_str(), TRUE, kFolderChanges);
        if (change != INVALID_HANDLE_VALUE) folders_.push_back(change);
    }
    const struct {
        HKEY root;
        REGSAM view;
    } places[] = {{HKEY_CURRENT_USER, 0},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const auto& place : places) {
        Key key = {nullptr, nullptr};
        if (RegOpenKeyExW(place.root, kAppPathsKey, 0, KEY_NOTIFY | place.view, &key.key) !=
            ERROR_SUCCESS) {
            continue;
        }
        key.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (key.event == nullptr) {
            RegCloseKey(key.key);
            continue;
        }
        keys_.push_back(key);
        Arm(key);
    }
}

ChangeWatch::~ChangeWatch() {
    for (HANDLE change : folders_) FindCloseChangeNotification(change);
    for (const Key& key : keys_) {
        RegCloseKey(key.key);  // ends its notification: the event is signalled, then closed
        CloseHandle(key.event);
    }
}

void ChangeWatch::Arm(const Key& key) {
    RegNotifyChangeKeyValue(key.key, TRUE, kKeyChanges, key.event, TRUE);
}

ChangeWatch::Waited ChangeWatch::Wait(HANDLE stop, DWORD milliseconds) {
    std::vector<HANDLE> handles = {stop};
    handles.insert(handles.end(), folders_.begin(), folders_.end());
    for (const Key& key : keys_) handles.push_back(key.event);
    const DWORD started = GetTickCount();
    while (true) {
        DWORD waited = GetTickCount() - started;
        DWORD left = milliseconds == INFINITE ? INFINITE
                     : waited >= milliseconds ? 0
                                              : milliseconds - waited;
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(), left,
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_TIMEOUT) return Waited::kQuiet;
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return Waited::kStopped;
        const DWORD index = woken - WAIT_OBJECT_0;
        if (index < handles.size()) {
            if (index <= folders_.size()) {
                FindNextChangeNotification(folders_[index - 1]);
            } else {
                Arm(keys_[index - 1 - folders_.size()]);
            }
            return Waited::kChanged;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

}  // namespace torvex::programs
