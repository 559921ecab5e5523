#pragma once
// Tests that need a real X display run themselves again under a virtual X server.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace uitest {

// Runs one test of this program again under a virtual X server with Environment (NAME=value pairs) set, expects
// it to succeed, and gives its output, which shows when it fails.
inline std::string RunSelfUnderDisplay(const std::string& Environment, const std::string& Test) {
    const std::string Self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string Cmd = Environment + " ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 640x480x24' " + Self +
                            " --gtest_filter=" + Test + " 2>&1";
    std::string Out;
    FILE* P = popen(Cmd.c_str(), "r");
    EXPECT_TRUE(P) << Cmd;
    if (!P)
        return Out;
    std::array<char, 512> Buf;
    while (std::fgets(Buf.data(), int(Buf.size()), P))
        Out += Buf.data();
    EXPECT_EQ(pclose(P), 0) << Out;
    return Out;
}

} // namespace uitest
