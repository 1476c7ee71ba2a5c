// What an import costs is bounded by what it keeps: the file is read piece by piece (decoded as a
// whole file was), refusals beyond the first thousand are only counted, and a text longer than
// its field is refused rather than cut.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/commands/batch_commands.h"
#include "core/commands/command_line.h"
#include "core/pool/errors.h"
#include "core/transfer/csv_reader.h"
#include "core/transfer/team_names.h"
#include "transfer_fixture.h"

namespace {
// Bytes handed out a few at a time, or failing after a number of them.
class TrickleSource final : public ByteSource {
public:
    explicit TrickleSource(std::string bytes, std::size_t failAfter = std::string::npos)
        : m_bytes(std::move(bytes)), m_failAfter(failAfter)
    {
    }
    std::size_t read(char* buffer, std::size_t size) override
    {
        if (m_pos >= m_failAfter) {
            m_error = "The file could not be read: Input/output error.";
            return 0;
        }
        const std::size_t n = std::min({size, m_bytes.size() - m_pos, 1 + m_pos % 7, m_failAfter - m_pos});
        std::memcpy(buffer, m_bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    bool rewind() override
    {
        m_pos = 0;
        return true;
    }

private:
    std::string m_bytes;
    std::size_t m_failAfter;
    std::size_t m_pos = 0;
};

std::string readPieces(ByteSource& source, TextEncoding& encoding)
{
    StorageTextReader reader(source);
    encoding = reader.encoding();
    std::string text;
    while (reader.read(text)) {
    }
    return text;
}
}  // namespace

TEST(ImportLimits, ReadInPiecesAsTheWholeFileWasRead)
{
    // Characters of every width across every cut, letters with combining marks (one that composes,
    // one that does not); a long UTF-8 file whose one bad byte comes last.
    std::string mixed;
    for (int i = 0; i < 3000; ++i) mixed += "a\xC3\xAB\xE2\x82\xAC\xF0\x9F\x8F\x80,e\xCC\x81O\xCC\x88\xCC\x81\r\n";
    const std::string cases[] = {
        mixed,
        mixed + "\xFF",
        "\xEF\xBB\xBF" + mixed + "\xE2\x82",
        std::string("\xFF\xFEZ\0o\0\xEB\0 \0\xAC\x20=\xD8\xC0\xDF"
                    "e\0\x01\x03=\xD8",
                    22),
        std::string("\xFE\xFF\0a\0,\xD8=", 8),
        "Zo\xEB \x80",
        "",
    };
    for (const std::string& bytes : cases) {
        TextEncoding whole{};
        const std::string expected = storageText(bytes, &whole);
        TrickleSource trickle(bytes);
        TextEncoding pieces{};
        EXPECT_EQ(readPieces(trickle, pieces), expected) << bytes.size();
        EXPECT_EQ(pieces, whole) << bytes.size();
    }
}

TEST(ImportLimits, AFileThatFailsPartWayGivesNothing)
{
    TempDir dir;
    TestPool pool(dir);
    const TeamNames names(pool.session->teams(), pool.session->regionNames());
    std::string text = picksHeader() + "\n";
    for (int i = 0; i < 50; ++i) text += picksLine("P" + std::to_string(i) + ",1,No", favourites()) + "\n";
    TrickleSource failing(text, text.size() - 10);
    EXPECT_THAT(
        [&] { readPicksImport(failing, names, nullptr); },
        ::testing::ThrowsMessage<HoopError>(::testing::StrEq("The file could not be read: Input/output error.")));
    TrickleSource whole(text);
    EXPECT_EQ(readPicksImport(whole, names, nullptr).entries.size(), 50u);
}

TEST(ImportLimits, TextLongerThanItsFieldIsRefusedNotCut)
{
    TempDir dir;
    TestPool pool(dir);
    const TeamNames names(pool.session->teams(), pool.session->regionNames());
    const struct {
        std::string start;  // name, tiebreaker, paid
        TransferProblem problem;
    } cases[] = {
        {std::string(25, 'n') + ",123456789012,No", {}},
        {std::string(26, 'n') + ",1,No",
         {2, "Name", "\"nnnnnnnnnnnnnnnnnnnnnnnnnn\" is longer than the 25 characters a name can have"}},
        {"\"" + std::string(10'000'000, 'n') + "\",1,No", {2, "Name", "the text is longer than 1000 characters"}},
        {"Bob,1234567890123,No",
         {2, "Tiebreaker", "\"1234567890123\" is longer than the 12 characters a tiebreaker can have"}},
    };
    for (const auto& c : cases) {
        const PicksImport import =
            readPicksImport(picksHeader() + "\n" + picksLine(c.start, favourites()) + "\n", names, nullptr);
        if (c.problem.reason.empty()) {
            ASSERT_EQ(import.entries.size(), 1u);
            EXPECT_EQ(import.entries[0].name.text().bytes, std::string(25, 'n'));
            continue;
        }
        EXPECT_TRUE(import.entries.empty()) << c.problem.reason.bytes;
        ASSERT_EQ(import.refused.listed.size(), 1u) << c.problem.reason.bytes;
        EXPECT_EQ(import.refused.listed[0], c.problem);
    }
}

TEST(ImportLimits, AThousandRefusalsAreListedAndTheRestCounted)
{
    TempDir dir;
    {
        TestPool pool(dir);
        ASSERT_NO_THROW(pool.session->closePool());
        saveTeams(dir.path(), pool.session->teams());
    }
    std::string text = picksHeader() + "\n";
    for (int i = 0; i < 1500; ++i) text += "junk " + std::to_string(i) + ",\"x\"\"y\",maybe,\"\"\n";
    text += picksLine("Bob,1,Yes", favourites()) + "\n";
    dir.write("junk.csv", text);

    const CommandLine line = parseCommandLine({"--import-picks", dir.file("junk.csv")});
    MemorySettings settings;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runBatchCommand(line, dir.path(), settings, out, err), BatchRowsRefused);
    EXPECT_EQ(out.str(), "1 participant imported from " + dir.file("junk.csv") + ": 1 complete, 0 incomplete\n");
    std::vector<std::string> lines;
    std::istringstream listed(err.str());
    for (std::string l; std::getline(listed, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 1002u);
    const std::string prefix = dir.file("junk.csv") + ": ";
    EXPECT_EQ(lines[0], prefix + "Line 2, column \"Paid\": \"maybe\" is not Yes, No, TRUE, FALSE, x, 1 or 0");
    EXPECT_EQ(lines[999].substr(0, prefix.size() + 10), prefix + "Line 1001,");
    EXPECT_EQ(lines[1000], prefix + "... and 500 more lines refused");
    EXPECT_EQ(lines[1001], "hoopfall: 1500 lines of " + dir.file("junk.csv") + " were refused");
}
