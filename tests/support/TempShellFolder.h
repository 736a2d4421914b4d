#pragma once
// A folder under %TEMP% that the stand-in shell takes as its own for one test: the rc files a
// test writes there are removed again, with the folder, when it ends.
#include <windows.h>

#include <fstream>
#include <set>
#include <string>

#include "shell/StandIn.h"

namespace testsupport {

class TempShellFolder {
  public:
    explicit TempShellFolder(const char* name) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + name + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
        standin::SetShellFolder(path_);
    }
    ~TempShellFolder() {
        for (const std::string& file : written_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
        standin::SetShellFolder("");
    }
    TempShellFolder(const TempShellFolder&) = delete;
    TempShellFolder& operator=(const TempShellFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes (or rewrites) a file in the folder and returns its path.
    std::string Write(const char* name, const std::string& text) {
        std::string file = path_ + name;
        std::ofstream(file) << text;
        written_.insert(file);
        return file;
    }

  private:
    std::string path_;
    std::set<std::string> written_;
};

}  // namespace testsupport
