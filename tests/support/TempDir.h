// A unique temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

#include <stdlib.h>

#include "platform/base/System.h"

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qv-base-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    // The folder with a trailing "/", as text.
    String Path() const { return UTF8ToString(FPath) + u"/"; }
    String operator/(const String& Name) const { return Path() + Name; }

private:
    std::string FPath;
};
