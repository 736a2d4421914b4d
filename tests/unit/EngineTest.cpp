// The command engine: how it splits a line, and the real quorlin.dll running a program.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/CommandLine.h"
#include "tests/support/ModalDriver.h"

namespace {

typedef void (*EngineEntry)(void);

TEST(EngineCommandLine, SplitsWhatToRunFromItsArguments) {
    auto split = [](const char* line) {
        quorlin::Command command = quorlin::Split(line);
        return command.program + "|" + command.arguments;
    };
    EXPECT_EQ(split("notepad"), "notepad|");
    EXPECT_EQ(split("  notepad   a.txt  b "), "notepad|a.txt  b ");
    EXPECT_EQ(split("\"C:\\Program Files\\x y.exe\" -a \"q r\""),
              "C:\\Program Files\\x y.exe|-a \"q r\"");
    EXPECT_EQ(split("\"C:\\open quote"), "C:\\open quote|");
    EXPECT_EQ(split("http://example.org/a b"), "http://example.org/a|b");
}

TEST(EngineCommandLine, LeavesBlankAndBroadcastLinesAlone) {
    EXPECT_FALSE(quorlin::IsForEngine(""));
    EXPECT_FALSE(quorlin::IsForEngine(" \t "));
    EXPECT_FALSE(quorlin::IsForEngine("@NMShowPlugins"));
    EXPECT_TRUE(quorlin::IsForEngine("notepad"));
}

class QuorlinDll : public ::testing::Test {
  protected:
    void SetUp() override {
        engine_ = LoadLibraryA("quorlin.dll");
        ASSERT_NE(engine_, nullptr);
        entry_ =
            reinterpret_cast<EngineEntry>(reinterpret_cast<void*>(GetProcAddress(engine_, "EC")));
        ASSERT_NE(entry_, nullptr);
        box_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Edit", nullptr, WS_POPUP | ES_AUTOHSCROLL, 0, 0,
                               100, 20, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(box_);
        FreeLibrary(engine_);
    }
    void RunLine(const std::string& line) {
        SetWindowTextA(box_, line.c_str());
        entry_();
    }
    static std::string Folder() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string text = path;
        return text.substr(0, text.find_last_of('\\') + 1);
    }

    HMODULE engine_ = nullptr;
    EngineEntry entry_ = nullptr;
    HWND box_ = nullptr;
};

// The helper lies in a folder with a blank in its name, named through a variable.
TEST_F(QuorlinDll, RunsAQuotedProgramWithVariablesAndArguments) {
    std::string output = Folder() + "argdump.out";
    DeleteFileA(output.c_str());
    SetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", output.c_str());
    SetEnvironmentVariableA("TORVEX_HELPER_DIR", (Folder() + "helper dir").c_str());
    SetEnvironmentVariableA("TORVEX_WORD", "expanded");

    testsupport::ModalDriver closer;
    RunLine("\"%TORVEX_HELPER_DIR%\\argdump.exe\" one \"two words\" %TORVEX_WORD%");

    // Wine starts the helper as a process of its own, which takes a while under emulation.
    for (int waited = 0;
         waited < 600 && GetFileAttributesA(output.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited) {
        Sleep(500);
    }
    std::ifstream in(output);
    std::vector<std::string> arguments;
    for (std::string line; std::getline(in, line);) arguments.push_back(line);
    EXPECT_EQ(arguments, (std::vector<std::string>{"one", "two words", "expanded"}));
    EXPECT_TRUE(closer.Seen().empty());
    DeleteFileA(output.c_str());
}

TEST_F(QuorlinDll, NamesTheLineAndTheReasonWhenItCannotRunIt) {
    testsupport::ModalDriver closer;
    RunLine("torvex-no-such-program --flag");
    RunLine("   ");
    RunLine("@NMShowPlugins");
    auto seen = closer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "blank and broadcast lines are not the engine's";
    EXPECT_NE(seen[0].text.find("'torvex-no-such-program --flag'"), std::string::npos)
        << seen[0].text;
    EXPECT_GT(seen[0].text.size(),
              std::string("Cannot run 'torvex-no-such-program --flag'.\n\n").size())
        << "the system's reason follows";
}

}  // namespace
