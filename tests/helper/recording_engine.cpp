// Command engines for the interpreter's tests, recording each line exactly as they were given it.
// Built twice: with "ECW", which takes the line as its argument, as the project's engine does;
// and, as FOREIGN_ENGINE, with only "EC", which reads the first top-level Edit window, as an
// engine of the older kind does.
#include <windows.h>

#include <string>
#include <vector>

#include "plugin/StaticRuntime.h"

namespace {
std::vector<std::string> lines;
std::string joined;

// In UTF-8, so that a test can compare any script exactly.
void Record(const wchar_t* line) {
    int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, &text[0], size, nullptr, nullptr);
    text.resize(text.size() - 1);
    lines.push_back(text);
}
}  // namespace

#ifndef FOREIGN_ENGINE
extern "C" __declspec(dllexport) void ECW(const wchar_t* line) {
    if (line != nullptr) Record(line);
}

// A line with a verb is recorded after it in brackets: "[runas] notepad".
extern "C" __declspec(dllexport) void ECWV(const wchar_t* line, const wchar_t* verb) {
    if (line == nullptr) return;
    std::wstring text = L"[" + std::wstring(verb != nullptr ? verb : L"") + L"] " + line;
    Record(text.c_str());
}
#endif

// Without a window there is no line: nothing is recorded, so that a lost line shows.
extern "C" __declspec(dllexport) void EC(void) {
    HWND box = FindWindowA("Edit", nullptr);
    if (box == nullptr) return;
    int length = GetWindowTextLengthW(box);
    std::wstring line(length + 1, L'\0');
    line.resize(GetWindowTextW(box, &line[0], length + 1));
    Record(line.c_str());
}

// The lines received so far, joined with "|"; clears the record.
extern "C" __declspec(dllexport) const char* TakeRecordedLines(void) {
    joined.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "|" : "") + lines[i];
    lines.clear();
    return joined.c_str();
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    torvex::ReleaseStaticRuntime(module, reason, reserved);
    return TRUE;
}
