#include "platform/shell/PowerService.h"

#include "platform/shell/ShellLauncher.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex ServiceLock;
std::unique_ptr<TPowerService> Current;

} // namespace

const String TLogindPowerService::Program = u"busctl";

std::vector<String> TLogindPowerService::Arguments() {
    // "b false": not interactive, so no authentication prompt can hold the call.
    return {u"--system",
            u"call",
            u"org.freedesktop.login1",
            u"/org/freedesktop/login1",
            u"org.freedesktop.login1.Manager",
            u"PowerOff",
            u"b",
            u"false"};
}

TLogindPowerService::TLogindPowerService(TSpawner ASpawner) : FSpawner(std::move(ASpawner)) {
    if (!FSpawner)
        FSpawner = [](const String& Program, const std::vector<String>& Args, String& Error) {
            return TProcessLauncher::Spawn(Program, Args, u"", Error);
        };
}

bool TLogindPowerService::PowerOff() {
    if (PowerOffSuppressed())
        return false;
    String Error;
    return FSpawner(Program, Arguments(), Error) > 0;
}

bool PowerOffSuppressed() {
    return std::getenv("QV_NO_POWEROFF") != nullptr;
}

TPowerService& PowerService() {
    std::lock_guard Guard(ServiceLock);
    if (!Current)
        Current = std::make_unique<TRecordingPowerService>();
    return *Current;
}

std::unique_ptr<TPowerService> SetPowerService(std::unique_ptr<TPowerService> AService) {
    std::lock_guard Guard(ServiceLock);
    std::unique_ptr<TPowerService> Old = std::move(Current);
    Current = std::move(AService);
    return Old;
}
