#include "calculator/common/folder_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TypeRow {
    const char* type;
    bool network;
    bool pseudo;
};

TEST(FolderRules, FileSystemTypes) {
    const TypeRow rows[] = {
        {"ext4", false, false},    {"overlay", false, false}, {"tmpfs", false, false},
        {"fuseblk", false, false}, {"nfs", true, false},      {"NFS4", true, false},
        {"cifs", true, false},     {"smb3", true, false},     {"fuse.sshfs", true, false},
        {"9p", true, false},       {" nfs ", true, false},    {"proc", false, true},
        {"sysfs", false, true},    {"cgroup2", false, true},  {"", false, false},
    };
    for (const TypeRow& r : rows) {
        EXPECT_EQ(calculator::IsNetworkFileSystemType(r.type), r.network) << r.type;
        EXPECT_EQ(calculator::IsPseudoFileSystemType(r.type), r.pseudo) << r.type;
    }
}

// A sysfs of our own: a USB stick sdz with partition sdz1, a fixed disk sda
// with partition sda2, a mapper device and an optical drive.
class RemovableDevices : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("ordovane-folder-rules-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(reinterpret_cast<uintptr_t>(this)));
        fs::remove_all(root_);
        struct Node {
            const char* path;
            const char* removable; // nullptr: a partition
        };
        const Node nodes[] = {
            {"devices/usb1/block/sdz", "1\n"},     {"devices/usb1/block/sdz/sdz1", nullptr},
            {"devices/ata1/block/sda", "0\n"},     {"devices/ata1/block/sda/sda2", nullptr},
            {"devices/virtual/block/dm-0", "0\n"}, {"devices/ata2/block/sr0", "1\n"}};
        fs::create_directories(sys() / "class/block");
        for (const Node& n : nodes) {
            const fs::path dir = sys() / n.path;
            fs::create_directories(dir);
            std::ofstream(dir / (n.removable ? "removable" : "partition"))
                << (n.removable ? n.removable : "1\n");
            fs::create_directory_symlink(dir, sys() / "class/block" / dir.filename());
        }
        fs::create_directories(dev() / "disk/by-label");
        std::ofstream(dev() / "sdz1").flush();
        fs::create_symlink(dev() / "sdz1", dev() / "disk/by-label/STICK");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path sys() const { return root_ / "sys"; }
    fs::path dev() const { return root_ / "dev"; }

    fs::path root_;
};

TEST_F(RemovableDevices, FlagOfTheDiskDecides) {
    const std::string sysRoot = sys().string();
    struct Row {
        std::string device;
        std::string sysRoot;
        bool removable;
    };
    const Row rows[] = {
        {"/dev/sdz1", sysRoot, true},
        {"/dev/sdz", sysRoot, true},
        {"/dev/sda2", sysRoot, false},
        {"/dev/sda", sysRoot, false},
        {"/dev/dm-0", sysRoot, false},
        {"/dev/sr0", sysRoot, true},
        {(dev() / "disk/by-label/STICK").string(), sysRoot, true},
        {"/dev/nvme9n1", sysRoot, false},
        {"overlay", sysRoot, false},
        {"tmpfs", sysRoot, false},
        {"", sysRoot, false},
        {"/dev/sdz1", (root_ / "nosys").string(), false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(calculator::IsRemovableBlockDevice(r.device, r.sysRoot), r.removable) << r.device;
}

} // namespace
