#include "engine/FFConverterTasks.h"

#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"

// ---------------------------------------------------------------------------------------------
// TFFmpeg

TFFmpeg::TFFmpeg(int AMaxFiles) : TCustomFFmpeg(AMaxFiles) {
    FAVProbes.resize(AMaxFiles);
    FInputOptions.resize(AMaxFiles);
    FOutputOptions.resize(AMaxFiles);
}

TFFmpeg::~TFFmpeg() {
    // The worker and a cancelled start's report may still read the task: they end first.
    WaitForIdle();
    FAVProbes.clear();
    // The files close before the stream contexts they write through are freed.
    ReleaseResources();
    for (AVIOContext*& IO : FStreamIOs) {
        if (IO->write_flag)
            av::avio_flush(IO);
        av::av_freep(&IO->buffer);
        av::avio_context_free(&IO);
    }
}

void TFFmpeg::WaitForIdle() {
    Stop(true);
    WaitForCancel();
}

TAVProbe* TFFmpeg::GetAVProbe(int AIndex) {
    if (!FAVProbes[AIndex])
        FAVProbes[AIndex] = std::make_unique<TAVProbe>(nullptr);
    return FAVProbes[AIndex].get();
}

TAVProbe* TFFmpeg::AVProbe(int AIndex) const {
    return AIndex >= 0 && AIndex < int(FAVProbes.size()) ? FAVProbes[AIndex].get() : nullptr;
}

void TFFmpeg::SetInputOptions(int AIndex, const TInputOptions& AOptions) {
    FInputOptions[AIndex] = std::make_unique<TInputOptions>(AOptions);
}

void TFFmpeg::SetOutputOptions(int AIndex, const TOutputOptions& AOptions) {
    FOutputOptions[AIndex] = std::make_unique<TOutputOptions>(AOptions);
}

void TFFmpeg::ResetInputOptions(int AIndex) {
    if (FInputOptions[AIndex])
        InitInputOptions(*FInputOptions[AIndex]);
}

void TFFmpeg::ResetOutputOptions(int AIndex) {
    if (FOutputOptions[AIndex])
        InitOutputOptions(*FOutputOptions[AIndex]);
}

namespace {
int ReadStream(void* AOpaque, uint8_t* ABuffer, int ASize) {
    const std::int64_t N = static_cast<TStream*>(AOpaque)->Read(ABuffer, ASize);
    return N > 0 ? int(N) : AVERROR_EOF;
}

int WriteStream(void* AOpaque, uint8_t* ABuffer, int ASize) {
    const std::int64_t N = static_cast<TStream*>(AOpaque)->Write(ABuffer, ASize);
    return N == ASize ? ASize : AVERROR(EIO);
}

int64_t SeekStream(void* AOpaque, int64_t AOffset, int AWhence) {
    TStream* S = static_cast<TStream*>(AOpaque);
    switch (AWhence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return S->Size();
    case SEEK_SET:
        return S->Seek(AOffset, soBeginning);
    case SEEK_CUR:
        return S->Seek(AOffset, soCurrent);
    case SEEK_END:
        return S->Seek(AOffset, soEnd);
    default:
        return -1;
    }
}
} // namespace

AVIOContext* TFFmpeg::NewStreamIO(TStream* AStream, bool AWrite) {
    constexpr int BufferSize = 32768;
    auto* Buffer = static_cast<unsigned char*>(av::av_malloc(BufferSize));
    if (!Buffer)
        return nullptr;
    AVIOContext* IO = av::avio_alloc_context(Buffer, BufferSize, AWrite ? 1 : 0, AStream, AWrite ? nullptr : ReadStream,
                                             AWrite ? WriteStream : nullptr, SeekStream);
    if (!IO) {
        av::av_free(Buffer);
        return nullptr;
    }
    FStreamIOs.push_back(IO);
    return IO;
}

TBitmap* TFFmpeg::HookBitmap(int AWidth, int AHeight) {
    if (!FHookBitmap) {
        FHookBitmap = std::make_unique<TBitmap>();
        FHookBitmap->SetPixelFormat(pf32bit);
    }
    if (FHookBitmap->Width() != AWidth || FHookBitmap->Height() != AHeight)
        FHookBitmap->SetSize(AWidth, AHeight);
    return FHookBitmap.get();
}

// ---------------------------------------------------------------------------------------------
// TFFmpegList

TFFmpegList::~TFFmpegList() {
    Clear();
}

void TFFmpegList::CheckIndex(int AIndex) const {
    if (AIndex < 0 || AIndex >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {AIndex}));
}

int TFFmpegList::Add(TFFmpeg* ATask) {
    FList.emplace_back(ATask);
    return Count() - 1;
}

void TFFmpegList::Clear() {
    // No thread may still be inside a task (or looking its index up) while the list changes.
    for (auto& T : FList)
        T->WaitForIdle();
    FList.clear();
}

void TFFmpegList::Delete(int AIndex) {
    CheckIndex(AIndex);
    FList[AIndex]->WaitForIdle();
    FList.erase(FList.begin() + AIndex);
}

void TFFmpegList::Exchange(int AIndex1, int AIndex2) {
    CheckIndex(AIndex1);
    CheckIndex(AIndex2);
    std::swap(FList[AIndex1], FList[AIndex2]);
}

TFFmpeg* TFFmpegList::GetTask(int AIndex) const {
    CheckIndex(AIndex);
    return FList[AIndex].get();
}

int TFFmpegList::IndexOf(const TObject* ATask) const {
    for (int I = 0; I < Count(); ++I)
        if (FList[I].get() == ATask)
            return I;
    return -1;
}

void TFFmpegList::PauseAll() {
    for (auto& T : FList)
        T->Pause();
}

void TFFmpegList::ResumeAll() {
    for (auto& T : FList)
        T->Resume();
}

void TFFmpegList::CancelAll(bool AWaitFor) {
    for (auto& T : FList)
        T->CancelTask(AWaitFor);
}

void TFFmpegList::SetPreviewHook(bool AValue) {
    for (auto& T : FList)
        T->ChangePostHooks(AValue ? PostHookBit(phPreview) : 0, AValue ? 0 : PostHookBit(phPreview));
}

void TFFmpegList::SetPreviewBitmapHook(bool AValue) {
    for (auto& T : FList)
        T->ChangePostHooks(AValue ? PostHookBit(phBitmap) : 0, AValue ? 0 : PostHookBit(phBitmap));
}
