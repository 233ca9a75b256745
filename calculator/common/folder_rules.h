// Which folders the folder browser lets a user confirm, judged from the
// mount table's file-system type and the kernel's block-device flags. Plain
// C++, so the rules are tested without a window.
#pragma once

#include <string>
#include <string_view>

namespace calculator {

// File system types (as the mount table names them, any case) of shares
// reached over a network: "nfs", "cifs", "fuse.sshfs", ...
bool IsNetworkFileSystemType(std::string_view type);
// Kernel and virtual file systems that hold no user files: "proc", "sysfs", ...
bool IsPseudoFileSystemType(std::string_view type);
// True when device (a device node path such as "/dev/sdb1", symbolic links
// followed) is, or is a partition of, a disk whose <sysRoot>/class/block
// entry reports removable media. Names that are no path ("overlay",
// "tmpfs") are not removable; a missing sysRoot makes nothing removable.
//   IsRemovableBlockDevice("/dev/sdz1", "/sys") -> true for a USB stick
bool IsRemovableBlockDevice(const std::string& device, const std::string& sysRoot = "/sys");

} // namespace calculator
