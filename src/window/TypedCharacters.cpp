#include "window/TypedCharacters.h"

#include "plugin/TorvexPlugin.h"

namespace torvex {
namespace {

const wchar_t kMessageName[] = L"Torvex.TypedCharacter";
constexpr WPARAM kFirstNonAscii = 0x80;

// The hook reaches the box only through the one instance, as the window procedure does.
LRESULT CALLBACK OnMessageRetrieved(int code, WPARAM removal, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    TorvexPlugin* plugin = thePlugin;
    if (code == HC_ACTION && message != nullptr && plugin != nullptr &&
        message->hwnd == plugin->editWindow && message->hwnd != nullptr &&
        message->message == WM_CHAR && message->wParam >= kFirstNonAscii) {
        message->message = TypedCharacterMessage();
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

UINT TypedCharacterMessage() {
    static const UINT message = RegisterWindowMessageW(kMessageName);
    return message;
}

HHOOK WatchTypedCharacters() {
    TypedCharacterMessage();
    // A hook of the wide kind sees the character before an ANSI loop converts it.
    return SetWindowsHookExW(WH_GETMESSAGE, OnMessageRetrieved, nullptr, GetCurrentThreadId());
}

}  // namespace torvex
