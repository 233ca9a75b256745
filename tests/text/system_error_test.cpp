// System error texts and the string table the text readers point into.
#include "resources/string_table.h"
#include "text/hex_text.h"
#include "text/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <string>

namespace {

TEST(SystemErrorText, KnownCodesGiveTheLibraryText) {
    EXPECT_EQ(text::SystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(text::SystemErrorText(EACCES), "Permission denied");
    EXPECT_EQ(text::SystemErrorText(ENOMEM), "Cannot allocate memory");
}

TEST(SystemErrorText, ProviderCodesGiveTheProviderText) {
    EXPECT_EQ(text::SystemErrorText(static_cast<int>(0x80090016u)), "Keyset does not exist");
    EXPECT_EQ(text::SystemErrorText(static_cast<int>(0x8009000Du)), "Key does not exist.");
    EXPECT_EQ(text::SystemErrorText(234), "More data is available.");
    // Neighbours without a text stay generic.
    EXPECT_EQ(text::SystemErrorText(static_cast<int>(0x80090015u)), "Generic Error");
}

TEST(SystemErrorText, UnknownCodesGiveGenericError) {
    for (int code : {99999, -1, -12345})
        EXPECT_EQ(text::SystemErrorText(code), "Generic Error") << code;
}

TEST(SystemErrorText, EnglishWhateverTheProcessLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    // Any installed locale will do; without one this still checks the restore.
    std::setlocale(LC_ALL, "");
    EXPECT_EQ(text::SystemErrorText(ENOENT), "No such file or directory");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(StringTable, MessagesOfTheOperandReaders) {
    struct Case {
        int id;
        const char* text;
    };
    const Case cases[] = {
        {text::kMsgInvalidInput, "Invalid characters occur in the input text."},
        {text::kMsgInvalidDecimal, "Invalid characters occur in the decimal string."},
        {text::kMsgInvalidOctal, "Invalid characters occur in the octal string."},
        {text::kMsgInvalidBinary, "Invalid characters occur in the binary string."},
        {text::kMsgOutOfMemory, "Fail to allocate memory."},
        {2070, "Invalid hexdecimal data string!"},
    };
    for (const Case& c : cases) {
        const char* found = resources::LoadStringText(c.id);
        ASSERT_NE(found, nullptr) << c.id;
        EXPECT_STREQ(found, c.text) << c.id;
    }
}

TEST(StringTable, UnknownIdsHaveNoText) {
    for (int id : {0, -1, 2000, 2014, 2069, 2071, 1 << 30})
        EXPECT_EQ(resources::LoadStringText(id), nullptr) << id;
}

} // namespace
