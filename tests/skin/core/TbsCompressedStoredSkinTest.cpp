#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "platform/base/System.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/bszlibcompress.h"
#include "tests/support/TempDir.h"

namespace {

void PutInt(TMemoryStream& S, std::int32_t V) {
    S.WriteValue(V);
}

void PutBitmap(TMemoryStream& S, int W, int H, TColor C) {
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(Rect(0, 0, W, H));
    B.SaveToStream(&S);
}

// A payload of the given version: a form picture, no inactive picture, a mask, two extra pictures, the text.
std::string MakePayload(int Version, const std::string& Text = "[VERSION]\r\nskinname=Test\r\n") {
    TMemoryStream S;
    PutInt(S, Version);
    S.WriteValue<Byte>(0);
    PutBitmap(S, 3, 2, 0x0000FF);
    S.WriteValue<Byte>(1);
    S.WriteValue<Byte>(0);
    PutBitmap(S, 3, 2, 0xFFFFFF);
    if (Version == 2) {
        S.WriteValue<Byte>(0);
        PutBitmap(S, 1, 1, 0);
        S.WriteValue<Byte>(1);
    }
    PutInt(S, 2);
    PutBitmap(S, 4, 1, 0xFF0000);
    PutBitmap(S, 1, 4, 0x00FF00);
    S.WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    return std::string(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

std::string Compress(const std::string& Payload) {
    TMemoryStream Src, Dst;
    Src.WriteBuffer(Payload.data(), static_cast<std::int64_t>(Payload.size()));
    CompressStream(&Src, &Dst);
    return std::string(static_cast<const char*>(Dst.Memory()), static_cast<std::size_t>(Dst.Size()));
}

std::string Archive(std::int32_t Header, const std::string& Compressed) {
    TMemoryStream S;
    S.WriteValue(Header);
    S.WriteValue(static_cast<std::int32_t>(Compressed.size()));
    S.WriteBuffer(Compressed.data(), static_cast<std::int64_t>(Compressed.size()));
    return std::string(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

void LoadArchive(TbsCompressedStoredSkin& Skin, const std::string& Bytes) {
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    Skin.LoadFromCompressStream(&S);
}

} // namespace

TEST(TbsCompressedStoredSkin, ArchiveHeaders) {
    const std::string Packed = Compress(MakePayload(3));
    for (std::int32_t Header : {1, 2, 3, 0, -7}) {
        TbsCompressedStoredSkin Skin(nullptr);
        LoadArchive(Skin, Archive(Header, Packed));
        EXPECT_FALSE(Skin.Empty()) << Header;
        EXPECT_EQ(Skin.CompressedStream()->Size(), static_cast<std::int64_t>(Packed.size()));
    }
    TbsCompressedStoredSkin Skin(nullptr);
    LoadArchive(Skin, Archive(4, Packed));
    EXPECT_TRUE(Skin.Empty());
}

TEST(TbsCompressedStoredSkin, SizesOutsideTheBytesPresentAreCorrupt) {
    const std::string Packed = Compress(MakePayload(3));
    std::string Long = Archive(3, Packed);
    Long.resize(Long.size() - 1);
    std::string Zero = Archive(3, std::string());
    for (const std::string& Bad : {Long, Zero, std::string("\3\0\0", 3)}) {
        TbsCompressedStoredSkin Skin(nullptr);
        EXPECT_THROW(LoadArchive(Skin, Bad), EReadError);
        EXPECT_TRUE(Skin.Empty());
    }
}

// A failed read keeps the blob the skin held; only a header above 3 empties it.
TEST(TbsCompressedStoredSkin, AFailedReadKeepsTheBlob) {
    const std::string Good = Archive(3, Compress(MakePayload(3)));
    TbsCompressedStoredSkin Skin(nullptr);
    LoadArchive(Skin, Good);
    const std::int64_t Size = Skin.CompressedStream()->Size();
    std::string Short = Good;
    Short.resize(Short.size() - 1);
    for (const std::string& Bad : {Short, std::string("\3\0", 2)}) {
        EXPECT_THROW(LoadArchive(Skin, Bad), EReadError);
        EXPECT_EQ(Skin.CompressedStream()->Size(), Size);
    }
    EXPECT_THROW(Skin.LoadFromCompressFile(u"/nonexistent/skin.skn"), Exception);
    EXPECT_EQ(Skin.CompressedStream()->Size(), Size);

    // The bare compressed bytes of the stored property, written and read back whole.
    TMemoryStream Data;
    Skin.WriteCompressedData(&Data);
    EXPECT_EQ(Data.Size(), Size);
    TbsCompressedStoredSkin Copy(nullptr);
    Data.SetPosition(0);
    Copy.ReadCompressedData(&Data);
    TbsSkinPayload P;
    ASSERT_TRUE(ReadSkinPayload(Copy, P));
    EXPECT_EQ(P.ActivePictures.size(), 2u);

    LoadArchive(Skin, Archive(4, Compress(MakePayload(3))));
    EXPECT_TRUE(Skin.Empty());
}

TEST(TbsCompressedStoredSkin, SavingAnEmptySkinCreatesNoFile) {
    const TTempDir Temp;
    const auto& Dir = Temp.Folder();
    const String Name = UTF8ToString((Dir / "empty.skn").string());
    TbsCompressedStoredSkin Skin(nullptr);
    Skin.SaveToCompressFile(Name);
    EXPECT_FALSE(std::filesystem::exists(Dir / "empty.skn"));

    LoadArchive(Skin, Archive(1, Compress(MakePayload(3))));
    const String Full = UTF8ToString((Dir / "full.skn").string());
    Skin.SaveToCompressFile(Full);
    TbsCompressedStoredSkin Back(nullptr);
    Back.LoadFromCompressFile(Full);
    EXPECT_EQ(Back.CompressedStream()->Size(), Skin.CompressedStream()->Size());
}

TEST(TbsCompressedStoredSkin, PayloadVersionsTwoAndThreeReadAlike) {
    for (int Version : {2, 3}) {
        TbsCompressedStoredSkin Skin(nullptr);
        LoadArchive(Skin, Archive(3, Compress(MakePayload(Version))));
        TbsSkinPayload P;
        ASSERT_TRUE(ReadSkinPayload(Skin, P)) << Version;
        ASSERT_TRUE(P.Picture);
        EXPECT_EQ(P.Picture->Width(), 3);
        EXPECT_FALSE(P.InActivePicture);
        ASSERT_TRUE(P.Mask);
        ASSERT_EQ(P.ActivePictures.size(), 2u);
        EXPECT_EQ(P.ActivePictures[1]->Height(), 4);
        ASSERT_EQ(P.Description.Count(), 2);
        EXPECT_EQ(P.Description[1], u"skinname=Test");
    }
    TbsCompressedStoredSkin Skin(nullptr);
    LoadArchive(Skin, Archive(3, Compress(MakePayload(4))));
    TbsSkinPayload P;
    EXPECT_FALSE(ReadSkinPayload(Skin, P));
}

TEST(TbsCompressedStoredSkin, ListItemsAreNamedByTheirIndex) {
    TbsCompressedSkinList List(nullptr);
    List.Skins()->Add();
    List.Skins()->Add();
    EXPECT_EQ(List.Skins()->GetSkinItem(0)->Name(), u"bsSkin0");
    EXPECT_EQ(List.Skins()->GetSkinItem(1)->DisplayName(), u"bsSkin1");
    EXPECT_TRUE(List.Skins()->GetSkinItem(1)->Skin()->Empty());
}

// 500 corrupted variants, each either read whole or refused with an error; a refused one hands nothing back.
TEST(TbsCompressedStoredSkin, CorruptedArchivesNeverCrash) {
    const std::string Good = Archive(3, Compress(MakePayload(3)));
    RandSeed = 20261210;
    int Refused = 0;
    for (int I = 0; I < 500; ++I) {
        std::string Bad = Good;
        switch (I % 4) {
        case 0: // flipped bytes anywhere
            for (int K = 0; K < 1 + Random(4); ++K)
                Bad[static_cast<std::size_t>(Random(static_cast<int>(Bad.size())))] ^=
                    static_cast<char>(1 + Random(255));
            break;
        case 1: // cut short
            Bad.resize(static_cast<std::size_t>(Random(static_cast<int>(Bad.size()))));
            break;
        case 2: // a payload with a broken count or picture size, validly compressed
        {
            std::string P = MakePayload(3);
            const std::size_t At = 5 + static_cast<std::size_t>(Random(static_cast<int>(P.size()) - 5));
            P[At] = static_cast<char>(Random(256));
            Bad = Archive(3, Compress(P.substr(0, P.size() - static_cast<std::size_t>(Random(40)))));
            break;
        }
        case 3: // a hostile size field
        {
            const std::int32_t N = Random(2) ? -Random(100) : 0x7FFFFFF0 - Random(100);
            std::memcpy(&Bad[4], &N, 4);
            break;
        }
        }
        TbsCompressedStoredSkin Skin(nullptr);
        TbsSkinPayload P;
        P.Description.Add(u"untouched");
        try {
            LoadArchive(Skin, Bad);
            if (!Skin.Empty())
                ReadSkinPayload(Skin, P);
        } catch (const Exception&) {
            ++Refused;
            EXPECT_EQ(P.Description.Count(), 1);
            EXPECT_FALSE(P.Picture);
        }
    }
    EXPECT_GT(Refused, 100);
}
