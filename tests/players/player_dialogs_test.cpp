// The Player Manager and Player Properties dialogs, driven offscreen with real clicks and keys.
#include <QCheckBox>
#include <QClipboard>
#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

#include "gui/main/main_window.h"
#include "gui/players/player_icons.h"
#include "gui/players/player_list_model.h"
#include "gui/players/player_manager.h"
#include "gui/players/player_properties.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/child_window.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
Player makeEntry(std::int32_t id, std::string_view name, bool complete, bool paid)
{
    Player entry;
    entry.id = id;
    entry.name = name;
    entry.complete = complete ? 1 : 0;
    entry.paid = paid ? 1 : 0;
    return entry;
}

// Acts on the modal dialog of type Dialog once its event loop runs, then closes it if it is still
// open; reports whether one was shown, so a failing test never hangs in exec().
template <class Dialog> std::shared_ptr<bool> whenModal(std::function<void(Dialog&)> act)
{
    auto shown = std::make_shared<bool>(false);
    QTimer::singleShot(0, [act, shown] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(window);
            if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
            *shown = true;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        }
    });
    return shown;
}

QListView& playerList(const PlayerManager& dialog) { return *Find<QListView>(dialog, "lstPlayers"); }

QStringList listedNames(const QListView& list)
{
    QStringList names;
    for (int row = 0; row < list.model()->rowCount(); ++row) names << list.model()->index(row, 0).data().toString();
    return names;
}

int rowNamed(const QListView& list, const QString& name) { return static_cast<int>(listedNames(list).indexOf(name)); }

QRect itemRect(const QListView& list, int row) { return list.visualRect(list.model()->index(row, 0)); }

// Clicks the first name and Ctrl+clicks the others, as the user selects.
void selectNames(QListView& list, const QStringList& names)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int row = rowNamed(list, names[i]);
        ASSERT_GE(row, 0) << names[i].toStdString();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                          itemRect(list, row).center());
    }
}

QStringList captions(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

// Paints one list item through the list's own delegate, without antialiased text, so every
// pixel of the name has exactly the text colour.
QImage paintItem(const PlayerManager& dialog, int row, bool selected)
{
    const QListView& list = playerList(dialog);
    const QSize size(list.gridSize());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected) option.state |= QStyle::State_Selected;
    option.palette = list.palette();
    option.font = list.font();
    option.font.setStyleStrategy(QFont::NoAntialias);
    option.widget = &list;
    QPainter painter(&image);
    list.itemDelegate()->paint(&painter, option, list.model()->index(row, 0));
    return image;
}

QImage iconOver(const QPixmap& icon, const QColor& background)
{
    QImage image(icon.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter(&image).drawPixmap(0, 0, icon);
    return image;
}

int pixelsOf(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += image.pixelColor(x, y) == colour;
    return count;
}

bool centredOnScreen(const QWidget& dialog)
{
    return dialog.geometry().center() == QGuiApplication::primaryScreen()->availableGeometry().center();
}

class PlayerManagerTest : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }

    void add(std::int32_t id, std::string_view name, bool complete = true, bool paid = true)
    {
        main.session().players().add(makeEntry(id, name, complete, paid));
    }
    void addResults() { add(ResultsId, "RESULTS", true, false); }
    // Four participants and the results, added out of alphabetical order.
    void addPool()
    {
        add(11, "Zed", true, true);
        if (!main.session().players().hasResults()) addResults();
        add(12, "mia", false, false);
        add(13, "Al", true, false);
        add(14, "Kim", false, true);
    }
    const Player* entry(std::int32_t id)
    {
        return main.session().players().item(main.session().players().indexOfId(id));
    }
    // A dialog shown over the pool, the given names selected.
    PlayerManager& shown(const QStringList& selected = {})
    {
        dialog = std::make_unique<PlayerManager>(main.session(), main, &main);
        dialog->show();
        selectNames(list(), selected);
        return *dialog;
    }
    QListView& list() { return playerList(*dialog); }
    QComboBox& types() { return *Find<QComboBox>(*dialog, "lstTypes"); }
    void trigger(const char* menuItem) { Find<QAction>(*dialog, menuItem)->trigger(); }

    TempDir dir;
    MainWindow main{testSettings(), QString::fromStdString(dir.path())};
    std::unique_ptr<PlayerManager> dialog;
};

