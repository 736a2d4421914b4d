#pragma once
// Splitting a command line into what to run and its arguments, as the Run dialog does.
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

}  // namespace quorlin
