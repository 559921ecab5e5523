// The transcoder's life: creation, reset, release, the start of a run, the worker thread,
// stopping, pausing and the end-of-run notification.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegStreams.h"
#include "engine/MyUtils.h"
#include "engine/SwScaleStubs.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

TCustomFFmpeg::TCustomFFmpeg(int AMaxFiles) {
    if (AMaxFiles < 1 || AMaxFiles > 512)
        throw EAssertionFailed(u"Assertion failure");
    FMaxFiles = AMaxFiles;
    Finput_files.assign(AMaxFiles, nullptr);
    Finput_files_ts_offset.assign(AMaxFiles, 0);
    Finput_files_ts_scale.assign(AMaxFiles, std::vector<double>(MAX_STREAMS, 0.0));
    Foutput_files.assign(AMaxFiles, nullptr);
    Fstream_setups.resize(AMaxFiles);
    Fmuxer_opts.assign(AMaxFiles, nullptr);
    Foutput_packets.assign(AMaxFiles, 0);
    Foutput_owned.assign(AMaxFiles, false);
    ResetOptions();
}

TCustomFFmpeg::~TCustomFFmpeg() {
    // A task freed by its own end-of-run handler cannot wait for itself.
    if (FThread && FThread->get_id() == std::this_thread::get_id())
        FThread->detach();
    Stop(true);
    WaitForCancel();
    ReleaseResources();
}

namespace {
// Waits until ADone holds. On the GUI thread the wait runs in 20 ms slices that serve the pending
// synchronised calls, so a worker blocked in one (a progress report) can always reach its end.
template <typename P> void WaitServing(std::mutex& ALock, std::condition_variable& ACond, P ADone) {
    std::unique_lock Lock(ALock);
    if (!IsMainThread()) {
        ACond.wait(Lock, ADone);
        return;
    }
    while (!ADone()) {
        Lock.unlock();
        CheckSynchronize();
        Lock.lock();
        ACond.wait_for(Lock, std::chrono::milliseconds(20), ADone);
    }
}

// Nice values of the thread priorities.
void ApplyThreadPriority(TThreadPriority APriority) {
    static const int Nice[] = {19, 10, 5, 0, -5, -10, -15};
    setpriority(PRIO_PROCESS, id_t(::gettid()), Nice[APriority]);
}
} // namespace

void TCustomFFmpeg::WaitForCancel() {
    WaitServing(FRunLock, FRunCond, [this] { return !FCancelRunning; });
    if (FCancelThread.joinable())
        FCancelThread.join();
}

