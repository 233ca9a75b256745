// A key store and a settings store of their own for each test: the keys under
// <tmp>/keys (not yet created, as on a first start) and the registry under
// <tmp>/registry, both removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TempKeyStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ordovane-keys-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        keysDir_ = root_ + "/keys";
        setenv("ORDOVANE_KEYS_DIR", keysDir_.c_str(), 1);
        setenv("ORDOVANE_REGISTRY_DIR", (root_ + "/registry").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ORDOVANE_KEYS_DIR");
        unsetenv("ORDOVANE_REGISTRY_DIR");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::string root_;
    std::string keysDir_;
};
