// Every source folder includes only its own layer and the layers below it. The folders are found in the tree, so a
// new folder is checked from the day it appears (and fails until it is given a layer below).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each layer with the layers directly below it; what lies below those is allowed too.
const std::map<std::string, std::vector<std::string>> Layers = {
    {"platform/base", {}},
    {"platform/gdi", {"platform/base"}},
    {"platform/win", {"platform/gdi"}},
    {"platform/ui", {"platform/win"}},
    {"platform/shell", {"platform/ui"}},
    {"engine", {"platform/win"}},
    {"skin/core", {"platform/ui"}},
    // The link label opens its address with the shell's launcher.
    {"skin/controls", {"skin/core", "platform/shell"}},
    {"skin/forms", {"skin/controls"}},
    {"skin/dialogs", {"skin/forms", "platform/shell"}},
    // The profiles' settings dialog is a skinned dialog with pictures of the application's own.
    {"app/profiles", {"engine", "skin/dialogs", "resources"}},
    // The main window holds the stored skins and the application's pictures.
    {"app", {"app/profiles", "skin/dialogs", "engine", "resources"}},
    // Build helpers: the skin maker draws with the skin core; the stored skins are plain data.
    {"tools/skinmaker", {"skin/core"}},
    // The art maker draws the application's pictures with the skin maker's painter.
    {"tools/artmaker", {"tools/skinmaker", "resources"}},
    {"resources", {"platform/base"}},
};

// Folders that are not layers of the program.
const std::set<std::string> Skipped = {"tests", "bench", ".git"};

// The layer a folder or file path belongs to: the longest layer name that is the path or one of its parents.
std::optional<std::string> LayerOf(const std::string& Path) {
    std::optional<std::string> Best;
    for (const auto& [Name, Below] : Layers) {
        const bool Inside = Path == Name || (Path.size() > Name.size() && Path.compare(0, Name.size(), Name) == 0 &&
                                             Path[Name.size()] == '/');
        if (Inside && (!Best || Name.size() > Best->size()))
            Best = Name;
    }
    return Best;
}

std::set<std::string> UsableFrom(const std::string& Layer) {
    std::set<std::string> Result{Layer};
    std::vector<std::string> Open{Layer};
    while (!Open.empty()) {
        const std::string Next = Open.back();
        Open.pop_back();
        for (const std::string& Below : Layers.at(Next))
            if (Result.insert(Below).second)
                Open.push_back(Below);
    }
    return Result;
}

struct TInclude {
    std::string File; // relative to the source root
    int Line = 0;
    std::string Target; // as written
};

// The fault of one include line, or an empty text where the include is allowed. Includes are written from the source
// root; a name without a folder is the including file's neighbour.
std::string Check(const TInclude& Inc) {
    const std::string Folder = fs::path(Inc.File).parent_path().generic_string();
    const auto From = LayerOf(Folder);
    if (!From)
        return Inc.File + ": folder \"" + Folder + "\" belongs to no layer";
    const std::string Target = Inc.Target.find('/') == std::string::npos ? Folder + "/" + Inc.Target : Inc.Target;
    const auto To = LayerOf(fs::path(Target).parent_path().generic_string());
    if (!To)
        return ""; // not a layer of the program (a system or generated header)
    if (UsableFrom(*From).count(*To))
        return "";
    return Inc.File + ":" + std::to_string(Inc.Line) + ": " + *From + " includes \"" + Inc.Target + "\" of " + *To +
           ", a layer above or beside it";
}

bool IsSource(const fs::path& P) {
    const auto Ext = P.extension().string();
    return Ext == ".h" || Ext == ".cpp" || Ext == ".c";
}

// Every source file of the tree outside the skipped folders and build folders.
std::vector<std::string> SourceFiles(const fs::path& Root) {
    std::vector<std::string> Result;
    for (auto It = fs::recursive_directory_iterator(Root); It != fs::recursive_directory_iterator(); ++It) {
        const std::string Name = It->path().filename().string();
        if (It->is_directory() && It.depth() == 0 && (Skipped.count(Name) || Name.rfind("build", 0) == 0)) {
            It.disable_recursion_pending();
            continue;
        }
        if (It->is_regular_file() && IsSource(It->path()) && It.depth() > 0)
            Result.push_back(fs::relative(It->path(), Root).generic_string());
    }
    std::sort(Result.begin(), Result.end());
    return Result;
}

