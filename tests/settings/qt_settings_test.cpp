// The Qt settings store on real INI files in a temp folder: damaged files, places that cannot be
// written or read, and writes that do not reach the disk.
#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "core/pool/errors.h"
#include "gui/settings/qt_settings.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

namespace {
const std::string Good = "[Scoring]\nRound1=5\n";

class QtSettingsFile : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    QString path(const std::string& name = "settings.ini") const { return QString::fromStdString(dir.file(name)); }
    // What the file on disk holds, read through a copy (QSettings caches by file name).
    std::optional<std::string> onDisk(const std::string& section, const std::string& name)
    {
        const std::string copy = "copy" + std::to_string(++copies) + ".ini";
        copiesDir.write(copy, dir.read("settings.ini"));
        return QtSettingsStore(QString::fromStdString(copiesDir.file(copy))).read(section, name);
    }
    std::string failed(const std::string& name) const
    {
        return "Failed to set data for '" + name + "' in " + dir.file("settings.ini");
    }

    TempDir dir, copiesDir;
    int copies = 0;
};
}  // namespace

// QSettings reports FormatError for these lines, and before kept reporting it for every later write.
// It drops them when it writes, so the file is copied aside before the first write, once.
TEST_F(QtSettingsFile, ADamagedLineDoesNotStopLaterWritesAndIsKeptAside)
{
    for (const std::string damaged : {"no equals sign", "[Scoring"}) {
        testPrompts().clear();
        for (const auto& item : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(item.path());
        const std::string file = Good + damaged + "\n[Other]\nX=1\n";
        dir.write("settings.ini", file);
        dir.write("probe.ini", file);  // probed under another name: QSettings caches what it parsed
        QSettings probe(path("probe.ini"), QSettings::IniFormat);
        probe.allKeys();
        ASSERT_EQ(probe.status(), QSettings::FormatError) << damaged;

        QtSettingsStore store(path());
        EXPECT_EQ(store.read("Scoring", "Round1"), "5") << "the good values are read";
        EXPECT_NO_THROW(store.write("Scoring", "Round2", "7"));
        EXPECT_NO_THROW(store.write("Other", "Checked Resolution", "1"));
        EXPECT_NO_THROW(store.write("Scoring", "Round1", "9"));
        EXPECT_EQ(onDisk("Scoring", "Round1"), "9");
        EXPECT_EQ(onDisk("Scoring", "Round2"), "7");
        EXPECT_EQ(onDisk("Other", "Checked Resolution"), "1");
        EXPECT_EQ(onDisk("Other", "X"), "1");
        std::vector<std::string> copies;
        for (const auto& item : std::filesystem::directory_iterator(dir.path()))
            if (item.path().filename().string().rfind("settings.ini.damaged-", 0) == 0)
                copies.push_back(item.path().filename().string());
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(dir.read(copies[0]), file);
        ASSERT_EQ(testPrompts().boxes.size(), 1u);
        EXPECT_TRUE(testPrompts().boxes[0].text.contains(path() + " has lines the program cannot read"));
        EXPECT_TRUE(testPrompts().boxes[0].text.contains(QString::fromStdString(" as " + copies[0] + " ")));
    }
}

// QSettings cuts the file short without a word when a write runs out of room (a file size limit
// stands in for a full disk), and a damaged line hides any failed write. Either way the write
// fails and the old file is whole.
TEST_F(QtSettingsFile, AWriteThatDoesNotReachTheDiskFailsAndKeepsTheOldFile)
{
    const std::string longText(3000, 'x');
    for (const std::string& old : {Good, Good + "damaged\n"}) {
        dir.write("settings.ini", old);
        QtSettingsStore store(path());

        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::string error;
        try {
            store.write("Rules", "ReturnTo", longText);
        } catch (const HoopError& e) {
            error = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_EQ(error, failed("ReturnTo")) << old;
        EXPECT_EQ(dir.read("settings.ini"), old);
        // Nothing left behind, but the copy of a damaged file.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), old == Good ? 1 : 2);

        store.write("Rules", "ReturnTo", longText);  // with room again
        EXPECT_EQ(onDisk("Rules", "ReturnTo"), longText);
    }
}

// A folder where the file should be cannot be read: one message, the defaults, and the folder is
// left alone. A file under a plain file cannot be written: nothing to read, and the write fails.
TEST_F(QtSettingsFile, PlacesThatCannotBeReadOrWritten)
{
    std::filesystem::create_directory(dir.file("settings.ini"));
    QtSettingsStore folder(path());
    EXPECT_FALSE(folder.read("Scoring", "Round1").has_value());
    EXPECT_EQ(SettingsFile(folder).readInteger("Scoring", "Round2", 2), 2);
    try {
        folder.write("Scoring", "Round1", "4");
        ADD_FAILURE() << "no error";
    } catch (const HoopError& e) {
        EXPECT_EQ(std::string(e.what()),
                  failed("Round1") + ": the file cannot be read (it is a folder), so it is left as it is");
    }
    EXPECT_EQ(testPrompts().texts(),
              QStringList{QString::fromStdString("The settings file " + dir.file("settings.ini") +
                                                 " cannot be read: it is a folder. The default settings "
                                                 "are used, and the file is left as it is.")});
    EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Error);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("settings.ini")));

    testPrompts().clear();
    dir.write("plain", "");
    QtSettingsStore under(path("plain/settings.ini"));
    EXPECT_FALSE(under.read("Scoring", "Round1").has_value());
    try {
        under.write("Scoring", "Round1", "4");
        ADD_FAILURE() << "no error";
    } catch (const HoopError& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Round1' in " + dir.file("plain/settings.ini"));
    }
    EXPECT_TRUE(testPrompts().boxes.empty());
    EXPECT_EQ(dir.read("plain"), "");
}