class PlayerProps : public ::testing::Test {
protected:
    PlayerProps()
    {
        Player pat = makeEntry(42, "Pat", true, false);
        for (int r = 1; r <= RoundCount; ++r) pat.roundPoints[r] = 10 * r;
        pat.total = 210;
        pat.potential = 330;
        pat.tiebreaker = "141";
        pat.modified = 1;
        entry = players.add(pat);
    }
    PlayerProperties& shown(std::int32_t id = 42)
    {
        props = std::make_unique<PlayerProperties>(nullptr, players, id);
        props->show();
        return *props;
    }
    QStringList storedTexts() const
    {
        return {QString::fromLatin1(entry->name.text().bytes),
                QString::fromLatin1(entry->tiebreaker.text().bytes),
                QString::number(entry->paid),
                QString::number(entry->modified),
                QString::number(entry->total),
                QString::number(entry->complete)};
    }

    RecordingHost host;
    TempDir dir;
    TeamTable teams;
    PlayerList players{host, dir.path(), teams};
    const Player* entry = nullptr;
    // The entry changed in memory for a case's set-up.
    Player& edited() { return players.unjournaledEntry(players.indexOfId(entry->id)); }
    std::unique_ptr<PlayerProperties> props;
};

QLineEdit& nameBox(const PlayerProperties& p) { return *Find<QLineEdit>(p, "txtName"); }
QLineEdit& tiebreakerBox(const PlayerProperties& p) { return *Find<QLineEdit>(p, "txtTiebreaker"); }
QCheckBox& paidBox(const PlayerProperties& p) { return *Find<QCheckBox>(p, "chkPaid"); }
QPushButton& okButton(const PlayerProperties& p) { return *Find<QPushButton>(p, "cmdOk"); }
}  // namespace

// ---- Player Manager ------------------------------------------------------------------------------

TEST_F(PlayerManagerTest, LayoutCaptionsAndMenu)
{
    PlayerManager d(main.session(), main, &main);
    EXPECT_EQ(d.size(), QSize(398, 229));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_TRUE(centredOnScreen(d));
    d.show();
    QListView& players = playerList(d);
    auto& types = *Find<QComboBox>(d, "lstTypes");
    auto& open = *Find<QPushButton>(d, "cmdOpen");
    auto& cancel = *Find<QPushButton>(d, "cmdCancel");
    auto& show = *Find<QLabel>(d, "lblShow");
    auto& menu = *Find<QMenu>(d, "PopupMenu");
    const std::pair<QWidget*, QRect> places[] = {{&players, {4, 4, 389, 157}},
                                                 {&types, {72, 168, 225, 21}},
                                                 {&open, {312, 168, 75, 25}},
                                                 {&cancel, {312, 200, 75, 25}},
                                                 {&show, {16, 170, 52, 16}}};
    for (const auto& [widget, rect] : places) EXPECT_EQ(widget->geometry(), rect) << widget->objectName().toStdString();
    EXPECT_EQ(
        QStringList({d.windowTitle(), open.text(), cancel.text(), players.toolTip(), show.text(), types.currentText()}),
        QStringList({"Player Manager", "&Open", "&Close", "Right-click for Options", "Show me:", "All Players"}));
    EXPECT_TRUE(open.isDefault());
    EXPECT_EQ(players.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(types.isEditable());
    EXPECT_EQ(captions(menu.actions()), QStringList({"&Open", "&Delete", "-", "P&rint Picks", "-", "&Properties..."}));
    EXPECT_EQ(d.focusWidget(), &players);

    // A right-click in the list opens the menu.
    const QPoint at(20, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, players.viewport()->mapToGlobal(at));
    QApplication::sendEvent(players.viewport(), &event);
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

// Chosen with the keyboard, each filter lists its participants by name without regard to case,
// never the results entry.
TEST_F(PlayerManagerTest, FiltersNeverListTheResults)
{
    addPool();
    shown();
    const std::pair<QString, QStringList> rows[] = {
        {"All Players", {"Al", "Kim", "mia", "Zed"}},
        {"Complete Players", {"Al", "Zed"}},
        {"Incomplete Players", {"Kim", "mia"}},
        {"Paid Players", {"Kim", "Zed"}},
        {"Unpaid Players", {"Al", "mia"}},
    };
    types().setFocus();
    for (const auto& [filter, names] : rows) {
        if (filter != rows[0].first) QTest::keyClick(&types(), Qt::Key_Down);
        ASSERT_EQ(types().currentText(), filter);
        EXPECT_EQ(listedNames(list()), names) << filter.toStdString();
    }
}

TEST_F(PlayerManagerTest, EqualNamesKeepTheListOrder)
{
    for (const auto& [id, name] : {std::pair{1, "carl"}, {2, "Bob"}, {3, "alice"}, {4, "bob"}, {5, "Alice"}})
        add(id, name);
    shown();
    EXPECT_EQ(listedNames(list()), QStringList({"alice", "Alice", "Bob", "bob", "carl"}));
    EXPECT_EQ(list().model()->index(0, 0).data(PlayerListModel::IdRole).toInt(), 3);
}

// Accented names sort with their letters, not after Z.
TEST_F(PlayerManagerTest, NamesSortInTheUsersLanguage)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const auto& [id, name] : {std::pair{1, "Zed"}, {2, "\xD6lund"}, {3, "emily"}, {4, "\xC9mile"}, {5, "Oscar"}})
        add(id, name);
    shown();
    QLocale::setDefault(before);
    EXPECT_EQ(listedNames(list()), QStringList({"\u00C9mile", "emily", "\u00D6lund", "Oscar", "Zed"}));
}

