// Unit FFmpeg: the transcoder of one conversion task (TCustomFFmpeg), its option handlers, the
// opening of its input and output files, targets and presets, and the transcoding loop.
//
// The settings and their names are those of the classic command-line converter; the loop runs on
// the FFmpeg 5.1 interfaces (send/receive codecs, codec parameters, a buffer/buffersink filter
// graph for video, libswresample for audio, av_bsf_* bitstream filters).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/SysUtils.h"
#include "platform/base/System.h"
#include "platform/base/Threads.h"

// The libraries' types the transcoder's fields and the tests use; the functions are bound in the
// stub headers each source includes for the calls it makes.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

// Failures of a running task and of the option handlers.
QV_DECLARE_EXCEPTION(FFmpegException, Exception)

constexpr int MAX_STREAMS = 20;

// Log levels of the transcoder's lines; they go through the media library's log, where the logger
// picks them up.
enum TFFLogLevel {
    fllQuiet = -8,
    fllPanic = 0,
    fllFatal = 8,
    fllError = 16,
    fllWarning = 24,
    fllInfo = 32,
    fllVerbose = 40,
    fllDebug = 48
};

// Post hooks of the encoded pictures.
enum TPostHook { phPreview, phBitmap, phHBITMAP };
using TPostHooks = unsigned; // bit set of TPostHook
inline constexpr TPostHooks PostHookBit(TPostHook H) {
    return 1u << H;
}

class TCustomFFmpeg;

// Event types of unit FFmpeg.
using TProgressEvent =
    std::function<void(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality, float ABitRate,
                       Int64 ACurrentSize, Int64 ACurrentDuration, Int64 ATotalDuration)>;
// The custom hook sees each decoded picture (as packed BGRA, width × height) before encoding and may
// change it in place.
using TCustomHookEvent = std::function<void(TObject* Sender, uint8_t* APixels, int ALineSize, int AWidth, int AHeight,
                                            int AFrameNumber, Int64 APTS, bool& AUpdate, bool& AStopHook)>;

// The post hook's picture of an encoded frame, as a bitmap the transcoder owns.
class TBitmap;
using TPreviewBitmapEvent = std::function<void(TObject* Sender, TBitmap* ABitmap, int AFrameNumber, Int64 APTS)>;

struct TAVStreamMap {
    int file_index = 0;
    int stream_index = 0;
    int sync_file_index = 0;
    int sync_stream_index = 0;
};

struct TAVMetaDataMap {
    int out_file = 0;
    int in_file = 0;
};

// A named option of the libraries set on the transcoder, and where it belongs.
struct TNamedOption {
    std::string Name;
    std::string Value;
    int Flags = 0;        // the generic option's flags (AV_OPT_FLAG_*), 0 for private options
    bool Codec = false;   // an option of a codec (generic or of an encoder/decoder)
    bool Format = false;  // an option of a container (generic or of a muxer/demuxer)
    bool Scaler = false;  // an option of the scaler
    bool Private = false; // found only on a codec's or format's own class
};

// What an output stream is given when it is created: its encoder context and options until the run.
struct TOutputStreamSetup {
    AVCodecContext* enc = nullptr;
    const AVCodec* codec = nullptr; // encoder chosen by name, nil = by codec id
    AVDictionary* opts = nullptr;   // private options, given to the encoder when it opens
    bool stream_copy = false;
    std::string bsfs; // bitstream filter chain ("name,name")
    float quality = 0;
};

struct TAVInputFile;
struct TAVInputStream;
struct TFrameHookEntry;
struct TRGBConvertContext;
class TPreviewer;
struct TAVOutputStream;
struct TTranscodeRun;

class TCustomFFmpeg : public TObject {
public:
    explicit TCustomFFmpeg(int AMaxFiles);
    ~TCustomFFmpeg() override;

