// The first-run container and the application crypto context.
#include "keys/crypto_context.h"
#include "keys_test_support.h"
#include "mpa/mpa.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class CryptoContextTest : public KeysTest {};

TEST_F(CryptoContextTest, FirstRunCreatesDefaultContainerOnceWithoutKeys) {
    keys::RunFirstRunSetup(settings_);
    EXPECT_TRUE(Exists("Default Container"));
    EXPECT_TRUE(PublicBlob("Default Container", platform::AT_KEYEXCHANGE).empty());
    EXPECT_TRUE(PublicBlob("Default Container", platform::AT_SIGNATURE).empty());
    EXPECT_EQ(settings_.GetString("Container Info", "Current"), "Default Container");
    EXPECT_EQ(settings_.GetString("Container Info", "Item0"), "Default Container");
    EXPECT_EQ(settings_.GetInt("General", "Already Run", 0), 1);

    // Not again: a deleted default container stays deleted.
    platform::HCRYPTPROV h = 0;
    ASSERT_TRUE(platform::CryptAcquireContextA(
        &h, "Default Container", nullptr, platform::PROV_RSA_FULL, platform::CRYPT_DELETEKEYSET));
    keys::RunFirstRunSetup(settings_);
    EXPECT_FALSE(Exists("Default Container"));
}

TEST_F(CryptoContextTest, FirstRunKeepsAnExistingDefaultContainer) {
    MakeContainer("Default Container", true, true);
    const auto before = PublicBlob("Default Container", platform::AT_KEYEXCHANGE);
    keys::RunFirstRunSetup(settings_);
    EXPECT_EQ(PublicBlob("Default Container", platform::AT_KEYEXCHANGE), before);
    EXPECT_EQ(settings_.GetString("Container Info", "Current"), "Default Container");
    EXPECT_EQ(settings_.GetString("Container Info", "Item0"), "Default Container");
}

TEST_F(CryptoContextTest, FirstRunThatFailsIsNotRetried) {
    // The key folder's place is taken by a file: nothing can be created.
    std::ofstream(keysDir_) << "in the way";
    keys::RunFirstRunSetup(settings_);
    EXPECT_EQ(settings_.GetInt("General", "Already Run", 0), 1);
    EXPECT_FALSE(settings_.GetString("Container Info", "Current"));
    EXPECT_FALSE(settings_.GetString("Container Info", "Item0"));
}

TEST_F(CryptoContextTest, ContextFollowsCurrentAndFeedsTheRandomSource) {
    keys::CryptoContext context;
    EXPECT_EQ(context.Open(settings_), 0u) << "no Current, no container of the login name";
    EXPECT_FALSE(context.held());

    MakeContainer("Work", false, false);
    settings_.WriteString("Container Info", "Current", "Work");
    const platform::HCRYPTPROV h = context.Open(settings_);
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(context.held());
    EXPECT_TRUE(platform::IsProviderHandle(h));
    EXPECT_EQ(MPA_SetCryptHandle(h), h) << "the random source draws on the context";

    // Reopening releases the old handle first.
    settings_.WriteString("Container Info", "Current", "Gone");
    EXPECT_EQ(context.Open(settings_), 0u);
    EXPECT_FALSE(platform::IsProviderHandle(h));
    EXPECT_EQ(MPA_SetCryptHandle(0), 0u);

    settings_.WriteString("Container Info", "Current", "Work");
    const platform::HCRYPTPROV again = context.Open(settings_);
    ASSERT_NE(again, 0u);
    context.Release();
    EXPECT_FALSE(context.held());
    EXPECT_FALSE(platform::IsProviderHandle(again));
    EXPECT_EQ(MPA_SetCryptHandle(0), 0u);
}

} // namespace
