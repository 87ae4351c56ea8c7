#include "app/platform/PosixMountTable.h"

#include <fstream>
#include <sstream>

namespace {
// A mount point as the table writes it: space, tab, newline and backslash
// as three octal digits after a backslash.
std::string Unescaped(const std::string& field)
{
    std::string path;
    path.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size()
            && std::string_view(field).substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos;
        if (escape) {
            path.push_back(static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            path.push_back(field[i]);
        }
    }
    return path;
}
}  // namespace

std::vector<MountPoint> ReadMountTable()
{
    std::vector<MountPoint> mounts;
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        // id parent major:minor root mount-point options [optional...] - type source super-options
        std::istringstream fields(line);
        std::string id, parent, device, root, point, field;
        if (!(fields >> id >> parent >> device >> root >> point))
            continue;
        while (fields >> field && field != "-") {
        }
        std::string type;
        if (field == "-" && fields >> type)
            mounts.push_back({Unescaped(point), std::move(type)});
    }
    return mounts;
}

bool IsPseudoFileSystemType(std::string_view type)
{
    constexpr std::string_view kPseudo[] = {
        "proc",     "sysfs", "devtmpfs", "devpts",  "cgroup",    "cgroup2", "debugfs", "tracefs",     "securityfs",
        "pstore",   "bpf",   "configfs", "fusectl", "mqueue",    "hugetlbfs", "autofs", "binfmt_misc",
    };
    for (std::string_view pseudo : kPseudo) {
        if (type == pseudo)
            return true;
    }
    return false;
}

bool IsRoundTripFileSystemType(std::string_view type)
{
    constexpr std::string_view kNetwork[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "glusterfs", "afs"};
    for (std::string_view network : kNetwork) {
        if (type == network)
            return true;
    }
    // "fuse.sshfs" and the like; "fuseblk" is over a local disk.
    return type == "fuse" || type.substr(0, 5) == "fuse.";
}
