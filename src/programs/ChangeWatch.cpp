#include "programs/ChangeWatch.h"

#include "programs/AppPaths.h"
#include "programs/BuildList.h"

namespace torvex::programs {
namespace {

constexpr DWORD kFolderChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kKeyChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// Where the system registers the user's packaged apps: an app installed or removed changes it.
const wchar_t kPackagesKey[] =
    L"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\AppModel\\"
    L"Repository\\Packages";

}  // namespace

ChangeWatch::ChangeWatch() {
    for (const std::wstring& folder : StartMenuFolders()) {
        HANDLE change = FindFirstChangeNotificationW(folder.c_str(), TRUE, kFolderChanges);
        if (change != INVALID_HANDLE_VALUE) folders_.push_back(change);
    }
    const struct {
        HKEY root;
        const wchar_t* path;
        REGSAM view;
    } places[] = {{HKEY_CURRENT_USER, kAppPathsKey, 0},
                  {HKEY_LOCAL_MACHINE, kAppPathsKey, KEY_WOW64_64KEY},
                  {HKEY_LOCAL_MACHINE, kAppPathsKey, KEY_WOW64_32KEY},
                  {HKEY_CURRENT_USER, kPackagesKey, 0}};
    for (const auto& place : places) {
        Key key = {nullptr, nullptr};
        if (RegOpenKeyExW(place.root, place.path, 0, KEY_NOTIFY | place.view, &key.key) !=
            ERROR_SUCCESS) {
            continue;
        }
        key.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (key.event == nullptr) {
            RegCloseKey(key.key);
            continue;
        }
        if (!Arm(key)) {
            RegCloseKey(key.key);
            CloseHandle(key.event);
            continue;
        }
        keys_.push_back(key);
    }
}

ChangeWatch::~ChangeWatch() {
    for (HANDLE change : folders_) FindCloseChangeNotification(change);
    for (const Key& key : keys_) {
        RegCloseKey(key.key);  // ends its notification: the event is signalled, then closed
        CloseHandle(key.event);
    }
}

bool ChangeWatch::Arm(const Key& key) {
    return RegNotifyChangeKeyValue(key.key, TRUE, kKeyChanges, key.event, TRUE) == ERROR_SUCCESS;
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
            // A folder or key that can no longer be watched (gone, or its share away) would stay
            // signalled: it is watched no more, and counts as changed once.
            if (index <= folders_.size()) {
                HANDLE& folder = folders_[index - 1];
                if (!FindNextChangeNotification(folder)) {
                    FindCloseChangeNotification(folder);
                    folders_.erase(folders_.begin() + (index - 1));
                }
            } else {
                const std::size_t k = index - 1 - folders_.size();
                if (!Arm(keys_[k])) {
                    RegCloseKey(keys_[k].key);
                    CloseHandle(keys_[k].event);
                    keys_.erase(keys_.begin() + k);
                }
            }
            return Waited::kChanged;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

}  // namespace torvex::programs
