// Programs by name: which entry a few typed letters suggest, tier by tier, learnt after one pick.
// Each row's expected entry is what a user of a Start menu like this one means by the letters.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "programs/AppPaths.h"
#include "programs/Catalog.h"
#include "programs/ListFile.h"
#include "programs/Matching.h"
#include "programs/StartMenu.h"
#include "tests/support/Shortcut.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace {

using torvex::programs::Entry;
using torvex::programs::Kind;

std::vector<Entry> StartMenu() {
    std::vector<Entry> entries;
    for (const char* name :
         {"Visual Studio Code", "Visual Studio 2022", "Uninstall Visual Studio Code", "VirtualBox",
          "Notepad++", "Notepad",
          "\xC3\x89"
          "diteur de texte",
          "Microsoft Word", "Word Readme", "Paint", "Paint 3D", "Python 3.12 (64-bit)",
          "7-Zip File Manager", "\xD0\x91\xD0\xBB\xD0\xBE\xD0\xBA\xD0\xBD\xD0\xBE\xD1\x82",
          "Reset Network Settings"}) {
        entries.push_back({testsupport::U16(name), testsupport::U16(name), Kind::kProgram});
    }
    entries.push_back({u"Python 3.12 Manuals", u"Python 3.12 Manuals", Kind::kDocument});
    return entries;
}

TEST(Programs, AFewLettersSuggestTheProgramMeant) {
    struct Case {
        const char* typed;
        const char* expected;  // "" for none
        std::map<std::string, int> scores = {};
        std::vector<std::pair<std::string, std::string>> learnt = {};  // text, entry; newest first
    };
    const Case cases[] = {
        {"notepad", "Notepad"},  // the whole name before a longer one
        {"note", "Notepad"},     // the start; the shorter name
        {"NOTE", "Notepad"},
        {"vsc", "Visual Studio Code"},  // initials
        {"vs", "Visual Studio 2022"},   // of equal length, the name in order
        {"vs", "Visual Studio Code", {{"Visual Studio Code", 4}}},  // run more
        {"vb", "VirtualBox"},  // a capital inside a word starts one
        {"7z", "7-Zip File Manager"},
        {"stu cod", "Visual Studio Code"},  // word starts in order; the uninstaller after it
        {"code", "Visual Studio Code"},     // anywhere in the name
        {"uninstall", "Uninstall Visual Studio Code"},
        {"py", "Python 3.12 (64-bit)"},  // the manuals are no program
        {"reset", "Reset Network Settings"},
        {"net set", "Reset Network Settings"},
        {"editeur",
         "\xC3\x89"
         "diteur de texte"},  // accent-free
        {"\xC3\x89"
         "DIT",
         "\xC3\x89"
         "diteur de texte"},
        {"\xD0\xB1\xD0\xBB\xD0\xBE\xD0\xBA",
         "\xD0\x91\xD0\xBB\xD0\xBE\xD0\xBA\xD0\xBD\xD0\xBE\xD1\x82"},
        {"pain", "Paint 3D", {{"Paint 3D", 2}}},
        {"p", "Paint 3D", {}, {{"p", "Paint 3D"}}},  // learnt after one pick
        {"pai", "Paint 3D", {}, {{"p", "Paint 3D"}}},
        {"paint", "Paint 3D", {}, {{"p", "Paint 3D"}}},  // a longer start of its name
        {"py", "Python 3.12 (64-bit)", {}, {{"p", "Paint 3D"}}},
        {"vs", "Visual Studio Code", {}, {{"vs", "Visual Studio Code"}, {"vs", "VirtualBox"}}},
        {"zzq", ""},
        {"", ""},
        {"  ", ""},  // blanks name nothing
    };
    const std::vector<Entry> entries = StartMenu();
    std::vector<torvex::programs::Prepared> prepared;
    for (const Entry& entry : entries) prepared.push_back(torvex::programs::Prepare(entry));
    std::vector<torvex::programs::Listed> listed;
    for (const Entry& entry : entries) listed.push_back({entry, u"C:\\" + entry.key});
    const auto catalog = torvex::programs::MakeCatalog(listed);
    for (const Case& row : cases) {
        std::vector<torvex::programs::Learnt> learnt;
        std::vector<torvex::programs::Pick> picks;
        for (const auto& [text, key] : row.learnt) {
            learnt.push_back({testsupport::U16(text), testsupport::U16(key)});
            picks.push_back({learnt.back().text, catalog->byKey.at(learnt.back().key)});
        }
        auto score = [&](int entry) {
            auto found = row.scores.find(testsupport::Utf8(entries[entry].name));
            return static_cast<std::uint64_t>(found == row.scores.end() ? 0 : found->second);
        };
        const std::u16string typed = testsupport::U16(row.typed);
        const int best = torvex::programs::Best(typed, entries, prepared, learnt, score);
        EXPECT_EQ(best < 0 ? "" : testsupport::Utf8(entries[best].name), row.expected) << row.typed;
        // Typed a unit at a time, as the box narrows it: the same entry.
        torvex::programs::Suggester suggester;
        int suggested = -1;
        for (std::size_t length = 1; length <= typed.size(); ++length)
            suggested = suggester.Suggest(typed.substr(0, length), *catalog, picks, score);
        EXPECT_EQ(suggested, best) << row.typed;
    }
}

