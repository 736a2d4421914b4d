// Where the rc file is found, and what the settings and the style give the instance.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "appearance/Font.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plugin_ = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
        char folder[MAX_PATH] = "";  // as the shell's readers take it
        ModuleFolder(GetModuleHandleA(nullptr), folder, MAX_PATH);
        pluginFolder_ = folder;
        RemovePluginFolderFiles();
    }
    void TearDown() override {
        RemovePluginFolderFiles();
        delete plugin_->toolbarTexture;
        delete plugin_->labelTexture;
    }
    // The plug-in's folder is the test program's own: nothing may be left in it.
    void RemovePluginFolderFiles() {
        for (const char* name : {"torvexrc", "torvex.rc"})
            DeleteFileA((pluginFolder_ + name).c_str());
    }
    void Shell(const char* name, const std::string& text) { folder_.Write(name, text); }
    void Plugin(const char* name, const std::string& text) {
        std::ofstream(pluginFolder_ + name) << text;
    }

    testsupport::TempShellFolder folder_{"torvex-settings-shell"};
    const std::string shellFolder_ = folder_.path();
    std::unique_ptr<TorvexPlugin> plugin_;
    std::string pluginFolder_;
};

TEST_F(SettingsTest, DefaultsWithoutAnyFile) {
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->x, 0);
    EXPECT_EQ(plugin_->y, 0);
    EXPECT_EQ(plugin_->width, 100);
    EXPECT_FALSE(plugin_->inSlit);
    EXPECT_FALSE(plugin_->noWho);
    EXPECT_TRUE(plugin_->tabCompletion && plugin_->escapeClears && plugin_->wordDelete &&
                plugin_->historyFile)
        << "the additions are on unless switched off";
}

TEST_F(SettingsTest, PrefersTheShellFolderThenTheUndottedName) {
    Shell("torvexrc", "torvex.x: 1\n");
    Shell("torvex.rc", "torvex.x: 2\n");
    Plugin("torvexrc", "torvex.x: 3\n");
    Plugin("torvex.rc", "torvex.x: 4\n");
    for (int expected : {1, 2, 3, 4}) {
        plugin_->ReadSettings();
        EXPECT_EQ(plugin_->x, expected);
        // Take away the file just read: the next candidate in order is found at once.
        const char* names[] = {"torvexrc", "torvex.rc", "torvexrc", "torvex.rc"};
        std::string folder = expected <= 2 ? shellFolder_ : pluginFolder_;
        DeleteFileA((folder + names[expected - 1]).c_str());
    }
}

TEST_F(SettingsTest, ReadsEveryKeyAndFollowsChanges) {
    Shell("torvex.rc",
          "torvex.x: -5\ntorvex.y: 40\ntorvex.width: 250\ntorvex.inslit: true\n"
          "torvex.easteregg.noWho: true\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->x, -5) << "no clamping";
    EXPECT_EQ(plugin_->y, 40);
    EXPECT_EQ(plugin_->width, 250);
    EXPECT_TRUE(plugin_->inSlit);
    EXPECT_TRUE(plugin_->noWho);

    Shell("torvex.rc", "torvex.x: 7\ntorvex.width: 300\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->x, 7);
    EXPECT_EQ(plugin_->width, 300);
    EXPECT_FALSE(plugin_->inSlit) << "a re-read overwrites the flag";
}

// The keys go to the shell's readers exactly as the shell's files spell them, in this order:
// whether the shell's readers ignore case is not the plug-in's to rely on.
TEST_F(SettingsTest, PassesEveryKeyToItsReaderSpelledExactly) {
    testsupport::MessageRecorder shell;
    shell.RecordCalls({"ReadInt", "ReadBool", "ReadColor", "ReadString"});
    plugin_->ReadSettings();
    std::vector<std::string> calls;
    for (const auto& call : shell.messages()) calls.push_back(call.text);
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "ReadInt torvex.x:",
                         "ReadInt torvex.y:",
                         "ReadInt torvex.width:",
                         "ReadBool torvex.inslit:",
                         "ReadBool torvex.easteregg.noWho:",
                         "ReadBool torvex.tabCompletion:",
                         "ReadBool torvex.escapeClears:",
                         "ReadBool torvex.wordDelete:",
                         "ReadBool torvex.history.file:",
                         "ReadBool torvex.elevate:",
                         "ReadBool torvex.historySearch:",
                         "ReadBool torvex.historyDelete:",
                         "ReadBool torvex.suggest:",
                         "ReadBool torvex.calculator:",
                         "ReadBool torvex.programs:",
                         "ReadColor toolbar.color:",
                         "ReadColor toolbar.colorTo:",
                         "ReadString toolbar.textColor:",
                         "ReadColor toolbar.label.color:",
                         "ReadColor toolbar.label.colorTo:",
                         "ReadColor toolbar.label.textColor:",
                         "ReadColor borderColor:",
                         "ReadString *font:",
                         "ReadString toolbar.font:",
                         "ReadInt toolbar.fontHeight:",
                         "ReadString toolbar:",
                         "ReadString toolbar.label:",
                         "ReadInt bevelWidth:",
                         "ReadInt borderWidth:",
                         "ReadBool nimbar.appearance.bullet.unix:",
                     }));
}

