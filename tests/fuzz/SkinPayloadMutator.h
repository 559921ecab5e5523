// A mutator for inputs that carry a skin's payload deflated (the stored-skin blob, the .skn archive): random
// changes to deflated bytes only ever reach the inflater's error paths, so most mutations inflate the payload,
// change it and deflate it again; the rest change the bytes as they stand.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize);

namespace qvfuzz {

// Payloads larger than this are mutated as deflated bytes only.
constexpr std::size_t MaxMutatedPayload = 16 * 1024 * 1024;

inline bool Inflate(const std::uint8_t* Data, std::size_t Size, std::vector<std::uint8_t>& Out) {
    z_stream Z{};
    if (inflateInit(&Z) != Z_OK)
        return false;
    Z.next_in = const_cast<std::uint8_t*>(Data);
    Z.avail_in = uInt(Size);
    Out.clear();
    int Ret = Z_OK;
    while (Ret == Z_OK && Out.size() < MaxMutatedPayload) {
        std::size_t Had = Out.size();
        Out.resize(Had + 65536);
        Z.next_out = Out.data() + Had;
        Z.avail_out = 65536;
        Ret = inflate(&Z, Z_NO_FLUSH);
        Out.resize(Had + 65536 - Z.avail_out);
    }
    inflateEnd(&Z);
    return Ret == Z_STREAM_END;
}

inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& Payload) {
    uLongf Size = compressBound(uLong(Payload.size()));
    std::vector<std::uint8_t> Out(Size);
    if (compress2(Out.data(), &Size, Payload.data(), uLong(Payload.size()), 1) != Z_OK)
        return {};
    Out.resize(Size);
    return Out;
}

// Mutates the deflated payload that starts Offset bytes into Data; Patch then fixes the bytes before it (a
// size field) for the new deflated size.
template <typename P>
std::size_t MutatePayload(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize, unsigned Seed, std::size_t Offset,
                          P&& Patch) {
    std::vector<std::uint8_t> Payload;
    if (Seed % 4 == 0 || Size <= Offset || !Inflate(Data + Offset, Size - Offset, Payload))
        return LLVMFuzzerMutate(Data, Size, MaxSize);
    const std::size_t Had = Payload.size();
    Payload.resize(Had + Had / 8 + 64);
    Payload.resize(LLVMFuzzerMutate(Payload.data(), Had, Payload.size()));
    const std::vector<std::uint8_t> Packed = Deflate(Payload);
    if (Packed.empty() || Offset + Packed.size() > MaxSize)
        return LLVMFuzzerMutate(Data, Size, MaxSize);
    std::memcpy(Data + Offset, Packed.data(), Packed.size());
    Patch(Data, Packed.size());
    return Offset + Packed.size();
}

} // namespace qvfuzz
