#include "skin/dialogs/bsFileCtrlPaths.h"

#include "platform/gdi/Graphics.h"
#include "platform/shell/ShellPlaces.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

bool FolderExists(const String& Path) {
    struct stat St;
    return !Path.empty() && ::stat(FileNameToUTF8(Path).c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

String JoinPath(const String& Path, const String& Name) {
    if (!Path.empty() && Path.back() == u'/')
        return Path + Name;
    return Path + u"/" + Name;
}

int PathDepth(const String& Path) {
    int N = 0;
    for (Char C : Path)
        if (C == u'/')
            ++N;
    return N;
}

void DropFirstFolder(String& S) {
    if (S == u"/") {
        S.clear();
        return;
    }
    String Lead;
    if (!S.empty() && S[0] == u'/') {
        Lead = u"/";
        S.erase(0, 1);
    }
    if (!S.empty() && S[0] == u'.')
        S.erase(0, std::min<std::size_t>(4, S.size()));
    const std::size_t Slash = S.find(u'/');
    if (Slash == String::npos)
        S.clear();
    else
        S = u".../" + S.substr(Slash + 1);
    if (!S.empty())
        S = Lead + S;
}

String ShortenPath(const String& FileName, TCanvas* Canvas, int MaxWidth) {
    String Result = FileName;
    String Dir = ExtractFilePath(FileName);
    const String Name = ExtractFileName(FileName);
    while (!Dir.empty() && Canvas->TextWidth(Result) > MaxWidth) {
        if (Dir == u"/.../")
            Dir = u".../";
        else
            DropFirstFolder(Dir);
        Result = Dir + Name;
    }
    return Result;
}

String MountPointOf(const String& Path) {
    const std::string P = FileNameToUTF8(Path);
    std::string Best = "/";
    for (const TShellDrive& D : ShellDrives()) {
        const std::string& M = D.MountPoint;
        if (M.size() > Best.size() && (P == M || P.compare(0, M.size() + 1, M + "/") == 0))
            Best = M;
    }
    return UTF8ToString(Best);
}

namespace {

String Cased(const String& S, TTextCase TextCase) {
    return TextCase == tcUpperCase ? AnsiUpperCase(S) : AnsiLowerCase(S);
}

// The drive's own label: the namespace falls back to the mount point's last name, which is no label.
String TrueLabel(const TShellDrive& D) {
    const std::size_t Slash = D.MountPoint.rfind('/');
    const String Fallback = D.MountPoint == "/" ? String(u"/") : UTF8ToString(D.MountPoint.substr(Slash + 1));
    return D.Label == Fallback ? String() : D.Label;
}

} // namespace

String VolumeLabelText(const String& MountPoint, TTextCase TextCase) {
    TShellDrive D;
    const String Label = FindShellDrive(FileNameToUTF8(MountPoint), D) ? TrueLabel(D) : String();
    return u"[" + Cased(Label, TextCase) + u"]";
}

String NetworkVolumeText(const String& MountPoint, TTextCase TextCase) {
    TShellDrive D;
    if (!FindShellDrive(FileNameToUTF8(MountPoint), D) || D.Kind != dkNetwork)
        return VolumeLabelText(MountPoint, TextCase);
    return u"[" + Cased(UTF8ToString(D.Device), TextCase) + u"]";
}

void ChangeCurrentDir(const String& Dir) {
    if (Dir.empty() || ::chdir(FileNameToUTF8(Dir).c_str()) != 0)
        throw EInOutError(Format(u"I/O error %d", {Dir.empty() ? ENOENT : errno}));
}

namespace {

// Raises as changing into Dir would, without changing the current directory.
void CheckDirectory(const String& Dir) {
    if (!FolderExists(Dir) || ::access(FileNameToUTF8(Dir).c_str(), X_OK) != 0)
        throw EInOutError(Format(u"I/O error %d", {errno ? errno : ENOENT}));
}

bool HasWildcard(const String& S) {
    return S.find_first_of(u"*?") != String::npos;
}

} // namespace

void SplitEditPath(const String& EditText, String& Drive, String& DirPart, String& FilePart) {
    const String Current = GetCurrentDir();
    Drive = MountPointOf(Current);
    String Full;
    if (EditText.size() >= 2 && EditText.front() == u'[' && EditText.back() == u']')
        Full = JoinPath(Current, EditText.substr(1, EditText.size() - 2));
    else if (!EditText.empty() && EditText[0] == u'/')
        Full = EditText;
    else
        Full = JoinPath(Current, EditText);
    Full = UTF8ToString(NormalisePath(FileNameToUTF8(Full)));
    Drive = MountPointOf(Full);
    FilePart = Full == u"/" ? String() : ExtractFileName(Full);
    DirPart = FilePart.empty() ? Full : ExtractFileDir(Full);
    if (DirPart.empty())
        DirPart = u"/";
    CheckDirectory(DirPart);
    if (!FilePart.empty() && !HasWildcard(FilePart) && !FileExists(Full)) {
        CheckDirectory(Full);
        DirPart = Full;
        FilePart.clear();
    }
}
