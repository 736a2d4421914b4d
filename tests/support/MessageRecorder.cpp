#include "tests/support/MessageRecorder.h"

#include <cstdio>
#include <sstream>

#include "host/ShellMessages.h"
#include "shell/StandIn.h"
#include "tests/support/Allocations.h"

namespace testsupport {

LRESULT CALLBACK RecorderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

const char kRecorderClass[] = "TorvexTestRecorder";
MessageRecorder* activeRecorder = nullptr;

// Only shell messages are compared; the system's own traffic to the fake windows is not.
bool IsShellMessage(UINT message) {
    return message >= WM_USER;
}

std::string RegisteredList(LPARAM lParam) {
    std::string text;
    const UINT* list = reinterpret_cast<const UINT*>(lParam);
    for (int i = 0; list != nullptr && list[i] != 0 && i < 16; ++i) {
        if (!text.empty()) text += ",";
        text += std::to_string(list[i]);
    }
    return text;
}

std::string TextOf(UINT message, LPARAM lParam) {
    if (message == shell::kBroadcast && lParam != 0) return reinterpret_cast<const char*>(lParam);
    if (message == shell::kRegisterMessages || message == shell::kUnregisterMessages) {
        return RegisteredList(lParam);
    }
    return "";
}

void RegisterRecorderClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecorderWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    registered = RegisterClassA(&windowClass) != 0;
}

const char* Name(Target target) {
    static const char* const names[] = {"main", "slit", "call"};
    return names[static_cast<int>(target)];
}
const char* Name(Delivery delivery) {
    static const char* const names[] = {"sent", "posted", "made"};
    return names[static_cast<int>(delivery)];
}

}  // namespace

// The slit takes the box in as its child and gives it back, as a shell's slit does; and hands
// the colour questions of a docked Edit to it, as Wine asks the parent.
LRESULT ActAsSlit(HWND slit, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND child = reinterpret_cast<HWND>(lParam);
    if (message == shell::kSlitAdd && IsWindow(child)) standin::MakeChild(child, slit);
    if (message == shell::kSlitRemove && GetParent(child) == slit) standin::MakeTopLevel(child);
    if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && GetParent(child) == slit) {
        return SendMessageA(child, message, wParam, lParam);
    }
    return DefWindowProcA(slit, message, wParam, lParam);
}

LRESULT CALLBACK RecorderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecorder* recorder = activeRecorder;
    if (recorder != nullptr && recorder->reaction_ && IsShellMessage(message) &&
        (window == recorder->main_ || window == recorder->slit_)) {
        recorder->reaction_(window == recorder->main_ ? Target::kMain : Target::kSlit, message,
                            wParam, lParam);
    }
    if (recorder != nullptr && window == recorder->slit_) {
        return ActAsSlit(window, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RecordCall(const char* function, const void* subject, const char* arguments) {
    MessageRecorder* recorder = activeRecorder;
    if (recorder == nullptr) return;
    AllocationsExempt exempt;
    for (const std::string& wanted : recorder->calls_) {
        if (wanted != function) continue;
        std::string text = function;
        if (*arguments != '\0') text += std::string(" ") + arguments;
        recorder->messages_.push_back(
            {Target::kCall, 0, reinterpret_cast<WPARAM>(subject), 0, Delivery::kCalled, text});
    }
}

void MessageRecorder::RecordCalls(std::vector<std::string> functions) {
    calls_ = std::move(functions);
    standin::SetCallObserver(RecordCall);
}

LRESULT CALLBACK RecorderCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && activeRecorder != nullptr) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        activeRecorder->Record(sent->hwnd, sent->message, sent->wParam, sent->lParam,
                               Delivery::kSent);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK RecorderGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && activeRecorder != nullptr) {
        const MSG* posted = reinterpret_cast<const MSG*>(lParam);
        activeRecorder->Record(posted->hwnd, posted->message, posted->wParam, posted->lParam,
                               Delivery::kPosted);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

MessageRecorder::MessageRecorder() {
    RegisterRecorderClass();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    main_ = CreateWindowExA(0, kRecorderClass, "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                            nullptr, instance, nullptr);
    // Shown, as a shell's slit is, so that a docked box is shown too; never activated.
    slit_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kRecorderClass, "slit",
                            WS_POPUP | WS_VISIBLE, 800, 100, 200, 100, nullptr, nullptr, instance,
                            nullptr);
    DWORD thread = GetCurrentThreadId();
    sentHook_ = SetWindowsHookExA(WH_CALLWNDPROC, RecorderCallWndProc, nullptr, thread);
    postedHook_ = SetWindowsHookExA(WH_GETMESSAGE, RecorderGetMessage, nullptr, thread);
    activeRecorder = this;
}

MessageRecorder::~MessageRecorder() {
    activeRecorder = nullptr;
    standin::SetCallObserver(nullptr);
    UnhookWindowsHookEx(sentHook_);
    UnhookWindowsHookEx(postedHook_);
    DestroyWindow(main_);
    DestroyWindow(slit_);
    Pump();
}

void MessageRecorder::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             Delivery delivery) {
    AllocationsExempt exempt;  // the shell's part: its memory does not run out
    if (!IsShellMessage(message)) return;
    if (window != main_ && window != slit_) return;
    Target target = window == main_ ? Target::kMain : Target::kSlit;
    messages_.push_back({target, message, wParam, lParam, delivery, TextOf(message, lParam)});
}

void MessageRecorder::Pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::string Describe(const RecordedMessage& message) {
    char line[160];
    std::snprintf(line, sizeof(line), "%s %s %u wParam=%llu lParam=%lld", Name(message.target),
                  Name(message.delivery), message.message,
                  static_cast<unsigned long long>(message.wParam),
                  static_cast<long long>(message.lParam));
    std::string text = line;
    if (!message.text.empty()) text += " \"" + message.text.substr(0, 60) + "\"";
    return text;
}

namespace {

bool Same(const Expected& want, const RecordedMessage& got) {
    return want.target == got.target && want.message == got.message &&
           want.delivery == got.delivery && (want.anyWParam || want.wParam == got.wParam) &&
           (want.anyLParam || want.lParam == got.lParam) &&
           (want.text == nullptr || got.text == want.text);
}

std::string DescribeExpected(const Expected& want) {
    RecordedMessage shown{want.target, want.message,  want.wParam,
                          want.lParam, want.delivery, want.text ? want.text : ""};
    std::string text = Describe(shown);
    if (want.anyLParam) text += " (any lParam)";
    return text;
}

}  // namespace

::testing::AssertionResult MessageRecorder::Matches(const std::vector<Expected>& expected) const {
    bool same = expected.size() == messages_.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i)
        same = Same(expected[i], messages_[i]);
    if (same) return ::testing::AssertionSuccess();

    std::ostringstream report;
    report << "message sequence differs\n  expected:\n";
    for (const Expected& want : expected) report << "    " << DescribeExpected(want) << "\n";
    report << "  received:\n";
    for (const RecordedMessage& got : messages_) report << "    " << Describe(got) << "\n";
    return ::testing::AssertionFailure() << report.str();
}

}  // namespace testsupport