TEST_F(PlayerManagerTest, ItemsFlowDownThreeColumnsThenScrollSideways)
{
    for (int i = 0; i < 20; ++i) add(100 + i, QStringLiteral("P%1").arg(i, 2, 10, QChar('0')).toStdString());
    shown();
    const int rows = list().viewport()->height() / 18;
    ASSERT_TRUE(rows >= 7 && rows * 3 <= 24) << rows;  // 20 names fill a third column
    const QRect first = itemRect(list(), 0);
    EXPECT_EQ(first.height(), 18);
    EXPECT_EQ(itemRect(list(), 1).topLeft(), first.topLeft() + QPoint(0, 18));
    EXPECT_EQ(itemRect(list(), rows).topLeft(), first.topLeft() + QPoint(first.width(), 0));
    EXPECT_EQ(itemRect(list(), 2 * rows).left(), first.left() + 2 * first.width());
    EXPECT_LE(itemRect(list(), 19).right(), list().viewport()->width());
    EXPECT_FALSE(list().horizontalScrollBar()->isVisible());

    // A refill (here: another filter and back) finds the names overflowing.
    for (int i = 20; i < 40; ++i) add(100 + i, QStringLiteral("P%1").arg(i).toStdString());
    types().setCurrentIndex(CompletePlayers);
    types().setCurrentIndex(AllPlayers);
    ASSERT_EQ(list().model()->rowCount(), 40);
    EXPECT_TRUE(list().horizontalScrollBar()->isVisible());
    EXPECT_GT(list().horizontalScrollBar()->maximum(), 0);
}

TEST_F(PlayerManagerTest, PlayerManagerCommandOpensTheChosenSheetsInListOrder)
{
    addPool();
    whenModal<PlayerManager>([](PlayerManager& d) {
        selectNames(playerList(d), {"Zed", "Kim", "Al"});
        QTest::keyClick(&playerList(d), Qt::Key_Return);  // the default button
    });
    Find<QAction>(main, "mnuOpenPicks")->trigger();
    QList<int> tags;
    for (QMdiSubWindow* sub : main.childWindows()) tags << qobject_cast<ChildWindow*>(sub->widget())->tag();
    EXPECT_EQ(tags, QList<int>({13, 14, 11}));
}

