// The zlib stream adapter of the skin library: deflate into, and inflate out of, another stream.
#pragma once

#include <zlib.h>

#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"

QV_DECLARE_EXCEPTION(EZlibError, Exception)
QV_DECLARE_EXCEPTION(ECompressionError, EZlibError)
QV_DECLARE_EXCEPTION(EDecompressionError, EZlibError)

// Scoped, since the colour constants clNone and clDefault of the graphics classes share the names.
enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

class TCustomZlibStream : public TStream {
public:
    explicit TCustomZlibStream(TStream* Strm);

    TNotifyEvent OnProgress;

protected:
    // Moves the underlying stream back to where the adapter left it, when someone else moved it.
    void Reposition();
    void Progress();

    TStream* FStrm;
    std::int64_t FStrmPos;
    z_stream FZRec{};
    Byte FBuffer[8192];
};

// Write-only: bytes written are deflated into the destination, each full buffer as it fills; the rest
// and the zlib checksum go out when the stream is destroyed.
class TCompressionStream : public TCustomZlibStream {
public:
    TCompressionStream(TCompressionLevel CompressionLevel, TStream* Dest);
    ~TCompressionStream() override;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    // Only the current position may be asked: the number of bytes taken in.
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    // (1 - bytes out / bytes in) x 100; 0 before any byte came in.
    float CompressionRate() const;
};

// Read-only: inflates the source as bytes are asked for; a read returns fewer bytes (down to 0) at the end.
class TDecompressionStream : public TCustomZlibStream {
public:
    explicit TDecompressionStream(TStream* Source);
    ~TDecompressionStream() override;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    // To the start (the decompressor starts again) or forward (bytes are decompressed and dropped).
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    // True once the zlib stream's end, checksum included, has been read.
    bool StreamEnded() const { return FEnded; }

private:
    bool FEnded = false;
};

// Compresses the whole of Source, from its start, into Dest at the highest level.
void CompressStream(TMemoryStream* Source, TStream* Dest);
// Inflates the whole of Source (from its start) into Dest. Bytes after the end of the zlib stream are left alone;
// a stream that ends before its own end raises EDecompressionError "compression error", and so does one that
// would inflate to more than MaxSize bytes.
void DecompressStream(TStream* Dest, TMemoryStream* Source, std::int64_t MaxSize = INT64_MAX);
