// A temporary tree the namespace tests browse: HOME and the XDG folders inside it, and a mount table,
// disk labels and block devices of the test's own making.
#pragma once

#include "platform/base/System.h"
#include "platform/shell/ShellPlaces.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

class TShellTestTree {
public:
    TShellTestTree() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "qv-shell-XXXXXX").string();
        Root = mkdtemp(Pattern.data());
        Home = Root + "/home/用户";
        Desk = Home + "/Desk";
        std::filesystem::create_directories(Desk);
        std::filesystem::create_directories(Home + "/.config");
        std::filesystem::create_directories(Root + "/sys/block/sdb");
        std::filesystem::create_directories(Root + "/labels");
        Write(Home + "/.config/user-dirs.dirs", "# user folders\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
        Write(Root + "/sys/block/sdb/removable", "1\n");
        std::filesystem::create_directories(Root + "/sys/block/sdb/sdb2");
        Write(Root + "/sys/block/sdb/sdb2/removable", "0\n");
        std::filesystem::create_symlink("sdb/sdb2", Root + "/sys/block/sdb2");
        std::filesystem::create_symlink("/dev/sdc1", Root + "/labels/USB\\x20STICK");
        Save("HOME");
        Save("XDG_CONFIG_HOME");
        Save("XDG_DATA_HOME");
        setenv("HOME", Home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        SetMounts("/dev/sda1 / ext4 rw 0 0\n"
                  "proc /proc proc rw 0 0\n"
                  "tmpfs /run tmpfs rw 0 0\n"
                  "/dev/sdc1 /media/stick vfat rw 0 0\n"
                  "nas:/share /mnt/nas nfs4 rw 0 0\n"
                  "/dev/sr0 /mnt/disc iso9660 ro 0 0\n"
                  "/dev/sda3 /mnt/my\\040data ext4 rw 0 0\n"
                  "/dev/sda2 /boot ext4 rw 0 0\n"
                  "/dev/sdb2 /srv/backup ext4 rw 0 0\n");
        TShellSystemPaths Paths;
        Paths.MountTable = UTF8ToString(Root + "/mounts");
        Paths.DiskLabels = UTF8ToString(Root + "/labels");
        Paths.BlockDevices = UTF8ToString(Root + "/sys/block");
        OldPaths = SetShellSystemPaths(Paths);
    }
    ~TShellTestTree() {
        SetShellSystemPaths(OldPaths);
        for (auto& [Name, Value] : Saved)
            if (Value)
                setenv(Name.c_str(), Value->c_str(), 1);
            else
                unsetenv(Name.c_str());
        std::error_code Ignored;
        std::filesystem::permissions(Root, std::filesystem::perms::owner_all, Ignored);
        std::filesystem::remove_all(Root, Ignored);
        for (const std::string& Folder : DriveFolders)
            std::filesystem::remove_all(Folder, Ignored);
    }

    // A new empty folder that the namespace counts as a drive once the mount table names it, removed with the
    // tree; empty when none can be made. The namespace passes over mounts in the system's own folders (/tmp among
    // them), where the temporary tree and even the test programs may lie, so the folder is tried beside the test
    // programs, then in /var/tmp, then in the user's own home, and kept where a mount on it makes a drive.
    std::string MakeDriveFolder() {
        const std::string Mounts = Read(Root + "/mounts");
        std::vector<std::string> Bases = {std::filesystem::current_path().string(), "/var/tmp"};
        for (auto& [Name, Value] : Saved)
            if (Name == "HOME" && Value && !Value->empty())
                Bases.push_back(*Value);
        std::string Found;
        for (const std::string& Base : Bases) {
            std::string Pattern = Base + "/qv-drive-XXXXXX";
            if (!mkdtemp(Pattern.data()))
                continue;
            SetMounts("/dev/sda1 / ext4 rw 0 0\n/dev/sdz1 " + MountField(Pattern) + " ext4 rw 0 0\n");
            TShellDrive Drive;
            if (FindShellDrive(Pattern, Drive)) {
                DriveFolders.push_back(Found = Pattern);
                break;
            }
            std::error_code Ignored;
            std::filesystem::remove_all(Pattern, Ignored);
        }
        SetMounts(Mounts);
        return Found;
    }
    // A path as the mount table writes it: blanks, tabs, line ends and backslashes in octal escapes.
    static std::string MountField(const std::string& Path) {
        std::string Out;
        for (const char C : Path) {
            if (C == ' ' || C == '\t' || C == '\n' || C == '\\') {
                const unsigned char U = static_cast<unsigned char>(C);
                Out += '\\';
                Out += char('0' + (U >> 6));
                Out += char('0' + ((U >> 3) & 7));
                Out += char('0' + (U & 7));
            } else {
                Out += C;
            }
        }
        return Out;
    }

    void SetMounts(const std::string& Text) { Write(Root + "/mounts", Text); }
    static void Write(const std::string& Path, const std::string& Text) {
        std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
        std::ofstream(Path, std::ios::binary) << Text;
    }
    static std::string Read(const std::string& Path) {
        std::ifstream In(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), {});
    }
    static void MakeDir(const std::string& Path) { std::filesystem::create_directories(Path); }

    std::string Root, Home, Desk;

private:
    void Save(const char* Name) {
        const char* V = std::getenv(Name);
        Saved.emplace_back(Name, V ? std::optional<std::string>(V) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> Saved;
    std::vector<std::string> DriveFolders;
    TShellSystemPaths OldPaths;
};