void TCustomFFmpeg::ResetOptions() {
    TCustomFFmpeg& T = *this;
    // Every setting back to its declared value; the run state and the files stay.
    T.Fstream_maps.clear();
    T.Fmeta_data_maps.clear();
    std::fill(std::begin(Fstreamid_map), std::end(Fstreamid_map), 0);
    for (auto& S : Finput_files_ts_scale)
        std::fill(S.begin(), S.end(), 0.0);
    Flast_asked_format.clear();
    Fframe_width = Fframe_height = 0;
    Fframe_aspect_ratio = 0;
    Fframe_pix_fmt = -1;
    Fframe_size_asked = Fframe_pix_fmt_asked = false;
    Faudio_sample_fmt = -1;
    Fframe_topBand = Fframe_bottomBand = Fframe_leftBand = Fframe_rightBand = 0;
    for (int& M : Fmax_frames)
        M = INT32_MAX;
    Fframe_rate = AVRational{0, 0};
    Fvideo_qscale = 0;
    Fintra_matrix.clear();
    Finter_matrix.clear();
    Fvideo_rc_override_string.clear();
    Fvideo_disable = false;
    Fvideo_discard = 0;
    Fvideo_codec_name.clear();
    Fvideo_codec_tag = 0;
    Fvideo_language.clear();
    Fsame_quality = Fdo_deinterlace = false;
    Ftop_field_first = -1;
    Fme_threshold = 0;
    Fintra_dc_precision = 8;
    Floop_input = false;
    Floop_output = -1;
    Fqp_hist = false;
    Fvfilters.clear();
    FEnableFilter = false;
    Fintra_only = false;
    Faudio_sample_rate = 44100;
    Fchannel_layout = 0;
    Faudio_qscale = -99999.0f;
    Faudio_disable = false;
    Faudio_channels = 2;
    Faudio_codec_name.clear();
    Faudio_codec_tag = 0;
    Faudio_language.clear();
    Fsubtitle_disable = false;
    Fsubtitle_codec_name.clear();
    Fsubtitle_language.clear();
    Fsubtitle_codec_tag = 0;
    Fmux_preload = 0.5f;
    Fmux_max_delay = 0.7f;
    Frecording_time = INT64_MAX;
    Fstart_time = 0;
    Frecording_timestamp = 0;
    Finput_ts_offset = 0;
    Fmetadata.clear();
    Fdo_hex_dump = Fdo_pkt_dump = Fdo_psnr = false;
    Fdo_pass = 0;
    Fpass_logfilename_prefix.clear();
    Faudio_stream_copy = Fvideo_stream_copy = Fsubtitle_stream_copy = 0;
    Fvideo_sync_method = -1;
    Faudio_sync_method = 0;
    Faudio_drift_threshold = 0.1f;
    Fcopy_ts = Fopt_shortest = false;
    Fvideo_global_header = 0;
    Fvstats_filename.clear();
    Fopt_programid = 0;
    Fcopy_initial_nonkeyframes = 0;
    Frate_emu = false;
    Fvideo_channel = 0;
    Fvideo_standard.clear();
    Faudio_volume = 256;
    Fexit_on_error = false;
    Fverbose = 1;
    Fthread_count = 0; // automatic: the codecs use the machine's cores
    Fvideo_size = Faudio_size = Fextra_size = 0;
    Fnb_frames_dup = Fnb_frames_drop = 0;
    FShowDupOrDrop = false;
    Finput_sync = false;
    Flimit_filesize = 0;
    Fforce_fps = false;
    Fpgmyuv_compatibility_hack = 0;
    Fdts_delta_threshold = 10.0f;
    Fsws_flags = SWS_BICUBIC;
    FOptions.clear();
    Fvideo_bitstream_filters.clear();
    Faudio_bitstream_filters.clear();
    Fsubtitle_bitstream_filters.clear();
    FPostHooks = 0;
    FFatalException = false;
}

void TCustomFFmpeg::ReleaseResources() {
    if (!av::avformat_free_context)
        return;
    const int Outputs = FJoinMode ? std::min(1, Fnb_output_files) : Fnb_output_files;
    for (int I = 0; I < Outputs; ++I) {
        AVFormatContext* oc = Foutput_files[I];
        if (!oc)
            continue;
        const String Name = UTF8ToString(oc->url ? oc->url : "");
        if (!(oc->oformat->flags & AVFMT_NOFILE) && !(oc->flags & AVFMT_FLAG_CUSTOM_IO) && oc->pb)
            av::avio_closep(&oc->pb);
        av::avformat_free_context(oc);
        // An output that received nothing is not left behind; a file this task neither created nor
        // emptied is never touched.
        if (Foutput_owned[I] && !Name.empty() && FileExists(Name) && (FileSize(Name) == 0 || Foutput_packets[I] == 0))
            DeleteFile(Name);
    }
    for (int I = 0; I < FMaxFiles; ++I) {
        Foutput_files[I] = nullptr;
        Foutput_packets[I] = 0;
        Foutput_owned[I] = false;
        for (TOutputStreamSetup& S : Fstream_setups[I]) {
            // The pass-2 statistics text belongs to the caller of the encoder.
            if (S.enc)
                av::av_freep(&S.enc->stats_in);
            av::avcodec_free_context(&S.enc);
            av::av_dict_free(&S.opts);
        }
        Fstream_setups[I].clear();
        av::av_dict_free(&Fmuxer_opts[I]);
    }
    Fnb_output_files = 0;
    for (int I = 0; I < Fnb_input_files; ++I)
        av::avformat_close_input(&Finput_files[I]);
    Fnb_input_files = 0;
    Finput_codecs.clear();
    Fnb_icodecs = 0;
    Fintra_matrix.clear();
    Finter_matrix.clear();
    if (Fvstats_file) {
        fclose(Fvstats_file);
        Fvstats_file = nullptr;
    }
    Fvstats_filename.clear();
    Fvideo_codec_name.clear();
    Faudio_codec_name.clear();
    Fsubtitle_codec_name.clear();
    Fvideo_standard.clear();
    Fvideo_rc_override_string.clear();
    Fvideo_language.clear();
    Faudio_language.clear();
    Fsubtitle_language.clear();
    Fsubtitle_codec_tag = 0;
    ReleaseFrameHooks();
    ReleasePostContext();
}

