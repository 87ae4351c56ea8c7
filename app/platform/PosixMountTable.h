#pragma once

#include <string>
#include <string_view>
#include <vector>

struct MountPoint {
    std::string path;
    std::string type;
};

// The mounts this process sees, from /proc/self/mountinfo, in mount order
// (a later mount on the same path hides an earlier one); empty when the
// table cannot be read.
std::vector<MountPoint> ReadMountTable();

// File systems that hold no user files; their mount points count as
// protected system folders, so a search of "/" passes over them.
bool IsPseudoFileSystemType(std::string_view type);

// Network file systems and file systems run by a program (FUSE, but not
// those over a local disk): each call waits for a server's answer.
bool IsRoundTripFileSystemType(std::string_view type);
