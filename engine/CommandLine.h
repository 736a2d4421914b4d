#pragma once
// Splitting a command line into what to run and its arguments, as the Run dialog does, and
// expanding its %VARIABLES%. Plain portable C++, so that it can be built natively too.
#include <functional>
#include <string>

namespace quorlin {

struct Command {
    std::u16string program;
    std::u16string arguments;
};

// Empty or blank lines, and broadcast commands ("@..."), are not for the engine.
bool IsForEngine(const std::u16string& line);

// Whether a path names an existing file or folder.
using FileExists = std::function<bool(const std::u16string& path)>;

// A double-quoted first word (a path: its closing quote ends it, a backslash before it kept), or
// else the first blank-separated word, is what to run; the rest, without its leading blanks, is
// its arguments.
// Given `exists`, an unquoted first word that names nothing is taken as far as the line names an
// existing file: the longest part of it that ends before a blank, or the whole line.
Command Split(const std::u16string& line, const FileExists& exists = nullptr);

// The value of a variable: false when it is not defined.
using VariableLookup = std::function<bool(const std::u16string& name, std::u16string& value)>;

// Every %NAME% whose variable is defined is replaced by its value; an undefined %NAME% stays as
// it is, and so does a % without a partner, as the system's own expansion does.
std::u16string ExpandVariables(const std::u16string& line, const VariableLookup& lookup);

}  // namespace quorlin
