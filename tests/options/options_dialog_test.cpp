// The Options dialog, driven as the organiser drives it: real keys and clicks on the offscreen
// dialog, boxes answered by the prompts fake, the files it writes compared byte for byte.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "core/pool/bracket.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "gui/main/main_window.h"
#include "gui/options/edit_grid.h"
#include "gui/options/options_dialog.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {
// A settings store that also remembers each write, in order.
class RecordingSettings final : public MemorySettings {
public:
    std::vector<std::string> written;
    void write(const std::string& section, const std::string& name, const std::string& value) override
    {
        MemorySettings::write(section, name, value);
        written.push_back(section + "/" + name + "=" + value);
    }
};

struct TeamText {
    std::string name, wins = "00", losses = "00";
};

// The whole team file as it must be on disk: empty names and "00", except the given teams.
std::string TeamFile(const std::map<std::pair<int, int>, TeamText>& teams = {})
{
    std::string bytes;
    for (int place = 0; place < 64; ++place) {
        const auto it = teams.find({place / 16 + 1, place % 16 + 1});
        const TeamText team = it == teams.end() ? TeamText{} : it->second;
        std::string record = {char(place / 16 + 1), char(place % 16 + 1)};
        for (const auto& [text, width] : {std::pair{team.name, 12}, {team.wins, 2}, {team.losses, 2}})
            record += char(text.size()) + text + std::string(width - text.size(), '\0');
        bytes += record + std::string(TeamRecordSize - record.size(), '\0');
    }
    return bytes;
}

std::string regionFile(const std::string& r1, const std::string& r2, const std::string& r3, const std::string& r4)
{
    return "[Regions]\r\n1=" + r1 + "\r\n2=" + r2 + "\r\n3=" + r3 + "\r\n4=" + r4 + "\r\n";
}

enum Page { RegionsPage, TeamsPage, ScoringPage, RulesPage };
enum Column { NameColumn = 1, WinsColumn = 2, LossesColumn = 3 };
const QStringList FourRegions = {"East", "West", "South", "Midwest"};

class OptionsDialogTest : public ::testing::Test {
public:  // the lambdas of table-driven cases use the helpers too
    OptionsDialogTest() { reset(); }
    ~OptionsDialogTest() override { dialog.reset(); }
    // A team of the table as start-up would have loaded it, from a record claiming another place.
    void setTeam(int region, int seed, std::string_view name, std::string_view wins, std::string_view losses)
    {
        session.teams().entry(region, seed) = Team{9, 9, name, wins, losses};
    }
    // Back to a fresh start between the cases of one test.
    void reset()
    {
        for (const std::string& name : {TeamsFileName, RegionsFileName}) std::filesystem::remove(dir.file(name));
        store.values.clear();
        store.written.clear();
        testPrompts().clear();
        session.teams().clear();
    }

    // Opens the dialog as the main window does, but without blocking in a modal loop.
    OptionsDialog& open()
    {
        dialog = std::make_unique<OptionsDialog>(session);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }

