// Unit Previewer: the window that shows the frames a task encodes while the preview post hook is on.
// A stay-on-top tool window with a close button, centred on the screen and sized to the first
// frame, captioned with the frame's time stamp; a click anywhere in the picture drags it, and
// closing it ends the preview of that task. The converting thread hands frames over; the window is
// made, painted and freed on the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/base/System.h"
#include "platform/gdi/Graphics.h"
#include "platform/win/Windows.h"

class TPreviewer : public TObject {
public:
    TPreviewer() = default;
    ~TPreviewer() override;
    TPreviewer(const TPreviewer&) = delete;
    TPreviewer& operator=(const TPreviewer&) = delete;

    // Shows the frame (waiting until the GUI thread has drawn it); False once the user has closed
    // the window, after which nothing is shown any more.
    bool PaintFrame(TBitmap* ABitmap, int AFrameNumber, Int64 APTS);
    // The preview window (nil before the first frame and after it was closed).
    HWND FormHandle() const { return FFormHandle; }
    bool Closed() const { return FClosed; }

private:
    void CreatePreviewForm();
    void ShowFrame();
    void ReleasePreviewForm();
    static LRESULT CALLBACK_WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

    HWND FFormHandle = nullptr;
    std::atomic<bool> FClosed{false};
    TBitmap* FBitmap = nullptr; // the frame being handed over (not owned)
    int FFrameNumber = 0;
    Int64 FPTS = 0;
    std::unique_ptr<TBitmap> FShown; // the last frame drawn, for repainting
};
