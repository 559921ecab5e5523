// Skin descriptions (the skin's ini text) and the string tables of the skinned controls' texts: any text is read
// as a skin's description, or raises the skin reader's error. The description goes in the way a stored skin
// carries it: a payload without pictures, deflated.
#include <zlib.h>

#include <vector>

#include "FuzzSupport.h"
#include "platform/base/IniFiles.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/TbsSkinData.h"

namespace {

std::vector<std::uint8_t> PayloadOf(const std::uint8_t* Data, std::size_t Size) {
    // Version 3, three empty form-picture slots, no further pictures, then the description.
    std::vector<std::uint8_t> Payload = {3, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0};
    Payload.insert(Payload.end(), Data, Data + Size);
    uLongf Packed = compressBound(uLong(Payload.size()));
    std::vector<std::uint8_t> Out(Packed);
    compress2(Out.data(), &Packed, Payload.data(), uLong(Payload.size()), 1);
    Out.resize(Packed);
    return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::uint8_t> Blob = PayloadOf(Data, Size);
    TMemoryStream Stream;
    qvfuzz::FillStream(Stream, Blob.data(), Blob.size());
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.ReadCompressedData(&Stream);
    TbsSkinData Skin(nullptr);
    qvfuzz::Tolerate([&] { Skin.LoadCompressedStoredSkin(&Stored); });

    // The same text as a table of the controls' texts.
    TStringList Lines;
    Lines.SetText(qvfuzz::Text(Data, Size));
    TbsResourceStrData Strings(nullptr);
    Strings.SetResStrings(&Lines);
    for (const char16_t* Name : {u"MSG_BTN_OK", u"FILESAVE_OVERWRITE", u"", u"="})
        Strings.GetResStr(Name);
    for (int I = 0; I < Lines.Count() && I < 8; ++I)
        Strings.GetResStr(Lines.Names(I));
    return 0;
}
