#pragma once
// Whether a line's first word is something the Run dialog would start as it is: a path or an
// address, a file or folder in the profile folder, a program along PATH with PATHEXT, or a name
// registered under App Paths. Asked only of lines that might start a program by its name
// instead, on Enter: it looks at the disk and the registry as the engine is about to.
#include <string>

namespace torvex::search {

bool RunsAsItIs(const std::u16string& firstWord);

}  // namespace torvex::search
