// One line for every shell message that the main window or the slit receives.
#include <cstdarg>
#include <cstdio>

#include "shell/StandIn.h"

namespace {
FILE* logFile = nullptr;
bool echo = true;
standin::CallObserver callObserver = nullptr;
}  // namespace

namespace standin {

void OpenLog(const char* path) {
    if (logFile != nullptr) std::fclose(logFile);
    logFile = path ? std::fopen(path, "w") : nullptr;
}

void SetLogEcho(bool on) {
    echo = on;
}

void SetCallObserver(CallObserver observer) {
    callObserver = observer;
}

void ReportCall(const char* function, const void* subject, const char* format, ...) {
    if (callObserver == nullptr) return;
    char arguments[1024];
    va_list list;
    va_start(list, format);
    std::vsnprintf(arguments, sizeof(arguments), format, list);
    va_end(list);
    callObserver(function, subject, arguments);
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
