// A folder of its own for one test, made empty and removed with everything in it afterwards, so parallel test
// processes never meet.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

#include "platform/base/System.h"

class TTempDir {
public:
    TTempDir() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "qv-test-XXXXXX").string();
        if (::mkdtemp(Pattern.data()))
            FFolder = Pattern;
    }
    ~TTempDir() {
        std::error_code Ignored;
        if (!FFolder.empty())
            std::filesystem::remove_all(FFolder, Ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Folder() const { return FFolder; }
    // The folder with a trailing "/", as text.
    String Path() const { return UTF8ToString(FFolder.string()) + u"/"; }
    String operator/(const String& Name) const { return Path() + Name; }
    // A file of the folder, as text.
    String File(const std::string& Name) const { return UTF8ToString((FFolder / Name).string()); }

private:
    std::filesystem::path FFolder;
};
