// Snapshots: the picture the preview shows, saved as BMP, JPEG, GIF or PNG into the snapshot folder under the
// previewed file's name and the first free number. Folder and type live in the section "SnapShot" of option.ini
// and are read afresh by every command, so an edit of the file counts at the next one.
#include "app/Unit1.h"

#include <memory>

#include "app/OptionIni.h"
#include "engine/MyUtils.h"
#include "platform/base/SysUtils.h"
#include "platform/shell/ShellLauncher.h"

namespace {

const String SnapshotSection = u"SnapShot";
const String DefaultSnapshotType = u"BMP";

// "Velko视频软件/快照" in the user's home folder.
String DefaultSnapshotFolder() {
    String Home = GetEnvironmentVariable(u"HOME");
    if (Home.empty())
        Home = GetAppPath();
    return IncludeTrailingPathDelimiter(Home) + u"Velko视频软件/快照";
}

void MakeFolder(const String& Folder) {
    if (DirectoryExists(Folder))
        return;
    try {
        ForceDirectories(Folder);
    } catch (const Exception&) {
        // A folder that cannot be made shows when the picture is saved into it.
    }
}

} // namespace

String TForm1::ResolveSnapshotFolder() {
    if (OptionIniExists()) {
        const String Folder = ReadOption(SnapshotSection, u"Dir");
        if (!OptionIsMissing(Folder)) {
            MakeFolder(Folder);
            return Folder;
        }
    }
    const String Folder = DefaultSnapshotFolder();
    MakeFolder(Folder);
    WriteOption(SnapshotSection, u"Dir", Folder);
    return Folder;
}

String TForm1::ResolveSnapshotType() {
    String Type = OptionIniExists() ? ReadOption(SnapshotSection, u"Picture") : String();
    TMenuItem* Item = nullptr;
    if (Type == u"BMP")
        Item = BMP1;
    else if (Type == u"JPG")
        Item = JPG1;
    else if (Type == u"GIF")
        Item = GIF1;
    else if (Type == u"PNG")
        Item = PNG1;
    if (!Item) {
        // Missing, empty or unknown (the comparison is case-sensitive): the default is written back.
        Type = DefaultSnapshotType;
        Item = BMP1;
        WriteOption(SnapshotSection, u"Picture", Type);
    }
    Item->SetChecked(true);
    return Type;
}

void TForm1::bsSkinButton22Click(TObject* Sender) {
    // The handler's own copy at 24 bits; the player keeps its picture and goes on playing.
    TBitmap Frame;
    Frame.Assign(RUDezari->CurrentFrame());
    Frame.SetPixelFormat(pf24bit);
    // Both run even with no picture, so a click also repairs the keys and the check marks.
    const String Folder = ResolveSnapshotFolder();
    const String Type = ResolveSnapshotType();
    if (Frame.Width() == 0)
        return;

    const String Base = ChangeFileExt(ExtractFileName(T_Movie_PLayer_FileName), u"");
    const String Ext = u"." + LowerCase(Type);
    String FileName;
    for (int N = 1;; ++N) {
        FileName = Folder + u"/" + Base + u"_" + IntToStr(N) + Ext;
        if (!FileExists(FileName))
            break;
    }
    if (Type == u"BMP") {
        Frame.SaveToFile(FileName);
        return;
    }
    std::unique_ptr<TGraphic> Picture;
    if (Type == u"JPG")
        Picture = std::make_unique<TJPEGImage>();
    else if (Type == u"GIF")
        Picture = std::make_unique<TGIFImage>();
    else
        Picture = std::make_unique<TPngImage>();
    Picture->Assign(&Frame);
    Picture->SaveToFile(FileName);
}

void TForm1::bsSkinButton23MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft)
        return;
    POINT At{};
    GetCursorPos(&At);
    bsSkinPopupMenu2->Popup(At.X, At.Y);
}

void TForm1::bsSkinButton23Click(TObject* Sender) {
    ResolveSnapshotType();
}

void TForm1::BMP1Click(TObject* Sender) {
    WriteOption(SnapshotSection, u"Picture", u"BMP");
    BMP1->SetChecked(true);
}

void TForm1::JPG1Click(TObject* Sender) {
    WriteOption(SnapshotSection, u"Picture", u"JPG");
    JPG1->SetChecked(true);
}

void TForm1::GIF1Click(TObject* Sender) {
    WriteOption(SnapshotSection, u"Picture", u"GIF");
    GIF1->SetChecked(true);
}

void TForm1::PNG1Click(TObject* Sender) {
    WriteOption(SnapshotSection, u"Picture", u"PNG");
    PNG1->SetChecked(true);
}

void TForm1::MenuItem1Click(TObject* Sender) {
    // Whether the desktop could open the folder is not reported.
    String Error;
    ShellLauncher().Open(ResolveSnapshotFolder(), u"", Error);
}

void TForm1::MenuItem2Click(TObject* Sender) {
    // Only a folder chosen with OK is stored: a cancelled picker changes nothing.
    String Folder;
    if (PickOutputFolder(Folder) && DirectoryExists(Folder))
        WriteOption(SnapshotSection, u"Dir", Folder);
}
