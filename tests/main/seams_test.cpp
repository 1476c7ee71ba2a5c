#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "gui/settings/qt_settings.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/prompts.h"
#include "support/temp_dir.h"

TEST(AnsiText, ConvertsTheWindowsCodePageBothWays)
{
    struct Row {
        QString text;
        std::string bytes;
    };
    const Row rows[] = {
        {QStringLiteral("East"), "East"},
        {QString::fromUtf8("Montréal"), "Montr\xe9"
                                        "al"},
        {QString::fromUtf8("€ “x” — ™"), "\x80 \x93x\x94 \x97 \x99"},
        {QString::fromUtf8("ÿ"), "\xff"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(toAnsi(row.text), row.bytes) << row.text.toStdString();
        EXPECT_EQ(fromAnsi(row.bytes), row.text) << row.text.toStdString();
    }
    // Outside the code page: one '?' per character, also for characters beyond 16 bits.
    EXPECT_EQ(toAnsi(QString::fromUtf8("Kraków 東 🏀")), "Krak\xf3w ? ?");
}

TEST(QtSettingsStoreTest, StoresTextValuesBySection)
{
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("settings.ini"));
    {
        QtSettingsStore store(path);
        EXPECT_FALSE(store.read("Scoring", "Round1").has_value());
        store.write("Scoring", "Round1", "12");
        store.write("Rules", "PayDesc1", "");
        store.write("Rules", "Cost",
                    "\x80"
                    "5");
    }
    QtSettingsStore store(path);
    EXPECT_EQ(store.read("Scoring", "Round1"), "12");
    EXPECT_EQ(store.read("Rules", "PayDesc1"), "") << "an empty value is there, not absent";
    EXPECT_EQ(store.read("Rules", "Cost"), "\x80"
                                           "5");
    EXPECT_FALSE(store.read("Rules", "Round1").has_value());
    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.value("Scoring/Round1").toString(), QStringLiteral("12"));
}

// The real message box presses the default it was given when the organiser hits Enter.
TEST(QtPromptsTest, EnterPressesTheDefaultAnswer)
{
    struct Case {
        PromptButtons buttons;
        PromptAnswer defaultAnswer;
    } cases[] = {
        {PromptButtons::OkCancel, PromptAnswer::Cancel}, {PromptButtons::OkCancel, PromptAnswer::Ok},
        {PromptButtons::YesNo, PromptAnswer::No},        {PromptButtons::YesNo, PromptAnswer::Yes},
        {PromptButtons::YesNoCancel, PromptAnswer::No},
    };
    QtPrompts real;
    for (const Case& c : cases) {
        QTimer::singleShot(0, [] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                    QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(real.ask(PromptKind::Confirmation, QStringLiteral("Go on?"), c.buttons, c.defaultAnswer),
                  c.defaultAnswer);
    }
}