TEST_F(SettingsTest, AnEmptyStyleGivesTheDefaults) {
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->toolbarColor, RGB(0, 0, 0));
    EXPECT_EQ(plugin_->toolbarColorTo, RGB(255, 255, 255));
    EXPECT_EQ(plugin_->labelColor, RGB(0, 0, 0));
    EXPECT_EQ(plugin_->labelColorTo, RGB(255, 255, 255));
    EXPECT_EQ(plugin_->textColor, RGB(0, 0, 0));
    EXPECT_EQ(plugin_->borderColor, RGB(0, 0, 0));
    EXPECT_STREQ(plugin_->fontName, "courier new");
    EXPECT_EQ(plugin_->fontHeight, 12);
    EXPECT_EQ(plugin_->bevelWidth, 1);
    EXPECT_EQ(plugin_->borderWidth, 1);
    EXPECT_EQ(plugin_->toolbarTexture->textureKind,
              static_cast<int>(standin::TextureKind::kVertical));
    EXPECT_FALSE(plugin_->toolbarTexture->parentRelative);
    EXPECT_TRUE(plugin_->labelTexture->parentRelative);
    EXPECT_EQ(plugin_->height, 20);

    Shell("extensions.rc", "nimbar.appearance.bullet.unix: false\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->height, 16);
}

TEST_F(SettingsTest, HeightFollowsFontBevelAndBorder) {
    Shell("style.rc", "toolbar.fontHeight: 15\nbevelWidth: 2\nborderWidth: 0\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->height, 21);
    Shell("extensions.rc", "nimbar.appearance.bullet.unix: false\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->height, 17);
}

TEST_F(SettingsTest, TextColourAndFaceNameFallBack) {
    Shell("nimbar.rc", "session.styleFile: style.rc\n");
    Shell("style.rc", "toolbar.textColor: #102030\n*font: Tahoma\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->textColor, RGB(0x10, 0x20, 0x30));
    EXPECT_STREQ(plugin_->fontName, "Tahoma");

    Shell("style.rc",
          "toolbar.textColor: #102030\ntoolbar.label.textColor: #FFFFFF\n*font: Tahoma\n"
          "toolbar.font: Verdana\n");
    plugin_->ReadSettings();
    EXPECT_EQ(plugin_->textColor, RGB(255, 255, 255));
    EXPECT_STREQ(plugin_->fontName, "Verdana");
}

TEST_F(SettingsTest, ALongFaceNameIsCutNotOverrun) {
    std::string face(600, 'F');
    Shell("style.rc", "toolbar.font: " + face + "\ntoolbar.fontHeight: 13\n");
    plugin_->ReadSettings();
    EXPECT_EQ(std::string(plugin_->fontName), face.substr(0, 259));
    EXPECT_EQ(plugin_->fontHeight, 13) << "the field after the name is intact";
}

TEST_F(SettingsTest, AShellReaderWithoutAnAnswerReadsAsTheEmptyText) {
    standin::SetNullAnswers(true);
    plugin_->ReadSettings();
    standin::SetNullAnswers(false);
    EXPECT_STREQ(plugin_->fontName, "");
    EXPECT_NE(plugin_->toolbarTexture, nullptr);
    EXPECT_EQ(plugin_->fontHeight, 12) << "the other readers still answer";
}

TEST(FormattingRect, CentresTheTextVertically) {
    RECT r = torvex::FormattingRect(100, 20, 12);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(r.right, 95);
    EXPECT_EQ(r.bottom, 16);
    EXPECT_EQ(torvex::FormattingRect(100, 21, 12).top, 4);
    EXPECT_EQ(torvex::FormattingRect(100, 21, 12).bottom, 17);
    r = torvex::FormattingRect(100, 10, 12);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 99);
    EXPECT_EQ(r.bottom, 10);
}

}  // namespace
