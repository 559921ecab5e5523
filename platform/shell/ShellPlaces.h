// Where the namespace's places lie: the home and XDG user folders, and the drives of the mount table.
//
// The system's files are read where the system keeps them unless a test points elsewhere
// (SetShellSystemPaths): the mount table, the folder of disk labels and the block devices' folder.
#pragma once

#include "platform/base/System.h"

#include <vector>

struct TShellSystemPaths {
    String MountTable = u"/proc/self/mounts";
    String DiskLabels = u"/dev/disk/by-label";
    String BlockDevices = u"/sys/class/block";
};
// Hands back the previous paths.
TShellSystemPaths SetShellSystemPaths(const TShellSystemPaths& Paths);
const TShellSystemPaths& ShellSystemPaths();

enum TShellDriveKind { dkFixed, dkRemovable, dkOptical, dkNetwork };

struct TShellDrive {
    std::string MountPoint; // UTF-8, as the mount table names it
    std::string Device;
    std::string FsType;
    TShellDriveKind Kind = dkFixed;
    // The device label, else the mount point's last name ("/" for the root).
    String Label;
};

// The drives: "/" first (always there), then the other mounts in the table's order.
std::vector<TShellDrive> ShellDrives();
// The drive mounted at MountPoint; false when none is.
bool FindShellDrive(const std::string& MountPoint, TShellDrive& Drive);

// $HOME (UTF-8, no trailing "/").
std::string ShellHomeDir();
// A folder of the XDG user directories ("DESKTOP", "DOCUMENTS", "TEMPLATES" ...) as user-dirs.dirs
// names it, else its default under home; empty when it does not exist or is home itself.
std::string ShellUserDir(const char* Name);
// $XDG_CONFIG_HOME, $XDG_DATA_HOME with their defaults.
std::string ShellConfigHome();
std::string ShellDataHome();

// "/a/./b//../c" -> "/a/c"; ".." above the root stays at the root. The text must start with "/".
std::string NormalisePath(const std::string& Path);
