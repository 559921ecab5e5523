// The settings dialog's pictures, drawn at build time with the application's others: the twelve category
// pictures of ImageList1 and the folder of Image1, all with an alpha channel.
#include "app/profiles/Unit6.h"

#include <cstring>

#include "resources/AppPictures.h"

namespace {

void LoadPng(const TAppImage& Image, TPngImage& Png) {
    TMemoryStream S;
    S.WriteBuffer(Image.Data, std::int64_t(Image.Size));
    S.SetPosition(0);
    Png.LoadFromStream(&S);
}

// A 32-bit bitmap holding the picture's straight alpha, which the image list keeps as it is.
void PngToBitmap(const TPngImage& Png, TBitmap& Bitmap) {
    Bitmap.SetPixelFormat(pf32bit);
    Bitmap.SetSize(Png.Width(), Png.Height());
    const std::vector<std::uint32_t> Pixels = Png.Pixels();
    for (int Y = 0; Y < Png.Height(); ++Y)
        std::memcpy(Bitmap.ScanLine(Y), &Pixels[std::size_t(Y) * std::size_t(Png.Width())],
                    std::size_t(Png.Width()) * sizeof(std::uint32_t));
    Bitmap.SetAlphaFormat(afDefined);
}

} // namespace

void TForm6::LoadPictures() {
    for (int I = 0; I < AppImageCount(ailSettings); ++I) {
        TPngImage Png;
        LoadPng(AppImage(ailSettings, I), Png);
        TBitmap Bitmap;
        PngToBitmap(Png, Bitmap);
        ImageList1->Add(&Bitmap, nullptr);
    }
    TPngImage Folder;
    LoadPng(AppPicture(apSettings), Folder);
    Image1->Picture()->SetGraphic(&Folder);
}