    template <class T = QWidget> T* child(const QString& name) const
    {
        T* widget = dialog->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QTabWidget* pages() const { return child<QTabWidget>("pcOptions"); }
    QComboBox* regionBox(int position) const { return child<QComboBox>(QStringLiteral("lstRegion%1").arg(position)); }
    QLineEdit* roundBox(int round) const { return child<QLineEdit>(QStringLiteral("txtRnd%1").arg(round)); }
    EditGrid* teams() const { return child<EditGrid>("grdTeams"); }
    EditGrid* payout() const { return child<EditGrid>("grdPayout"); }

    void clickPage(Page page) const
    {
        QTabBar* bar = pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        ASSERT_EQ(pages()->currentIndex(), page);
    }

    // Replaces the whole text of a box by typing.
    static void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        for (QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(box, ch.toLatin1());
            else  // a key that only brings its character, as a foreign keyboard layout sends it
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    // Replaces the whole text of a box by pasting, as Ctrl+V does.
    static void paste(QLineEdit* box, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    void typeRegions(const QStringList& names = FourRegions) const
    {
        for (int i = 0; i < 4; ++i) retype(regionBox(i + 1)->lineEdit(), names[i]);
    }

    // Chooses position 1..4 on the Teams page with the keyboard.
    void chooseRegion(int position) const
    {
        auto* list = child<QComboBox>("lstRegions");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 1; i < position; ++i) QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex(), position - 1);
    }

    // Clicks a cell of a grid (opening its editor) and types over its text.
    static void typeCell(EditGrid* grid, int row, int column, const QString& text)
    {
        QCoreApplication::processEvents();  // a grid just shown lays out its scroll range late
        grid->scrollToItem(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(grid->currentRow(), row);
        ASSERT_EQ(grid->currentColumn(), column);
        retype(editor, text);
    }
    static void pasteCell(EditGrid* grid, int row, int column, const QString& text)
    {
        typeCell(grid, row, column, {});
        paste(qobject_cast<QLineEdit*>(QApplication::focusWidget()), text);
    }
    void typeTeam(int seed, int column, const QString& text) const { typeCell(teams(), seed - 1, column, text); }
    // What the Teams page shows for the chosen region: name, wins and losses of each seed.
    QStringList shownTeams(int seeds = 16) const
    {
        QStringList texts;
        for (int row = 0; row < seeds; ++row)
            for (int column : {NameColumn, WinsColumn, LossesColumn}) texts << teams()->item(row, column)->text();
        return texts;
    }

    void clickOk() const { QTest::mouseClick(child<QAbstractButton>("cmdOk"), Qt::LeftButton); }
    bool closedWith(QDialog::DialogCode code) const { return !dialog->isVisible() && dialog->result() == code; }
    void expectNothingWritten() const
    {
        EXPECT_FALSE(dir.exists(TeamsFileName) || dir.exists(RegionsFileName));
        EXPECT_TRUE(store.values.empty());
    }
    // The texts of the region boxes and the round boxes, then the payout grid's rows.
    QStringList shownValues() const
    {
        QStringList texts;
        for (int i = 1; i <= 4; ++i) texts << regionBox(i)->currentText();
        for (int r = 1; r <= 6; ++r) texts << roundBox(r)->text();
        for (int row = 0; row < 8; ++row)
            texts << payout()->item(row, 0)->text() + "|" + payout()->item(row, 1)->text();
        return texts;
    }

    TempDir dir;
    RecordingSettings store;
    RecordingHost host;
    PoolSession session{host, dir.path(), store};
    std::unique_ptr<OptionsDialog> dialog;
};

// ---- Layout and opening ------------------------------------------------------------------------

TEST_F(OptionsDialogTest, LayoutCaptionsAndLimits)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options..."));
    EXPECT_EQ(dialog->size(), QSize(371, 294));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(pages()->currentIndex(), RegionsPage);
    QStringList tabs;
    for (int i = 0; i < pages()->count(); ++i) tabs << pages()->tabText(i);
    EXPECT_EQ(tabs, QStringList({"Regions", "Teams", "Scoring", "Rules"}));

    EXPECT_EQ(child("lstRegion4")->geometry(), QRect(208, 136, 145, 21));
    const std::pair<const char*, int> limits[] = {
        {"txtRnd1", 2}, {"txtRnd6", 2}, {"txtDeadline", 70}, {"txtTiebreaker", 70}, {"txtReturnTo", 200}};
    for (const auto& [name, limit] : limits) EXPECT_EQ(child<QLineEdit>(name)->maxLength(), limit) << name;
    EXPECT_TRUE(child<QPushButton>("cmdOk")->isDefault());

    for (int i = 1; i <= 4; ++i) {
        QStringList offered = {regionBox(i)->isEditable() ? "editable" : "fixed"};
        for (int k = 0; k < regionBox(i)->count(); ++k) offered << regionBox(i)->itemText(k);
        EXPECT_EQ(offered, QStringList({"editable", "East", "Midwest", "South", "West"}));
    }
    EXPECT_FALSE(child<QComboBox>("lstRegions")->isEditable());
    EXPECT_EQ(child<QComboBox>("lstRegions")->maxVisibleItems(), 4);

    // Each grid: its rows, then the header texts and column widths, every row 16 pixels high.
    for (const auto& [grid, shape] :
         {std::pair{teams(), QStringList{"16", "Seed 64", "Team Name 170", "Wins 52", "Losses 51"}},
          {payout(), {"8", "Description 145", "% of Pot 67"}}}) {
        QStringList seen = {QString::number(grid->rowCount())};
        for (int c = 0; c < grid->columnCount(); ++c)
            seen << grid->horizontalHeaderItem(c)->text() + " " + QString::number(grid->columnWidth(c));
        EXPECT_EQ(seen, shape);
        EXPECT_EQ(grid->horizontalHeader()->height(), 16);
        for (int row = 0; row < grid->rowCount(); ++row) EXPECT_EQ(grid->rowHeight(row), 16);
    }
    for (int seed = 1; seed <= 16; ++seed) {
        EXPECT_EQ(teams()->item(seed - 1, 0)->text(), QStringLiteral("%1.").arg(seed));
        EXPECT_FALSE(teams()->item(seed - 1, 0)->flags() & Qt::ItemIsEditable);
    }
}

// The region names come from the file by position and the teams from the table; renaming the
// positions moves the names, not the teams, and the Teams page keeps the names it opened with.
TEST_F(OptionsDialogTest, RegionsAndTeamsComeFromTheFileAndTheTable)
{
    dir.write(RegionsFileName, regionFile("East", "Midwest", "West", "South"));
    setTeam(1, 1, "Easton", "30", "2");
    setTeam(3, 16, "Westfield", "", "");
    open();
    auto* list = child<QComboBox>("lstRegions");
    const QStringList names = {"East", "Midwest", "West", "South"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(regionBox(i + 1)->currentText() + list->itemText(i), names[i] + names[i]);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(shownTeams(1), QStringList({"Easton", "30", "2"}));
    // The working copy carries each entry's own position, whatever the table held.
    EXPECT_EQ(dialog->workTeam(3, 16).region * 100 + dialog->workTeam(3, 16).seed, 316);

    retype(regionBox(1)->lineEdit(), "West");
    retype(regionBox(3)->lineEdit(), "East");
    clickPage(TeamsPage);
    EXPECT_EQ(list->itemText(0), QStringLiteral("East"));
    chooseRegion(3);
    EXPECT_EQ(shownTeams().mid(0, 3) + shownTeams().mid(45), QStringList({"", "", "", "Westfield", "", ""}));
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(dir.read(RegionsFileName), regionFile("West", "Midwest", "East", "South"));
    EXPECT_EQ(dir.read(TeamsFileName), TeamFile({{{1, 1}, {"Easton", "30", "2"}}, {{3, 16}, {"Westfield"}}}));
}

// ---- Refusals -------------------------------------------------------------------------------

// OK is refused until the four region names differ: compared case-sensitively, and as they will
// be stored, so two names the code page cannot tell apart count as the same. Then a round box
// without a whole number is refused. Either way nothing is written and the edits stay.
TEST_F(OptionsDialogTest, OkRefusesDuplicateRegionsThenRoundBoxesWithoutANumber)
{
    struct Case {
        QStringList regions;
        int round;
        QString typed, message;
        std::string regionFile{};  // when accepted
    };
    const QString unique = "Regions must be unique.";
    const Case cases[] = {
        {{"", "", "", ""}, 3, "", unique},
        {{"East", "West", "", ""}, 1, "1", unique},
        {{"East", "West", "East", "South"}, 1, "1", unique},
        {{"East", "West", " East ", "South"}, 1, "1", unique},  // the file keeps no blanks around a name
        {{"\u03A9 North", "\u0416 North", "South", "West"}, 1, "1", unique},
        {{"East", "east", "West", "South"}, 1, "1", "", regionFile("East", "east", "West", "South")},
        {{"\u03A9 North", "Z\u00FCrich", "South", "West"},
         1,
         "1",
         "",
         regionFile("? North", "Z\xFCrich", "South", "West")},
        {FourRegions, 3, "", "Third Round: needs a whole number."},
        {FourRegions, 1, "-", "First Round: needs a whole number."},
        {FourRegions, 5, "+", "Semi-Finals: needs a whole number."},
        {FourRegions, 6, "5-", "Championship: needs a whole number."},
        {FourRegions, 2, "+-", "Second Round: needs a whole number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.regions.join(',') + " / " + c.typed).toStdString());
        reset();
        open();
        typeRegions(c.regions);
        retype(roundBox(c.round), c.typed);
        clickPage(TeamsPage);
        typeTeam(1, NameColumn, "Kept");
        clickOk();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(testPrompts().texts().isEmpty());
            EXPECT_TRUE(closedWith(QDialog::Accepted));
            EXPECT_EQ(dir.read(RegionsFileName), c.regionFile);
            continue;
        }
        EXPECT_EQ(testPrompts().texts(), QStringList{c.message});
        EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Information);
        EXPECT_TRUE(dialog->isVisible());
        expectNothingWritten();
        EXPECT_EQ(session.teams().entry(1, 1).name.text().bytes, "");
        if (c.message == unique) {
            EXPECT_EQ(pages()->currentIndex(), RegionsPage);
            continue;
        }
        EXPECT_EQ(pages()->currentIndex(), ScoringPage);
        EXPECT_EQ(QApplication::focusWidget(), roundBox(c.round));
        // Mended, the same OK saves everything.
        retype(roundBox(c.round), "4");
        testPrompts().clear();
        clickOk();
        EXPECT_TRUE(closedWith(QDialog::Accepted));
        EXPECT_EQ(store.values.at({"Scoring", "Round" + std::to_string(c.round)}), "4");
        EXPECT_EQ(session.teams().entry(1, 1).name.text().bytes, "Kept");
    }
}

// The entry fee and payouts: refused while they are no sum or no table, written once mended.
TEST_F(OptionsDialogTest, TheMoneyIsCheckedThenWritten)
{
    open();
    typeRegions(FourRegions);
    auto* fee = child<QLineEdit>("txtEntryFee");
    auto* payouts = child<QLineEdit>("txtPayouts");
    EXPECT_EQ(payouts->text(), "60,30,10");
    retype(fee, "12.50");
    retype(payouts, "50,30,x");
    clickOk();
    EXPECT_EQ(testPrompts().texts(),
              QStringList{"Payouts need a percentage or fee for each place, such as 60,30,10 or 50,30,20,fee."});
    expectNothingWritten();
    EXPECT_EQ(QApplication::focusWidget(), payouts);
    retype(payouts, "50,30,20,fee");
    testPrompts().clear();
    clickOk();
    EXPECT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(store.values.at({"Other", "Entry Fee"}), "12.50");
    EXPECT_EQ(store.values.at({"Other", "Payouts"}), "50,30,20,fee");
}

// Pasted region names are compared as the file will keep them: only their first line, tabs as
// spaces, no blanks around them.
TEST_F(OptionsDialogTest, PastedRegionNamesAreComparedAsStored)
{
    const std::pair<QStringList, std::string> cases[] = {
        {{"East\nA", "East\nB", "South", "West"}, ""},
        {{"East\r\n", "\tEast", "South", "West"}, ""},
        {{"\tEast\tCoast\r\nmore", "West", "South", "Midwest"}, regionFile("East Coast", "West", "South", "Midwest")},
    };
    for (const auto& [names, file] : cases) {
        SCOPED_TRACE(names.join('|').toStdString());
        reset();
        open();
        for (int i = 0; i < 4; ++i) paste(regionBox(i + 1)->lineEdit(), names[i]);
        clickOk();
        EXPECT_EQ(testPrompts().texts(), file.empty() ? QStringList{"Regions must be unique."} : QStringList{});
        EXPECT_EQ(dir.exists(RegionsFileName) ? dir.read(RegionsFileName) : "", file);
    }
}

// Tabs and line breaks pasted into a team, a rules text or a payout cell become spaces; line
// breaks that end the pasted text are dropped.
TEST_F(OptionsDialogTest, PastedControlCharactersBecomeSpaces)
{
    open();
    typeRegions();
    clickPage(TeamsPage);
    pasteCell(teams(), 0, NameColumn, "Blue\tDevils\r\n");
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QStringLiteral("Blue Devils"));
    pasteCell(teams(), 0, WinsColumn, "2\n9");
    clickPage(RulesPage);
    paste(child<QLineEdit>("txtDeadline"), "Friday\r\nat\tnoon\n");
    pasteCell(payout(), 0, 0, "Winner\ttakes\r\nall");
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(dir.read(TeamsFileName), TeamFile({{{1, 1}, {"Blue Devils", "2 "}}}));
    EXPECT_EQ(store.values.at({"Rules", "Deadline"}), "Friday at noon");
    EXPECT_EQ(store.values.at({"Rules", "PayDesc1"}), "Winner takes all");
}