TEST_F(PlayerManagerTest, DoubleClickOpensTheParticipant)
{
    addPool();
    shown();
    QWidget* viewport = list().viewport();
    // The events of a real double click: press, release, double click, release.
    const QPoint at = itemRect(list(), rowNamed(list(), "Kim")).center();
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->selectedPlayers(), std::vector<std::int32_t>({14}));
}

// Without a current item (an empty list) Properties and Print Picks do nothing; with nothing
// chosen Open and Delete say so; Close and Escape after a choice open nothing.
TEST_F(PlayerManagerTest, CommandsWithoutAChoiceAndClosing)
{
    const std::tuple<const char*, std::function<void(PlayerManager&)>, bool> commands[] = {
        {"Properties item", [](PlayerManager& d) { Find<QAction>(d, "mnuProps")->trigger(); }, false},
        {"Print Picks item", [](PlayerManager& d) { Find<QAction>(d, "mnuPrintPicks")->trigger(); }, false},
        {"Open button", [](PlayerManager& d) { QTest::mouseClick(Find<QPushButton>(d, "cmdOpen"), Qt::LeftButton); },
         true},
        {"Open item", [](PlayerManager& d) { Find<QAction>(d, "mnuOpen")->trigger(); }, true},
        {"Delete item", [](PlayerManager& d) { Find<QAction>(d, "mnuDelete")->trigger(); }, true},
    };
    addResults();
    for (const auto& [what, act, tells] : commands) {
        SCOPED_TRACE(what);
        if (tells && main.session().players().count() == 1) addPool();
        testPrompts().clear();
        PlayerManager& d = shown();
        EXPECT_EQ(list().model()->rowCount(), tells ? 4 : 0);
        const auto propsShown = whenModal<PlayerProperties>([](PlayerProperties&) {});
        act(d);
        QCoreApplication::processEvents();
        EXPECT_EQ(testPrompts().texts(), tells ? QStringList{NoPlayerSelectedMessage} : QStringList());
        if (tells) {
            EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Information);
        }
        EXPECT_FALSE(*propsShown);
        EXPECT_EQ(testPrompts().printDialogs, 0);
        EXPECT_TRUE(d.isVisible() && d.selectedPlayers().empty());
    }
    EXPECT_EQ(main.session().players().count(), 5);  // nothing was deleted
    for (bool escape : {false, true}) {
        PlayerManager& d = shown({"Al"});
        if (escape)
            QTest::keyClick(&list(), Qt::Key_Escape);
        else
            QTest::mouseClick(Find<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_TRUE(d.selectedPlayers().empty());
    }
}

