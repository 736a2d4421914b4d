// A seeded soak of the real torvex.dll in the stand-in shell's windows: random keys, lines,
// broadcasts, hostile settings, paints, focus changes, pastes, stops and restarts. Every 1,000
// events the plug-in's GDI objects, the process's private memory, history.txt and the list in
// memory are checked against a model of the history. TORVEX_SOAK_SEED (a number, or "random")
// and TORVEX_SOAK_EVENTS choose the run; a failure names the seed and the event, to replay it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "host/ShellMessages.h"
#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/AppData.h"
#include "tests/support/Clipboard.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealPlugin.h"
#include "tests/support/FaultWatch.h"
#include "tests/support/GdiCounter.h"
#include "tests/support/ProcessMemory.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace {

constexpr unsigned long kDefaultSeed = 20261208;
constexpr long kDefaultEvents = 20000;
constexpr long kCheckEvery = 1000;
constexpr std::size_t kSlots = 512;
constexpr std::size_t kLineSize = 4096;
constexpr SIZE_T kMemoryGrowthAllowed = 1024 * 1024;
constexpr int kGdiObjectsByDesign =
    5;  // the font; the kept background and frame, each a DC and a bitmap
constexpr int kRestartOnceIn = 500;
constexpr int kReconfigureOnceIn = 100;

const char* const kDotCommands[] = {".shutdown",  ".reboot",   ".logoff",      ".hibernate",
                                    ".suspend",   ".lock",     ".run",         ".reconfig",
                                    ".editstyle", ".editmenu", ".editplugins", ".editextensions",
                                    ".exit",      ".quit",     ".restart",     ".who"};
const char* const kBroadcasts[] = {"@Castpad Toggle Slit", "@NMShowPlugins", "@NMHidePlugins",
                                   "@castpad toggle slit", "@NMSlit Toggle Hide On"};

// The soak's aliases, in every torvex.rc it writes: a dot-command, and a line for the engine
// with all of the rest, twice (a line recalled and typed on may hold quotes: the words' rules
// are the alias table's test's business).
const char kAliasLines[] = "torvex.alias: s~a .reconfig\ntorvex.alias: s~b note {*} {*}\n";

// The only calculations the soak enters are its own whole-number sums, "=123+45", whose results
// it works out itself: its other lines and typed characters hold no "=", no operator and no
// "mod", so that none of them is a calculation, and a line that starts with "=" and is no such
// sum (a recalled sum with characters typed on) is not entered.
bool IsOwnSum(const std::string& line) {
    static const std::regex sum("=[0-9]+\\+[0-9]+");
    return std::regex_match(line, sum);
}

// What history.txt must hold (every accepted line in order, less the lines removed), what the
// list holds (newest first, its own until a restart reloads the file's newest 512), and what the
// engine must have been given: every line, or what its alias stands for, that is no command of
// the box's own; as administrator when asked.
class HistoryModel {
  public:
    void Run(std::string line, bool noWho, bool elevated = false) {
        line.resize(std::min(line.find_first_of("\r\n"), line.size()));
        std::string run = Expanded(line);
        if (run[0] == '@' && !InCodePage(run)) return;  // not sent with '?' in it: not run
        // A calculation runs nothing.
        if (!IsOwnSum(line) && GoesToEngine(run, noWho)) {
            toEngine_.push_back((elevated && run[0] != '@' ? "[runas] " : "") + run);
        }
        if (_stricmp(run.c_str(), ".clear") == 0) list_.clear(), file_.clear();
        if (std::find(list_.begin(), list_.end(), line) != list_.end()) return;
        list_.insert(list_.begin(), line);
        if (list_.size() > kSlots) list_.pop_back();
        file_.push_back(line);
    }
    void RemoveNewest() {
        std::string line = list_.front();
        list_.erase(list_.begin());
        file_.erase(std::remove(file_.begin(), file_.end(), line), file_.end());
    }
    void Reload() {
        std::size_t count = std::min(file_.size(), kSlots);
        list_.assign(file_.rbegin(), file_.rbegin() + count);
    }
    std::string FileBytes() const {
        std::string bytes;
        for (const std::string& line : file_) bytes += line + "\r\n";
        return bytes;
    }
    const std::vector<std::string>& ListNewestFirst() const { return list_; }

