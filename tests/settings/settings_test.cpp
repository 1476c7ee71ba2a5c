#include <gtest/gtest.h>

#include <climits>

#include "core/pool/errors.h"
#include "core/settings/settings.h"

namespace {

class SettingsRules : public ::testing::Test {
protected:
    void store(const std::string& text) { backend.values[{"S", "V"}] = text; }
    MemorySettings backend;
    SettingsFile ini{backend};
};

TEST_F(SettingsRules, IntegerAndBooleanTexts)
{
    // 42 is the default: the text is no integer.
    const std::pair<const char*, int> rows[] = {
        {"", 42},
        {"abc", 42},
        {"0", 0},
        {"2", 2},
        {"-1", -1},
        {"x", 42},
        {"+5", 5},
        {" 7", 42},
        {"7 ", 42},
        {"12abc", 42},
        {"+-5", 42},
        {"-", 42},
        {"+", 42},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"2147483648", 42},
        {"-2147483648", INT_MIN},
        {"-2147483649", 42},
        {"99999999999999999999", 42},
    };
    EXPECT_EQ(ini.readInteger("S", "V", 42), 42) << "missing value";
    for (auto [text, value] : rows) {
        store(text);
        EXPECT_EQ(ini.readInteger("S", "V", 42), value) << '"' << text << '"';
        // A boolean is an integer other than 0; a text that is no integer gives the default.
        for (bool def : {false, true}) EXPECT_EQ(ini.readBool("S", "V", def), value == 42 ? def : value != 0) << text;
    }
}

TEST_F(SettingsRules, StoredEmptyTextAndWrittenForms)
{
    EXPECT_EQ(ini.readString("Rules", "PayDesc1", "1st Place"), "1st Place");
    ini.writeString("Rules", "PayDesc1", "");
    EXPECT_EQ(ini.readString("Rules", "PayDesc1", "1st Place"), "");
    EXPECT_EQ(ini.readString("Other", "PayDesc1", "d"), "d") << "another section";
    ini.writeInteger("S", "neg", -3);
    ini.writeInteger("S", "pos", 12);
    ini.writeBool("S", "yes", true);
    ini.writeBool("S", "no", false);
    EXPECT_EQ(backend.values, (std::map<std::pair<std::string, std::string>, std::string>{{{"Rules", "PayDesc1"}, ""},
                                                                                          {{"S", "neg"}, "-3"},
                                                                                          {{"S", "pos"}, "12"},
                                                                                          {{"S", "yes"}, "1"},
                                                                                          {{"S", "no"}, "0"}}));
    backend.refuseWrites = true;
    EXPECT_THROW(ini.writeString("S", "x", "y"), HoopError);
}

}  // namespace
