#include "platform/shell/ShellPlaces.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <limits.h>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex PathsLock;
TShellSystemPaths Paths;

bool IsDir(const std::string& Path) {
    struct stat St;
    return !Path.empty() && stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// The mount table escapes space, tab, newline and backslash as three octal digits.
std::string UnescapeMountField(const std::string& S) {
    std::string Out;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\\' && I + 3 < S.size()) {
            const char A = S[I + 1], B = S[I + 2], C = S[I + 3];
            if (A >= '0' && A <= '3' && B >= '0' && B <= '7' && C >= '0' && C <= '7') {
                Out += char((A - '0') * 64 + (B - '0') * 8 + (C - '0'));
                I += 3;
                continue;
            }
        }
        Out += S[I];
    }
    return Out;
}

// Label links escape unsafe bytes as "\xNN".
std::string UnescapeLabel(const std::string& S) {
    std::string Out;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\\' && I + 3 < S.size() && S[I + 1] == 'x') {
            char Hex[3] = {S[I + 2], S[I + 3], 0};
            char* End = nullptr;
            long V = std::strtol(Hex, &End, 16);
            if (End == Hex + 2) {
                Out += char(V);
                I += 3;
                continue;
            }
        }
        Out += S[I];
    }
    return Out;
}

bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

bool IsNetworkFs(const std::string& Type) {
    static const char* const Types[] = {"nfs",        "nfs4",        "cifs",  "smb3",   "smbfs",          "sshfs",
                                        "fuse.sshfs", "davfs",       "ncpfs", "afs",    "glusterfs",      "ceph",
                                        "9p",         "fuse.rclone", "coda",  "lustre", "fuse.gvfsd-fuse"};
    for (const char* T : Types)
        if (Type == T)
            return true;
    return false;
}

// Mount points of the system itself, which a user never browses as a drive.
bool IsSystemMountPoint(const std::string& Point) {
    static const char* const Roots[] = {"/boot", "/proc", "/sys", "/dev", "/run", "/snap", "/var/lib", "/tmp"};
    if (StartsWith(Point, "/run/media/"))
        return false;
    for (const char* R : Roots) {
        const std::string Root = R;
        if (Point == Root || StartsWith(Point, Root + "/"))
            return true;
    }
    return false;
}

std::string RealPath(const std::string& Path) {
    char Buffer[PATH_MAX];
    return realpath(Path.c_str(), Buffer) ? std::string(Buffer) : Path;
}

bool ReadFlag(const std::string& Path) {
    std::ifstream In(Path);
    int V = 0;
    return In >> V && V == 1;
}

// The block device's removable flag; a partition asks its disk.
bool DeviceIsRemovable(const std::string& Device, const std::string& BlockDevices) {
    if (!StartsWith(Device, "/dev/"))
        return false;
    const std::string Real = RealPath(Device);
    const std::string Name = Real.substr(Real.rfind('/') + 1);
    const std::string Dir = BlockDevices + "/" + Name;
    if (ReadFlag(Dir + "/removable"))
        return true;
    return ReadFlag(Dir + "/../removable");
}

// The device a path names: resolved when it exists, else as written.
std::string CanonicalDevice(const std::string& Path) {
    char Buffer[PATH_MAX];
    if (realpath(Path.c_str(), Buffer))
        return Buffer;
    return Path.empty() || Path[0] != '/' ? Path : NormalisePath(Path);
}

String LabelOf(const std::string& Device, const std::string& MountPoint, const std::string& LabelsDir) {
    if (StartsWith(Device, "/dev/")) {
        const std::string Target = CanonicalDevice(Device);
        if (DIR* D = opendir(LabelsDir.c_str())) {
            std::string Found;
            while (dirent* E = readdir(D)) {
                const std::string Name = E->d_name;
                if (Name == "." || Name == "..")
                    continue;
                char Link[PATH_MAX];
                const ssize_t N = readlink((LabelsDir + "/" + Name).c_str(), Link, sizeof Link - 1);
                if (N <= 0)
                    continue;
                std::string To(Link, std::size_t(N));
                if (To[0] != '/')
                    To = LabelsDir + "/" + To;
                if (CanonicalDevice(To) == Target) {
                    Found = UnescapeLabel(Name);
                    break;
                }
            }
            closedir(D);
            if (!Found.empty())
                return UTF8ToString(Found);
        }
    }
    if (MountPoint == "/")
        return u"/";
    return UTF8ToString(MountPoint.substr(MountPoint.rfind('/') + 1));
}

TShellDriveKind KindOf(const std::string& Device, const std::string& Point, const std::string& Type,
                       const std::string& BlockDevices) {
    if (IsNetworkFs(Type))
        return dkNetwork;
    if (Type == "iso9660" || Type == "udf" || StartsWith(Device, "/dev/sr") || StartsWith(Device, "/dev/cdrom"))
        return dkOptical;
    if (StartsWith(Point, "/media/") || StartsWith(Point, "/run/media/") || DeviceIsRemovable(Device, BlockDevices))
        return dkRemovable;
    return dkFixed;
}

