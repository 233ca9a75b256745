#include "calculator/common/settings_store.h"
#include "platform/registry/registry.h"

#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class SettingsStore : public TempRegistryTest {
protected:
    void SetUp() override {
        TempRegistryTest::SetUp();
        calculator::SetSettingsRoot("Pellacor");
        calculator::SetApplicationName("Ordovane");
    }
};

TEST_F(SettingsStore, EmptyStoreGivesEveryDefault) {
    EXPECT_EQ(calculator::GetProfileInt("View", "Toolbar", 1), 1);
    EXPECT_EQ(calculator::GetProfileInt("General", "Error Flag", -7), -7);
    EXPECT_EQ(calculator::GetProfileString("Script", "FilePath", "none"), "none");
}

TEST_F(SettingsStore, ValuesRoundTripUnderTheApplicationKey) {
    ASSERT_TRUE(calculator::WriteProfileInt("View", "Topmost", 8));
    ASSERT_TRUE(calculator::WriteProfileInt("General", "Error Flag", -1));
    ASSERT_TRUE(calculator::WriteProfileString("Script", "FilePath", "/tmp/a b.js"));
    EXPECT_EQ(calculator::GetProfileInt("View", "Topmost", 0), 8);
    EXPECT_EQ(calculator::GetProfileInt("General", "Error Flag", 0), -1);
    EXPECT_EQ(calculator::GetProfileString("Script", "FilePath", ""), "/tmp/a b.js");
    EXPECT_EQ(platform::registry::GetDword(platform::registry::Root::CurrentUser,
                                           "Software\\Pellacor\\Ordovane\\View", "Topmost"),
              8u);
    // A value of the other type reads as missing.
    EXPECT_EQ(calculator::GetProfileString("View", "Topmost", "dflt"), "dflt");
    EXPECT_EQ(calculator::GetProfileInt("Script", "FilePath", 3), 3);
}

TEST_F(SettingsStore, RootAndApplicationNameChooseTheKey) {
    calculator::SetSettingsRoot("Other");
    calculator::SetApplicationName("calc2");
    EXPECT_EQ(calculator::SectionKey("Crc"), "Software\\Other\\calc2\\Crc");
    ASSERT_TRUE(calculator::WriteProfileInt("Crc", "Width", 16));
    calculator::SetSettingsRoot("Pellacor");
    calculator::SetApplicationName("Ordovane");
    EXPECT_EQ(calculator::GetProfileInt("Crc", "Width", 32), 32);
}

// A store that cannot be read gives the defaults and is left as it is.
TEST_F(SettingsStore, DamagedStoreGivesDefaultsAndIsKept) {
    const auto file = std::filesystem::path(dir_) / "HKEY_CURRENT_USER.reg";
    std::ofstream(file) << "this is not a registry file\n";
    EXPECT_EQ(calculator::GetProfileInt("View", "Toolbar", 1), 1);
    EXPECT_FALSE(calculator::WriteProfileInt("View", "Toolbar", 0));
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "this is not a registry file\n");
}

TEST(SettingsStoreName, DefaultApplicationNameIsTheExecutablesBaseName) {
    calculator::SetApplicationName("");
    EXPECT_EQ(calculator::ApplicationName(), "calculator_tests");
    calculator::SetApplicationName("Ordovane");
}

} // namespace
