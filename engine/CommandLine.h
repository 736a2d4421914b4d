#pragma once
// Splitting a command line into what to run and its arguments, as the Run dialog does, and
// expanding its %VARIABLES%. Plain portable C++, so that it can be built natively too.
#include <functional>
#include <string>

namespace quorlin {

struct Command {
    std::string program;
    std::string arguments;
};

// Empty or blank lines, and broadcast commands ("@..."), are not for the engine.
bool IsForEngine(const std::string& line);

// A double-quoted first word, or else the first blank-separated word, is what to run; the rest,
// without its leading blanks, is its arguments.
Command Split(const std::string& line);

// The value of a variable: false when it is not defined.
using VariableLookup = std::function<bool(const std::string& name, std::string& value)>;

// Every %NAME% whose variable is defined is replaced by its value; an undefined %NAME% stays as
// it is, and so does a % without a partner, as the system's own expansion does.
std::string ExpandVariables(const std::string& line, const VariableLookup& lookup);

}  // namespace quorlin
