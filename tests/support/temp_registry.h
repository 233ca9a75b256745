// A key store of its own for each test: ORDOVANE_REGISTRY_DIR points at a
// fresh temporary folder for the test's duration.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TempRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ordovane-registry-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        setenv("ORDOVANE_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ORDOVANE_REGISTRY_DIR");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string dir_;
};
