// Handing a line to the command engine. An engine with the entry "ECW" takes the line as its
// argument. One with only "EC" reads it from the first top-level Edit window that FindWindowA
// finds: the line goes into a hidden Edit window of the plug-in's own, placed first, and never
// into a window of another program (which would lose its text, and might not answer at all).
#include <windows.h>

#include <string>

#include "plugin/Texts.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

const char kLineEntryName[] = "ECW";
const char kVerbEntryName[] = "ECWV";  // the line, and the verb to run it with
const char kEngineEntryName[] = "EC";
const char kEditClass[] = "Edit";
const wchar_t kElevatedVerb[] = L"runas";
using LineEntry = void (*)(const wchar_t* line);
using VerbEntry = void (*)(const wchar_t* line, const wchar_t* verb);

template <typename Entry>
Entry LookUp(HMODULE engine, const char* name) {
    // Without an engine there is nothing to look in; a null module would search the shell.
    if (engine == nullptr) return nullptr;
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(engine, name)));
}

// A hidden top-level Edit window at the top of the Z order, for as long as the engine reads it.
class HandOverWindow {
  public:
    explicit HandOverWindow(HINSTANCE instance)
        : window_(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kEditClass,
                                  nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                  nullptr)) {
        if (window_ == nullptr) return;
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~HandOverWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    HandOverWindow(const HandOverWindow&) = delete;
    HandOverWindow& operator=(const HandOverWindow&) = delete;

    // Holds the line, only when this is the window the engine will read it from.
    bool Hold(const char* line) {
        if (window_ == nullptr || FindWindowA(kEditClass, nullptr) != window_) return false;
        return SetWindowTextA(window_, line) != FALSE;
    }

  private:
    HWND window_;
};

}  // namespace

bool TorvexPlugin::HandToEngine(const wchar_t* line, bool elevated) {
    engineEntry = LookUp<EngineEntry>(engineModule, kEngineEntryName);
    if (elevated && engineModule != nullptr) {
        auto takesVerb = LookUp<VerbEntry>(engineModule, kVerbEntryName);
        if (takesVerb == nullptr) {
            torvex::texts::TellAboutLine(line, torvex::texts::kCannotElevate);
            return false;
        }
        takesVerb(line, kElevatedVerb);
        return true;
    }
    if (auto takesLine = LookUp<LineEntry>(engineModule, kLineEntryName)) {
        takesLine(line);
        return true;
    }
    if (engineEntry == nullptr) {
        MessageBoxA(nullptr, torvex::texts::kEngineMissing, torvex::texts::kEngineMissingCaption,
                    MB_OK);
        return true;
    }
    // An engine of the older kind reads the line in the code page: as typed, or not at all.
    std::string bytes;
    if (!torvex::ToCodePage(line, bytes)) {
        torvex::texts::TellAboutLine(line, torvex::texts::kNotForEngine);
        return false;
    }
    HandOverWindow handOver(instance);
    if (!handOver.Hold(bytes.c_str())) {
        MessageBoxW(nullptr, torvex::texts::kHandOverRefused, torvex::texts::kCaption,
                    MB_OK | MB_ICONWARNING);
        return false;
    }
    engineEntry();
    return true;
}