    // Run control.
    // With AUseThread the run goes to a worker thread, which the caller starts by Resume(); the result
    // tells whether a worker was made. Without, the whole run happens before the call returns.
    bool StartConvert(bool AUseThread);
    void Stop(bool AWaitFor);
    void Pause();
    void Resume();
    void CancelTask(bool AWaitFor);
    // Waits until the report of a start that was cancelled before it ran has been given.
    void WaitForCancel();
    void NotifyTerminate();
    void RunJob();
    void ResetOptions();
    void ReleaseResources();

    // Options.
    void ApplyOption(const String& AName, const String& AValue);
    // The dispatcher's three groups of names; False when the name is not of the group.
    bool ApplyRunOption(const std::string& N, const std::string& V, const String& AName, const String& AValue);
    bool ApplyFieldOption(const std::string& N, const std::string& V, const String& AName, const String& AValue);
    bool ApplyStreamOption(const std::string& N, const std::string& V, const String& AName, const String& AValue);
    bool SetAVOption(const std::string& AName, const std::string& AValue);
    bool SetAVOptionInt(const std::string& AName, int AValue);
    void OptFormat(const String& AValue);
    void OptRcOverride(const std::string& AValue);
    void OptMeThreshold(int AValue) { Fme_threshold = AValue; }
    void OptVerbose(int AValue) { Fverbose = AValue; }
    void OptTopFieldFirst(int AValue) { Ftop_field_first = AValue; }
    void OptVideoChannel(int AValue) { Fvideo_channel = AValue; }
    void OptAudioRate(int AValue);
    void OptAudioChannels(int AValue);
    void OptFrameRate(const String& AValue);
    void OptFrameSize(const String& AValue);
    bool OptBitrate(const String& AName, const String& AValue);
    void OptCropTop(int AValue);
    void OptCropBottom(int AValue);
    void OptCropLeft(int AValue);
    void OptCropRight(int AValue);
    void OptPixelFormat(const std::string& AValue);
    void OptSampleFormat(const std::string& AValue);
    void OptAspectRatio(const String& AValue);
    void OptMetadata(const std::string& AValue);
    void AddMetadata(const std::string& AKey, const std::string& AValue);
    void OptQScale(float AValue);
    void OptVideoCodec(const String& AValue);
    void OptAudioCodec(const String& AValue);
    void OptSubtitleCodec(const String& AValue);
    void OptVideoTag(const String& AValue);
    void OptAudioTag(const String& AValue);
    void OptSubtitleTag(const String& AValue);
    void OptVideoFilters(const String& AValue) { Fvfilters = AValue; }
    void OptVideoStandard(const std::string& AValue) { Fvideo_standard = AValue; }
    void OptMap(const std::string& AValue);
    void OptMapMetaData(const std::string& AValue);
    void OptInputTsScale(const std::string& AValue);
    Int64 ParseTimeOption(const std::string& AName, const std::string& AValue, bool ADuration);
    void OptRecordingTime(const std::string& AName, const std::string& AValue);
    void SetRecordingTime(Int64 AValue);
    void OptStartTime(const std::string& AName, const std::string& AValue);
    void SetStartTime(Int64 AValue);
    void OptInputTsOffset(const std::string& AName, const std::string& AValue);
    void OptRecTimestamp(const std::string& AName, const std::string& AValue);
    void SetRecordingTimestamp(Int64 ASeconds) { Frecording_timestamp = ASeconds; }
    void SetProgramID(int AValue);
    void OptPass(int AValue);
    void OptIntraMatrix(const std::string& AValue);
    void OptInterMatrix(const std::string& AValue);
    void OptVStats(bool AValue);
    void OptVStatsFile(const std::string& AValue) { Fvstats_filename = AValue; }
    // Adds a frame-hook plug-in: the library's name and its arguments, split at "|" when the value
    // holds one, else at blanks.
    void OptVideoHook(const std::string& AValue);
    void OptBitstreamFilter(const String& AName, const String& AValue);
    void SetAudioVolume(int AValue);
    void SetAudioSyncMethod(int AValue) { Faudio_sync_method = AValue; }
    void SetVideoSyncMethod(int AValue) { Fvideo_sync_method = AValue; }
    void SetMuxMaxDelay(float AValue);
    void SetMuxPreload(float AValue);
    void SetInputSync(bool AValue) { Finput_sync = AValue; }
    void SetCopyTimestamp(bool AValue) { Fcopy_ts = AValue; }
    void SetAudioDisable(bool AValue) { Faudio_disable = AValue; }
    void SetVideoDisable(bool AValue) { Fvideo_disable = AValue; }
    void SetSubtitleDisable(bool AValue) { Fsubtitle_disable = AValue; }
    void SetLanguage(char AKind, const String& AValue);
    void OptNewVideoStream();
    void OptNewAudioStream();
    void OptNewSubtitleStream();
    void OptStreamId(const String& AOptName, const String& AValue);
    void SetPostHooks(TPostHooks AValue);
    void SetPostHooksLocked(TPostHooks AValue);
    // Adds and removes post hooks in one step under the post-hook lock.
    void ChangePostHooks(TPostHooks AAdd, TPostHooks ARemove);
    TPostHooks PostHooks() const { return FPostHooks; }

