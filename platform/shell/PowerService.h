// Powering the computer off at the end of a batch.
//
// The service is replaceable (SetPowerService). The library's default only records the requests, so no test and
// no embedding program can switch a machine off by accident; the program's entry puts TLogindPowerService in
// place. That one asks the login manager over the system bus to power off, and does nothing at all while the
// environment variable QV_NO_POWEROFF is set (the test script sets it).
#pragma once

#include "platform/base/System.h"

#include <functional>
#include <memory>
#include <vector>

class TPowerService {
public:
    virtual ~TPowerService() = default;
    // Asks for the machine to be powered off, without asking the user; false when the request could not be made.
    virtual bool PowerOff() = 0;
};

// Keeps the number of requests; powers nothing off.
class TRecordingPowerService : public TPowerService {
public:
    bool PowerOff() override {
        ++Requests;
        return true;
    }
    int Requests = 0;
};

// Starts busctl from an argument list (never through a shell) with the login manager's PowerOff call, not
// interactive: the login manager decides at the call whether this user may power off.
class TLogindPowerService : public TPowerService {
public:
    // Starts Program with Args; the process id, or -1 with Error. TProcessLauncher::Spawn by default.
    using TSpawner = std::function<int(const String& Program, const std::vector<String>& Args, String& Error)>;
    explicit TLogindPowerService(TSpawner ASpawner = {});
    bool PowerOff() override;
    // The program and arguments PowerOff starts.
    static const String Program;
    static std::vector<String> Arguments();

private:
    TSpawner FSpawner;
};

// True while QV_NO_POWEROFF is set in the environment.
bool PowerOffSuppressed();

// The service in use (a TRecordingPowerService until one is set).
TPowerService& PowerService();
// Puts AService in place (null brings back the recording default) and hands back the previous one.
std::unique_ptr<TPowerService> SetPowerService(std::unique_ptr<TPowerService> AService);