// Delete asks for each chosen participant in list order: OK deletes, Cancel keeps, an open sheet
// is refused and the rest go on. An entry deleted meanwhile stays listed and drawn with its name
// until the one refill at the end.
TEST_F(PlayerManagerTest, DeleteAsksForEachAndRefusesAnOpenSheet)
{
    addPool();
    main.openBracketSheet(12);
    ASSERT_GE(main.findSheetWindow(12), 0);
    PlayerManager& d = shown({"Al", "Kim", "mia", "Zed"});
    testPrompts().answers = {PromptAnswer::Ok, PromptAnswer::Cancel, PromptAnswer::Ok, PromptAnswer::Ok,
                             PromptAnswer::Ok};
    bool looked = false;
    testPrompts().onBox = [&](const FakePrompts::Box& box) {
        if (box.text != "Delete picks for Kim?") return;
        looked = true;
        EXPECT_LT(main.session().players().indexOfId(13), 0);
        const int al = rowNamed(list(), "Al");
        ASSERT_GE(al, 0);
        EXPECT_EQ(list().model()->index(al, 0).data(PlayerListModel::IdRole).toInt(), 13);
        const QImage drawn = paintItem(d, al, true);  // complete: a white name
        EXPECT_GT(pixelsOf(drawn, QRect(18, 2, drawn.width() - 18, 16), Qt::white), 20);
    };
    trigger("mnuDelete");
    EXPECT_TRUE(looked);
    EXPECT_EQ(testPrompts().texts(),
              QStringList({"Delete picks for Al?", "Delete picks for Kim?", "Delete picks for mia?",
                           QString::fromStdString(SheetOpenMessage), "Delete picks for Zed?"}));
    EXPECT_EQ(testPrompts().boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(testPrompts().boxes[0].defaultAnswer, PromptAnswer::Cancel);
    EXPECT_EQ(listedNames(list()), QStringList({"Kim", "mia"}));
    EXPECT_EQ(main.session().players().count(), 3);
    EXPECT_EQ(Find<QLabel>(main, "pnlCount")->text(), "Players: 2");
    EXPECT_TRUE(d.isVisible());
}

// After a refill the current item is the one at the same position, if any, and none is selected.
TEST_F(PlayerManagerTest, RefillKeepsTheCurrentPosition)
{
    addPool();
    shown({"Kim"});  // row 1
    trigger("mnuDelete");
    ASSERT_EQ(listedNames(list()), QStringList({"Al", "mia", "Zed"}));
    EXPECT_EQ(list().currentIndex().row(), 1);
    EXPECT_FALSE(list().selectionModel()->hasSelection());

    selectNames(list(), {"Zed"});  // the last row: after the delete the focus moves up to the new last
    trigger("mnuDelete");
    ASSERT_EQ(listedNames(list()), QStringList({"Al", "mia"}));
    EXPECT_EQ(list().currentIndex().row(), 1);

    selectNames(list(), {"mia"});
    types().setFocus();
    QTest::keyClick(&types(), Qt::Key_Down);  // "Complete Players": Al only
    ASSERT_EQ(listedNames(list()), QStringList({"Al"}));
    EXPECT_EQ(list().currentIndex().row(), 0);
}

// The colour follows Complete (and the selection), the icon Paid, each on its own.
TEST_F(PlayerManagerTest, ItemsAreDrawnWithIconAndColourOfTheirState)
{
    add(1, "WWWW", true, false);
    add(2, "XXXX", false, true);
    PlayerManager& d = shown();
    const QPixmap paid = paidIcon();
    const QPixmap notPaid = notPaidIcon();
    const struct {
        int row;
        bool selected;
        QColor text;
        const QPixmap* icon;
    } rows[] = {
        {0, false, Qt::black, &notPaid},
        {0, true, Qt::white, &notPaid},
        {1, false, QColor(255, 0, 0), &paid},
        {1, true, QColor(255, 255, 0), &paid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << row.row << " selected " << row.selected);
        const QImage image = paintItem(d, row.row, row.selected);
        const QColor background =
            list().palette().color(QPalette::Active, row.selected ? QPalette::Highlight : QPalette::Base);
        EXPECT_EQ(image.copy(0, 0, 16, 16), iconOver(*row.icon, background));
        EXPECT_EQ(pixelsOf(image, QRect(16, 0, 2, 18), background), 2 * 18);  // the gap before the name
        EXPECT_EQ(pixelsOf(image, image.rect(), Qt::magenta), 0);
        EXPECT_EQ(pixelsOf(image, QRect(0, 0, image.width(), 2), row.text), 0);  // the name starts 2 px down
        EXPECT_GT(pixelsOf(image, QRect(18, 2, image.width() - 18, 16), row.text), 20);
    }
}

TEST_F(PlayerManagerTest, PropertiesChangingPaidRedrawsTheIcon)
{
    addPool();
    PlayerManager& d = shown({"Al"});
    whenModal<PlayerProperties>([](PlayerProperties& props) {
        EXPECT_EQ(nameBox(props).text(), "Al");
        QTest::mouseClick(&paidBox(props), Qt::LeftButton);
        QTest::mouseClick(&okButton(props), Qt::LeftButton);
    });
    trigger("mnuProps");
    EXPECT_EQ(entry(13)->paid, 1);
    EXPECT_EQ(entry(13)->name.text().bytes, "Al");
    const QColor base = list().palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(paintItem(d, rowNamed(list(), "Al"), false).copy(0, 0, 16, 16), iconOver(paidIcon(), base));
}

TEST_F(PlayerManagerTest, PropertiesWithAnEmptyNameListsItFirst)
{
    addPool();
    shown({"Kim"});
    whenModal<PlayerProperties>([](PlayerProperties& props) {
        nameBox(props).selectAll();
        QTest::keyClick(&nameBox(props), Qt::Key_Backspace);
        QTest::keyClick(&nameBox(props), Qt::Key_Return);  // OK is the default button
    });
    trigger("mnuProps");
    EXPECT_EQ(entry(14)->name.text().bytes, "");
    EXPECT_EQ(listedNames(list()), QStringList({"", "Al", "mia", "Zed"}));
    EXPECT_TRUE(testPrompts().boxes.empty());
}

// The list orders names as the user's language does without regard to case, equal names in the
// participant list's order: every byte value alone, then names of every length up to the field's
// over bytes where case, accents, letters some languages sort as one or as two, the code page's
// gaps and zero bytes meet. A system without a language sorts as English does.
TEST(PlayerListModel, OrdersNamesAsTheUsersLanguage)
{
    RecordingHost host;
    TempDir dir;
    TeamTable teams;
    PlayerList players{host, dir.path(), teams};
    std::vector<std::string> names;
    for (int b = 0; b < 256; ++b) names.emplace_back(1, static_cast<char>(b));
    const std::string bytes("aAbB \0\x01zZ\xE9\xC9\x8A\x9A\xFF\x9F\x81\xDF\xB5_[cChHsSeE\xE5\xC5\xE6\xF6\xD8-'1", 37);
    std::uint32_t state = 2024;
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < 4000; ++i) {
        std::string name(next() % 26, ' ');
        // Every third name over all byte values, every other one over a, A, b and B only.
        for (char& c : name) c = i % 3 == 0 ? static_cast<char>(next()) : bytes[next() % (i % 2 ? 4 : bytes.size())];
        names.push_back(name);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        players.add(makeEntry(static_cast<std::int32_t>(i + 1), names[i], true, true));
        if (i == names.size() / 2) players.add(makeEntry(ResultsId, "RESULTS", true, false));
    }

    const QLocale before;
    for (const auto& [system, language] : {std::pair{"en_US", "en_US"},
                                           {"de_DE", "de_DE"},
                                           {"da_DK", "da_DK"},
                                           {"cs_CZ", "cs_CZ"},
                                           {"sv_SE", "sv_SE"},
                                           {"hu_HU", "hu_HU"},
                                           {"lt_LT", "lt_LT"},
                                           {"C", "en_US"}}) {
        SCOPED_TRACE(system);
        QLocale::setDefault(QLocale(QString::fromLatin1(system)));
        QCollator collator{QLocale(QString::fromLatin1(language))};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<std::int32_t> expected(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) expected[i] = static_cast<std::int32_t>(i + 1);
        std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
            return collator.compare(fromAnsi(names[a - 1]), fromAnsi(names[b - 1])) < 0;
        });
        PlayerListModel model;
        model.fill(players, AllPlayers);
        std::vector<std::int32_t> listed;
        for (int row = 0; row < model.rowCount(); ++row) listed.push_back(model.idAt(row));
        EXPECT_EQ(listed, expected);
    }
    QLocale::setDefault(before);
}

