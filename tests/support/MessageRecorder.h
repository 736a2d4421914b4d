#pragma once
// Records what a fake shell main window and a fake slit receive, sent or posted, and the calls of
// the shell's functions a test asks for, in one order, and compares whole sequences with what a
// test expects (in the manner of Wine's ok_sequence).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

enum class Target { kMain, kSlit, kCall };  // kCall: a shell function, named in `text`
enum class Delivery { kSent, kPosted, kCalled };

struct RecordedMessage {
    Target target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Delivery delivery;
    std::string text;  // broadcast command text, the registered message list "10901,10103",
                       // or a call: "MakeMenuItem In Slit|@Castpad Toggle Slit|checked"
};

// What a test expects; wParam, lParam and text can each be left unchecked.
struct Expected {
    Target target;
    UINT message;
    Delivery delivery;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    const char* text = nullptr;  // nullptr: not checked
    bool anyLParam = false;
    bool anyWParam = false;
};

class MessageRecorder {
  public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // Also records calls of these shell functions: Target::kCall, wParam the window, menu or DC
    // the call acts on, text the function's name and its other arguments.
    void RecordCalls(std::vector<std::string> functions);

    HWND main() const { return main_; }
    HWND slit() const { return slit_; }

    // Dispatches every posted message waiting now, then keeps doing so for `milliseconds`.
    void Pump(DWORD milliseconds = 0);
    void Clear() { messages_.clear(); }
    const std::vector<RecordedMessage>& messages() const { return messages_; }

    ::testing::AssertionResult Matches(const std::vector<Expected>& expected) const;

    // Called for each shell message as the fake window handles it (a sent one before the
    // sender goes on), so that a test can act as a shell or slit would.
    using Reaction = std::function<void(Target, UINT message, WPARAM, LPARAM)>;
    void OnMessage(Reaction reaction) { reaction_ = std::move(reaction); }

  private:
    friend LRESULT CALLBACK RecorderCallWndProc(int, WPARAM, LPARAM);
    friend LRESULT CALLBACK RecorderGetMessage(int, WPARAM, LPARAM);
    friend LRESULT CALLBACK RecorderWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend void RecordCall(const char*, const void*, const char*);
    void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);

    HWND main_ = nullptr;
    HWND slit_ = nullptr;
    HHOOK sentHook_ = nullptr;
    HHOOK postedHook_ = nullptr;
    std::vector<RecordedMessage> messages_;
    std::vector<std::string> calls_;
    Reaction reaction_;
};

std::string Describe(const RecordedMessage& message);

}  // namespace testsupport