    // The lines given to the engine since last asked, joined by "|" as the engine reports them.
    std::string TakeEngineLines() {
        std::string joined;
        for (std::size_t i = 0; i < toEngine_.size(); ++i) joined += (i ? "|" : "") + toEngine_[i];
        toEngine_.clear();
        return joined;
    }

  private:
    static std::string Expanded(const std::string& line) {
        std::size_t end = std::min(line.find(' '), line.size());
        std::string name = line.substr(0, end);
        std::size_t restStart = line.find_first_not_of(' ', end);
        std::string rest = restStart == std::string::npos ? "" : line.substr(restStart);
        if (_stricmp(name.c_str(), "s~a") == 0) return ".reconfig";
        if (_stricmp(name.c_str(), "s~b") != 0) return line;
        return "note " + rest + " " + rest;
    }
    static bool InCodePage(const std::string& utf8) {
        std::wstring text = testsupport::Wide(utf8);
        BOOL substituted = FALSE;
        WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr,
                            &substituted);
        return !substituted;
    }
    static bool GoesToEngine(const std::string& line, bool noWho) {
        for (const char* command : kDotCommands) {
            if (_stricmp(line.c_str(), command) == 0 && _stricmp(command, ".who") != 0) {
                return false;
            }
        }
        if (_stricmp(line.c_str(), ".clear") == 0) return false;
        return noWho || _strnicmp(line.c_str(), ".who", 4) != 0;
    }

    std::vector<std::string> list_, file_;
    std::vector<std::string> toEngine_;
};

class SoakRun {
  public:
    SoakRun(unsigned long seed, const std::string& pluginFolder)
        : random_(seed), pluginFolder_(pluginFolder) {}

    void Start(HMODULE module, HWND slit) {
        module_ = module;
        slit_ = slit;
        ASSERT_EQ(standin::Export<standin::BeginPluginEx>(module, "beginPluginEx")(module, slit),
                  0);
        box_ = standin::RegisteredWindow(shell::kBroadcast);
        ASSERT_NE(box_, nullptr);
    }
    void Stop() { standin::Export<standin::EndPlugin>(module_, "endPlugin")(); }

    // One random event: now and then a stop and restart, or new hostile settings, else one of
    // the table by its weight.
    void Step() {
        struct Kind {
            int weight;
            void (SoakRun::*act)();
        };
        static const Kind kinds[] = {{30, &SoakRun::TypeCharacter},
                                     {6, &SoakRun::Backspace},
                                     {12, &SoakRun::Browse},
                                     {10, &SoakRun::EnterALine},
                                     {3, &SoakRun::EnterTyped},
                                     {4, &SoakRun::BroadcastText},
                                     {3, &SoakRun::Paint},
                                     {2, &SoakRun::MoveFocus},
                                     {1, &SoakRun::PasteLines},
                                     {1, &SoakRun::ToggleDocking},
                                     {1, &SoakRun::RemoveNewest},
                                     {2, &SoakRun::SearchAndLeave},
                                     {1, &SoakRun::EnterElevated},
                                     {2, &SoakRun::EnterASum},
                                     {0, nullptr}};
        int total = 0;
        for (const Kind* kind = kinds; kind->act; ++kind) total += kind->weight;
        const Kind* kind = kinds;
        for (int pick = Pick(total); (pick -= kind->weight) >= 0;) ++kind;
        if (Pick(kRestartOnceIn) == 0) {
            Restart();
        } else if (Pick(kReconfigureOnceIn) == 0) {
            Reconfigure();
        } else {
            (this->*kind->act)();
        }
        Pump();
    }

