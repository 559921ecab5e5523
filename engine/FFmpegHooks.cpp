// The transcoder's picture hooks: the frame-hook plug-ins run on each decoded picture, and the post
// hooks that show encoded pictures in a preview window or hand them to the preview-picture event.
#include "engine/FFmpeg.h"

#include "engine/AVUtilStubs.h"
#include "engine/FFmpegStreams.h"
#include "engine/FrameHook.h"
#include "engine/Previewer.h"
#include "engine/RGBConvertContext.h"

#include <cstring>

void TCustomFFmpeg::OptVideoHook(const std::string& AValue) {
    char* Args = av::av_strdup(AValue.c_str());
    if (!Args)
        throw FFmpegException(u"Failed to add video hook function: " + UTF8ToString(AValue));
    Fvhook_args.push_back(Args);
    const char* Separator = strchr(Args, '|') ? "|" : " ";
    char* Argv[64] = {};
    int Argc = 0;
    char* Rest = nullptr;
    for (char* Token = strtok_r(Args, Separator, &Rest); Token && Argc < 63;
         Token = strtok_r(nullptr, Separator, &Rest))
        Argv[Argc++] = Token;
    if (FrameHookAdd(FFirstHook, Argc, Argv) != 0)
        throw FFmpegException(u"Failed to add video hook function: " + UTF8ToString(AValue));
    Fusing_vhook = true;
}

void TCustomFFmpeg::RunFrameHooks(AVFrame* picture, TAVInputStream& ist) {
    // The hooks change the picture in place; a frame the decoder still shares is copied first.
    if (av::av_frame_make_writable(picture) < 0) {
        Log(fllError, u"hook buf malloc error.");
        return;
    }
    TFrameHookPicture Picture;
    for (int I = 0; I < 4; ++I) {
        Picture.data[I] = picture->data[I];
        Picture.linesize[I] = picture->linesize[I];
    }
    FrameHookProcess(FFirstHook, &Picture, picture->format, picture->width, picture->height, ist.pts);
}

void TCustomFFmpeg::ReleaseFrameHooks() {
    FrameHookRelease(FFirstHook);
    for (char*& Args : Fvhook_args)
        av::av_freep(&Args);
    Fvhook_args.clear();
    Fusing_vhook = false;
}

namespace {
// Serialises post-hook changes with the post hooks of every running task, and is held while a
// picture is delivered, so a preview window is never freed while it paints.
std::mutex PostHookLock;

// A task may hold the lock while it waits for the GUI thread to show a picture; the GUI thread
// therefore serves synchronised calls while it waits for the lock.
std::unique_lock<std::mutex> LockPostHooks() {
    std::unique_lock Lock(PostHookLock, std::defer_lock);
    if (!IsMainThread())
        Lock.lock();
    else
        while (!Lock.try_lock())
            CheckSynchronize(5);
    return Lock;
}
} // namespace

void TCustomFFmpeg::SetPostHooks(TPostHooks AValue) {
    if (AValue == FPostHooks)
        return;
    if (!(AValue & PostHookBit(phPreview)) && FPreviewer) {
        delete FPreviewer;
        FPreviewer = nullptr;
    }
    FPostHooks = AValue;
}

void TCustomFFmpeg::SetPostHooksLocked(TPostHooks AValue) {
    auto Lock = LockPostHooks();
    SetPostHooks(AValue);
}

void TCustomFFmpeg::ChangePostHooks(TPostHooks AAdd, TPostHooks ARemove) {
    auto Lock = LockPostHooks();
    SetPostHooks((FPostHooks | AAdd) & ~ARemove);
}

void TCustomFFmpeg::RunPostHooks(AVFrame* picture, AVCodecContext* enc) {
    std::lock_guard Guard(PostHookLock);
    TPostHooks Hooks = FPostHooks;
    const Int64 Now = av::av_gettime_relative();
    const bool Due = Now - Flast_preview_time > PreviewInterval;
    const bool Event = (Hooks & PostHookBit(phBitmap)) && OnPreviewBitmap;
    if (!Due || (!Event && !(Hooks & PostHookBit(phPreview))))
        return;
    if (!FPostContext)
        FPostContext = new TRGBConvertContext;
    TAVPicture Picture;
    for (int I = 0; I < 4; ++I) {
        Picture.data[I] = picture->data[I];
        Picture.linesize[I] = picture->linesize[I];
    }
    const Int64 PTS = picture->pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE
                                                     : av::av_rescale_q(picture->pts, enc->time_base, AV_TIME_BASE_Q);
    const TPostHook Hook = Event ? phBitmap : phPreview;
    if (!PictureToBitmap(*FPostContext, &Picture, picture->format, picture->width, picture->height)) {
        Log(fllError, u"Cannot initialize the toRGB conversion context");
        Hooks &= ~PostHookBit(Hook);
    } else if (Event) {
        try {
            OnPreviewBitmap(this, FPostContext->Bitmap.get(), FRun->hook_frame_number, PTS);
        } catch (const std::exception& E) {
            Log(fllError, u"Error occurs OnPreviewBitmap: " + UTF8ToString(E.what()));
        }
    } else {
        if (!FPreviewer)
            FPreviewer = new TPreviewer;
        if (!FPreviewer->PaintFrame(FPostContext->Bitmap.get(), FRun->hook_frame_number, PTS))
            Hooks &= ~PostHookBit(phPreview); // the user closed the window
    }
    Flast_preview_time = Now;
    SetPostHooks(Hooks);
}

void TCustomFFmpeg::ReleasePostContext() {
    if (!FPreviewer && !FPostContext)
        return;
    auto Lock = LockPostHooks();
    delete FPreviewer;
    FPreviewer = nullptr;
    if (FPostContext) {
        ResetRGBConvertContext(*FPostContext);
        delete FPostContext;
        FPostContext = nullptr;
    }
    Flast_preview_time = 0;
}
