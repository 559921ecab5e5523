// Stored-skin blobs (the deflated payload a stored skin component holds): any bytes load as a skin or raise the
// skin reader's error.
#include "FuzzSupport.h"
#include "SkinPayloadMutator.h"
#include "skin/core/TbsSkinData.h"

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize,
                                               unsigned int Seed) {
    return qvfuzz::MutatePayload(Data, Size, MaxSize, Seed, 0, [](std::uint8_t*, std::size_t) {});
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMemoryStream Blob;
    qvfuzz::FillStream(Blob, Data, Size);
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.ReadCompressedData(&Blob);
    TbsSkinData Skin(nullptr);
    qvfuzz::Tolerate([&] { Skin.LoadCompressedStoredSkin(&Stored); });
    return 0;
}