// The two pictures drawn before the names: 16 x 16, clear in the corners, told apart at a glance.
TEST(PlayerIcons, TwoDistinctSixteenPixelCoins)
{
    const QImage paid = paidIcon().toImage();
    const QImage notPaid = notPaidIcon().toImage();
    for (const QImage* icon : {&paid, &notPaid}) {
        EXPECT_EQ(icon->size(), QSize(16, 16));
        for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
            EXPECT_EQ(icon->pixelColor(corner).alpha(), 0);
    }
    EXPECT_NE(paid.pixelColor(4, 8), notPaid.pixelColor(4, 8));  // the coin's face
    EXPECT_NE(paid.pixelColor(8, 8), notPaid.pixelColor(8, 8));  // the sign or the cross
}

// ---- Player Properties ---------------------------------------------------------------------------

TEST_F(PlayerProps, LayoutShowsTheEntryAndGreysThePoints)
{
    PlayerProperties p(nullptr, players, 42);
    EXPECT_EQ(p.size(), QSize(256, 300));
    EXPECT_EQ(p.minimumSize(), p.maximumSize());
    EXPECT_TRUE(centredOnScreen(p));
    const Qt::WindowFlags flags = p.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
    auto& grpPlayer = *Find<QGroupBox>(p, "grpPlayer");
    auto& grpPool = *Find<QGroupBox>(p, "grpPool");
    auto& chkComplete = *Find<QCheckBox>(p, "chkComplete");
    auto& chkModified = *Find<QCheckBox>(p, "chkModified");
    const std::pair<const char*, QRect> places[] = {
        {"grpPlayer", {8, 8, 241, 65}},     {"txtName", {72, 16, 153, 17}},      {"txtTiebreaker", {72, 40, 97, 17}},
        {"chkPaid", {176, 40, 49, 17}},     {"grpPool", {8, 80, 241, 185}},      {"txtR1", {72, 16, 41, 17}},
        {"txtR6", {72, 136, 41, 17}},       {"txtTotal", {72, 160, 41, 17}},     {"txtPot", {192, 160, 41, 17}},
        {"chkComplete", {128, 16, 97, 17}}, {"chkModified", {120, 40, 105, 17}}, {"cmdOk", {168, 272, 75, 25}},
    };
    for (const auto& [name, rect] : places) EXPECT_EQ(Find<QWidget>(p, name)->geometry(), rect) << name;
    EXPECT_EQ(nameBox(p).parentWidget(), &grpPlayer);
    EXPECT_EQ(Find<QLineEdit>(p, "txtR1")->parentWidget(), &grpPool);
    EXPECT_EQ(QStringList({p.windowTitle(), grpPlayer.title(), grpPool.title(), paidBox(p).text(), chkComplete.text(),
                           chkModified.text(), okButton(p).text()}),
              QStringList({"Player Properties...", "Player Information", "Pool Information:", "Paid?", "Pool Complete?",
                           "Pts. Up to Date?", "OK"}));
    EXPECT_EQ(paidBox(p).layoutDirection(), Qt::RightToLeft);  // caption left of the box
    EXPECT_TRUE(okButton(p).isDefault());
    EXPECT_EQ(nameBox(p).maxLength(), 25);

    QStringList shownTexts;
    for (const char* box :
         {"txtName", "txtTiebreaker", "txtR1", "txtR2", "txtR3", "txtR4", "txtR5", "txtR6", "txtTotal", "txtPot"})
        shownTexts << Find<QLineEdit>(p, box)->text();
    EXPECT_EQ(shownTexts, QStringList({"Pat", "141", "10", "20", "30", "40", "50", "60", "210", "330"}));
    EXPECT_FALSE(paidBox(p).isChecked());
    EXPECT_TRUE(chkComplete.isChecked());
    EXPECT_FALSE(chkModified.isChecked());  // Modified is 1: the points are not up to date
    EXPECT_FALSE(Find<QLineEdit>(p, "txtR1")->isEnabled());
    EXPECT_TRUE(grpPlayer.isEnabled());
    EXPECT_EQ(p.changed(), 0);
    edited().modified = 0;
    EXPECT_TRUE(Find<QCheckBox>(PlayerProperties(nullptr, players, 42), "chkModified")->isChecked());
}

