// A line that is a calculation: its result is drawn while it is typed, and Enter puts the result
// on the clipboard and in the field, records the line and runs nothing.
#include <string>

#include "calculator/Calculator.h"
#include "interpreter/CommandTable.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"
#include "text/Clipboard.h"

namespace {

constexpr int kSeparatorSize = 4;  // LOCALE_SDECIMAL holds at most three characters

}  // namespace

// The user's decimal separator: "," where the locale uses it, else ".".
char16_t TorvexPlugin::DecimalSeparator() {
    wchar_t separator[kSeparatorSize] = L"";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, kSeparatorSize);
    return separator[0] == L',' && separator[1] == L'\0' ? u',' : u'.';
}

// A line whose first word is an alias, a dot-command, or an "@" line is never a calculation.
bool TorvexPlugin::MayCalculate(const std::wstring& line) {
    if (!calculator || line.empty() || line[0] == L'@') return false;
    const std::size_t start = line.find_first_not_of(L" \t");
    if (start != std::wstring::npos && line[start] == L'.') {
        const std::wstring command = line.substr(start, line.find_first_of(L" \t", start) - start);
        if (torvex::FindDotCommand(command.c_str()) != nullptr ||
            torvex::IsCommand(command.c_str(), torvex::kClearCommand) ||
            torvex::IsCommand(command.c_str(), torvex::kWhoCommand, torvex::kWhoLength)) {
            return false;
        }
    }
    const std::u16string text = torvex::ToU16(line);
    std::u16string expanded, alias;
    return aliases.Expand(text, expanded, alias) == torvex::AliasTable::Found::kNone;
}

// Worked out once for each text and separator: the box asks at every paint and at the keys that
// take a suggestion. The separator is asked each time, so that a change of the user's locale
// counts at once.
const torvex::calc::Result& TorvexPlugin::CalculationOf(const std::wstring& line) {
    const char16_t separator = DecimalSeparator();
    if (line != calculated.line || separator != calculated.separator || !calculated.valid) {
        calculated.line = line;
        calculated.separator = separator;
        calculated.result = MayCalculate(line)
                                ? torvex::calc::Calculate(torvex::ToU16(line), separator)
                                : torvex::calc::Result();
        calculated.valid = true;
    }
    return calculated.result;
}

// True when the line was a calculation: its result is on the clipboard and in the field, and the
// line is recorded; one without a result stays in the field, and nothing is run or recorded.
bool TorvexPlugin::RunCalculation(const wchar_t* line) {
    const torvex::calc::Result result = CalculationOf(line);
    if (result.kind == torvex::calc::Kind::kNone) return false;
    if (result.kind == torvex::calc::Kind::kError) return true;
    const std::wstring value = torvex::ToWide(result.value);
    torvex::CopyToClipboard(editWindow, value);
    // A result longer than a line (up to 10,000 digits) goes on the clipboard only.
    if (value.size() <= static_cast<std::size_t>(kMaxLineLength)) ShowFound(value.c_str());
    AddToHistory(line);
    RecordUse(line);
    return true;
}
