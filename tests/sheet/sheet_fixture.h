#pragma once
// A real main window on a temp folder with a known team table, and helpers that drive its
// bracket sheets with the keyboard as the organiser does.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>
#include <ostream>

#include "core/pool/bracket.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "gui/main/main_window.h"
#include "gui/sheet/bracket_sheet.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Ids handed out by newPlayerId: the scripted ones first, then 4242, 4243, ...
inline std::deque<std::int32_t> ScriptedIds;
inline std::int32_t nextScriptedId()
{
    static std::int32_t fallback = 4242;
    if (ScriptedIds.empty()) return fallback++;
    const std::int32_t id = ScriptedIds.front();
    ScriptedIds.pop_front();
    return id;
}

const QString NoName = QStringLiteral("Can not save picks. Players name not filled in.");
const QString NoWinner = QStringLiteral("One or more games do not have a winner. Save anyway?");
const QString SaveFirst = QStringLiteral("Changes have been made. Save before closing?");
const QColor Yellow(255, 255, 0);

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testPrompts().clear();
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        ScriptedIds.clear();
        startMain();
    }

    void TearDown() override
    {
        main.reset();
        testPrompts().clear();
    }

    void startMain()
    {
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        // Every team is called "T" and its code, so a cell's text tells which team it holds.
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) {
                Team& team = main->session().teams().entry(r, s);
                team.region = std::uint8_t(r);
                team.seed = std::uint8_t(s);
                team.name = "T" + std::to_string(r * 100 + s);
            }
        main->session().setIdSource(&nextScriptedId);
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }

    BracketSheet* open(int id)
    {
        main->openBracketSheet(id);
        QCoreApplication::processEvents();
        return qobject_cast<BracketSheet*>(main->activeChild());
    }

    // Adds a stored participant (or the results) to the list as if loaded from the file.
    Player& store(std::int32_t id, const std::string& name, const PickArray& picks)
    {
        Player entry;
        entry.id = id;
        entry.name = name;
        entry.tiebreaker = "0";
        entry.picks = picks;
        PlayerList& players = main->session().players();
        players.add(entry);
        return players.unjournaledEntry(players.count() - 1);
    }

    // Press and release on whatever has the focus, as the keyboard would deliver them.
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static QString focusName()
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    static QColor background(QWidget* widget) { return widget->palette().color(QPalette::Base); }
    QString status() const { return ::Find<QLabel>(*main, "pnlHint")->text(); }

    // The sheet's controls, found by their names; the cell of game n is "g" + n.
    template <class T = QLineEdit> static T* Control(BracketSheet* sheet, const QString& name)
    {
        T* control = sheet->findChild<T*>(name);
        if (!control) ADD_FAILURE() << "no control " << name.toStdString();
        return control;
    }
    static QLineEdit* gameCell(BracketSheet* sheet, int n) { return Control(sheet, QStringLiteral("g%1").arg(n)); }
    static QLineEdit* nameBox(BracketSheet* sheet) { return Control(sheet, QStringLiteral("txtName")); }
    static QLineEdit* tiebreakerBox(BracketSheet* sheet) { return Control(sheet, QStringLiteral("txtTiebreaker")); }
    static QCheckBox* paidBox(BracketSheet* sheet) { return Control<QCheckBox>(sheet, QStringLiteral("chkPaid")); }

    // Runs Save Picks as the menu does: posted, carried out when the queue gets to it.
    void save() { ::Find<QAction>(*main, "mnuSavePicks")->trigger(), QCoreApplication::sendPostedEvents(); }
    static void focusCell(BracketSheet* sheet, int n)
    {
        gameCell(sheet, n)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    // Presses one key per game, g1 to g63 in turn, starting in g1; all Up by default.
    static void pickAll(BracketSheet* sheet, std::vector<Qt::Key> keys = std::vector<Qt::Key>(GameCount, Qt::Key_Up))
    {
        focusCell(sheet, 1);
        for (int n = 1; n <= GameCount; ++n) {
            ASSERT_EQ(focusName(), QStringLiteral("g%1").arg(n));
            key(keys[std::size_t(n - 1)]);
        }
    }

    // The picks a bracket of all upper teams holds: every game won by slot A.
    static PickArray favourites()
    {
        PickArray picks{};
        for (int n = 1; n <= GameCount; ++n) picks[std::size_t(n)] = teamsOfGame(picks, n).a;
        return picks;
    }

    static PickArray picksOf(BracketSheet* sheet) { return sheet->picks().picks(); }

    // The texts of the 63 cells, and what they read for these picks.
    static QStringList cellTexts(BracketSheet* sheet)
    {
        QStringList texts;
        for (int n = 1; n <= GameCount; ++n) texts << gameCell(sheet, n)->text();
        return texts;
    }
    static QStringList textsOf(const PickArray& picks)
    {
        QStringList texts;
        for (int n = 1; n <= GameCount; ++n) texts << Text(picks[std::size_t(n)]);
        return texts;
    }

    // The sheet at a glance: caption, name, tiebreaker, paid, modified flag, id and tag, focus.
    static QStringList State(BracketSheet* sheet)
    {
        return {sheet->windowTitle(),
                nameBox(sheet)->text(),
                tiebreakerBox(sheet)->text(),
                QString::number(paidBox(sheet)->isChecked()),
                QString::number(sheet->sheetModified()),
                QStringLiteral("%1/%2").arg(sheet->playerId()).arg(sheet->tag()),
                focusName()};
    }

    const Player* Find(std::int32_t id)
    {
        const int index = main->session().players().indexOfId(id);
        return index < 0 ? nullptr : &main->session().players()[index];
    }

    static QString Text(TeamCode code) { return code ? QStringLiteral("T%1").arg(code) : QString(); }
    static QString invalid(TeamCode code)
    {
        return QStringLiteral(
                   "Invalid selection. T%1 can not be the winner of the highlighted game. Can not save picks.")
            .arg(code);
    }
    static QString hint(TeamCode a, TeamCode b)
    {
        return QStringLiteral("Up arrow for ") + Text(a) + QStringLiteral(" or Down arrow for ") + Text(b);
    }

    TempDir dir;
    std::unique_ptr<MainWindow> main;
};
