// .skn archives (header, size, deflated payload): any bytes load as a skin or raise the archive's or the skin
// reader's error.
#include "FuzzSupport.h"
#include "SkinPayloadMutator.h"
#include "skin/core/TbsSkinData.h"

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize,
                                               unsigned int Seed) {
    // The size field follows the header; the mutator keeps it equal to the deflated bytes.
    return qvfuzz::MutatePayload(Data, Size, MaxSize, Seed, 8, [](std::uint8_t* Archive, std::size_t Packed) {
        const std::int32_t N = std::int32_t(Packed);
        std::memcpy(Archive + 4, &N, 4);
    });
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMemoryStream Archive;
    qvfuzz::FillStream(Archive, Data, Size);
    qvfuzz::Tolerate([&] {
        TbsCompressedStoredSkin Stored(nullptr);
        Stored.LoadFromCompressStream(&Archive);
        TbsSkinData Skin(nullptr);
        Skin.LoadCompressedStoredSkin(&Stored);
    });
    return 0;
}