// A stored value the box cannot show whole (longer than its length, bytes without a character)
// is written back unchanged by OK unless that box was edited.
TEST_F(OptionsDialogTest, OkKeepsAStoredValueItsBoxCutUnlessEdited)
{
    const std::string longDeadline = "Thursday, March 13, at noon sharp, in the break room on the third floor, please";
    const std::map<std::pair<std::string, std::string>, std::string> stored = {
        {{"Scoring", "Round1"}, "100"},
        {{"Scoring", "Round2"}, "-45"},
        {{"Rules", "Deadline"}, longDeadline},
        {{"Rules", "Tiebreaker"}, std::string(75, 'T')},
        {{"Rules", "ReturnTo"}, std::string(210, 'R')},
        {{"Rules", "Cost"}, "\x81$5\t"},
        {{"Rules", "PayPct1"}, "65%\x8D"}};
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edited" : "left alone");
        reset();
        store.values = {stored.begin(), stored.end()};
        open();
        EXPECT_EQ(roundBox(1)->text() + "|" + child<QLineEdit>("txtDeadline")->text(),
                  QString::fromStdString("10|" + longDeadline.substr(0, 70)));
        typeRegions();
        if (edit) {
            retype(roundBox(1), "7");
            clickPage(RulesPage);
            QLineEdit* deadline = child<QLineEdit>("txtDeadline");
            deadline->setFocus();
            QTest::keyClick(deadline, Qt::Key_End);
            QTest::keyClick(deadline, Qt::Key_Backspace);
        }
        clickOk();
        ASSERT_TRUE(closedWith(QDialog::Accepted));
        for (const auto& [key, value] : stored) {
            const bool edited = edit && (key.second == "Round1" || key.second == "Deadline");
            EXPECT_EQ(store.values.at(key),
                      edited ? (key.second == "Round1" ? "7" : longDeadline.substr(0, 69)) : value)
                << key.second;
        }
    }
}