std::vector<TInclude> IncludesOf(const fs::path& Root, const std::string& File) {
    static const std::regex Quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<TInclude> Result;
    std::ifstream In(Root / File);
    std::string Text;
    for (int Line = 1; std::getline(In, Text); ++Line) {
        std::smatch M;
        if (std::regex_search(Text, M, Quoted))
            Result.push_back({File, Line, M[1].str()});
    }
    return Result;
}

TEST(IncludeLayers, RuleAllowsOwnAndLowerLayersOnly) {
    struct Case {
        const char* File;
        const char* Target;
        bool Allowed;
    } Cases[] = {
        {"platform/base/Classes.cpp", "platform/base/System.h", true},
        {"platform/base/Classes.cpp", "Neighbour.h", true},
        {"platform/base/Classes.cpp", "platform/gdi/Graphics.h", false},
        {"platform/ui/Forms.cpp", "platform/base/System.h", true},
        {"platform/ui/Forms.cpp", "platform/shell/ShellItems.h", false},
        {"engine/FFConverter.cpp", "platform/win/Windows.h", true},
        {"engine/FFConverter.cpp", "platform/ui/Forms.h", false},
        {"engine/FFConverter.cpp", "skin/core/bsUtils.h", false},
        {"engine/stubs/Stub.c", "engine/FFUtils.h", true},
        {"skin/core/bsUtils.cpp", "platform/ui/Controls.h", true},
        {"skin/core/bsUtils.cpp", "platform/shell/ShellItems.h", false},
        {"skin/core/bsUtils.cpp", "skin/controls/bsSkinCtrls.h", false},
        {"skin/core/bsUtils.cpp", "engine/FFUtils.h", false},
        {"skin/dialogs/bsDialogs.cpp", "platform/shell/ShellItems.h", true},
        {"skin/dialogs/bsDialogs.cpp", "skin/core/bsUtils.h", true},
        {"skin/forms/bsSkinForm.cpp", "skin/dialogs/bsDialogs.h", false},
        {"app/profiles/Profiles.cpp", "engine/FFUtils.h", true},
        {"app/profiles/Profiles.cpp", "skin/dialogs/bsDialogs.h", true},
        {"app/profiles/Profiles.cpp", "app/MainForm.h", false},
        {"app/MainForm.cpp", "app/profiles/Profiles.h", true},
        {"tools/skinmaker/Main.cpp", "skin/core/bsUtils.h", true},
        {"tools/skinmaker/Main.cpp", "skin/forms/bsSkinForm.h", false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Check({C.File, 1, C.Target}).empty(), C.Allowed) << C.File << " -> " << C.Target;
    EXPECT_EQ(Check({"engine/FFConverter.cpp", 12, "platform/ui/Forms.h"}),
              "engine/FFConverter.cpp:12: engine includes \"platform/ui/Forms.h\" of platform/ui, a layer above or "
              "beside it");
    EXPECT_EQ(Check({"newfolder/A.cpp", 1, "platform/base/System.h"}),
              "newfolder/A.cpp: folder \"newfolder\" belongs to no layer");
}

TEST(IncludeLayers, EverySourceFolderUsesOnlyTheLayersBelowIt) {
    const fs::path Root = QV_SOURCE_DIR;
    const std::vector<std::string> Files = SourceFiles(Root);
    ASSERT_FALSE(Files.empty()) << Root;
    std::set<std::string> Faults;
    for (const std::string& File : Files) {
        if (!LayerOf(fs::path(File).parent_path().generic_string()))
            Faults.insert(File.substr(0, File.rfind('/')) + ": folder belongs to no layer");
        else
            for (const TInclude& Inc : IncludesOf(Root, File))
                if (std::string Fault = Check(Inc); !Fault.empty())
                    Faults.insert(Fault);
    }
    std::string Report;
    for (const std::string& F : Faults)
        Report += F + "\n";
    EXPECT_TRUE(Faults.empty()) << Report;
}

} // namespace