// Enter on a line: the entry its first words name, the longest name first, and the words after.
TEST(Programs, ALineStartsTheEntryItsFirstWordsName) {
    const auto catalog = torvex::programs::MakeCatalog(
        {{{u"Paint", u"k1", Kind::kProgram}, u"C:\\p.lnk"},
         {{u"Paint 3D", u"k2", Kind::kProgram}, u"C:\\p3.lnk"},
         {{u"Paint", u"k3", Kind::kDocument}, u"C:\\p.url"},       // a program before it
         {{u"Paint", u"k1", Kind::kProgram}, u"C:\\again.lnk"}});  // the same key: once
    struct Case {
        const char* line;
        const char* start;  // "" for none
        const char* rest;
    };
    const Case cases[] = {{"paint", "C:\\p.lnk", ""},
                          {"PAINT 3d  a.png  b", "C:\\p3.lnk", "a.png  b"},
                          {"paint 3", "C:\\p.lnk", "3"},
                          {"paint3d", "", ""},
                          {"pain", "", ""},
                          {" paint", "", ""}};
    EXPECT_EQ(catalog->entries.size(), 3u);
    for (const Case& row : cases) {
        const auto named = torvex::programs::NamedBy(*catalog, testsupport::U16(row.line));
        EXPECT_EQ(named.entry < 0 ? "" : testsupport::Utf8(catalog->starts[named.entry]), row.start)
            << row.line;
        EXPECT_EQ(testsupport::Utf8(named.rest), row.rest) << row.line;
    }
}

