#include "skin/core/TbsCompressedStoredSkin.h"

#include <cstring>

#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"
#include "skin/core/SkinIniValues.h"
#include "skin/core/TbsSkinData.h"
#include "skin/core/bszlibcompress.h"

TbsCompressedStoredSkin::TbsCompressedStoredSkin(TComponent* AOwner) : TComponent(AOwner) {}

void TbsCompressedStoredSkin::LoadFromCompressStream(TStream* Stream) {
    Stream->SetPosition(0);
    const std::int32_t Header = Stream->ReadValue<std::int32_t>();
    if (Header > 3) {
        FCompressedStream->Clear();
        return;
    }
    const std::int32_t N = Stream->ReadValue<std::int32_t>();
    // The size must be positive and no larger than what follows it.
    if (N <= 0 || N > Stream->Size() - Stream->Position())
        throw EReadError(u"Stream read error");
    FCompressedStream->Clear();
    FCompressedStream->CopyFrom(Stream, N);
}

void TbsCompressedStoredSkin::LoadFromCompressFile(const String& AFileName) {
    TFileStream F(AFileName, fmOpenRead);
    LoadFromCompressStream(&F);
}

void TbsCompressedStoredSkin::ReadCompressedData(TStream* Stream) {
    FCompressedStream->Clear();
    const std::int64_t Left = Stream->Size() - Stream->Position();
    if (Left > 0)
        FCompressedStream->CopyFrom(Stream, Left);
}

void TbsCompressedStoredSkin::WriteCompressedData(TStream* Stream) const {
    FCompressedStream->SaveToStream(Stream);
}

void TbsCompressedStoredSkin::SaveToCompressStream(TStream* Stream) {
    Stream->WriteValue<std::int32_t>(3);
    Stream->WriteValue<std::int32_t>(static_cast<std::int32_t>(FCompressedStream->Size()));
    FCompressedStream->SaveToStream(Stream);
}

void TbsCompressedStoredSkin::SaveToCompressFile(const String& AFileName) {
    if (Empty())
        return;
    TFileStream F(AFileName, fmCreate);
    SaveToCompressStream(&F);
}

void TbsCompressedStoredSkin::DeCompressToStream(TMemoryStream* S) {
    DecompressStream(S, FCompressedStream.get(), MaxSkinPayloadSize);
}

namespace {

constexpr std::int32_t PayloadVersion = 3;

// A form picture slot: flag 1 and nothing else for no picture, flag 0 and the BMP image otherwise.
void WriteSlot(TMemoryStream& Payload, TBitmap* Bitmap) {
    const bool None = !Bitmap || Bitmap->Empty();
    Payload.WriteValue<Byte>(None ? 1 : 0);
    if (!None)
        Bitmap->SaveToStream(&Payload);
}

} // namespace

void TbsCompressedStoredSkin::LoadFromIniFile(const String& AFileName) {
    TStringList Lines;
    Lines.LoadFromFile(AFileName);
    TMemIniFile IniFile(&Lines);
    if (!IsSkinIniValid(IniFile))
        return;
    const String Folder = ExtractFilePath(AFileName);
    // Built aside, so a picture that cannot be read leaves the current blob as it was.
    TMemoryStream Payload;
    Payload.WriteValue<std::int32_t>(PayloadVersion);
    for (const char16_t* Key : {u"picture", u"inactivepicture", u"mask"}) {
        const String Name = IniFile.ReadString(u"PICTURES", Key, u"");
        TBitmap Bitmap;
        if (!Name.empty())
            Bitmap.LoadFromFile(Folder + Name);
        WriteSlot(Payload, &Bitmap);
    }
    TStringList Names;
    ReadStringsValue(IniFile, u"PICTURES", u"activepictures", Names);
    Payload.WriteValue<std::int32_t>(Names.Count());
    for (int I = 0; I < Names.Count(); ++I) {
        TBitmap Bitmap;
        Bitmap.LoadFromFile(Folder + Names[I]);
        Bitmap.SaveToStream(&Payload);
    }
    Lines.SaveToStream(&Payload);
    TMemoryStream Packed;
    CompressStream(&Payload, &Packed);
    FCompressedStream->Clear();
    FCompressedStream->CopyFrom(&Packed, 0);
}

void TbsCompressedStoredSkin::LoadFromSkinData(TbsSkinData* ASkinData) {
    TMemoryStream Payload;
    Payload.WriteValue<std::int32_t>(PayloadVersion);
    WriteSlot(Payload, ASkinData->FPicture.get());
    WriteSlot(Payload, ASkinData->FInActivePicture.get());
    WriteSlot(Payload, ASkinData->FMask.get());
    Payload.WriteValue<std::int32_t>(static_cast<std::int32_t>(ASkinData->FActivePictures.size()));
    for (const auto& Bitmap : ASkinData->FActivePictures)
        Bitmap->SaveToStream(&Payload);
    TMemIniFile IniFile(u"");
    ASkinData->WriteSkinIni(IniFile);
    TStringList Lines;
    IniFile.GetStrings(&Lines);
    Lines.SaveToStream(&Payload);
    TMemoryStream Packed;
    CompressStream(&Payload, &Packed);
    FCompressedStream->Clear();
    FCompressedStream->CopyFrom(&Packed, 0);
}