    // Empty when the history file, the list and the engine's lines agree with the model, and
    // every paste inserted what it should.
    std::string CheckHistory() {
        if (!failure_.empty()) return failure_;
        if (!EngineGotWhatItShould()) return failure_;
        std::ifstream in(pluginFolder_ + "history.txt", std::ios::binary);
        std::string file(std::istreambuf_iterator<char>(in), {});
        if (file != model_.FileBytes())
            return "history.txt holds " + Apart(file, model_.FileBytes());
        for (int i = 0; i <= static_cast<int>(kSlots); ++i) Key(VK_DOWN);
        std::vector<std::string> list = model_.ListNewestFirst();
        for (std::size_t i = 0; i < list.size(); ++i) {
            Key(VK_UP);
            if (Field() != list[i]) return "the list's line " + std::to_string(i) + " differs";
        }
        for (std::size_t i = 0; i <= list.size(); ++i) Key(VK_DOWN);
        return "";
    }

  private:
    // Where `got` and `expected` part: a stretch of each around the first byte that differs.
    static std::string Apart(const std::string& got, const std::string& expected) {
        std::size_t at =
            std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first -
            got.begin();
        std::size_t from = at > 60 ? at - 60 : 0;
        return "\"" + got.substr(from, 120) + "\", not \"" + expected.substr(from, 120) +
               "\" (byte " + std::to_string(at) + ")";
    }
    // The recording engine keeps every line it is given until asked for them (and forgets them
    // when the plug-in stops and frees it).
    bool EngineGotWhatItShould() {
        HMODULE engine = GetModuleHandleA((pluginFolder_ + "quorlin.dll").c_str());
        using Take = const char* (*)();
        auto take = standin::Export<Take>(engine, "TakeRecordedLines");
        std::string got = take != nullptr ? take() : "(no engine)";
        std::string expected = model_.TakeEngineLines();
        if (got != expected && failure_.empty())
            failure_ = "the engine got " + Apart(got, expected);
        return failure_.empty();
    }

    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    std::string RandomText(std::size_t maxLength, const char* alphabet) {
        std::string text(Pick(static_cast<int>(maxLength) + 1), ' ');
        for (char& c : text) c = alphabet[Pick(static_cast<int>(std::strlen(alphabet)))];
        return text;
    }
    // "9 mod 1" would be a calculation.
    static std::string NoModulo(std::string text) {
        for (std::size_t at = 0; at + 3 <= text.size(); ++at) {
            if (_strnicmp(text.c_str() + at, "mod", 3) == 0) text[at + 1] = '0';
        }
        return text;
    }
    std::string RandomLine() {
        static const char printable[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .@%\"\\:_";
        switch (Pick(9)) {
            case 0:
                return kDotCommands[Pick(std::size(kDotCommands))];
            case 1:
                return Pick(4) == 0 ? kBroadcasts[Pick(std::size(kBroadcasts))]
                                    : "@" + RandomText(30, printable);
            case 2:
                return "@" + RandomText(30, printable);
            case 3:
                return NoModulo(RandomText(Pick(4) == 0 ? 5000 : 300, printable));
            case 4:
                return Pick(20) == 0 ? ".clear" : ".CLEAR x";
            case 5:  // an alias (its name has a character no other line here has)
                return Pick(2) ? "S~A" : "s~b " + RandomText(10, "abc xyz");
            default:
                return NoModulo(RandomText(24, printable));
        }
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(box_, message, wParam, lParam);
    }
    void Key(WPARAM key, WPARAM character = 0) {
        Send(WM_KEYDOWN, key, 1);
        if (character != 0) SendMessageW(box_, WM_CHAR, character, 1);
        Send(WM_KEYUP, key, 0xC0000001);
    }
    std::string Field() {  // in UTF-8, as the history file and the engine's record hold it
        wchar_t text[kLineSize] = L"";
        GetWindowTextW(box_, text, kLineSize);
        return testsupport::Utf8(text);
    }
    void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    // Now and then a character without a key, as an input method brings it through the
    // shell's (ANSI) message loop: in other scripts, and in two halves.
    void TypeCharacter() {
        static const char typed[] = "abcxyzABC019 .@%\"";
        static const wchar_t* const others[] = {L"\u00E9", L"\u0416", L"\u65E5", L"\U0001F600"};
        if (Pick(6) == 0) {
            for (const wchar_t* unit = others[Pick(std::size(others))]; *unit; ++unit) {
                PostMessageW(box_, WM_CHAR, *unit, 1);
            }
            return;
        }
        char c = typed[Pick(sizeof(typed) - 1)];
        Key(LOBYTE(VkKeyScanA(c)), static_cast<unsigned char>(c));
    }
    void Backspace() { Key(VK_BACK, Pick(4) == 0 ? 127 : '\b'); }  // now and then with Ctrl
    // Up, Down, Shift, and Tab and Escape with the characters they bring.
    void Browse() {
        static const WPARAM keys[][2] = {
            {VK_UP, 0}, {VK_DOWN, 0}, {VK_SHIFT, 0}, {VK_TAB, '\t'}, {VK_ESCAPE, 27}};
        const WPARAM* key = keys[Pick(std::size(keys))];
        Key(key[0], key[1]);
    }
    // A line that starts with "=" and is none of the soak's own sums is not entered (see IsOwnSum).
    bool Unforeseen(const std::string& line) {
        if (line.empty() || line[0] != '=' || IsOwnSum(line)) return false;
        Key(VK_ESCAPE, 27);
        return true;
    }
    void EnterTyped() {
        if (Unforeseen(Field())) return;
        model_.Run(Field(), noWho_);
        Key(VK_RETURN, '\r');
    }
    // A sum of two whole numbers: its result, worked out here, is put in the field.
    void EnterASum() {
        std::uniform_int_distribution<std::uint32_t> number;
        const std::uint32_t a = number(random_), b = number(random_);
        const std::string line = "=" + std::to_string(a) + "+" + std::to_string(b);
        SetWindowTextA(box_, line.c_str());
        EnterTyped();
        const std::string sum = std::to_string(std::uint64_t{a} + b);
        if (Field() != sum && failure_.empty())
            failure_ = line + " gave \"" + Field() + "\", not \"" + sum + "\"";
    }
    void Hold(std::initializer_list<int> keys, bool down) {
        BYTE state[256];
        GetKeyboardState(state);
        for (int key : keys) state[key] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }
    void EnterElevated() {
        if (Unforeseen(Field())) return;
        model_.Run(Field(), noWho_, true);
        Hold({VK_CONTROL, VK_SHIFT}, true);
        Key(VK_RETURN, '\n');
        Hold({VK_CONTROL, VK_SHIFT}, false);
    }
    // Escape, Up and Shift+Delete: the newest line goes, and the field shows the next.
    void RemoveNewest() {
        Key(VK_ESCAPE, 27);
        Key(VK_UP);
        const std::vector<std::string>& list = model_.ListNewestFirst();
        if (list.empty()) return;
        if (Field() != list[0] && failure_.empty()) failure_ = "Up did not show the newest line";
        Hold({VK_SHIFT}, true);
        Key(VK_DELETE);
        Hold({VK_SHIFT}, false);
        model_.RemoveNewest();
        std::string next = list.empty() ? "" : list[0];
        if (Field() != next && failure_.empty()) {
            failure_ =
                "after Shift+Delete the field shows \"" + Field() + "\", not \"" + next + "\"";
        }
    }
    // Ctrl+R, a few characters, maybe Ctrl+R again, then Escape or Right: the search ends here.
    void SearchAndLeave() {
        Hold({VK_CONTROL}, true);
        Key('R', 0x12);
        Hold({VK_CONTROL}, false);
        for (char c : RandomText(3, "abc.@ ")) SendMessageW(box_, WM_CHAR, c, 1);
        if (Pick(2)) {
            Hold({VK_CONTROL}, true);
            Key('R', 0x12);
            Hold({VK_CONTROL}, false);
        }
        Key(Pick(2) ? VK_ESCAPE : VK_RIGHT, 0);
    }
    void EnterALine() {
        SetWindowTextA(box_, RandomLine().c_str());
        EnterTyped();
    }
    void BroadcastText() {
        std::string text = Pick(3) == 0 ? kBroadcasts[Pick(std::size(kBroadcasts))]
                                        : "@" + RandomText(10000, "@Castpad Toggle Slit xyz");
        SendMessageA(GetNMWnd(), shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::string HostileValue() {
        static const char* const values[] = {"-1",   "0",      "2147483647", "-2147483648",
                                             "3000", "-99999", "garbage",    "",
                                             "true", "#zzzzzz"};
        if (Pick(8) == 0) return std::string(1000, 'F');
        return Pick(2) ? values[Pick(std::size(values))] : std::to_string(Pick(400) - 100);
    }
    void Reconfigure() {
        static const char* const rcKeys[] = {
            "torvex.x:", "torvex.y:", "torvex.width:", "torvex.inslit:", "torvex.easteregg.noWho:"};
        static const char* const styleKeys[] = {
            "toolbar:",      "toolbar.label:",       "toolbar.color:", "toolbar.colorTo:",
            "toolbar.font:", "toolbar.fontHeight:",  "bevelWidth:",    "borderWidth:",
            "borderColor:",  "toolbar.label.color:", "*font:",         "toolbar.textColor:"};
        std::string rc, style;
        noWho_ = false;
        for (const char* key : rcKeys) {
            if (Pick(4) == 0) continue;
            std::string value = HostileValue();
            rc += std::string(key) + " " + value + "\n";
            if (key == rcKeys[4]) noWho_ = _stricmp(value.c_str(), "true") == 0;
        }
        for (const char* key : styleKeys) {
            if (Pick(4) != 0) style += std::string(key) + " " + HostileValue() + "\n";
        }
        std::ofstream(standin::ShellFolder() + "torvex.rc") << rc << kAliasLines;
        if (Pick(5) == 0) {
            DeleteFileA((standin::ShellFolder() + "style.rc").c_str());
        } else {
            std::ofstream(standin::ShellFolder() + "style.rc") << style;
        }
        SendMessageA(GetNMWnd(), shell::kReconfigure, 0, 0);
    }
    void Paint() {
        InvalidateRect(box_, nullptr, TRUE);
        UpdateWindow(box_);
    }
    void MoveFocus() { SetFocus(Pick(2) ? box_ : GetNMWnd()); }
    void ToggleDocking() {
        SendMessageA(GetNMWnd(), shell::kBroadcast, 0,
                     reinterpret_cast<LPARAM>(shell::kToggleSlit));
    }
    // Breaks as Windows programs, terminals and old Macs write them: the paste takes what comes
    // before the first.
    void PasteLines() {
        static const char* const breaks[] = {"\r\n", "\n", "\r"};
        std::string copied = RandomText(20, "ab ") + breaks[Pick(3)] + "second line";
        if (!testsupport::SetClipboardText(copied)) return;
        DWORD start = 0, end = 0;  // in UTF-16 units
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        std::wstring before = testsupport::Wide(Field());
        std::wstring expected = before.substr(0, start) +
                                testsupport::Wide(copied.substr(0, copied.find_first_of("\r\n"))) +
                                before.substr(std::min<std::size_t>(end, before.size()));
        Send(WM_PASTE);
        if (expected.size() <= kLineSize - 1 && testsupport::Wide(Field()) != expected &&
            failure_.empty()) {
            failure_ = "a paste of \"" + copied + "\" gave \"" + Field().substr(0, 200) + "\"";
        }
    }
    void Restart() {
        EngineGotWhatItShould();  // the engine's record goes with it
        Stop();
        model_.Reload();
        Start(module_, slit_);
    }

    std::mt19937 random_;
    std::string pluginFolder_;
    HistoryModel model_;
    bool noWho_ = false;   // as the last torvex.rc written says
    std::string failure_;  // the first thing found wrong between checks
    HMODULE module_ = nullptr;
    HWND slit_ = nullptr;
    HWND box_ = nullptr;
};

unsigned long SoakSeed() {
    const char* seed = std::getenv("TORVEX_SOAK_SEED");
    if (seed == nullptr) return kDefaultSeed;
    if (std::strcmp(seed, "random") == 0) return std::random_device()();
    return std::strtoul(seed, nullptr, 10);
}

long SoakEvents() {
    const char* events = std::getenv("TORVEX_SOAK_EVENTS");
    return events != nullptr ? std::atol(events) : kDefaultEvents;
}

// The real torvex.dll copied into a folder of its own, with the recording engine as its
// quorlin.dll, in the stand-in shell's own main window and slit.
class PluginInItsOwnFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::SetShellFolder(shellFolder_.path());  // the second folder is the plug-in's
        DeleteFileA(InPlugin("history.txt").c_str());  // left by a run that was stopped
        DeleteFileA(InPlugin("history.counts.txt").c_str());
        plugin_ = pluginFolder_.path() + "torvex.dll";
        ASSERT_TRUE(CopyFileA("torvex.dll", plugin_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA("recording_engine.dll", InPlugin("quorlin.dll").c_str(), FALSE));
        standin::SetLogEcho(false);
        shell_ = standin::CreateShellWindows(GetModuleHandleA(nullptr), {[] {}, [] {}});
        module_ = LoadLibraryA(plugin_.c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        FreeLibrary(module_);
        EXPECT_TRUE(testsupport::WaitUntilUnloaded(plugin_)) << "the worker ended";
        standin::DestroyShellWindows(shell_);
        standin::SetLogEcho(true);
        for (const char* name :
             {"torvex.dll", "quorlin.dll", "history.txt", "history.counts.txt"}) {
            SetFileAttributesA(InPlugin(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(InPlugin(name).c_str());
        }
        RemoveDirectoryA(InPlugin("history.txt").c_str());
        for (const char* name : {"torvex.rc", "style.rc"}) {
            DeleteFileA((shellFolder_.path() + name).c_str());
        }
    }
    std::string InPlugin(const char* name) const { return pluginFolder_.path() + name; }

    testsupport::TempShellFolder shellFolder_{"torvex-own-shell"};
    testsupport::TempShellFolder pluginFolder_{"torvex-own-plugin"};
    std::string plugin_;
    standin::ShellWindows shell_ = {};
    HMODULE module_ = nullptr;
};

using Soak = PluginInItsOwnFolder;

TEST_F(Soak, RandomEventsKeepTheHistoryAndLeakNothing) {
    const unsigned long seed = SoakSeed();
    const long events = SoakEvents();
    std::printf("soak: seed %lu, %ld events\n", seed, events);
    testsupport::GdiCounter gdi(module_);
    testsupport::FaultWatch faults;
    testsupport::ModalDriver closer;  // "@" lines the shell cannot take are refused with a box
    SoakRun soak(seed, pluginFolder_.path());
    std::ofstream(standin::ShellFolder() + "torvex.rc") << kAliasLines;
    soak.Start(module_, shell_.slit);
    SIZE_T firstMemory = 0;
    auto started = std::chrono::steady_clock::now();
    for (long event = 1; event <= events && !HasFailure(); ++event) {
        soak.Step();
        if (event % kCheckEvery != 0) continue;
        std::string where = "seed " + std::to_string(seed) + ", event " + std::to_string(event);
        SIZE_T memory = testsupport::CommittedPrivateBytes();
        if (firstMemory == 0) firstMemory = memory;
        EXPECT_LE(gdi.Live(), kGdiObjectsByDesign) << where;
        EXPECT_LT(memory, firstMemory + kMemoryGrowthAllowed) << where;
        EXPECT_EQ(faults.Faults(), 0) << where;
        EXPECT_EQ(soak.CheckHistory(), "") << where;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %ld events in %.1f s, %.0f events per second\n", events, seconds,
                events / seconds);
    soak.Stop();
}

// history.txt read-only, a folder, held open, or deleted during the run; torvex.rc unreadable;
// style.rc missing. The box keeps working, both lines stay in memory, no message box comes, and
// the file keeps what it held. Where history.txt can neither be appended to nor made (as under
// Program Files without elevation, or read-only), the lines go to %APPDATA%\Torvex\history.txt
// instead, which starts as a copy of a history.txt that can be read; once made, that file is the
// history. (A file held open by this process is shared as one held by another process would be.)
using FilesThatFightBack = PluginInItsOwnFolder;

using testsupport::FallbackHistoryPath;
using testsupport::FileBytes;

TEST_F(FilesThatFightBack, TheBoxKeepsWorkingAndLosesNothingItCouldKeep) {
    using Paths = const std::string&;  // history.txt, torvex.rc
    struct Case {
        const char* name;
        std::function<HANDLE(Paths history, Paths rc)> before;  // a handle to close at the end
        bool deleteBetween;
        const char* fileAfter;      // how history.txt begins afterwards; nullptr: it is no file
        const char* fallbackAfter;  // what %APPDATA%\Torvex\history.txt holds; nullptr: none
    };
    auto holdOpen = [](Paths path, DWORD sharing) {
        return CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_ALWAYS, 0, nullptr);
    };
    auto nothing = [](Paths, Paths) { return INVALID_HANDLE_VALUE; };
    const Case cases[] = {
        {"read-only",
         [](Paths history, Paths) {
             SetFileAttributesA(history.c_str(), FILE_ATTRIBUTE_READONLY);
             return INVALID_HANDLE_VALUE;
         },
         false, "old\r\n", "old\r\none\r\ntwo\r\n"},
        {"a folder",
         [](Paths history, Paths) {
             DeleteFileA(history.c_str());
             CreateDirectoryA(history.c_str(), nullptr);
             return INVALID_HANDLE_VALUE;
         },
         false, nullptr, "one\r\ntwo\r\n"},
        {"held open", [&](Paths history, Paths) { return holdOpen(history, 0); }, false, "old\r\n",
         nullptr},
        {"held open for reading",  // for now: it stays the history
         [&](Paths history, Paths) { return holdOpen(history, FILE_SHARE_READ); }, false, "old\r\n",
         nullptr},
        {"kept in %APPDATA% already",
         [](Paths, Paths) {
             CreateDirectoryA(
                 FallbackHistoryPath().substr(0, FallbackHistoryPath().rfind('\\')).c_str(),
                 nullptr);
             std::ofstream(FallbackHistoryPath(), std::ios::binary) << "kept\r\n";
             return INVALID_HANDLE_VALUE;
         },
         false, "old\r\n", "kept\r\none\r\ntwo\r\n"},
        {"deleted meanwhile", nothing, true, "two\r\n", nullptr},
        {"torvex.rc unreadable", [&](Paths, Paths rc) { return holdOpen(rc, 0); }, false,
         "old\r\none\r\ntwo\r\n", nullptr},
        {"style.rc missing", nothing, false, "old\r\none\r\ntwo\r\n", nullptr},
    };
    auto run = [](HWND box, const char* line) {
        SetWindowTextA(box, line);
        SendMessageA(box, WM_CHAR, '\r', 1);
    };
    for (const Case& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        std::ofstream(InPlugin("history.txt"), std::ios::binary) << "old\r\n";
        HANDLE held = hostile.before(InPlugin("history.txt"), shellFolder_.path() + "torvex.rc");
        testsupport::ModalDriver closer;
        ASSERT_EQ(
            standin::Export<standin::BeginPluginEx>(module_, "beginPluginEx")(module_, shell_.slit),
            0);
        HWND box = standin::RegisteredWindow(shell::kBroadcast);
        run(box, "one");
        if (hostile.deleteBetween) DeleteFileA(InPlugin("history.txt").c_str());
        run(box, "two");
        char field[64] = "";
        GetWindowTextA(box, field, sizeof(field));
        EXPECT_STREQ(field, "") << "the lines ran";
        for (const char* expected : {"two", "one"}) {
            SendMessageA(box, WM_KEYDOWN, VK_UP, 1);
            GetWindowTextA(box, field, sizeof(field));
            EXPECT_STREQ(field, expected) << "held in memory";
        }
        standin::Export<standin::EndPlugin>(module_, "endPlugin")();
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_TRUE(closer.Seen().empty());
        std::string file = FileBytes(InPlugin("history.txt"));
        if (hostile.fileAfter != nullptr) {
            EXPECT_EQ(file.substr(0, std::strlen(hostile.fileAfter)), hostile.fileAfter);
        }
        EXPECT_EQ(FileBytes(FallbackHistoryPath()),
                  hostile.fallbackAfter ? hostile.fallbackAfter : "");
        DeleteFileA(FallbackHistoryPath().c_str());
        SetFileAttributesA(InPlugin("history.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(InPlugin("history.txt").c_str());
        DeleteFileA(InPlugin("history.txt").c_str());
        DeleteFileA((shellFolder_.path() + "torvex.rc").c_str());
    }
}

}  // namespace
