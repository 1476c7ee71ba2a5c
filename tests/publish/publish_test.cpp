// Publishing the site: where it may go, what it leaves of what was there, and that no name a
// participant typed gets into a page as markup.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "core/pool/errors.h"
#include "core/publish/site_folder.h"
#include "core/publish/site_pages.h"
#include "publish/sample_pool.h"

namespace fs = std::filesystem;

namespace {
std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::string readFile(const fs::path& path)
{
    std::string bytes;
    readWholeFile(path.string(), bytes);
    return bytes;
}

PublishSummary publish(int participants, const std::string& outDir, const std::string& extraName = {})
{
    SamplePool pool(participants, extraName);
    PublishOptions options;
    options.asOf = "As of: 03/21/2026 21:05";
    return publishPool(*pool.session, outDir, options);
}

struct Case {
    const char* what;
    std::function<void(const fs::path& out)> before;  // what the folder holds first
    const char* refusal;                              // part of the message; null: publishes
    std::function<void(const fs::path& out)> after;
};
}  // namespace

TEST(Publish, FoldersTakeTheSiteOnlyWhereNothingOfSomeoneElseIsLost)
{
    const Case cases[] = {
        {"a new folder", [](const fs::path&) {}, nullptr,
         [](const fs::path& out) {
             const std::set<std::string> names = namesIn(out);
             for (const char* page : {"index.html", "outlook.html", "results.html", "picked.html", "chart.html",
                                      "p1.html", "p5.html", ".hoopfall-site"})
                 EXPECT_TRUE(names.contains(page)) << page;
             EXPECT_EQ(names.size(), 11u);
         }},
        {"an empty folder", [](const fs::path& out) { fs::create_directory(out); }, nullptr,
         [](const fs::path& out) { EXPECT_TRUE(fs::exists(out / "index.html")); }},
        {"a folder of someone else's",
         [](const fs::path& out) {
             fs::create_directory(out);
             std::ofstream(out / "index.html") << "mine";
         },
         "did not publish",
         [](const fs::path& out) {
             EXPECT_EQ(namesIn(out), std::set<std::string>{"index.html"});
             EXPECT_EQ(readFile(out / "index.html"), "mine");
         }},
        {"a file", [](const fs::path& out) { std::ofstream(out) << "mine"; }, "is not a folder",
         [](const fs::path& out) { EXPECT_EQ(readFile(out), "mine"); }},
        {"the last site, with a file added since and a participant gone",
         [](const fs::path& out) {
             publish(6, out.string());
             std::ofstream(out / "notes.txt") << "mine";
         },
         nullptr,
         [](const fs::path& out) {
             EXPECT_EQ(readFile(out / "notes.txt"), "mine");
             EXPECT_FALSE(fs::exists(out / "p6.html"));
             EXPECT_TRUE(fs::exists(out / "p5.html"));
             EXPECT_EQ(readFile(out / ".hoopfall-site").find("p6.html"), std::string::npos);
         }},
        {"the last site, with a file of someone else's under a page's name",
         [](const fs::path& out) {
             publish(4, out.string());
             std::ofstream(out / "p5.html") << "mine";
         },
         "p5.html",
         [](const fs::path& out) {
             EXPECT_EQ(readFile(out / "p5.html"), "mine");
             EXPECT_TRUE(fs::exists(out / "p4.html"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir parent;
        const fs::path out = fs::path(parent.path()) / "site";
        c.before(out);
        const std::set<std::string> beside = namesIn(parent.path());
        if (c.refusal) {
            try {
                publish(5, out.string());
                ADD_FAILURE() << "published";
            } catch (const HoopError& error) {
                EXPECT_NE(std::string(error.what()).find(c.refusal), std::string::npos) << error.what();
            }
        } else {
            EXPECT_EQ(publish(5, out.string()).pages, 10);
        }
        // No temporary folder is left beside the site, whatever happened.
        EXPECT_EQ(namesIn(parent.path()), beside.empty() ? std::set<std::string>{"site"} : beside);
        c.after(out);
    }
}

TEST(Publish, NamesAreTextOnEveryPage)
{
    TempDir parent;
    const fs::path out = fs::path(parent.path()) / "site";
    publish(3, out.string(), "<i title=\"x\">&Zo\xEB</i>");
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() != ".html") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string page = readFile(entry.path());
        EXPECT_EQ(page.find("<i "), std::string::npos);
        EXPECT_TRUE(isValidUtf8(page));
        EXPECT_NE(page.find("<meta name=\"viewport\""), std::string::npos);
    }
    for (const char* page : {"index.html", "outlook.html", "p4.html"})
        EXPECT_NE(readFile(out / page).find("&lt;i title=&quot;x&quot;&gt;&amp;Zo\xC3\xAB&lt;/i&gt;"),
                  std::string::npos)
            << page;
}
