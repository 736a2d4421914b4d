#include "tests/support/PluginBox.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "host/ShellMessages.h"
#include "shell/StandIn.h"
#include "tests/support/Text.h"

namespace testsupport {
namespace {

std::vector<PassedOn> passedOn;
WNDPROC editClassProc = nullptr;

LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    passedOn.push_back({message, wParam, lParam});
    return CallWindowProcA(editClassProc, window, message, wParam, lParam);
}

HMODULE RecordingEngine() {
    static HMODULE engine = LoadLibraryA("recording_engine.dll");
    return engine;
}

}  // namespace

void PluginBox::SetUp() {
    standin::SetMainWindow(shell_.main());
    char folder[MAX_PATH];  // the plug-in's folder is this program's
    ModuleFolder(GetModuleHandleA(nullptr), folder, MAX_PATH);
    historyPath_ = std::string(folder) + "history.txt";
    countsPath_ = std::string(folder) + "history.counts.txt";
    DeleteFileA(historyPath_.c_str());
    DeleteFileA(countsPath_.c_str());
    EngineGot();
}

void PluginBox::TearDown() {
    if (plugin_) plugin_->Stop();
    thePlugin = nullptr;
    standin::SetMainWindow(nullptr);
    SetFileAttributesA(historyPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(historyPath_.c_str());
    RemoveDirectoryA(historyPath_.c_str());
    DeleteFileA(countsPath_.c_str());
}

void PluginBox::Start(bool withSlit) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    plugin_ = std::make_unique<TorvexPlugin>(instance, withSlit ? shell_.slit() : nullptr);
    thePlugin = plugin_.get();
    plugin_->engineModule = RecordingEngine();
    ASSERT_EQ(plugin_->CreateBox(), 0);
    editClassProc = plugin_->defaultEditProc;
    plugin_->defaultEditProc = SpyProc;
    shell_.Pump();
    shell_.Clear();
    passedOn.clear();
}

LRESULT PluginBox::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(box(), message, wParam, lParam);
}

void PluginBox::Run(const std::string& line) {
    SetWindowTextW(box(), Wide(line).c_str());
    Send(WM_CHAR, '\r');
    shell_.Pump();
}

void PluginBox::Broadcast(const std::string& text) {
    Send(shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text.c_str()));
    shell_.Pump();
}

std::string PluginBox::Field() {
    wchar_t text[kHistorySlotSize + 1] = L"";
    GetWindowTextW(box(), text, kHistorySlotSize + 1);
    return Utf8(text);
}

std::string PluginBox::HistoryFile() {
    std::ifstream in(historyPath_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string PluginBox::EngineGot() {
    using Take = const char* (*)();
    auto take = reinterpret_cast<Take>(
        reinterpret_cast<void*>(GetProcAddress(RecordingEngine(), "TakeRecordedLines")));
    return take != nullptr ? take() : "(no recording engine)";
}

bool PluginBox::WasPassedOn(UINT message, WPARAM wParam) {
    for (const PassedOn& passed : passedOn) {
        if (passed.message == message && passed.wParam == wParam) return true;
    }
    return false;
}

const std::vector<PassedOn>& PluginBox::Passed() {
    return passedOn;
}

void PluginBox::ForgetPassedOn() {
    passedOn.clear();
}

}  // namespace testsupport