// Each edit sets changed; the close box stores nothing but leaves changed set.
TEST_F(PlayerProps, EditsSetChangedAndTheCloseBoxStoresNothing)
{
    const std::pair<const char*, std::function<void(PlayerProperties&)>> edits[] = {
        {"name", [](PlayerProperties& p) { QTest::keyClicks(&nameBox(p), "sy"); }},
        {"tiebreaker", [](PlayerProperties& p) { QTest::keyClick(&tiebreakerBox(p), Qt::Key_Backspace); }},
        {"paid", [](PlayerProperties& p) { QTest::mouseClick(&paidBox(p), Qt::LeftButton); }},
    };
    for (const auto& [what, edit] : edits) {
        SCOPED_TRACE(what);
        PlayerProperties& p = shown();
        edit(p);
        EXPECT_EQ(p.changed(), 1);
        p.close();
        EXPECT_EQ(p.result(), QDialog::Rejected);
        EXPECT_EQ(p.changed(), 1);
        EXPECT_EQ(storedTexts(), QStringList({"Pat", "141", "0", "1", "210", "1"}));
    }
}

// OK stores the name (typed up to 25 characters) and Paid; a box left as shown stores its own
// bytes back, even bytes that have no character.
TEST_F(PlayerProps, OkStoresOnlyTheEditableFields)
{
    PlayerProperties& p = shown();
    nameBox(p).selectAll();
    QTest::keyClicks(&nameBox(p), "Patricia With A Very Long Name");
    QTest::mouseClick(&paidBox(p), Qt::LeftButton);
    QTest::mouseClick(&okButton(p), Qt::LeftButton);
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_EQ(storedTexts(), QStringList({"Patricia With A Very Long", "141", "1", "1", "210", "1"}));

    edited().name = "Jos\x81";
    edited().tiebreaker = "\x8D"
                          "99";
    QTest::mouseClick(&paidBox(shown()), Qt::LeftButton);
    QTest::mouseClick(&okButton(*props), Qt::LeftButton);
    EXPECT_EQ(entry->name.text().bytes, "Jos\x81");
    EXPECT_EQ(entry->tiebreaker.text().bytes, "\x8D"
                                              "99");
    EXPECT_EQ(entry->paid, 0);
}

