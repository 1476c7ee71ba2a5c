#include <gtest/gtest.h>

#include <climits>

#include "pool/errors.h"
#include "settings/settings.h"

namespace {

class SettingsRules : public ::testing::Test {
protected:
    void store(const std::string& text) { backend.values[{"S", "V"}] = text; }
    MemorySettings backend;
    TRegIniFile ini{backend};
};

TEST_F(SettingsRules, IntegerTexts)
{
    struct Row {
        const char* text;
        int value;
    };
    const Row rows[] = {
        {"", 42},           {"abc", 42},         {"0", 0},
        {"2", 2},           {"-1", -1},          {"x", 42},
        {"+5", 5},          {" 7", 42},          {"7 ", 42},
        {"12abc", 42},      {"+-5", 42},         {"-", 42},
        {"+", 42},          {"007", 7},          {"2147483647", INT_MAX},
        {"2147483648", 42}, {"-2147483648", INT_MIN}, {"-2147483649", 42},
        {"99999999999999999999", 42},
    };
    for (const Row& r : rows) {
        store(r.text);
        EXPECT_EQ(ini.ReadInteger("S", "V", 42), r.value) << '"' << r.text << '"';
    }
    backend.values.clear();
    EXPECT_EQ(ini.ReadInteger("S", "V", 42), 42) << "missing value";
}

TEST_F(SettingsRules, BooleanTexts)
{
    struct Row {
        const char* text;
        bool def, value;
    };
    const Row rows[] = {{"0", true, false}, {"1", false, true}, {"2", false, true}, {"-1", false, true},
                        {"x", true, true},  {"x", false, false}, {"", true, true},  {"", false, false}};
    for (const Row& r : rows) {
        store(r.text);
        EXPECT_EQ(ini.ReadBool("S", "V", r.def), r.value) << '"' << r.text << "\" default " << r.def;
    }
}

TEST_F(SettingsRules, StringsKeepAStoredEmptyText)
{
    EXPECT_EQ(ini.ReadString("Rules", "PayDesc1", "1st Place"), "1st Place");
    ini.WriteString("Rules", "PayDesc1", "");
    EXPECT_EQ(ini.ReadString("Rules", "PayDesc1", "1st Place"), "");
    EXPECT_EQ(ini.ReadString("Other", "PayDesc1", "d"), "d") << "another section";
}

TEST_F(SettingsRules, WrittenForms)
{
    ini.WriteInteger("S", "neg", -3);
    ini.WriteInteger("S", "pos", 12);
    ini.WriteBool("S", "yes", true);
    ini.WriteBool("S", "no", false);
    auto stored = [&](const char* name) { return backend.values[{"S", name}]; };
    EXPECT_EQ(stored("neg"), "-3");
    EXPECT_EQ(stored("pos"), "12");
    EXPECT_EQ(stored("yes"), "1");
    EXPECT_EQ(stored("no"), "0");
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -3);
    backend.refuseWrites = true;
    EXPECT_THROW(ini.WriteString("S", "x", "y"), HoopError);
}

TEST_F(SettingsRules, ScoringReaderDefaults)
{
    settings::ScoringValues v = settings::ReadScoringValues(ini);
    EXPECT_EQ(std::vector<int>(v.round + 1, v.round + 7), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(v.multiplyBySeed);
    backend.values[{"Scoring", "Round3"}] = "abc";
    backend.values[{"Scoring", "Round4"}] = "40";
    backend.values[{"Scoring", "MultiplybySeed"}] = "0";
    v = settings::ReadScoringValues(ini);
    EXPECT_EQ(std::vector<int>(v.round + 1, v.round + 7), (std::vector<int>{1, 2, 3, 40, 5, 6}));
    EXPECT_FALSE(v.multiplyBySeed);
}

TEST(SettingsDefaults, OptionsShowFivePayoutRows)
{
    EXPECT_EQ(settings::OptionsPayDescDefault(5), "Last Place");
    EXPECT_EQ(settings::OptionsPayPctDefault(1), "65%");
    EXPECT_EQ(settings::OptionsPayDescDefault(6), "");
}

}  // namespace
