// The instance as construction leaves it, and its folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/Text.h"

namespace {

TEST(PluginInstance, ConstructionTakesTheShellWindowsClearsAndReadsTheSettings) {
    testsupport::MessageRecorder shell;
    standin::SetMainWindow(shell.main());
    HINSTANCE instance = GetModuleHandleA(nullptr);

    auto plugin = std::make_unique<TorvexPlugin>(instance, shell.slit());
    EXPECT_EQ(plugin->instance, instance);
    EXPECT_EQ(plugin->shellWindow, shell.main());
    EXPECT_EQ(plugin->slitWindow, shell.slit());
    EXPECT_EQ(plugin->editWindow, nullptr);
    EXPECT_EQ(plugin->font, nullptr);
    EXPECT_NE(plugin->toolbarTexture, nullptr) << "the settings and style are read last";
    EXPECT_NE(plugin->labelTexture, nullptr);
    EXPECT_EQ(plugin->width, 100);
    EXPECT_EQ(plugin->historyCount, 0);
    EXPECT_EQ(plugin->historyCursor, 0);
    for (int slot = 0; slot < kHistorySlots; ++slot) ASSERT_STREQ(plugin->history[slot], L"");
    EXPECT_EQ(plugin->menu, nullptr);
    EXPECT_FALSE(plugin->inSlit);
    EXPECT_FALSE(plugin->slitAutoHide);
    EXPECT_FALSE(plugin->noWho);
    EXPECT_TRUE(shell.Matches({})) << "construction sends the shell nothing";
    delete plugin->toolbarTexture;
    delete plugin->labelTexture;
    standin::SetMainWindow(nullptr);
}

TEST(PluginFolder, CutsAfterTheLastBackslash) {
    char path[64] = "C:\\a\\b\\torvex.dll";
    CutAfterLastBackslash(path);
    EXPECT_STREQ(path, "C:\\a\\b\\");
    char empty[4] = "";
    CutAfterLastBackslash(empty);
    EXPECT_STREQ(empty, "");
}

TEST(PluginFolder, IsTheModulesFolder) {
    TorvexPlugin* plugin = new TorvexPlugin(GetModuleHandleA(nullptr), nullptr);
    std::wstring folder = plugin->GetPluginFolder();
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(std::wstring(exe).rfind(folder, 0), 0u);
    EXPECT_EQ(std::wstring(exe).find(L'\\', folder.size()), std::wstring::npos);

    // A handle that names no module gives an empty module path, hence an empty folder.
    plugin->instance = reinterpret_cast<HINSTANCE>(0x1230);
    EXPECT_STREQ(plugin->GetPluginFolder(), L"");
    delete plugin;
}

// Without the plug-in's whole folder the engine counts as missing and no history file is read
// or written: a bare "quorlin.dll" would be searched for (and the test program's folder, the
// current one, holds one), a bare "history.txt" would land in whatever folder is current.
TEST(PluginFolder, WithoutTheWholeFolderNeitherEngineNorHistoryFile) {
    auto plugin = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
    plugin->instance = reinterpret_cast<HINSTANCE>(0x1230);  // names no module
    plugin->LoadEngine();
    EXPECT_EQ(plugin->engineModule, nullptr);
    plugin->AddToHistory(L"kept in memory");
    EXPECT_EQ(plugin->historyCount, 1);
    EXPECT_EQ(GetFileAttributesA("history.txt"), INVALID_FILE_ATTRIBUTES);
    DeleteFileA("history.txt");
    if (plugin->engineModule != nullptr) FreeLibrary(plugin->engineModule);
    delete plugin->toolbarTexture;
    delete plugin->labelTexture;

    // A module path that does not fit is not cut back to one of its parent folders.
    char folder[12];
    ModuleFolder(GetModuleHandleA(nullptr), folder, sizeof(folder));
    EXPECT_STREQ(folder, "");
}

}  // namespace
