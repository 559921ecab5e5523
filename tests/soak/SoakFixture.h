// What the soaks share: how many cycles a soak runs (the full count with QV_SOAK=1, a short form otherwise, which
// is what CI runs), the process's thread and descriptor counts, and the closing line with the soak's figures.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace soak {

inline int Cycles(int Full, int Short) {
    const char* Mode = std::getenv("QV_SOAK");
    return Mode && std::string(Mode) == "1" ? Full : Short;
}

struct TProcessCounts {
    int Threads = 0;
    int Descriptors = 0;
    bool operator==(const TProcessCounts&) const = default;
};

inline int Entries(const char* Folder) {
    int N = 0;
    std::error_code Error;
    for (auto It = std::filesystem::directory_iterator(Folder, Error); !Error && It != std::filesystem::end(It);
         It.increment(Error))
        ++N;
    return N;
}

// The descriptor that lists /proc/self/fd is open while it lists, and counted: one less is the process's own.
inline TProcessCounts ProcessCounts() {
    return {Entries("/proc/self/task"), Entries("/proc/self/fd") - 1};
}

inline void PrintTo(const TProcessCounts& C, std::ostream* Os) {
    *Os << C.Threads << " threads, " << C.Descriptors << " descriptors";
}

// Measures a soak: counts at the start, then, at the end, waits (running Between) until the threads that end on
// their own have gone, checks the counts are back and prints the figures.
class TSoakMeter {
public:
    explicit TSoakMeter(std::string Name) : FName(std::move(Name)), FStart(ProcessCounts()) {}
    void Finish(int CyclesRun, const std::function<void()>& Between = nullptr) {
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        TProcessCounts End = ProcessCounts();
        while (!(End == FStart) && std::chrono::steady_clock::now() < Limit) {
            if (Between)
                Between();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            End = ProcessCounts();
        }
        const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - FBegan).count();
        std::printf("SOAK %s: %d cycles in %.1f s; threads %d -> %d, descriptors %d -> %d\n", FName.c_str(), CyclesRun,
                    Seconds, FStart.Threads, End.Threads, FStart.Descriptors, End.Descriptors);
        EXPECT_EQ(End, FStart);
    }

private:
    std::string FName;
    TProcessCounts FStart;
    std::chrono::steady_clock::time_point FBegan = std::chrono::steady_clock::now();
};

} // namespace soak