std::string Env(const char* Name) {
    const char* V = std::getenv(Name);
    return V ? std::string(V) : std::string();
}

} // namespace

TShellSystemPaths SetShellSystemPaths(const TShellSystemPaths& Value) {
    std::lock_guard Guard(PathsLock);
    TShellSystemPaths Old = Paths;
    Paths = Value;
    return Old;
}

const TShellSystemPaths& ShellSystemPaths() {
    return Paths;
}

std::vector<TShellDrive> ShellDrives() {
    TShellSystemPaths P;
    {
        std::lock_guard Guard(PathsLock);
        P = Paths;
    }
    const std::string BlockDevices = UTF8Encode(P.BlockDevices);
    const std::string Labels = UTF8Encode(P.DiskLabels);
    std::vector<TShellDrive> Drives;
    std::ifstream In(UTF8Encode(P.MountTable));
    std::string Line;
    TShellDrive Root;
    bool HaveRoot = false;
    while (std::getline(In, Line)) {
        std::istringstream Fields(Line);
        std::string Device, Point, Type;
        if (!(Fields >> Device >> Point >> Type))
            continue;
        Device = UnescapeMountField(Device);
        Point = UnescapeMountField(Point);
        if (Point.empty() || Point[0] != '/')
            continue;
        const bool Network = IsNetworkFs(Type);
        if (Point != "/" && (IsSystemMountPoint(Point) || (!StartsWith(Device, "/dev/") && !Network)))
            continue;
        TShellDrive D;
        D.MountPoint = Point;
        D.Device = Device;
        D.FsType = Type;
        D.Kind = KindOf(Device, Point, Type, BlockDevices);
        D.Label = LabelOf(Device, Point, Labels);
        if (Point == "/") {
            Root = D;
            HaveRoot = true;
            continue;
        }
        // A later mount on the same point hides the earlier one.
        std::erase_if(Drives, [&](const TShellDrive& X) { return X.MountPoint == Point; });
        Drives.push_back(D);
    }
    if (!HaveRoot) {
        Root.MountPoint = "/";
        Root.Label = u"/";
    }
    Drives.insert(Drives.begin(), Root);
    return Drives;
}

bool FindShellDrive(const std::string& MountPoint, TShellDrive& Drive) {
    for (const TShellDrive& D : ShellDrives())
        if (D.MountPoint == MountPoint) {
            Drive = D;
            return true;
        }
    return false;
}

std::string ShellHomeDir() {
    std::string Home = Env("HOME");
    if (Home.empty())
        Home = "/";
    while (Home.size() > 1 && Home.back() == '/')
        Home.pop_back();
    return Home;
}

std::string ShellConfigHome() {
    const std::string V = Env("XDG_CONFIG_HOME");
    return !V.empty() && V[0] == '/' ? V : ShellHomeDir() + "/.config";
}

std::string ShellDataHome() {
    const std::string V = Env("XDG_DATA_HOME");
    return !V.empty() && V[0] == '/' ? V : ShellHomeDir() + "/.local/share";
}

std::string ShellUserDir(const char* Name) {
    static const struct {
        const char* Name;
        const char* Default;
    } Defaults[] = {{"DESKTOP", "Desktop"},     {"DOCUMENTS", "Documents"}, {"DOWNLOAD", "Downloads"},
                    {"MUSIC", "Music"},         {"PICTURES", "Pictures"},   {"VIDEOS", "Videos"},
                    {"TEMPLATES", "Templates"}, {"PUBLICSHARE", "Public"}};
    const std::string Home = ShellHomeDir();
    std::string Dir;
    for (const auto& D : Defaults)
        if (std::string(D.Name) == Name)
            Dir = Home + "/" + D.Default;
    // Lines read XDG_DESKTOP_DIR="$HOME/Desktop" (or an absolute path).
    std::ifstream In(ShellConfigHome() + "/user-dirs.dirs");
    const std::string Key = std::string("XDG_") + Name + "_DIR=";
    std::string Line;
    while (std::getline(In, Line)) {
        if (!StartsWith(Line, Key))
            continue;
        std::string V = Line.substr(Key.size());
        if (V.size() >= 2 && V.front() == '"' && V.back() == '"')
            V = V.substr(1, V.size() - 2);
        if (StartsWith(V, "$HOME"))
            V = Home + V.substr(5);
        if (!V.empty() && V[0] == '/')
            Dir = V;
    }
    if (Dir.empty())
        return {};
    Dir = NormalisePath(Dir);
    if (Dir == Home || !IsDir(Dir))
        return {};
    return Dir;
}

std::string NormalisePath(const std::string& Path) {
    std::vector<std::string> Parts;
    std::size_t I = 0;
    while (I <= Path.size()) {
        std::size_t J = Path.find('/', I);
        if (J == std::string::npos)
            J = Path.size();
        const std::string Part = Path.substr(I, J - I);
        if (Part == "..") {
            if (!Parts.empty())
                Parts.pop_back();
        } else if (!Part.empty() && Part != ".")
            Parts.push_back(Part);
        I = J + 1;
    }
    std::string Out;
    for (const std::string& P : Parts)
        Out += "/" + P;
    return Out.empty() ? "/" : Out;
}
