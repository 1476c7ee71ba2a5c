// The code page table against the system's own converter, and the names of kept copies.
#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>
#include <set>

#include "core/pool/cp1252.h"
#include "core/pool/file_io.h"
#include "support/temp_dir.h"

namespace {
// The system's Windows-1252 converter: the character of a byte, or nothing for a byte the code
// page leaves without one.
std::optional<char32_t> systemCharacter(unsigned char byte)
{
    iconv_t convert = ::iconv_open("UTF-32LE", "CP1252");
    if (convert == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    const bool converted = ::iconv(convert, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(convert);
    if (!converted) return std::nullopt;
    return char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}
}  // namespace

TEST(CodePage, EveryByteIsTheCharacterTheSystemKnowsAndComesBack)
{
    ASSERT_TRUE(systemCharacter('A').has_value()) << "the system has no Windows-1252 converter";
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        SCOPED_TRACE(byte);
        const std::optional<char32_t> expected = systemCharacter(static_cast<unsigned char>(byte));
        // A byte without a character pairs with the control character of the same number.
        EXPECT_EQ(cp1252ToUnicode(static_cast<unsigned char>(byte)), expected.value_or(char32_t(byte)));
        EXPECT_EQ(static_cast<unsigned char>(unicodeToCp1252(expected.value_or(char32_t(byte)))), byte);
    }
}

// Copies kept in the same second get names of their own, never one that is taken.
TEST(KeptCopies, EachGetsANameNotYetTaken)
{
    TempDir dir;
    const std::string path = dir.file("PICKS.HFD");
    std::set<std::string> names;
    for (int copy = 0; copy < 4; ++copy) {
        const std::string name = asideName(path, "damaged");
        EXPECT_FALSE(dir.exists(name.substr(name.rfind('/') + 1))) << name;
        dir.write(name.substr(name.rfind('/') + 1), "kept");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 4u);
}
