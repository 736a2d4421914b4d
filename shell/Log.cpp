// One line for every shell message that the main window or the slit receives.
#include <cstdarg>
#include <cstdio>

#include "shell/StandIn.h"

namespace {
FILE* logFile = nullptr;
bool echo = true;
}  // namespace

namespace standin {

void OpenLog(const char* path) {
    if (logFile != nullptr) std::fclose(logFile);
    logFile = path ? std::fopen(path, "w") : nullptr;
}

void SetLogEcho(bool on) {
    echo = on;
}

void Log(const char* format, ...) {
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof(line), format, arguments);
    va_end(arguments);
    if (echo) {
        std::printf("%s\n", line);
        std::fflush(stdout);
    }
    if (logFile != nullptr) {
        std::fprintf(logFile, "%s\n", line);
        std::fflush(logFile);
    }
}

}  // namespace standin
