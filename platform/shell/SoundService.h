// Playing a short sound (the end-of-batch chime) in the background.
//
// The service is replaceable (SetSoundService). The library's default only records what it was asked to play;
// the program's entry puts TSdlSoundService in place, so tests never play for real.
#pragma once

#include "platform/base/System.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TSoundService {
public:
    virtual ~TSoundService() = default;
    // Starts playing the WAV file FileName and returns at once; a sound still playing is cut off. False when
    // nothing plays (no such file, no audio device).
    virtual bool PlayFile(const String& FileName) = 0;
};

// Keeps the names it was asked to play; plays nothing.
class TRecordingSoundService : public TSoundService {
public:
    bool PlayFile(const String& FileName) override {
        Played.push_back(FileName);
        return true;
    }
    std::vector<String> Played;
};

// Plays on an audio device of its own, opened for each sound and closed when it has played, so the media
// player's device is never touched. It starts the audio subsystem when no driver runs yet and never shuts the
// library down, which the player shares. Where no device opens, or only the silent "dummy" driver runs, it does
// nothing.
class TSdlSoundService : public TSoundService {
public:
    TSdlSoundService() = default;
    ~TSdlSoundService() override;
    bool PlayFile(const String& FileName) override;
    // True while a sound is still playing.
    bool Playing() const;
    // Cuts the current sound off and closes its device.
    void Stop();

private:
    void Drain(std::uint32_t ADevice, std::uint32_t ATailMs);

    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::thread FPlayer;
    bool FStopping = false;
    bool FPlaying = false;
};

// The service in use (a TRecordingSoundService until one is set).
TSoundService& SoundService();
// Puts AService in place (null brings back the recording default) and hands back the previous one.
std::unique_ptr<TSoundService> SetSoundService(std::unique_ptr<TSoundService> AService);
