// A private key store for the fuzz programs that use one: a fresh folder
// (on a memory file system when there is one, so the store's flushes cost
// little) named by ORDOVANE_REGISTRY_DIR, emptied for every input.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace fuzz {

class FuzzStore {
public:
    FuzzStore() {
        std::error_code ec;
        std::string base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        dir_ = base + "/ordovane-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(dir_, ec);
        ::setenv("ORDOVANE_REGISTRY_DIR", dir_.c_str(), 1);
    }
    ~FuzzStore() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Removes both root files, leaving an empty store.
    void Clear() const {
        std::error_code ec;
        std::filesystem::remove(File("HKEY_CURRENT_USER"), ec);
        std::filesystem::remove(File("HKEY_CLASSES_ROOT"), ec);
    }
    void Write(const char* rootName, std::string_view text) const {
        std::ofstream(File(rootName), std::ios::binary | std::ios::trunc)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    std::string Read(const char* rootName) const {
        std::ifstream in(File(rootName), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string File(const char* rootName) const { return dir_ + "/" + rootName + ".reg"; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

} // namespace fuzz
