// Compressed skins: the .skn archive, the stored skin component and the skin list of stored skins.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"

class TbsSkinData;

// One skin as one zlib blob: the N compressed bytes of the payload.
class TbsCompressedStoredSkin : public TComponent {
public:
    explicit TbsCompressedStoredSkin(TComponent* AOwner);

    // Builds the blob from an ini description and the BMP files beside it; the ini text goes in unchanged. A
    // description without one of the five required sections leaves the blob as it was, and so does a picture
    // that cannot be read (its error goes on to the caller).
    void LoadFromIniFile(const String& AFileName);
    // Builds the blob from a loaded skin: its pictures and the description its writer produces.
    void LoadFromSkinData(TbsSkinData* ASkinData);

    bool Empty() const { return FCompressedStream->Size() == 0; }
    // Archive layout: header (written as 3; above 3 leaves the skin empty), N, then N compressed bytes. A file
    // that cannot be opened, a short header, or a size of 0 or below or above the bytes present raises the
    // platform's error and leaves the blob the skin held before.
    void LoadFromCompressFile(const String& AFileName);
    // Writes nothing (creates no file) while empty.
    void SaveToCompressFile(const String& AFileName);
    void LoadFromCompressStream(TStream* Stream);
    void SaveToCompressStream(TStream* Stream);
    // The "CompressedData" property: only the compressed bytes. Reading takes the rest of Stream as the whole
    // new content; writing writes the whole content, also when it is empty.
    void ReadCompressedData(TStream* Stream);
    void WriteCompressedData(TStream* Stream) const;
    // Inflates the whole blob into S.
    void DeCompressToStream(TMemoryStream* S);

    TMemoryStream* CompressedStream() const { return FCompressedStream.get(); }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    const String& CompressedFileName() const { return FCompressedFileName; }
    void SetCompressedFileName(const String& Value) { FCompressedFileName = Value; }
    const String& Description() const { return FDescription; }
    void SetDescription(const String& Value) { FDescription = Value; }

private:
    String FFileName;
    String FCompressedFileName;
    std::unique_ptr<TMemoryStream> FCompressedStream = std::make_unique<TMemoryStream>();
    String FDescription;
};

// A payload read and checked whole: the three form pictures (nullptr for none), the extra pictures in order
// and the description text.
struct TbsSkinPayload {
    int Version = 0;
    std::unique_ptr<TBitmap> Picture;
    std::unique_ptr<TBitmap> InActivePicture;
    std::unique_ptr<TBitmap> Mask;
    std::vector<std::unique_ptr<TBitmap>> ActivePictures;
    TStringList Description;
};

// Largest payload a stored skin may inflate to; anything bigger is treated as corrupt.
constexpr std::int64_t MaxSkinPayloadSize = 256 * 1024 * 1024;

// Inflates a stored skin and reads every part of its payload, checking the version, each size, count and offset
// against the bytes present and every picture, before anything is handed back. Raises EReadError (a malformed
// payload), EDecompressionError (corrupt compressed data) or the picture loader's error; Result is then
// untouched. A version above 3 gives False and reads nothing more.
bool ReadSkinPayload(TbsCompressedStoredSkin& Skin, TbsSkinPayload& Result);

class TbsCompressedSkinList;

class TbsSkinListItem : public TCollectionItem {
public:
    explicit TbsSkinListItem(TCollection* Collection);

    TbsCompressedStoredSkin* Skin() const { return FSkin.get(); }
    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    const String& Description() const { return FDescription; }
    void SetDescription(const String& Value) { FDescription = Value; }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    const String& CompressedFileName() const { return FCompressedFileName; }
    void SetCompressedFileName(const String& Value) { FCompressedFileName = Value; }
    String DisplayName() const override { return FName; }

private:
    std::unique_ptr<TbsCompressedStoredSkin> FSkin = std::make_unique<TbsCompressedStoredSkin>(nullptr);
    String FDescription;
    String FFileName;
    String FCompressedFileName;
    String FName;
};

class TbsSkinListItems : public TCollection {
public:
    explicit TbsSkinListItems(TbsCompressedSkinList* ASkinList);
    TbsSkinListItem* GetSkinItem(int Index) const { return ItemsAs<TbsSkinListItem>(Index); }
    TPersistent* GetOwner() const override;

private:
    TbsCompressedSkinList* FSkinList;
};

class TbsCompressedSkinList : public TComponent {
public:
    explicit TbsCompressedSkinList(TComponent* AOwner);
    TbsSkinListItems* Skins() const { return FSkins.get(); }
    void SetSkins(TbsSkinListItems* Value) { FSkins->Assign(Value); }

private:
    std::unique_ptr<TbsSkinListItems> FSkins;
};
