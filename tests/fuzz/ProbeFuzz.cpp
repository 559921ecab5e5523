// The media probe: any bytes are opened by the libraries from a memory I/O context and reported by the probe, then
// opened by the probe itself as a file (on a memory-backed file system where there is one) and decoded, sought
// and stepped. Each call answers by its result or with the program's own error; faults inside the media libraries
// themselves are outside the program's code and are left to those libraries.
#include <algorithm>
#include <cstring>

#include "FuzzSupport.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVProbe.h"
#include "engine/AVUtilStubs.h"

namespace {

struct TMemoryInput {
    const std::uint8_t* Data;
    std::int64_t Size;
    std::int64_t Pos = 0;
};

int ReadMemory(void* Opaque, std::uint8_t* Buffer, int Size) {
    auto* M = static_cast<TMemoryInput*>(Opaque);
    const std::int64_t N = std::min<std::int64_t>(Size, M->Size - M->Pos);
    if (N <= 0)
        return AVERROR_EOF;
    std::memcpy(Buffer, M->Data + M->Pos, std::size_t(N));
    M->Pos += N;
    return int(N);
}

std::int64_t SeekMemory(void* Opaque, std::int64_t Offset, int Whence) {
    auto* M = static_cast<TMemoryInput*>(Opaque);
    std::int64_t To;
    switch (Whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return M->Size;
    case SEEK_SET:
        To = Offset;
        break;
    case SEEK_CUR:
        To = M->Pos + Offset;
        break;
    case SEEK_END:
        To = M->Size + Offset;
        break;
    default:
        return -1;
    }
    if (To < 0 || To > M->Size)
        return -1;
    return M->Pos = To;
}

void Report(TAVProbe& Probe) {
    Probe.FileInfoText();
    Probe.FileStreamInfo();
    Probe.FirstVideoStreamInfo();
    Probe.FirstAudioStreamInfo();
    Probe.FirstSubtitleStreamInfo();
    for (int I = -1; I <= Probe.StreamCount(); ++I) {
        Probe.IsAudioStream(I);
        Probe.IsVideoStream(I);
        Probe.IsSubtitleStream(I);
    }
}

void ProbeFromMemory(TAVProbe& Probe, const std::uint8_t* Data, std::size_t Size) {
    constexpr int BufferSize = 4096;
    TMemoryInput Input{Data, std::int64_t(Size)};
    auto* Buffer = static_cast<unsigned char*>(av::av_malloc(BufferSize));
    AVIOContext* IO = av::avio_alloc_context(Buffer, BufferSize, 0, &Input, ReadMemory, nullptr, SeekMemory);
    AVFormatContext* Context = av::avformat_alloc_context();
    Context->pb = IO;
    Context->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure the library frees the context itself.
    if (av::avformat_open_input(&Context, "", nullptr, nullptr) == 0) {
        if (av::avformat_find_stream_info(Context, nullptr) >= 0) {
            qvfuzz::Tolerate([&] {
                Probe.SetFileHandle(Context);
                Report(Probe);
            });
            Probe.CloseFile();
        }
        av::avformat_close_input(&Context);
    }
    av::av_freep(&IO->buffer);
    av::avio_context_free(&IO);
}

void ProbeFile(TAVProbe& Probe, const std::uint8_t* Data, std::size_t Size) {
    static const qvfuzz::TScratchFile Media("probe");
    Media.Write(Data, Size);
    qvfuzz::Tolerate([&] {
        if (!Probe.LoadFile(Media.Name()))
            return;
        Report(Probe);
        if (Probe.FirstVideoStreamIndex() < 0)
            return;
        for (int Picture = 0; Picture < 4 && Probe.Decode(); ++Picture) {
        }
        TBitmap Bitmap;
        Probe.CopyToBitmap(&Bitmap);
        Probe.Seek(500000);
        Probe.Decode();
        Probe.DecodeNextKeyFrame();
        Probe.Seek(0, {sfBackward});
        Probe.DecodePreviousKeyFrame();
        Probe.DecodePreviousFrame();
        Probe.Seek(Size / 2, {sfByte});
        Probe.Decode();
    });
    Probe.CloseFile();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    if (!FFLoader().Load(ProbeLibraries)) {
        std::fprintf(stderr, "%s\n", UTF8Encode(FFLoader().LastErrMsg()).c_str());
        std::abort();
    }
    av::av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TAVProbe Probe(nullptr);
    ProbeFromMemory(Probe, Data, Size);
    ProbeFile(Probe, Data, Size);
    return 0;
}