    // Targets and presets.
    void OptTarget(const std::string& AValue);
    void ApplyTarget(const String& ATarget, const String& ANorm, const String& ANormDefault);
    void ApplyPreset(const String& AOptName, const String& APresetName);
    static String FindBuiltinPreset(const String& AName);

    // Opening.
    bool FindCodec(const std::string& AName, int AMediaType, int& ACodecID, int AStrict, bool AEncoder);
    bool OpenInputFile(const String& AFileName);
    AVDictionary* InputDemuxerOptions(AVFormatContext* Ic);
    bool ForceInputCodecs(AVFormatContext* Ic);
    bool SelectProgram(AVFormatContext* Ic);
    void TakeInputStreams(AVFormatContext* Ic);
    void TakeInputVideo(AVStream* St, int I);
    int OpenOutputFile(const String& AFileName, bool AJoin);
    const AVOutputFormat* ChooseOutputFormat(const std::string& URL, const String& AFileName);
    bool AddOutputStreams(AVFormatContext* oc, bool AJoin);
    void SetOutputMetadata(AVFormatContext* oc);
    void SetupMuxer(AVFormatContext* oc, int Index);
    bool OpenOutputIO(AVFormatContext* oc, const String& AFileName, int Index);
    // The next input or output opened reads or writes through AIO (a stream object's context that
    // the caller owns) instead of opening its name.
    void SetNextInputIO(AVIOContext* AIO) { FNextInputIO = AIO; }
    void SetNextOutputIO(AVIOContext* AIO) { FNextOutputIO = AIO; }

    // Public state.
    int nb_input_files() const { return Fnb_input_files; }
    int nb_output_files() const { return Fnb_output_files; }
    bool Finished() const { return FFinished; }
    bool FatalException() const { return FFatalException; }
    String FatalMessage() const { return FFatalMessage; }
    String LastErrMsg() const { return FLastErrMsg; }
    bool Converting() const { return FConverting; }
    bool Terminated() const { return FTerminated; }
    Int64 TotalOutputDuration() const { return FTotalOutputDuration; }
    AVFormatContext* InputFile(int AIndex) const {
        return AIndex >= 0 && AIndex < Fnb_input_files ? Finput_files[AIndex] : nullptr;
    }
    AVFormatContext* OutputFile(int AIndex) const {
        return AIndex >= 0 && AIndex < Fnb_output_files ? Foutput_files[AIndex] : nullptr;
    }

    TProgressEvent OnProgress;
    TNotifyEvent OnTerminate;
    TCustomHookEvent OnCustomHook;
    TPreviewBitmapEvent OnPreviewBitmap;
    // Priority of the worker thread a threaded start creates.
    TThreadPriority ThreadPriority = tpNormal;
    Int64 ReportInterval = 500000;
    Int64 PreviewInterval = 100000;