// A longer stored tiebreaker is shown whole and kept, can be shortened, and grows no further than 3.
TEST_F(PlayerProps, LongTiebreakerShownWholeAndTypingLimitedToThree)
{
    edited().tiebreaker = "12345678";
    const struct {
        int backspaces;
        const char* typed;
        QString stored;
    } cases[] = {{0, "9", "12345678"}, {6, "3456", "123"}};
    for (const auto& c : cases) {
        PlayerProperties& p = shown();
        QLineEdit& box = tiebreakerBox(p);
        EXPECT_EQ(box.text(), "12345678");
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_End);
        for (int i = 0; i < c.backspaces; ++i) QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, c.typed);
        QTest::mouseClick(&okButton(p), Qt::LeftButton);
        EXPECT_EQ(QString::fromLatin1(entry->tiebreaker.text().bytes), c.stored);
        edited().tiebreaker = "12345678";
    }
}

// A paste keeps what typing the same characters would keep: the first ones that fit the three
// places; tabs and line breaks pasted into the name become spaces.
TEST_F(PlayerProps, PastingKeepsWhatTypingWouldKeep)
{
    const struct {
        const char* stored;
        int selectFrom, selectLength;
        QString pasted, shown;
    } cases[] = {
        {"", 0, 0, "98765", "987"},         {"141", 0, 3, "98765", "987"},       {"1", 1, 0, "98765", "198"},
        {"12345678", 1, 7, "98765", "198"}, {"12345678", 8, 0, "9", "12345678"}, {"141", 1, 1, "9\r\n", "191"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + (" + " + c.pasted.toStdString()));
        edited().tiebreaker = c.stored;
        PlayerProperties& p = shown();
        QLineEdit& box = tiebreakerBox(p);
        box.setFocus();
        box.setSelection(c.selectFrom, c.selectLength);
        QGuiApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box.text(), c.shown);
    }
    QGuiApplication::clipboard()->setText("Ann\tLee\r\n");
    nameBox(*props).selectAll();
    QTest::keyClick(&nameBox(*props), Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(&okButton(*props), Qt::LeftButton);
    EXPECT_EQ(entry->name.text().bytes + "|" + entry->tiebreaker.text().bytes, "Ann Lee|191");
}

TEST_F(PlayerProps, UnknownIdShowsNothingAndStoresNothing)
{
    PlayerProperties& p = shown(7);
    EXPECT_EQ(nameBox(p).text(), "");
    QTest::keyClicks(&nameBox(p), "Other");
    QTest::mouseClick(&okButton(p), Qt::LeftButton);
    EXPECT_EQ(entry->name.text().bytes, "Pat");
}