namespace {

// Reads from a payload held in memory, checking every length against the bytes left.
class TPayloadReader {
public:
    explicit TPayloadReader(TMemoryStream& S) : FData(static_cast<const Byte*>(S.Memory())), FSize(S.Size()) {}

    std::int64_t Left() const { return FSize - FPos; }

    std::int32_t Int32() {
        std::int32_t V;
        Need(4);
        std::memcpy(&V, FData + FPos, 4);
        FPos += 4;
        return V;
    }

    Byte Flag() {
        Need(1);
        return FData[FPos++];
    }

    // A BMP file occupies exactly the size its header gives.
    std::unique_ptr<TBitmap> Bitmap() {
        Need(14);
        if (FData[FPos] != 'B' || FData[FPos + 1] != 'M')
            Fail();
        std::uint32_t FileSize;
        std::memcpy(&FileSize, FData + FPos + 2, 4);
        if (FileSize < 14 + 12)
            Fail();
        Need(FileSize);
        TMemoryStream Image;
        Image.WriteBuffer(FData + FPos, FileSize);
        Image.SetPosition(0);
        auto Result = std::make_unique<TBitmap>();
        Result->LoadFromStream(&Image);
        if (Result->Empty())
            Fail();
        FPos += FileSize;
        return Result;
    }

    std::unique_ptr<TBitmap> Slot() { return Flag() == 0 ? Bitmap() : nullptr; }

    std::string Rest() {
        std::string R(reinterpret_cast<const char*>(FData + FPos), static_cast<std::size_t>(Left()));
        FPos = FSize;
        return R;
    }

private:
    void Need(std::int64_t Count) const {
        if (Count < 0 || Count > Left())
            Fail();
    }
    [[noreturn]] static void Fail() { throw EReadError(u"Stream read error"); }

    const Byte* FData;
    std::int64_t FSize;
    std::int64_t FPos = 0;
};

// The description honours a UTF-8 or UTF-16 byte-order mark; without one it is the system's 8-bit text, which is
// UTF-8 here.
String DecodeDescription(const std::string& Bytes) {
    const auto At = [&](std::size_t I) { return static_cast<unsigned char>(Bytes[I]); };
    if (Bytes.size() >= 2 && ((At(0) == 0xFF && At(1) == 0xFE) || (At(0) == 0xFE && At(1) == 0xFF))) {
        const bool BigEndian = At(0) == 0xFE;
        String Text;
        for (std::size_t I = 2; I + 1 < Bytes.size(); I += 2)
            Text += static_cast<Char>(BigEndian ? At(I) << 8 | At(I + 1) : At(I + 1) << 8 | At(I));
        return Text;
    }
    std::string_view View = Bytes;
    if (View.starts_with("\xEF\xBB\xBF"))
        View.remove_prefix(3);
    return UTF8ToString(View);
}

} // namespace

bool ReadSkinPayload(TbsCompressedStoredSkin& Skin, TbsSkinPayload& Result) {
    TMemoryStream Payload;
    Skin.DeCompressToStream(&Payload);
    TPayloadReader R(Payload);
    TbsSkinPayload P;
    P.Version = R.Int32();
    if (P.Version > 3)
        return false;
    P.Picture = R.Slot();
    P.InActivePicture = R.Slot();
    P.Mask = R.Slot();
    if (P.Version == 2) {
        R.Slot();
        R.Slot();
    }
    const std::int32_t Count = R.Int32();
    // Each picture takes at least a BMP header, so a count beyond that is corrupt without reading further.
    if (Count < 0 || Count > R.Left() / 26)
        throw EReadError(u"Stream read error");
    for (int I = 0; I < Count; ++I)
        P.ActivePictures.push_back(R.Bitmap());
    P.Description.SetText(DecodeDescription(R.Rest()));
    Result.Version = P.Version;
    Result.Picture = std::move(P.Picture);
    Result.InActivePicture = std::move(P.InActivePicture);
    Result.Mask = std::move(P.Mask);
    Result.ActivePictures = std::move(P.ActivePictures);
    Result.Description.Assign(&P.Description);
    return true;
}

TbsSkinListItem::TbsSkinListItem(TCollection* Collection) : TCollectionItem(Collection) {
    FName = Format(u"bsSkin%d", {Index()});
}

TbsSkinListItems::TbsSkinListItems(TbsCompressedSkinList* ASkinList)
    : TCollection(ItemClassOf<TbsSkinListItem>()), FSkinList(ASkinList) {}

TPersistent* TbsSkinListItems::GetOwner() const {
    return FSkinList;
}

TbsCompressedSkinList::TbsCompressedSkinList(TComponent* AOwner)
    : TComponent(AOwner), FSkins(std::make_unique<TbsSkinListItems>(this)) {}
