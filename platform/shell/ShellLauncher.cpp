#include "platform/shell/ShellLauncher.h"

#include "platform/base/SysUtils.h"

#include <cstring>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

std::mutex LauncherLock;
std::unique_ptr<TShellLauncher> Current;

} // namespace

int TProcessLauncher::Spawn(const String& Program, const std::vector<String>& Args, const String& WorkingDir,
                            String& Error) {
    std::vector<std::string> Texts;
    Texts.push_back(UTF8Encode(Program));
    for (const String& A : Args)
        Texts.push_back(UTF8Encode(A));
    std::vector<char*> Argv;
    for (std::string& T : Texts)
        Argv.push_back(T.data());
    Argv.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    const std::string Dir = UTF8Encode(WorkingDir);
    if (!Dir.empty())
        posix_spawn_file_actions_addchdir_np(&Actions, Dir.c_str());
    pid_t Pid = -1;
    const int Rc = posix_spawnp(&Pid, Texts[0].c_str(), &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Rc != 0) {
        Error = Format(u"Cannot start %s: %s", {Program, UTF8ToString(std::strerror(Rc))});
        return -1;
    }
    // Nobody waits for the opener; a thread of its own reaps it so that no zombie is left.
    std::thread([Pid] {
        int Status = 0;
        waitpid(Pid, &Status, 0);
    }).detach();
    return int(Pid);
}

bool TProcessLauncher::Open(const String& Target, const String& WorkingDir, String& Error) {
    return Spawn(FProgram, {Target}, WorkingDir, Error) > 0;
}

TShellLauncher& ShellLauncher() {
    std::lock_guard Guard(LauncherLock);
    if (!Current)
        Current = std::make_unique<TProcessLauncher>();
    return *Current;
}

std::unique_ptr<TShellLauncher> SetShellLauncher(std::unique_ptr<TShellLauncher> ALauncher) {
    std::lock_guard Guard(LauncherLock);
    std::unique_ptr<TShellLauncher> Old = std::move(Current);
    Current = std::move(ALauncher);
    return Old;
}
