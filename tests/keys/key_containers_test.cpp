// The Key Container Manager's work without its window: the settings list,
// Create, Delete and their messages.
#include "keys/key_containers.h"
#include "keys_test_support.h"
#include "platform/crypto/last_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using keys::ContainerOutcome;

class KeyContainersTest : public KeysTest {};

TEST(ItemValueName, PositionInLowerCaseHex) {
    const std::pair<size_t, const char*> cases[] = {{0, "Item0"},  {9, "Item9"},   {10, "Itema"},
                                                    {15, "Itemf"}, {16, "Item10"}, {255, "Itemff"}};
    for (auto [position, name] : cases)
        EXPECT_EQ(keys::ItemValueName(position), name);
}

TEST_F(KeyContainersTest, FinishWritesElevenNamesAsItem0ToItemaAndReadsThemBack) {
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i)
        names.push_back("Box " + std::to_string(i));
    settings_.WriteString("Container Info", "Item20", "left over"); // goes with the section
    ASSERT_TRUE(keys::WriteContainerInfo(settings_, names, "Box 3"));
    EXPECT_EQ(settings_.GetString("Container Info", "Item9"), "Box 9");
    EXPECT_EQ(settings_.GetString("Container Info", "Itema"), "Box 10");
    EXPECT_FALSE(settings_.GetString("Container Info", "Item10"));
    EXPECT_FALSE(settings_.GetString("Container Info", "Item20"));
    keys::ContainerInfo info = keys::ReadContainerInfo(settings_);
    EXPECT_EQ(info.items, names);
    EXPECT_EQ(info.current, "Box 3");

    // An empty current name is not written; reading stops at the first gap
    // and at a value that is not a string.
    ASSERT_TRUE(keys::WriteContainerInfo(settings_, {"A", "", "C"}, ""));
    info = keys::ReadContainerInfo(settings_);
    EXPECT_EQ(info.items, std::vector<std::string>{"A"});
    EXPECT_EQ(info.current, "Default Container");
    settings_.WriteString("Container Info", "Item1", "B");
    settings_.WriteInt("Container Info", "Item2", 7);
    EXPECT_EQ(keys::ReadContainerInfo(settings_).items, (std::vector<std::string>{"A", "B"}));
}

TEST_F(KeyContainersTest, CreateMakesOrCompletesBothPairs) {
    keys::ContainerResult r = keys::CreateKeyContainer("New");
    EXPECT_EQ(r.outcome, ContainerOutcome::Created);
    EXPECT_EQ(r.message, "The key container \"New\" has been created.");
    const auto exchange = PublicBlob("New", platform::AT_KEYEXCHANGE);
    const auto signature = PublicBlob("New", platform::AT_SIGNATURE);
    EXPECT_EQ(exchange.size(), 148u);
    EXPECT_EQ(signature.size(), 148u);

    // Again: nothing generated.
    r = keys::CreateKeyContainer("New");
    EXPECT_EQ(r.outcome, ContainerOutcome::AlreadyCreated);
    EXPECT_EQ(r.message, "The key container \"New\" had already been created.");
    EXPECT_EQ(PublicBlob("New", platform::AT_KEYEXCHANGE), exchange);
    EXPECT_EQ(PublicBlob("New", platform::AT_SIGNATURE), signature);

    // A container with one pair gets the other.
    MakeContainer("Half", true, false);
    const auto kept = PublicBlob("Half", platform::AT_KEYEXCHANGE);
    r = keys::CreateKeyContainer("Half");
    EXPECT_EQ(r.outcome, ContainerOutcome::AlreadyCreated);
    EXPECT_EQ(PublicBlob("Half", platform::AT_KEYEXCHANGE), kept);
    EXPECT_EQ(PublicBlob("Half", platform::AT_SIGNATURE).size(), 148u);

    r = keys::CreateKeyContainer(std::string(2000, 'x'));
    EXPECT_EQ(r.outcome, ContainerOutcome::Failed);
    EXPECT_EQ(r.error, platform::NTE_BAD_KEYSET_PARAM);
    EXPECT_EQ(r.message, "The key container name is invalid or too long.");
}

TEST_F(KeyContainersTest, CreateOnADamagedContainerReportsTheDamage) {
    MakeContainer("Broken", false, false);
    std::filesystem::path file;
    for (const auto& e : std::filesystem::directory_iterator(keysDir_))
        if (e.path().extension() == ".key")
            file = e.path();
    ASSERT_FALSE(file.empty());
    std::ofstream(file, std::ios::trunc) << "junk\n";
    keys::ContainerResult r = keys::CreateKeyContainer("Broken");
    EXPECT_EQ(r.outcome, ContainerOutcome::Failed);
    EXPECT_EQ(r.message, "The key container file is damaged.");
    std::ifstream in(file);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "junk\n");
}

TEST_F(KeyContainersTest, DeleteReportsWhatHappened) {
    MakeContainer("Old", false, false);
    EXPECT_TRUE(keys::ContainerExists("Old"));
    keys::ContainerResult r = keys::DeleteKeyContainer("Old");
    EXPECT_EQ(r.outcome, ContainerOutcome::Deleted);
    EXPECT_EQ(r.message, "The key container \"Old\" has been deleted.");
    EXPECT_FALSE(keys::ContainerExists("Old"));
    r = keys::DeleteKeyContainer("Old");
    EXPECT_EQ(r.outcome, ContainerOutcome::Failed);
    EXPECT_EQ(r.message, "Keyset does not exist");
    EXPECT_FALSE(keys::ContainerExists(""));
    EXPECT_EQ(keys::DeleteQuestion("Old"),
              "Do you really want to delete the key container \"Old\"?");
}

TEST(ContainerList, AddsAtTopOnceAndRemovesWithoutRegardToCase) {
    std::vector<std::string> list = {"Alpha", "Beta"};
    EXPECT_FALSE(keys::AddToList(list, "BETA"));
    EXPECT_TRUE(keys::AddToList(list, "Gamma"));
    EXPECT_EQ(list, (std::vector<std::string>{"Gamma", "Alpha", "Beta"}));
    EXPECT_TRUE(keys::RemoveFromList(list, "alpha"));
    EXPECT_FALSE(keys::RemoveFromList(list, "alpha"));
    EXPECT_EQ(list, (std::vector<std::string>{"Gamma", "Beta"}));
    EXPECT_EQ(keys::FindInList(list, "bEtA"), std::optional<size_t>(1));
    EXPECT_EQ(keys::FindInList(list, "Delta"), std::nullopt);
}

} // namespace