    // Fields (public so that the option records, the task component and tests reach them as the
    // handlers do; they are the transcoder's settings, reset by ResetOptions).
    int FMaxFiles = 1;
    std::vector<AVFormatContext*> Finput_files;
    std::vector<Int64> Finput_files_ts_offset;
    std::vector<std::vector<double>> Finput_files_ts_scale;
    int Fnb_input_files = 0;
    std::vector<const AVCodec*> Finput_codecs; // decoder chosen by name per input stream, nil = by codec id
    int Fnb_icodecs = 0;
    std::vector<AVFormatContext*> Foutput_files;
    std::vector<std::vector<TOutputStreamSetup>> Fstream_setups; // per output file, per stream
    int Fnb_output_files = 0;
    std::vector<Int64> Foutput_packets;     // per output file: packets written in this run
    std::vector<bool> Foutput_owned;        // per output file: this task created or emptied the file
    std::vector<AVDictionary*> Fmuxer_opts; // per output file: the muxer's own options, given at the header
    std::vector<TAVStreamMap> Fstream_maps;
    std::vector<TAVMetaDataMap> Fmeta_data_maps;
    int Fstreamid_map[MAX_STREAMS] = {};
    std::string Flast_asked_format;
    int Fframe_width = 0;
    int Fframe_height = 0;
    float Fframe_aspect_ratio = 0;
    int Fframe_pix_fmt = -1;
    // The next video stream's size and pixel format were asked for (not taken from the source).
    bool Fframe_size_asked = false;
    bool Fframe_pix_fmt_asked = false;
    int Faudio_sample_fmt = -1;
    int Fframe_topBand = 0, Fframe_bottomBand = 0, Fframe_leftBand = 0, Fframe_rightBand = 0;
    int Fmax_frames[4] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    AVRational Fframe_rate{0, 0};
    float Fvideo_qscale = 0;
    std::vector<uint16_t> Fintra_matrix, Finter_matrix;
    std::string Fvideo_rc_override_string;
    bool Fvideo_disable = false;
    int Fvideo_discard = 0;
    std::string Fvideo_codec_name;
    uint32_t Fvideo_codec_tag = 0;
    String Fvideo_language;
    bool Fsame_quality = false, Fdo_deinterlace = false;
    int Ftop_field_first = -1;
    int Fme_threshold = 0;
    int Fintra_dc_precision = 8;
    bool Floop_input = false;
    int Floop_output = -1;
    bool Fqp_hist = false;
    String Fvfilters;
    bool FEnableFilter = false;
    bool Fintra_only = false;
    int Faudio_sample_rate = 44100;
    Int64 Fchannel_layout = 0;
    float Faudio_qscale = -99999.0f;
    bool Faudio_disable = false;
    int Faudio_channels = 2;
    std::string Faudio_codec_name;
    uint32_t Faudio_codec_tag = 0;
    String Faudio_language;
    bool Fsubtitle_disable = false;
    std::string Fsubtitle_codec_name;
    String Fsubtitle_language;
    uint32_t Fsubtitle_codec_tag = 0;
    float Fmux_preload = 0.5f, Fmux_max_delay = 0.7f;
    Int64 Frecording_time = INT64_MAX;
    Int64 Fstart_time = 0;
    Int64 Frecording_timestamp = 0;
    Int64 Finput_ts_offset = 0;
    std::vector<std::pair<std::string, std::string>> Fmetadata;
    bool Fdo_hex_dump = false, Fdo_pkt_dump = false, Fdo_psnr = false;
    int Fdo_pass = 0;
    std::string Fpass_logfilename_prefix;
    int Faudio_stream_copy = 0, Fvideo_stream_copy = 0, Fsubtitle_stream_copy = 0;
    int Fvideo_sync_method = -1;
    int Faudio_sync_method = 0;
    float Faudio_drift_threshold = 0.1f;
    bool Fcopy_ts = false, Fopt_shortest = false;
    int Fvideo_global_header = 0;
    std::string Fvstats_filename;
    FILE* Fvstats_file = nullptr;
    int Fopt_programid = 0;
    int Fcopy_initial_nonkeyframes = 0;
    bool Frate_emu = false;
    int Fvideo_channel = 0;
    std::string Fvideo_standard;
    int Faudio_volume = 256;
    bool Fexit_on_error = false;
    int Fverbose = 1;
    int Fthread_count = 0; // codec threads; 0 lets each codec use the machine's cores
    Int64 Fvideo_size = 0, Faudio_size = 0, Fextra_size = 0;
    int Fnb_frames_dup = 0, Fnb_frames_drop = 0;
    bool FShowDupOrDrop = false;
    bool Finput_sync = false;
    Int64 Flimit_filesize = 0;
    bool Fforce_fps = false;
    int Fpgmyuv_compatibility_hack = 0;
    float Fdts_delta_threshold = 10.0f;
    unsigned Fsws_flags = 4;            // the scaler's bicubic flag
    std::vector<TNamedOption> FOptions; // named options of the libraries, in the order they were set
    std::string Fvideo_bitstream_filters, Faudio_bitstream_filters, Fsubtitle_bitstream_filters;
    bool FJoinMode = false;
    TPostHooks FPostHooks = 0;
    Int64 Ftimer_start = 0;
    TPreviewer* FPreviewer = nullptr;           // the preview window of phPreview, made on the first frame
    TRGBConvertContext* FPostContext = nullptr; // the post hooks' picture conversion
    Int64 Flast_preview_time = 0;
    TFrameHookEntry* FFirstHook = nullptr; // the frame-hook plug-ins, run on every decoded picture
    bool Fusing_vhook = false;
    std::vector<char*> Fvhook_args; // the split option values; hooks may keep pointers into them