// ---- Editing --------------------------------------------------------------------------------

// Cancel, Escape (in a box or in a grid cell being edited), the close box and Escape in the
// dialog the main window opens modally write nothing and leave the team table as it was, although
// the edits survived switching regions.
TEST_F(OptionsDialogTest, EveryWayOfCancellingWritesNothing)
{
    const std::pair<const char*, std::function<void(OptionsDialogTest&)>> ways[] = {
        {"Cancel button",
         [](OptionsDialogTest& t) { QTest::mouseClick(t.child<QAbstractButton>("cmdCancel"), Qt::LeftButton); }},
        {"Escape in a box", [](OptionsDialogTest& t) { QTest::keyClick(t.regionBox(1)->lineEdit(), Qt::Key_Escape); }},
        {"Escape in a cell",
         [](OptionsDialogTest& t) {
             typeCell(t.teams(), 0, NameColumn, "Half typed");
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
         }},
        {"close box", [](OptionsDialogTest& t) { t.dialog->close(); }},
    };
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        reset();
        setTeam(2, 3, "Old Name", "1", "2");
        open();
        typeRegions();
        retype(roundBox(1), "9");
        clickPage(TeamsPage);
        chooseRegion(2);
        typeTeam(3, NameColumn, "New Name");
        chooseRegion(3);
        chooseRegion(2);
        EXPECT_EQ(shownTeams(3)[6], QStringLiteral("New Name"));
        cancel(*this);
        EXPECT_TRUE(closedWith(QDialog::Rejected));
        expectNothingWritten();
        EXPECT_EQ(session.teams().entry(2, 3).name.text().bytes, "Old Name");
    }

    dialog.reset();
    MainWindow main(store, QString::fromStdString(dir.path()));
    reset();
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* shown = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget())) {
            title = shown->windowTitle();
            QTest::keyClick(shown, Qt::Key_Escape);
        }
    });
    Find<QAction>(main, "mnuOptions")->trigger();
    EXPECT_EQ(title, QStringLiteral("Options..."));
    expectNothingWritten();
}

