#pragma once
// The keys the plug-in reads: its own rc file's, the style's, and the shell's extensions rc.

namespace torvex::keys {

// The plug-in's rc file, looked for under these names.
constexpr char kRcName[] = "torvexrc";
constexpr char kRcNameDotted[] = "torvex.rc";

constexpr char kX[] = "torvex.x:";
constexpr char kY[] = "torvex.y:";
constexpr char kWidth[] = "torvex.width:";
constexpr char kInSlit[] = "torvex.inslit:";
constexpr char kNoWho[] = "torvex.easteregg.noWho:";

// Switches for what the box does beyond its first keys, each on unless switched off: Tab
// completion, Escape empties the field, Ctrl+Backspace deletes a word, history.txt.
constexpr char kTabCompletion[] = "torvex.tabCompletion:";
constexpr char kEscapeClears[] = "torvex.escapeClears:";
constexpr char kWordDelete[] = "torvex.wordDelete:";
constexpr char kHistoryFile[] = "torvex.history.file:";
// And: Ctrl+Shift+Enter runs as administrator, Ctrl+R searches the history, Shift+Delete removes
// a recalled line. (Aliases, "torvex.alias:", are read by the plug-in itself: there are many.)
constexpr char kElevate[] = "torvex.elevate:";
constexpr char kHistorySearch[] = "torvex.historySearch:";
constexpr char kHistoryDelete[] = "torvex.historyDelete:";
// Suggestions as you type, ranked by use.
constexpr char kSuggest[] = "torvex.suggest:";
// The calculator in the line.
constexpr char kCalculator[] = "torvex.calculator:";
// Programs by name: the Start menu's, App Paths' and packaged apps'.
constexpr char kPrograms[] = "torvex.programs:";

// The shell's current style.
constexpr char kToolbarColor[] = "toolbar.color:";
constexpr char kToolbarColorTo[] = "toolbar.colorTo:";
constexpr char kToolbarTextColor[] = "toolbar.textColor:";
constexpr char kLabelColor[] = "toolbar.label.color:";
constexpr char kLabelColorTo[] = "toolbar.label.colorTo:";
constexpr char kLabelTextColor[] = "toolbar.label.textColor:";
constexpr char kBorderColor[] = "borderColor:";
constexpr char kAnyFont[] = "*font:";
constexpr char kToolbarFont[] = "toolbar.font:";
constexpr char kToolbarFontHeight[] = "toolbar.fontHeight:";
constexpr char kToolbar[] = "toolbar:";
constexpr char kToolbarLabel[] = "toolbar.label:";
constexpr char kBevelWidth[] = "bevelWidth:";
constexpr char kBorderWidth[] = "borderWidth:";

// The shell's extensions rc: picks the box height formula.
constexpr char kUnixBullet[] = "nimbar.appearance.bullet.unix:";

// The shell's main rc.
constexpr char kSlitAutoHide[] = "session.screen0.slit.autohide:";

}  // namespace torvex::keys