    // Log a line of the transcoder at a level of the libraries' log.
    void Log(int ALevel, const String& AText) const;

    // Value of a generic named option as the codec holders see it ("b" of the audio holder ...).
    Int64 NamedOptionInt(const char* AName, int AMediaType) const;

protected:
    // The run in its phases (FFmpegTranscode.cpp).
    void Transcode();
    void BuildInputTables();
    void MapStreams();
    void SetupStreams();
    void OpenDecoders();
    void OpenEncoders();
    void PrepareOutputs();
    void WriteHeaders();
    void RunLoop();
    void Finish();
    void FreeRun();
    void CheckStreamMaps();
    int ChooseSource(int AType, int AFile) const;
    void MapByStreamMap(TAVOutputStream& Ost, const TAVStreamMap& M);
    void MapAutomatically(TAVOutputStream& Ost);
    void OpenEncoder(TAVOutputStream& Ost);
    void SetStreamCpbProperties(TAVOutputStream& Ost);
    void OpenBitstreamFilters(TAVOutputStream& Ost);
    int NextInputFile() const;
    void AdjustPacketTimes(int file_index, TAVInputStream& Ist, AVPacket* Pkt);
    bool HandlePacket(int file_index, AVPacket* Pkt);
    bool EndOfInput(int file_index);
    bool JoinNextInput(int k);
    void DumpOutputs();
    [[noreturn]] void FailRun(const String& AText);
    void CopyChapters(AVFormatContext* AInput, AVFormatContext* AOutput, Int64 AInputOffset);
    void LogSdp(int ACount);

    // Setup of each output stream (FFmpegSetup.cpp).
    void SetupStreamCopy(TAVOutputStream& ost, TAVInputStream& ist);
    void SetupEncoding(int i, TAVOutputStream& ost, TAVInputStream& ist);
    int ConfigureFilters(TAVInputStream& ist, TAVOutputStream& ost, const AVFrame* AFrame);
    void OpenPassLogFile(int i, TAVOutputStream& ost);

    // Decoding (FFmpegDecode.cpp).
    int OutputPacket(TAVInputStream& ist, int ist_index, const AVPacket* pkt);
    int CopyPacket(TAVInputStream& ist, int ist_index, const AVPacket* pkt);
    int DecodeSubtitle(TAVInputStream& ist, int ist_index, const AVPacket* pkt);
    int DecodeFrames(TAVInputStream& ist, int ist_index, const AVPacket* pkt);
    void AudioDecoded(TAVInputStream& ist, int ist_index);
    bool ReadyForOutputs(const TAVInputStream& ist);
    void FilterVideo(TAVInputStream& ist, int ist_index, AVFrame* AFrame);
    void EncodeFilteredPictures(TAVOutputStream& Ost, TAVInputStream& ist);
    void RunCustomHook(AVFrame* picture, TAVInputStream& ist);
    void RunFrameHooks(AVFrame* picture, TAVInputStream& ist);

