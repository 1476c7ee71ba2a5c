// Writes a sample pool's site to ROOT/site, beside it the standings export (standings.csv) and the
// round values (values.txt), for the browser test. A participant is called
// <script>alert(1)</script>. Publishing again into ROOT/site replaces the site.
#include <cstdio>
#include <exception>
#include <fstream>

#include "core/publish/site_pages.h"
#include "core/transfer/standings_export.h"
#include "publish/sample_pool.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: publish_sample ROOT\n");
        return 2;
    }
    const std::string root = argv[1];
    try {
        SamplePool pool(20, "<script>alert(1)</script>");
        PublishOptions options;
        options.asOf = "As of: 03/21/2026 21:05";
        const PublishSummary summary = publishPool(*pool.session, joinPath(root, "site"), options);
        // The list is left in the site's order: the export shows it as the standings window would.
        StandingsTable table(pool.session->regionNames());
        table.refill(pool.session->players(), pool.session->teams());
        NullPoolHost quiet;
        exportTextFile(table, joinPath(root, "standings.csv"), TextSeparator::Comma, quiet);
        std::ofstream values(joinPath(root, "values.txt"));
        for (int round = 1; round <= RoundCount; ++round) values << SampleRoundValue[round] << '\n';
        std::printf("%s\n", publishedText(joinPath(root, "site"), summary).c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "publish_sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
