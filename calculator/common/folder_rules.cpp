#include "calculator/common/folder_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace calculator {
namespace {

namespace fs = std::filesystem;

std::string Normalised(std::string_view type) {
    while (!type.empty() && std::isspace(static_cast<unsigned char>(type.front())))
        type.remove_prefix(1);
    while (!type.empty() && std::isspace(static_cast<unsigned char>(type.back())))
        type.remove_suffix(1);
    std::string lower(type);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

template <size_t N> bool Contains(const std::array<std::string_view, N>& set, std::string_view v) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

constexpr std::array<std::string_view, 25> kNetwork = {
    "nfs",
    "nfs4",
    "cifs",
    "smb",
    "smb2",
    "smb3",
    "smbfs",
    "sshfs",
    "fuse.sshfs",
    "9p",
    "afpfs",
    "ncpfs",
    "ncp",
    "afs",
    "coda",
    "ceph",
    "fuse.ceph",
    "glusterfs",
    "fuse.glusterfs",
    "lustre",
    "davfs",
    "fuse.davfs2",
    "fuse.rclone",
    "fuse.s3fs",
    "fuse.gvfsd-fuse",
};

constexpr std::array<std::string_view, 22> kPseudo = {
    "proc",       "sysfs",      "devpts",    "devtmpfs", "cgroup",      "cgroup2",
    "securityfs", "debugfs",    "tracefs",   "pstore",   "bpf",         "configfs",
    "fusectl",    "mqueue",     "hugetlbfs", "autofs",   "binfmt_misc", "efivarfs",
    "selinuxfs",  "rpc_pipefs", "nsfs",      "nfsd",
};

} // namespace

bool IsNetworkFileSystemType(std::string_view type) {
    return Contains(kNetwork, Normalised(type));
}

bool IsPseudoFileSystemType(std::string_view type) {
    return Contains(kPseudo, Normalised(type));
}

bool IsRemovableBlockDevice(const std::string& device, const std::string& sysRoot) {
    if (device.empty() || device.front() != '/')
        return false;
    std::error_code ec;
    // /dev/disk/by-label/... and friends are links to the real node.
    fs::path node = fs::canonical(device, ec);
    if (ec)
        node = device;
    const std::string name = node.filename().string();
    if (name.empty())
        return false;
    const fs::path entry = fs::canonical(fs::path(sysRoot) / "class" / "block" / name, ec);
    if (ec)
        return false;
    // A partition's entry lies inside its disk's, which carries the flag.
    const fs::path disk = fs::exists(entry / "partition", ec) ? entry.parent_path() : entry;
    std::ifstream flag(disk / "removable");
    std::string value;
    if (!(flag >> value))
        return false;
    return value == "1";
}

} // namespace calculator