    // Encoding and writing (FFmpegEncode.cpp).
    void DoAudioOut(TAVOutputStream& ost, TAVInputStream& ist, uint8_t* samples, int size);
    void DoVideoOut(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* picture, int& frame_size);
    void DoSubtitleOut(TAVOutputStream& ost, TAVInputStream& ist, AVSubtitle* sub, Int64 pts);
    void EncodeAudioFrame(TAVOutputStream& ost, AVFrame* AFrame);
    int ReceivePackets(TAVOutputStream& ost, bool AVideo);
    void FlushEncoder(TAVOutputStream& ost);
    void WriteFrame(TAVOutputStream& ost, AVPacket* pkt);

    // Reports (FFmpegReport.cpp) and post hooks (FFmpegHooks.cpp).
    void PrintReport(bool is_last, int file_index);
    void DoVideoStats(TAVOutputStream& ost, int frame_size);
    String PsnrText(const TAVOutputStream& AOst, bool AIsLast, int AFrameNumber);
    void RunPostHooks(AVFrame* picture, AVCodecContext* enc);
    void ReleasePostContext();
    void ReleaseFrameHooks();

    // Output streams (FFmpegOpen.cpp).
    void new_video_stream(AVFormatContext* oc);
    void new_audio_stream(AVFormatContext* oc);
    void new_subtitle_stream(AVFormatContext* oc);
    void check_audio_video_sub_inputs(bool& AHasVideo, bool& AHasAudio, bool AJoin, bool& AHasSubtitle);
    void SetupJoin();
    void NewStreamOfLastFile(void (TCustomFFmpeg::*AMake)(AVFormatContext*));
    AVStream* NewStream(AVFormatContext* oc, AVMediaType AType, std::string& ACodecName, int AStrict);
    void ApplyCodecOptions(AVCodecContext* AContext, AVDictionary** APrivate, int AMask) const;
    void ApplyFormatOptions(AVFormatContext* AContext, AVDictionary** APrivate, int AMask) const;
    static AVRational DoubleToRational(double d);
    void ParseMatrixCoeffs(std::vector<uint16_t>& AMatrix, const std::string& AValue);

private:
    friend class TConvertThread;
    void WaitForWorker();
    void OpenPendingOutputs();
    void CheckPause();

    // Run state.
    std::unique_ptr<std::thread> FThread;
    std::mutex FRunLock;
    std::condition_variable FRunCond;
    bool FWorkerRunning = false; // from StartConvert with a thread until the worker's run has ended
    bool FPaused = false;
    std::atomic<bool> FBroken{false};
    bool FConverting = false;
    bool FCancelPending = false; // the end of a task that never ran is being reported
    bool FCancelRunning = false;
    std::thread FCancelThread;
    bool FFinished = false;
    bool FTerminated = false;
    bool FFatalException = false;
    String FFatalMessage;
    Int64 FTotalOutputDuration = -1;
    String FLastErrMsg;
    AVIOContext* FNextInputIO = nullptr;
    AVIOContext* FNextOutputIO = nullptr;

    // Everything of the run in progress (FFmpegStreams.h); none between runs.
    std::unique_ptr<TTranscodeRun> FRun;
};

// The built-in presets of the x264 encoder: name and text (one option per line).
struct TOptionsPreset {
    const char16_t* Name;
    String Value;
};
const std::vector<TOptionsPreset>& BuiltinPresets();

// The transcoder's encoder names for names of older tables ("libfaac" is "aac" ...).
std::string MapEncoderName(const std::string& AName);
// Library error code as text.
String AVErrorText(int AError);