TEST_F(OptionsDialogTest, TabWalksTheCellsAndLeavesAfterTheLast)
{
    open();
    clickPage(TeamsPage);
    EditGrid* grid = teams();
    typeCell(grid, 0, NameColumn, "A");
    for (const auto& [row, column] : {std::pair{0, WinsColumn}, {0, LossesColumn}, {1, NameColumn}}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QPoint(grid->currentColumn(), grid->currentRow()), QPoint(column, row));
        EXPECT_EQ(QApplication::focusWidget()->parentWidget(), grid->viewport());  // an editor is open
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentColumn(), LossesColumn);
    typeCell(grid, 15, LossesColumn, "3");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(grid->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(dialog->workTeam(1, 1).name.text().bytes + dialog->workTeam(1, 16).losses.text().bytes, "A3");
}

// ---- The whole road -------------------------------------------------------------------------

// From an empty store and no files: the dialog's defaults and empty cells; teams typed and cut to
// 12, 2 and 2 bytes ("0" stays "0", only an empty text becomes "00", in the table too); every
// setting written in order, a cleared payout row as empty texts; Enter in a payout cell still
// being edited presses OK with its text; after a restart everything shows again.
TEST_F(OptionsDialogTest, AFieldEnteredIsWrittenAndSurvivesARestart)
{
    const std::pair<int, QString> typedTeams[] = {
        {NameColumn, "Fifteen Letter!"},
        {NameColumn, "Twelve Chars"},
        {NameColumn, "St. \u0141\u00F3d\u017E U"},  // Ł has no place in the code page
        {NameColumn, ""},
        {WinsColumn, "123"},
        {WinsColumn, "0"},
        {LossesColumn, "7"},
        {LossesColumn, ""},
    };
    const std::map<std::pair<int, int>, TeamText> stored = {{{2, 1}, {"Fifteen Lett"}},
                                                            {{2, 2}, {"Twelve Chars"}},
                                                            {{2, 3},
                                                             {"St. ?\xF3"
                                                              "d\x9E U"}},
                                                            {{2, 5}, {"", "12"}},
                                                            {{2, 6}, {"", "0"}},
                                                            {{2, 7}, {"", "00", "7"}}};
    open();
    EXPECT_EQ(shownValues(),
              QStringList({"", "", "", "", "1", "2", "3", "4", "5", "6", "1st Place|65%", "2nd Place|15%",
                           "3rd Place|10%", "4th Place|5%", "Last Place|5%", "|", "|", "|"}));
    EXPECT_EQ(child<QComboBox>("lstRegions")->itemText(3), QString());
    EXPECT_EQ(child<QLineEdit>("txtReturnTo")->text(),
              QStringLiteral("John Doe in accounting or fax to (555) 555-1234"));
    for (const char* name :
         {"chkUseSeed", "chkCost", "chkDeadline", "chkScoring", "chkTiebreaker", "chkPayout", "chkReturnTo"})
        EXPECT_TRUE(child<QAbstractButton>(name)->isChecked()) << name;
    typeRegions();
    clickPage(TeamsPage);
    for (int position = 1; position <= 4; ++position) {
        chooseRegion(position);
        EXPECT_EQ(shownTeams(), QStringList(48, QString()));
    }
    chooseRegion(2);
    for (int seed = 1; seed <= 8; ++seed) typeTeam(seed, typedTeams[seed - 1].first, typedTeams[seed - 1].second);
    // The cell goes on showing what was typed until the grid is filled again.
    EXPECT_EQ(shownTeams(1)[0], QStringLiteral("Fifteen Letter!"));
    chooseRegion(1);
    chooseRegion(2);
    EXPECT_EQ(shownTeams(1)[0], QStringLiteral("Fifteen Lett"));
    EXPECT_EQ(shownTeams(5)[13], QStringLiteral("12"));

    clickPage(ScoringPage);
    const QStringList rounds = {"10", "+7", "-5", "0", " 9", "99"};
    for (int r = 1; r <= 6; ++r) retype(roundBox(r), rounds[r - 1]);
    QTest::mouseClick(child<QAbstractButton>("chkUseSeed"), Qt::LeftButton);
    clickPage(RulesPage);
    retype(child<QLineEdit>("txtReturnTo"), "Kim in room 4 \u20AC");
    QTest::mouseClick(child<QAbstractButton>("chkScoring"), Qt::LeftButton);
    typeCell(payout(), 5, 0, "Sixth");
    typeCell(payout(), 5, 1, "1%");
    typeCell(payout(), 0, 0, "");
    typeCell(payout(), 0, 1, "");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(closedWith(QDialog::Accepted));

    EXPECT_EQ(session.teams().entry(2, 8).name.text().bytes + session.teams().entry(2, 8).losses.text().bytes,
              "00");  // the table holds what was saved
    EXPECT_EQ(dir.read(TeamsFileName), TeamFile(stored));
    EXPECT_EQ(dir.read(RegionsFileName), regionFile("East", "West", "South", "Midwest"));
    EXPECT_EQ(store.written, (std::vector<std::string>{"Scoring/Round1=10",
                                                       "Scoring/Round2=7",
                                                       "Scoring/Round3=-5",
                                                       "Scoring/Round4=0",
                                                       "Scoring/Round5=9",
                                                       "Scoring/Round6=99",
                                                       "Scoring/MultiplybySeed=0",
                                                       "Rules/Cost=$5",
                                                       "Rules/Deadline=Thursday, March 13, NOON",
                                                       "Rules/Tiebreaker=Total # of points in Championship game.",
                                                       "Rules/ReturnTo=Kim in room 4 \x80",
                                                       "Rules/PayDesc1=",
                                                       "Rules/PayPct1=",
                                                       "Rules/PayDesc2=2nd Place",
                                                       "Rules/PayPct2=15%",
                                                       "Rules/PayDesc3=3rd Place",
                                                       "Rules/PayPct3=10%",
                                                       "Rules/PayDesc4=4th Place",
                                                       "Rules/PayPct4=5%",
                                                       "Rules/PayDesc5=Last Place",
                                                       "Rules/PayPct5=5%",
                                                       "Rules/PayDesc6=Sixth",
                                                       "Rules/PayPct6=1%",
                                                       "Rules/PayDesc7=",
                                                       "Rules/PayPct7=",
                                                       "Rules/PayDesc8=",
                                                       "Rules/PayPct8=",
                                                       "Rules/PrintCost=1",
                                                       "Rules/PrintDeadline=1",
                                                       "Rules/PrintTiebreaker=1",
                                                       "Rules/PrintScoring=0",
                                                       "Rules/PrintPayout=1",
                                                       "Rules/PrintReturnTo=1"}));

    // A new start: the table comes from the file again.
    session.teams().clear();
    ASSERT_TRUE(session.loadTeams());
    open();
    EXPECT_EQ(shownValues().mid(0, 10) + shownValues().mid(10, 1) + shownValues().mid(15, 1),
              FourRegions + QStringList({"10", "7", "-5", "0", "9", "99", "|", "Sixth|1%"}));
    clickPage(TeamsPage);
    chooseRegion(2);
    EXPECT_EQ(child<QComboBox>("lstRegions")->currentText() + child<QLineEdit>("txtReturnTo")->text(),
              QStringLiteral("WestKim in room 4 \u20AC"));
    EXPECT_FALSE(child<QAbstractButton>("chkUseSeed")->isChecked() ||
                 child<QAbstractButton>("chkScoring")->isChecked());
    EXPECT_EQ(shownTeams(8).mid(0, 3) + shownTeams(8).mid(15, 3) + shownTeams(8).mid(21),
              QStringList({"Fifteen Lett", "00", "00", "", "0", "00", "", "00", "00"}));
}

