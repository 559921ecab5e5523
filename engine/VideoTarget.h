// Where the player draws its pictures: a 32-bit BGRA surface that follows the host window's client
// size and may be locked from any thread: the host window's video surface of the window layer, or
// the memory target for off-screen drawing (tests, playing without a window).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TVideoTarget {
public:
    virtual ~TVideoTarget() = default;
    // Locks the surface for drawing; false when there is nothing to draw into (the host is gone).
    virtual bool LockSurface(uint32_t*& ABits, int& APitchPixels, int& AWidth, int& AHeight) = 0;
    // Unlocks, and with AInvalidate has the host show what was drawn.
    virtual void UnlockSurface(bool AInvalidate) = 0;
};

class TMemoryVideoTarget : public TVideoTarget {
public:
    TMemoryVideoTarget(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

    bool LockSurface(uint32_t*& ABits, int& APitchPixels, int& AWidth, int& AHeight) override {
        FLock.lock();
        if (FGone) {
            FLock.unlock();
            return false;
        }
        ABits = FPixels.data();
        APitchPixels = AWidth = FWidth;
        AHeight = FHeight;
        return true;
    }
    void UnlockSurface(bool AInvalidate) override {
        if (AInvalidate)
            ++FPresents;
        FLock.unlock();
    }
    void SetSize(int AWidth, int AHeight) {
        std::lock_guard Guard(FLock);
        FWidth = AWidth;
        FHeight = AHeight;
        FPixels.assign(size_t(AWidth) * AHeight, 0xFF808080u);
    }
    // The host goes away: later locks fail.
    void Destroy() {
        std::lock_guard Guard(FLock);
        FGone = true;
    }
    uint32_t Pixel(int X, int Y) {
        std::lock_guard Guard(FLock);
        return FPixels[size_t(Y) * FWidth + X];
    }
    std::vector<uint32_t> Pixels() {
        std::lock_guard Guard(FLock);
        return FPixels;
    }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Presents() {
        std::lock_guard Guard(FLock);
        return FPresents;
    }

private:
    std::mutex FLock;
    std::vector<uint32_t> FPixels;
    int FWidth = 0;
    int FHeight = 0;
    int FPresents = 0;
    bool FGone = false;
};

class TVideoSurface;

// The host window's video surface of the window layer as the player's target.
class TSurfaceVideoTarget : public TVideoTarget {
public:
    explicit TSurfaceVideoTarget(std::shared_ptr<TVideoSurface> ASurface) : FSurface(std::move(ASurface)) {}
    bool LockSurface(uint32_t*& ABits, int& APitchPixels, int& AWidth, int& AHeight) override;
    void UnlockSurface(bool AInvalidate) override;
    TVideoSurface* Surface() const { return FSurface.get(); }

private:
    std::shared_ptr<TVideoSurface> FSurface;
};
