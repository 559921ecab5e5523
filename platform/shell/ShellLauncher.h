// Opening folders, files and web pages with the desktop's handler.
//
// The launcher is replaceable (SetShellLauncher), so tests record what would be opened and the program
// can put another opener in place. The default starts "xdg-open" with the target as its one argument,
// without a shell, and with the given working folder as the child's own current folder: the program's
// current folder never changes (engine threads resolve relative names against it).
#pragma once

#include "platform/base/System.h"

#include <memory>
#include <vector>

class TShellLauncher {
public:
    virtual ~TShellLauncher() = default;
    // Starts the opener for Target; WorkingDir (may be empty) becomes the child's current folder. False with
    // Error when nothing could be started.
    virtual bool Open(const String& Target, const String& WorkingDir, String& Error) = 0;
};

// Starts a program from an argument list (searched on PATH), without a shell. The child is reaped in the
// background; the caller does not wait for it.
class TProcessLauncher : public TShellLauncher {
public:
    explicit TProcessLauncher(String AProgram = u"xdg-open") : FProgram(std::move(AProgram)) {}
    bool Open(const String& Target, const String& WorkingDir, String& Error) override;
    // Runs Program with Args in WorkingDir; the process id, or -1 with Error.
    static int Spawn(const String& Program, const std::vector<String>& Args, const String& WorkingDir, String& Error);

private:
    String FProgram;
};

// The launcher in use (a TProcessLauncher for "xdg-open" until one is set).
TShellLauncher& ShellLauncher();
// Puts ALauncher in place (null brings back the default) and hands back the previous one.
std::unique_ptr<TShellLauncher> SetShellLauncher(std::unique_ptr<TShellLauncher> ALauncher);
