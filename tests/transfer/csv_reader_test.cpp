// Reading separated files: quoting, line ends, the separator, line numbers and the encodings.
#include <gtest/gtest.h>

#include "core/pool/cp1252.h"
#include "core/transfer/csv_reader.h"

namespace {
struct Read {
    int line;
    std::vector<std::string> fields;
    bool unclosed = false;
    friend bool operator==(const Read&, const Read&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Read& r)
    {
        os << r.line << (r.unclosed ? " open" : "") << ":";
        for (const auto& f : r.fields) os << " [" << f << "]";
        return os;
    }
};

std::vector<Read> readAll(std::string_view text, char* separator = nullptr)
{
    CsvReader reader(text);
    if (separator) *separator = reader.separator();
    std::vector<Read> out;
    CsvRecord record;
    while (reader.next(record))
        out.push_back({record.line, {record.fields.begin(), record.fields.end()}, record.unclosedQuote});
    return out;
}
}  // namespace

TEST(CsvReader, QuotingLineEndsAndLineNumbers)
{
    struct Case {
        std::string text;
        std::vector<Read> records;
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"a,b\nc,d", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"a,b\rc,d\r", {{1, {"a", "b"}}, {2, {"c", "d"}}}},
        {"\"x, y\",\"say \"\"hi\"\"\",\n", {{1, {"x, y", "say \"hi\"", ""}}}},
        // A line break inside quotes belongs to the field; the next record starts two lines on.
        {"\"one\r\ntwo\",3\r\nnext,4\r\n", {{1, {"one\r\ntwo", "3"}}, {3, {"next", "4"}}}},
        {"a,,\n\n b ,c", {{1, {"a", "", ""}}, {2, {""}}, {3, {" b ", "c"}}}},
        {"\"ab\"cd,e", {{1, {"abcd", "e"}}}},  // text after a closing quote is kept
        {"x,\"never closed\nmore", {{1, {"x", "never closed\nmore"}, true}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.text), c.records) << c.text;
}

TEST(CsvReader, SeparatorFromTheFirstLine)
{
    char separator = 0;
    EXPECT_EQ(readAll("Name\tPaid\nSmith, Jo\tYes\n", &separator),
              (std::vector<Read>{{1, {"Name", "Paid"}}, {2, {"Smith, Jo", "Yes"}}}));
    EXPECT_EQ(separator, '\t');
    // Tabs inside quotes do not count.
    EXPECT_EQ(readAll("\"a\t\t\",b\n", &separator), (std::vector<Read>{{1, {"a\t\t", "b"}}}));
    EXPECT_EQ(separator, ',');
}

TEST(CsvReader, ThreeEncodingsBecomeTheStorageCodePage)
{
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::string text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBFZo\xC3\xAB \xE2\x82\xAC", TextEncoding::Utf8WithBom, "Zo\xEB \x80"},
        {"Zo\xC3\xAB \xE2\x82\xAC", TextEncoding::Utf8, "Zo\xEB \x80"},
        {"Zo\xEB \x80", TextEncoding::Windows1252, "Zo\xEB \x80"},
        // Outside the code page: one '?' per character, four-byte ones too.
        {"Krak\xC3\xB3w \xE6\x9D\xB1 \xF0\x9F\x8F\x80", TextEncoding::Utf8, "Krak\xF3w ? ?"},
        // A byte-order mark decides even when a sequence after it is broken.
        {"\xEF\xBB\xBF"
         "a\xFF"
         "b",
         TextEncoding::Utf8WithBom, "a?b"},
        {"plain", TextEncoding::Utf8, "plain"},
        {std::string("\xFF\xFEZ\0o\0\xEB\0 \0\xAC\x20=\xD8\xC0\xDF", 16), TextEncoding::Utf16, "Zo\xEB \x80?"},
        {std::string("\xFE\xFF\0a\0,", 6), TextEncoding::Utf16, "a,"},
    };
    for (const Case& c : cases) {
        TextEncoding found{};
        EXPECT_EQ(storageText(c.bytes, &found), c.text) << c.bytes;
        EXPECT_EQ(found, c.encoding) << c.bytes;
    }
}

TEST(CsvReader, EveryCodePageByteSurvivesUtf8)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string utf8;
        appendUtf8FromCp1252(utf8, byte);
        EXPECT_TRUE(isValidUtf8(utf8)) << b;
        EXPECT_EQ(cp1252FromUtf8(utf8), byte) << b;
    }
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(isValidUtf8("abcdefgh\xE2\x82"));  // cut short after a run of ASCII
}
