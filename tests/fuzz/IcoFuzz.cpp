// icon files: any bytes load into a picture or raise the loader's error.
#include "PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    return qvfuzz::LoadPicture<TIcon>(Data, Size);
}
