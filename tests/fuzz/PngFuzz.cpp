// PNG files: any bytes load into a picture or raise the loader's error. Random changes almost never keep a chunk's
// checksum right, and the library stops at the first wrong one; the mutator writes every checksum again after
// changing the bytes, so the changes reach the chunks' contents and the image data behind them.
#include <zlib.h>

#include <cstring>

#include "PictureFuzz.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize);

namespace {

std::uint32_t BigEndian32(const std::uint8_t* P) {
    return std::uint32_t(P[0]) << 24 | std::uint32_t(P[1]) << 16 | std::uint32_t(P[2]) << 8 | P[3];
}

// Rewrites the checksum of each whole chunk after the signature; a chunk that runs past the end stays as it is.
void FixChunkChecksums(std::uint8_t* Data, std::size_t Size) {
    std::size_t At = 8;
    while (At + 12 <= Size) {
        const std::uint32_t Length = BigEndian32(Data + At);
        if (Length > Size - At - 12)
            return;
        const uLong Crc = crc32(0L, Data + At + 4, uInt(Length + 4));
        std::uint8_t* Out = Data + At + 8 + Length;
        Out[0] = std::uint8_t(Crc >> 24);
        Out[1] = std::uint8_t(Crc >> 16);
        Out[2] = std::uint8_t(Crc >> 8);
        Out[3] = std::uint8_t(Crc);
        At += 12 + Length;
    }
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize,
                                               unsigned int Seed) {
    Size = LLVMFuzzerMutate(Data, Size, MaxSize);
    // One mutation in sixteen keeps its checksums as they fell, so the library's own checks stay fuzzed too.
    if (Seed % 16 != 0)
        FixChunkChecksums(Data, Size);
    return Size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    return qvfuzz::LoadPicture<TPngImage>(Data, Size);
}
