// Writes the fuzz programs' seed corpora from the program's own files: the stored skins (archives, blobs and
// descriptions), pictures drawn here in every format and depth the loaders read, the media fixtures' clips cut to
// 64 KiB, the settings file's cases, the built-in presets, option texts and the file dialogs' texts.
//   fuzz_seeds FOLDER     (one sub-folder per fuzz program)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/FFmpeg.h"
#include "platform/gdi/Graphics.h"
#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "support/MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

fs::path Root;

void Put(const std::string& Target, const std::string& Name, const std::string& Bytes) {
    fs::create_directories(Root / Target);
    std::ofstream(Root / Target / Name, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
}

std::string BytesOf(TMemoryStream& S) {
    return std::string(static_cast<const char*>(S.Memory()), std::size_t(S.Size()));
}

template <typename TPicture> std::string Saved(TPicture& Picture) {
    TMemoryStream S;
    Picture.SaveToStream(&S);
    return BytesOf(S);
}

void StoredSkins() {
    for (int I = 0; I < StoredSkinCount(); ++I) {
        const TStoredSkin& Skin = StoredSkin(I);
        const std::string Archive(reinterpret_cast<const char*>(Skin.Data), Skin.Size);
        const std::string Name = "skin" + std::to_string(I);
        Put("skn_archive", Name + ".skn", Archive);
        Put("stored_skin", Name + ".blob", Archive.substr(8));
        TbsCompressedStoredSkin Stored(nullptr);
        TMemoryStream S;
        S.WriteBuffer(Archive.data(), std::int64_t(Archive.size()));
        Stored.LoadFromCompressStream(&S);
        TbsSkinPayload Payload;
        ReadSkinPayload(Stored, Payload);
        const std::string Description = UTF8Encode(Payload.Description.Text());
        Put("skin_ini", Name + ".ini", Description);
        // The first pictures of each skin as the BMP loader meets them.
        if (Payload.Picture && I < 3)
            Put("bmp", Name + "-form.bmp", Saved(*Payload.Picture));
    }
    Put("skin_ini", "strings.txt", "MSG_BTN_OK=确定\nMSG_BTN_CANCEL=取消\nnoequals\n=empty name\nmsg_btn_ok=second\n");
}

// A 13 x 7 picture with every channel changing and alpha from clear to opaque, in each depth.
void Pictures() {
    TBitmap Source;
    Source.SetPixelFormat(pf32bit);
    Source.SetSize(13, 7);
    for (int Y = 0; Y < 7; ++Y) {
        auto* Row = static_cast<std::uint32_t*>(Source.ScanLine(Y));
        for (int X = 0; X < 13; ++X)
            Row[X] = std::uint32_t(Y * 36) << 24 | std::uint32_t(X * 19) << 16 | std::uint32_t(Y * 40) << 8 |
                     std::uint32_t(255 - X * 19);
    }
    Source.SetAlphaFormat(afDefined);
    for (TPixelFormat Depth : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap B;
        B.Assign(&Source);
        B.SetPixelFormat(Depth);
        Put("bmp", "depth" + std::to_string(int(Depth)) + ".bmp", Saved(B));
    }
    for (bool Alpha : {false, true}) {
        TPngImage Png;
        Png.Assign(&Source);
        if (!Alpha)
            Png.RemoveAlpha();
        Put("png", Alpha ? "alpha.png" : "opaque.png", Saved(Png));
        TGIFImage Gif;
        Gif.Assign(&Source);
        Put("gif", Alpha ? "transparent.gif" : "opaque.gif", Saved(Gif));
        TJPEGImage Jpeg;
        Jpeg.Assign(&Source);
        Jpeg.SetGrayscale(Alpha);
        Put("jpeg", Alpha ? "grey.jpg" : "colour.jpg", Saved(Jpeg));
    }
    TPngImage Png;
    Png.Assign(&Source);
    TIcon Icon;
    Icon.SetHandle(CreateIconFromPixels(Png.Width(), Png.Height(), Png.Pixels().data()));
    Put("ico", "alpha.ico", Saved(Icon));
    // An icon file holding a PNG image.
    const std::string Inner = Saved(Png);
    std::string Ico = std::string("\0\0\1\0\1\0\15\7\0\0\1\0\40\0", 14);
    for (std::uint32_t V : {std::uint32_t(Inner.size()), 22u})
        for (int B = 0; B < 4; ++B)
            Ico += char(V >> (8 * B));
    Put("ico", "png-inside.ico", Ico + Inner);
}

void Clips() {
    using qvtest::Fixture;
    for (Fixture F : {Fixture::Avi, Fixture::Mp4, Fixture::Mkv, Fixture::MpegTs, Fixture::Wav, Fixture::Png,
                      Fixture::Subtitles, Fixture::SubtitlesOnly}) {
        const std::string& Path = qvtest::FixturePath(F);
        std::ifstream In(Path, std::ios::binary);
        std::string Bytes(64 * 1024, '\0');
        In.read(Bytes.data(), std::streamsize(Bytes.size()));
        Bytes.resize(std::size_t(In.gcount()));
        Put("probe", fs::path(Path).filename().string(), Bytes);
    }
}

void Texts() {
    // The settings file as the program and its tests meet it.
    const char* Options[] = {
        "[Skin]\nSetSkin=4\n",
        "[Skin]\nSetSkin=x\n[OutPath]\nOutPath=\n",
        "\xEF\xBB\xBF[OutPath]\r\nOutPath=/home/用户/Velko视频软件/输出\r\n[Skin]\r\nSetSkin=9\r\n",
        "[SnapShot]\nPicture=PNG\n; comment\n[Skin]\nSetSkin = \"2\"\n",
        "preamble\n[a]\nk=1\n[A]\nK=2\n=novalue\n[ b ]\n x = 1.5e3 \nflag=true\n[]\n[unclosed\n",
    };
    for (std::size_t I = 0; I < std::size(Options); ++I)
        Put("ini", "option" + std::to_string(I) + ".ini", Options[I]);
    int N = 0;
    for (const TOptionsPreset& P : BuiltinPresets())
        Put("preset", "builtin" + std::to_string(N++), std::string(1, '\0') + UTF8Encode(P.Value));
    const char* ExtOptions[] = {
        "vcodec=libx264\nb=300k\ns=320x240\nr=25\naspect=4:3",
        "acodec=aac<CRLF>ab=128k<CRLF>ar=44100<CRLF>ac=2<CRLF>vn=1",
        "newvideo=\nvcodec=mpeg4\nmap=0:0\nmetadata=title=x\nss=00:00:01.5\nt=10",
        "croptop=8\ncropleft=4\npix_fmt=yuv420p\nqscale=3\npass=1\ntarget=pal-dvd",
    };
    for (std::size_t I = 0; I < std::size(ExtOptions); ++I)
        Put("preset", "options" + std::to_string(I), std::string(1, '\1') + ExtOptions[I]);
    const char* Shell[] = {
        "\0clip.avi",
        "\0[文件夹]",
        "\0/tmp/../tmp/*.txt",
        "\0文件夹/../notes.txt",
        "\0",
        "\1*.avi;*.txt",
        "\1README",
        "\1*.*",
        "\1a?b*|*.c",
        "\2Video (*.avi)|*.avi;*.mkv|Text|*.txt|Dangling",
        "\2All files (*.*)|*.*",
    };
    for (std::size_t I = 0; I < std::size(Shell); ++I) {
        const std::string Text = Shell[I][0] ? Shell[I] : std::string(1, '\0') + (Shell[I] + 1);
        Put("shell_text", "text" + std::to_string(I), Text);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    Root = argv[1];
    StoredSkins();
    Pictures();
    Clips();
    Texts();
    return 0;
}
