#include "skin/core/bszlibcompress.h"

#include <algorithm>
#include <cstdint>

namespace {

const char16_t* const InvalidOperation = u"Invalid stream operation";

int CCheck(int Code) {
    if (Code < 0)
        throw ECompressionError(u"error");
    return Code;
}

int DCheck(int Code) {
    if (Code < 0)
        throw EDecompressionError(u"compression error");
    return Code;
}

int ZLevel(TCompressionLevel Level) {
    switch (Level) {
    case TCompressionLevel::clNone:
        return 0;
    case TCompressionLevel::clFastest:
        return 1;
    case TCompressionLevel::clDefault:
        return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::clMax:
        return 9;
    }
    return Z_DEFAULT_COMPRESSION;
}

} // namespace

TCustomZlibStream::TCustomZlibStream(TStream* Strm) : FStrm(Strm), FStrmPos(Strm->Position()) {}

void TCustomZlibStream::Reposition() {
    if (FStrm->Position() != FStrmPos)
        FStrm->SetPosition(FStrmPos);
}

void TCustomZlibStream::Progress() {
    if (OnProgress)
        OnProgress(this);
}

TCompressionStream::TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest) : TCustomZlibStream(Dest) {
    FZRec.next_out = FBuffer;
    FZRec.avail_out = sizeof FBuffer;
    CCheck(deflateInit(&FZRec, ZLevel(CompressionLevel)));
}

TCompressionStream::~TCompressionStream() {
    // Finishing writes the rest of the deflate data and the checksum; errors cannot leave a destructor.
    try {
        FZRec.next_in = nullptr;
        FZRec.avail_in = 0;
        Reposition();
        int Code;
        do {
            Code = CCheck(deflate(&FZRec, Z_FINISH));
            const std::int64_t Out = sizeof FBuffer - FZRec.avail_out;
            if (Out > 0) {
                FStrm->WriteBuffer(FBuffer, Out);
                FZRec.next_out = FBuffer;
                FZRec.avail_out = sizeof FBuffer;
            }
        } while (Code != Z_STREAM_END);
        FStrmPos = FStrm->Position();
    } catch (...) {
    }
    deflateEnd(&FZRec);
}

std::int64_t TCompressionStream::Read(void*, std::int64_t) {
    throw ECompressionError(InvalidOperation);
}

std::int64_t TCompressionStream::Write(const void* Buffer, std::int64_t Count) {
    FZRec.next_in = static_cast<Bytef*>(const_cast<void*>(Buffer));
    FZRec.avail_in = static_cast<uInt>(Count);
    Reposition();
    while (FZRec.avail_in > 0) {
        CCheck(deflate(&FZRec, Z_NO_FLUSH));
        if (FZRec.avail_out == 0) {
            FStrm->WriteBuffer(FBuffer, sizeof FBuffer);
            FZRec.next_out = FBuffer;
            FZRec.avail_out = sizeof FBuffer;
            FStrmPos = FStrm->Position();
            Progress();
        }
    }
    return Count;
}

std::int64_t TCompressionStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    if (Offset == 0 && Origin == soCurrent)
        return static_cast<std::int64_t>(FZRec.total_in);
    throw ECompressionError(InvalidOperation);
}

float TCompressionStream::CompressionRate() const {
    if (FZRec.total_in == 0)
        return 0;
    return (1.0f - static_cast<float>(FZRec.total_out) / static_cast<float>(FZRec.total_in)) * 100.0f;
}

TDecompressionStream::TDecompressionStream(TStream* Source) : TCustomZlibStream(Source) {
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    DCheck(inflateInit(&FZRec));
}

TDecompressionStream::~TDecompressionStream() {
    inflateEnd(&FZRec);
}

std::int64_t TDecompressionStream::Read(void* Buffer, std::int64_t Count) {
    FZRec.next_out = static_cast<Bytef*>(Buffer);
    FZRec.avail_out = static_cast<uInt>(Count);
    Reposition();
    // After the end of the zlib stream nothing more comes out, whatever follows it in the source.
    while (FZRec.avail_out > 0 && !FEnded) {
        if (FZRec.avail_in == 0) {
            FZRec.avail_in = static_cast<uInt>(FStrm->Read(FBuffer, sizeof FBuffer));
            if (FZRec.avail_in == 0)
                break;
            FZRec.next_in = FBuffer;
            FStrmPos = FStrm->Position();
            Progress();
        }
        const int Code = DCheck(inflate(&FZRec, Z_NO_FLUSH));
        // A stream that asks for a preset dictionary is not one the skin writer made; it would never progress.
        if (Code == Z_NEED_DICT)
            throw EDecompressionError(u"compression error");
        if (Code == Z_STREAM_END)
            FEnded = true;
    }
    return Count - FZRec.avail_out;
}

std::int64_t TDecompressionStream::Write(const void*, std::int64_t) {
    throw EDecompressionError(InvalidOperation);
}

std::int64_t TDecompressionStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t Current = static_cast<std::int64_t>(FZRec.total_out);
    if (Offset == 0 && Origin == soBeginning) {
        DCheck(inflateReset(&FZRec));
        FZRec.next_in = FBuffer;
        FZRec.avail_in = 0;
        FEnded = false;
        FStrm->SetPosition(0);
        FStrmPos = 0;
        return 0;
    }
    std::int64_t Skip;
    if (Origin == soCurrent && Offset >= 0)
        Skip = Offset;
    else if (Origin == soBeginning && Offset > Current)
        Skip = Offset - Current;
    else if (Origin == soBeginning && Offset == Current)
        Skip = 0;
    else
        throw EDecompressionError(InvalidOperation);
    Byte Scratch[4096];
    while (Skip > 0) {
        const std::int64_t Got = Read(Scratch, std::min<std::int64_t>(Skip, sizeof Scratch));
        if (Got == 0)
            break;
        Skip -= Got;
    }
    return static_cast<std::int64_t>(FZRec.total_out);
}

void CompressStream(TMemoryStream* Source, TStream* Dest) {
    TCompressionStream Compressor(TCompressionLevel::clMax, Dest);
    Compressor.WriteBuffer(Source->Memory(), Source->Size());
}

void DecompressStream(TStream* Dest, TMemoryStream* Source, std::int64_t MaxSize) {
    Source->SetPosition(0);
    TDecompressionStream Decompressor(Source);
    Byte Buffer[4096];
    std::int64_t Total = 0;
    for (;;) {
        const std::int64_t Got = Decompressor.Read(Buffer, sizeof Buffer);
        if (Got == 0)
            break;
        Total += Got;
        if (Total > MaxSize)
            throw EDecompressionError(u"compression error");
        Dest->WriteBuffer(Buffer, Got);
    }
    if (!Decompressor.StreamEnded())
        throw EDecompressionError(u"compression error");
}
