#include <QSettings>
#include <gtest/gtest.h>

#include "settings/qt_settings.h"
#include "ui/ansi_text.h"
#include "support/temp_dir.h"

TEST(AnsiText, ConvertsTheWindowsCodePageBothWays)
{
    struct Row {
        QString text;
        std::string bytes;
    };
    const Row rows[] = {
        {QStringLiteral("East"), "East"},
        {QString::fromUtf8("Montréal"), "Montr\xe9" "al"},
        {QString::fromUtf8("€ “x” — ™"), "\x80 \x93x\x94 \x97 \x99"},
        {QString::fromUtf8("ÿ"), "\xff"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ToAnsi(row.text), row.bytes) << row.text.toStdString();
        EXPECT_EQ(FromAnsi(row.bytes), row.text) << row.text.toStdString();
    }
    // Outside the code page: one '?' per character, also for characters beyond 16 bits.
    EXPECT_EQ(ToAnsi(QString::fromUtf8("Kraków 東 🏀")), "Krak\xf3w ? ?");
}

TEST(QtSettingsStoreTest, StoresTextValuesBySection)
{
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("settings.ini"));
    {
        QtSettingsStore store(path);
        EXPECT_FALSE(store.Read("Scoring", "Round1").has_value());
        store.Write("Scoring", "Round1", "12");
        store.Write("Rules", "PayDesc1", "");
        store.Write("Rules", "Cost", "\x80" "5");
    }
    QtSettingsStore store(path);
    EXPECT_EQ(store.Read("Scoring", "Round1"), "12");
    EXPECT_EQ(store.Read("Rules", "PayDesc1"), "") << "an empty value is there, not absent";
    EXPECT_EQ(store.Read("Rules", "Cost"), "\x80" "5");
    EXPECT_FALSE(store.Read("Rules", "Round1").has_value());
    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.value("Scoring/Round1").toString(), QStringLiteral("12"));
}