bool TCustomFFmpeg::StartConvert(bool AUseThread) {
    {
        std::lock_guard Guard(FRunLock);
        if (FConverting || FTerminated || FCancelPending)
            return false;
        if (Fnb_output_files == 0 || Fnb_input_files == 0) {
            FCancelPending = true; // this start reports the end itself
        } else {
            FConverting = true;
            FBroken = false;
            FFinished = false;
            FPaused = false;
            if (AUseThread)
                FWorkerRunning = true;
        }
    }
    if (!FConverting) {
        const String Msg = Fnb_output_files == 0 ? u"At least one output file must be specified"
                                                 : u"At least one input file must be specified";
        ReleaseResources();
        Log(fllQuiet, Msg);
        FFatalException = true;
        FFatalMessage = Msg;
        NotifyTerminate();
        return false;
    }
    if (!AUseThread) {
        RunJob();
        return false;
    }
    if (FThread && FThread->joinable())
        FThread->join();
    FThread = std::make_unique<std::thread>([this, Priority = ThreadPriority] {
        ApplyThreadPriority(Priority);
        try {
            RunJob();
        } catch (...) {
        }
        std::lock_guard Guard(FRunLock);
        FWorkerRunning = false;
        FRunCond.notify_all();
    });
    return true;
}

void TCustomFFmpeg::RunJob() {
    auto Step = [this](auto&& F) {
        try {
            F();
        } catch (const std::exception& E) {
            const String Msg = UTF8ToString(E.what());
            Log(fllQuiet, Msg);
            FFatalException = true;
            FFatalMessage = Msg;
        }
    };
    FFinished = false;
    Step([this] { Transcode(); });
    Step([this] { FreeRun(); });
    Step([this] { ReleaseResources(); });
    Step([this] { NotifyTerminate(); });
}

void TCustomFFmpeg::NotifyTerminate() {
    {
        std::lock_guard Guard(FRunLock);
        FConverting = false;
        FTerminated = true;
    }
    if (OnTerminate)
        OnTerminate(this);
}

void TCustomFFmpeg::Stop(bool AWaitFor) {
    {
        std::lock_guard Guard(FRunLock);
        FBroken = true;
        FPaused = false;
        FRunCond.notify_all();
    }
    if (AWaitFor)
        WaitForWorker();
}

void TCustomFFmpeg::WaitForWorker() {
    if (FThread && FThread->get_id() == std::this_thread::get_id())
        return;
    WaitServing(FRunLock, FRunCond, [this] { return !FWorkerRunning; });
    if (FThread && FThread->joinable())
        FThread->join();
}

void TCustomFFmpeg::Pause() {
    std::lock_guard Guard(FRunLock);
    if (FWorkerRunning)
        FPaused = true;
}

void TCustomFFmpeg::Resume() {
    std::lock_guard Guard(FRunLock);
    FPaused = false;
    FRunCond.notify_all();
}

// Pause is cooperative: the worker waits here, between packets, until it is resumed or stopped.
void TCustomFFmpeg::CheckPause() {
    std::unique_lock Lock(FRunLock);
    FRunCond.wait(Lock, [this] { return !FPaused || FBroken; });
}

void TCustomFFmpeg::CancelTask(bool AWaitFor) {
    bool Spawn = false;
    {
        std::lock_guard Guard(FRunLock);
        if (FConverting) {
        } else if (!FTerminated && !FCancelPending) {
            FCancelPending = true;
            FCancelRunning = true;
            Spawn = true;
        }
    }
    if (FConverting) {
        Stop(AWaitFor);
        return;
    }
    if (!Spawn)
        return;
    if (FCancelThread.joinable())
        FCancelThread.join();
    FCancelThread = std::thread([this] {
        try {
            NotifyTerminate();
        } catch (...) {
        }
        std::lock_guard Guard(FRunLock);
        FCancelRunning = false;
        FRunCond.notify_all();
    });
    if (AWaitFor)
        WaitForCancel();
}
