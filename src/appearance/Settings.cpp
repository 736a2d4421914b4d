// The plug-in's rc file, then the style, then the box height.
#include "appearance/Keys.h"
#include "plugin/BoundedText.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr int kPathSize = 4096;

// folder + name into `path`; false when it does not fit, so that no cut path is ever probed, and
// for an unknown (empty) folder, which would make the name one relative to any folder.
bool JoinPath(char (&path)[kPathSize], const char* folder, const char* name) {
    return folder[0] != '\0' && torvex::CopyText(path, folder) && torvex::AppendWhole(path, name);
}

}  // namespace

void TorvexPlugin::LocateSettingsFile(char (&path)[kSettingsPathSize]) {
    char shellFolder[kPathSize] = "";
    GetNimbarPath(shellFolder, kPathSize);
    shellFolder[kPathSize - 1] = '\0';
    char pluginFolder[kPathSize] = "";
    ModuleFolder(instance, pluginFolder, kPathSize);

    const char* const folders[] = {shellFolder, shellFolder, pluginFolder};
    const char* const names[] = {torvex::keys::kRcName, torvex::keys::kRcNameDotted,
                                 torvex::keys::kRcName};
    for (int i = 0; i < 3; ++i) {
        if (JoinPath(path, folders[i], names[i]) && FileExists(path)) return;
    }
    // The last candidate is used without a probe; a path too long reads as no file.
    if (!JoinPath(path, pluginFolder, torvex::keys::kRcNameDotted)) path[0] = '\0';
}

void TorvexPlugin::ReadSettings() {
    char rc[kSettingsPathSize];
    LocateSettingsFile(rc);
    x = ReadInt(rc, torvex::keys::kX, 0);
    y = ReadInt(rc, torvex::keys::kY, 0);
    width = ReadInt(rc, torvex::keys::kWidth, 100);
    inSlit = ReadBool(rc, torvex::keys::kInSlit, false);
    noWho = ReadBool(rc, torvex::keys::kNoWho, false);
    tabCompletion = ReadBool(rc, torvex::keys::kTabCompletion, true);
    escapeClears = ReadBool(rc, torvex::keys::kEscapeClears, true);
    wordDelete = ReadBool(rc, torvex::keys::kWordDelete, true);
    historyFile = ReadBool(rc, torvex::keys::kHistoryFile, true);
    elevate = ReadBool(rc, torvex::keys::kElevate, true);
    historySearch = ReadBool(rc, torvex::keys::kHistorySearch, true);
    historyDelete = ReadBool(rc, torvex::keys::kHistoryDelete, true);
    suggest = ReadBool(rc, torvex::keys::kSuggest, true);
    calculator = ReadBool(rc, torvex::keys::kCalculator, true);
    programs = ReadBool(rc, torvex::keys::kPrograms, true);
    aliases.Load(rc);
    calculated.valid = false;  // the switch or the aliases may have changed

    ReadStyle();

    bool unixBullet = ReadBool(extensionsrcPath(nullptr), torvex::keys::kUnixBullet, true);
    height = BoxHeight(unixBullet);
    paintCache.Redraw();
}
