#include "platform/shell/SoundService.h"

#include <SDL.h>

#include <chrono>
#include <cstring>

namespace {

std::mutex ServiceLock;
std::unique_ptr<TSoundService> Current;

} // namespace

TSdlSoundService::~TSdlSoundService() {
    Stop();
}

bool TSdlSoundService::PlayFile(const String& FileName) {
    Stop();
    std::lock_guard Guard(FLock);
    // A driver already running is shared as it is: starting the subsystem again would restart it under the
    // player's open device.
    const char* Driver = SDL_GetCurrentAudioDriver();
    if (!Driver) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        Driver = SDL_GetCurrentAudioDriver();
    }
    // The player's stand-in where no device works: nothing would be heard.
    if (!Driver || std::strcmp(Driver, "dummy") == 0)
        return false;
    SDL_AudioSpec Spec{};
    Uint8* Buffer = nullptr;
    Uint32 Length = 0;
    if (!SDL_LoadWAV(UTF8Encode(FileName).c_str(), &Spec, &Buffer, &Length))
        return false;
    Spec.callback = nullptr; // the samples are queued
    // No changes allowed: the library converts the file's format to the device's.
    const SDL_AudioDeviceID Device = SDL_OpenAudioDevice(nullptr, 0, &Spec, nullptr, 0);
    if (Device == 0) {
        SDL_FreeWAV(Buffer);
        return false;
    }
    const int Queued = SDL_QueueAudio(Device, Buffer, Length);
    SDL_FreeWAV(Buffer);
    if (Queued != 0) {
        SDL_CloseAudioDevice(Device);
        return false;
    }
    SDL_PauseAudioDevice(Device, 0);
    // What the device still holds once the queue is empty: one buffer.
    const auto TailMs = Uint32(Spec.freq > 0 ? Uint64(Spec.samples) * 1000 / Uint64(Spec.freq) + 20 : 100);
    FStopping = false;
    FPlaying = true;
    FPlayer = std::thread([this, Device, TailMs] { Drain(Device, TailMs); });
    return true;
}

void TSdlSoundService::Drain(std::uint32_t ADevice, std::uint32_t ATailMs) {
    std::unique_lock Guard(FLock);
    using namespace std::chrono_literals;
    while (!FStopping && SDL_GetQueuedAudioSize(ADevice) > 0)
        FWake.wait_for(Guard, 20ms);
    if (!FStopping)
        FWake.wait_for(Guard, std::chrono::milliseconds(ATailMs), [this] { return FStopping; });
    Guard.unlock();
    SDL_CloseAudioDevice(ADevice);
    Guard.lock();
    FPlaying = false;
}

bool TSdlSoundService::Playing() const {
    std::lock_guard Guard(FLock);
    return FPlaying;
}

void TSdlSoundService::Stop() {
    {
        std::lock_guard Guard(FLock);
        FStopping = true;
    }
    FWake.notify_all();
    if (FPlayer.joinable())
        FPlayer.join();
}

TSoundService& SoundService() {
    std::lock_guard Guard(ServiceLock);
    if (!Current)
        Current = std::make_unique<TRecordingSoundService>();
    return *Current;
}

std::unique_ptr<TSoundService> SetSoundService(std::unique_ptr<TSoundService> AService) {
    std::lock_guard Guard(ServiceLock);
    std::unique_ptr<TSoundService> Old = std::move(Current);
    Current = std::move(AService);
    return Old;
}