// ---- Failures -------------------------------------------------------------------------------

// A team file that cannot be written stops the save after the table took the edits; a refused
// settings write ends it after both files. Either way the error is shown and the dialog closes.
TEST_F(OptionsDialogTest, AFailedWriteEndsTheSaveWithItsError)
{
    std::filesystem::create_directory(dir.file(TeamsFileName));  // a folder the file cannot replace
    open();
    typeRegions();
    clickPage(TeamsPage);
    typeTeam(2, NameColumn, "Edited");
    clickOk();
    EXPECT_EQ(testPrompts().texts(), QStringList{QString::fromStdString("Cannot replace file " +
                                                                        dir.file(TeamsFileName) + ": Is a directory")});
    EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Error);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session.teams().entry(1, 2).name.text().bytes, "Edited");
    EXPECT_FALSE(dir.exists(RegionsFileName));
    EXPECT_TRUE(store.values.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    std::filesystem::remove(dir.file(TeamsFileName));
    session.teams().clear();
    testPrompts().clear();
    store.refuseWrites = true;
    open();
    typeRegions();
    clickOk();
    EXPECT_EQ(testPrompts().texts(), QStringList{"Failed to set data for 'Round1'"});
    EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Error);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dir.read(TeamsFileName) + dir.read(RegionsFileName),
              TeamFile() + regionFile("East", "West", "South", "Midwest"));
}
}  // namespace