// The list file: what another version, a cut or a damaged line leaves of it.
TEST(Programs, TheListFileCostsOnlyWhatCannotBeRead) {
    const std::string good = "P\tk\tC:\\a.lnk\tApp\n";
    struct Case {
        std::string bytes;
        std::size_t entries;
    };
    const Case cases[] = {
        {"torvex programs 1\n" + good + good, 2},
        {"torvex programs 2\n" + good, 0},                      // another version
        {"torvex programs 1\n" + good + "P\tk\tC:\\b", 1},      // cut short
        {"torvex programs 1\nX\tk\ts\tn\n" + good, 1},          // a kind it does not know
        {"torvex programs 1\nP\tk\ts\t\xFF\n" + good, 1},       // no UTF-8
        {"torvex programs 1\nP\t\ts\tn\nP\tk\ts\n" + good, 1},  // an empty key, a field short
        {"", 0},
    };
    for (const Case& row : cases) {
        const auto list = torvex::programs::ReadList(row.bytes);
        EXPECT_EQ(list.size(), row.entries) << row.bytes;
        EXPECT_EQ(torvex::programs::ReadList(torvex::programs::WrittenList(list)).size(),
                  row.entries);
    }
    const auto list = torvex::programs::ReadList("torvex programs 1\nD\tk\tC:\\r.url\tR\xC3\xA9\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].entry.kind, Kind::kDocument);
    EXPECT_EQ(list[0].entry.name, u"R\u00E9");
    EXPECT_EQ(list[0].start, u"C:\\r.url");
}

// A Start menu folder of the test's own, with shortcuts made as installers make them: each is read
// without being resolved, named as Explorer shows it, a program or a document by its target.
TEST(Programs, StartMenuShortcutsAreReadWithoutResolvingThem) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    testsupport::TempShellFolder menu{"torvex-start-menu"};
    const std::wstring root = testsupport::Wide(menu.path());
    auto shortcut = [](const std::wstring& path, const wchar_t* target) {
        EXPECT_TRUE(testsupport::MakeShortcut(path, target));
    };
    std::wstring deep = root + L"Sub";
    CreateDirectoryW(deep.c_str(), nullptr);
    shortcut(root + L"Tool.lnk", L"\\\\no-such-server\\share\\tool.exe");  // never reached
    shortcut(root + L"Tool Readme.lnk", L"C:\\no-such-folder\\readme.txt");
    shortcut(deep + L"\\Deep \u00C9diteur.lnk", L"C:\\no-such-folder\\editor.exe");
    std::ofstream(menu.path() + "Site.url") << "[InternetShortcut]\r\nURL=https://example.org/\r\n";
    std::ofstream(menu.path() + "Broken.lnk") << "not a shortcut";
    std::ofstream(menu.path() + "Empty.lnk").close();
    shortcut(root + L"\u0416\u0451\u043B\u0442\u044B\u0439 \u65E5\u672C \U0001F600.lnk",
             L"C:\\y.exe");
    std::ofstream(menu.path() + "notes.txt") << "x";
    for (int level = 0; level < 12; ++level) {  // deeper than any Start menu: cut at its bound
        deep += L"\\d";
        CreateDirectoryW(deep.c_str(), nullptr);
    }
    shortcut(deep + L"\\Too Deep.lnk", L"C:\\x.exe");
    std::vector<torvex::programs::Listed> list;
    torvex::programs::AddShortcuts(root.substr(0, root.size() - 1), u"U:", list);
    std::map<std::string, std::string> read;  // name: kind and key
    for (const auto& listed : list) {
        read[testsupport::Utf8(listed.entry.name)] =
            std::string(listed.entry.kind == Kind::kProgram ? "program " : "document ") +
            testsupport::Utf8(listed.entry.key);
    }
    const std::map<std::string, std::string> expected = {
        {"Tool", "program U:Tool.lnk"},
        {"Tool Readme", "document U:Tool Readme.lnk"},
        {"Deep \xC3\x89"
         "diteur",
         "program U:Sub\\Deep \xC3\x89"
         "diteur.lnk"},
        {"Site", "document U:Site.url"},
        {"\xD0\x96\xD1\x91\xD0\xBB\xD1\x82\xD1\x8B\xD0\xB9 \xE6\x97\xA5\xE6\x9C\xAC "
         "\xF0\x9F\x98\x80",
         "program U:\xD0\x96\xD1\x91\xD0\xBB\xD1\x82\xD1\x8B\xD0\xB9 \xE6\x97\xA5\xE6\x9C\xAC "
         "\xF0\x9F\x98\x80.lnk"},
    };
    EXPECT_EQ(read, expected);
    CoUninitialize();
}

// App Paths: each registered program once, by its key's name, started by the path the key names
// (its variables expanded, its quotes taken off); a key without a path is none.
TEST(Programs, AppPathsAreListedByTheirNames) {
    const char paths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    struct Case {
        const char* key;
        const char* value;  // nullptr: none
        DWORD type;
        const char* name;
        const char* start;  // "" when not listed
    };
    const Case cases[] = {
        {"TorvexProbe.exe", "\"C:\\Probe Tools\\probe.exe\"", REG_SZ, "TorvexProbe",
         "C:\\Probe Tools\\probe.exe"},
        {"torvexwindir", "%SystemRoot%\\torvex.exe", REG_EXPAND_SZ, "torvexwindir",
         "C:\\windows\\torvex.exe"},
        {"torvexnone.exe", nullptr, REG_SZ, "torvexnone", ""},
    };
    for (const Case& row : cases) {
        const std::string key = std::string(paths) + row.key;
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &created, nullptr),
                  ERROR_SUCCESS);
        if (row.value != nullptr) {
            RegSetValueExA(created, nullptr, 0, row.type, reinterpret_cast<const BYTE*>(row.value),
                           static_cast<DWORD>(std::strlen(row.value) + 1));
        }
        RegCloseKey(created);
    }
    std::vector<torvex::programs::Listed> list;
    torvex::programs::AddAppPaths(list);
    for (const Case& row : cases) {
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(paths) + row.key).c_str());
        std::string started;
        for (const auto& listed : list) {
            if (testsupport::Utf8(listed.entry.name) == row.name) {
                EXPECT_TRUE(started.empty()) << "once: " << row.name;
                started = testsupport::Utf8(listed.start);
            }
        }
        EXPECT_EQ(_stricmp(started.c_str(), row.start), 0) << row.name << ": " << started;
    }
}

}  // namespace