// A file without read permission. Root reads every file, so as root the test runs itself again
// as the user nobody.
TEST_F(QtSettingsFile, AFileWithoutReadPermissionIsNeverWrittenOver)
{
    if (::geteuid() == 0) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("setpriv"),
                    {"--reuid=65534", "--regid=65534", "--clear-groups", QCoreApplication::applicationFilePath(),
                     QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }
    dir.write("settings.ini", Good);
    std::filesystem::permissions(dir.file("settings.ini"), std::filesystem::perms::none);
    QtSettingsStore store(path());
    EXPECT_FALSE(store.read("Scoring", "Round1").has_value());
    EXPECT_THROW(store.write("Scoring", "Round1", "4"), HoopError);
    EXPECT_FALSE(store.read("Scoring", "Round1").has_value());
    ASSERT_EQ(testPrompts().boxes.size(), 1u) << "reported once";
    EXPECT_EQ(testPrompts().boxes[0].text.toStdString(),
              "The settings file " + dir.file("settings.ini") +
                  " cannot be read: Permission denied. The default settings are "
                  "used, and the file is left as it is.");
    std::filesystem::permissions(dir.file("settings.ini"), std::filesystem::perms::owner_read);
    EXPECT_EQ(dir.read("settings.ini"), Good);
}

// Lines typed into the file by hand read as the text they show; a value in the writer's own form
// (quoted, escaped) reads as the text it stands for.
TEST_F(QtSettingsFile, HandWrittenValuesReadAsTheirText)
{
    dir.write("settings.ini", "[Rules]\r\n"
                              "Deadline=Friday, March 20\r\n"
                              "Cost = $5; cash only \r\n"
                              "Tiebreaker=Say \"when\"\r\n"
                              "ReturnTo=C:\\Temp\\new, or \\\\server\r\n"
                              "PayDesc1=\"1st, 2nd\"\r\n"
                              "PayDesc2=a\\\\b \\\"c\\\"\r\n"
                              "PayDesc3=\"Z\xC3\xBCrich \xE2\x82\xAC\"\r\n"
                              "; PayDesc4=a comment\r\n"
                              "PayDesc5=@Variant(x)\r\n"
                              "PayDesc6=\"Room \"B\"\"\r\n"
                              "[Other]\nChecked%20Resolution=1\nplain key=2\n");
    QtSettingsStore store(path());
    const std::pair<const char*, std::string> expected[] = {
        {"Deadline", "Friday, March 20"}, {"Cost", "$5; cash only"},
        {"Tiebreaker", "Say \"when\""},   {"ReturnTo", "C:\\Temp\\new, or \\\\server"},
        {"PayDesc1", "1st, 2nd"},         {"PayDesc2", "a\\b \"c\""},
        {"PayDesc3", "Z\xFCrich \x80"},   {"PayDesc5", "@Variant(x)"},
        {"PayDesc6", "\"Room \"B\"\""}};
    for (const auto& [name, text] : expected) EXPECT_EQ(store.read("Rules", name), text) << name;
    EXPECT_EQ(store.read("Rules", "PayDesc4"), std::nullopt);
    EXPECT_EQ(store.read("Other", "Checked Resolution"), "1");
    EXPECT_EQ(store.read("Other", "plain key"), "2");
}

// Whatever the program writes reads back as it was, escapes and quotes included.
TEST_F(QtSettingsFile, TheProgramsOwnValuesReadBackUnchanged)
{
    std::string controls;  // each control character, each followed by a hex digit
    for (char c = 1; c < 0x20; ++c) controls += std::string{c, 'b'};
    const std::string texts[] = {"a,b",
                                 "x=y; z",
                                 "say \"hi\"",
                                 "C:\\Temp\\",
                                 " lead",
                                 "trail ",
                                 "@x",
                                 "@@",
                                 "",
                                 "tab\there",
                                 std::string("nul\0"
                                             "1",
                                             5),
                                 "\x01"
                                 "a\x1f"
                                 "F",
                                 "\\x41",
                                 "Z\xFCrich \x80",
                                 "\"quoted\"",
                                 "@String(x)",
                                 controls};
    QtSettingsStore store(path());
    for (const std::string& text : texts) {
        store.write("Rules", "Cost", text);
        EXPECT_EQ(store.read("Rules", "Cost"), text);
        EXPECT_EQ(onDisk("Rules", "Cost"), text);
    }
}

// A value changed in the file between two reads is seen, even when the file keeps its size and
// time (a coarse file-system clock, or an edit within the same moment).
TEST_F(QtSettingsFile, AChangeBetweenTwoReadsIsSeen)
{
    dir.write("settings.ini", Good);
    const auto time = std::filesystem::last_write_time(dir.file("settings.ini"));
    QtSettingsStore store(path());
    EXPECT_EQ(SettingsFile(store).readInteger("Scoring", "Round1", 1), 5);
    dir.write("settings.ini", "[Scoring]\nRound1=7\n");
    std::filesystem::last_write_time(dir.file("settings.ini"), time);
    EXPECT_EQ(SettingsFile(store).readInteger("Scoring", "Round1", 1), 7);
}
