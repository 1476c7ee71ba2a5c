// The Player Manager and Player Properties dialogs, driven offscreen with real clicks and keys.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "players/player_icons.h"
#include "players/player_manager.h"
#include "players/player_props.h"
#include "ui/child_form.h"
#include "shell/main_window.h"
#include "support/find.h"
#include "support/test_settings.h"
#include "support/fake_prompts.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {
TPlayer makeEntry(std::int32_t id, std::string_view name, bool complete, bool paid)
{
    TPlayer entry;
    entry.Id = id;
    entry.Name = name;
    entry.Complete = complete ? 1 : 0;
    entry.Paid = paid ? 1 : 0;
    return entry;
}

// Acts on the modal dialog of type Dialog once its event loop runs, then closes it if it is still
// open; reports whether one was shown, so a failing test never hangs in exec().
template <class Dialog>
std::shared_ptr<bool> whenModal(std::function<void(Dialog&)> act)
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

QStringList listedNames(const QListWidget& list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row) names << list.item(row)->text();
    return names;
}

QListWidgetItem* itemNamed(const QListWidget& list, const QString& name)
{
    const auto found = list.findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Clicks the first name and Ctrl+clicks the others, as the user selects.
void selectNames(QListWidget& list, const QStringList& names)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        QListWidgetItem* item = itemNamed(list, names[i]);
        ASSERT_NE(item, nullptr) << names[i].toStdString();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                          list.visualItemRect(item).center());
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
QImage paintItem(const TfrmOpen& dialog, int row, bool selected)
{
    const QSize size(dialog.lstPlayers->gridSize());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected) option.state |= QStyle::State_Selected;
    option.palette = dialog.lstPlayers->palette();
    option.font = dialog.lstPlayers->font();
    option.font.setStyleStrategy(QFont::NoAntialias);
    option.widget = dialog.lstPlayers;
    QPainter painter(&image);
    dialog.lstPlayers->itemDelegate()->paint(&painter, option, dialog.lstPlayers->model()->index(row, 0));
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

class PlayerManager : public ::testing::Test {
protected:
    void SetUp() override { TestPrompts().clear(); }

    void add(std::int32_t id, std::string_view name, bool complete = true, bool paid = true)
    {
        main.session().players().add(makeEntry(id, name, complete, paid));
    }
    void addResults()
    {
        add(ResultsId, "RESULTS", true, false);
    }
    // Four participants and the results, added out of alphabetical order.
    void addPool()
    {
        add(11, "Zed", true, true);
        if (!main.session().players().HasResults()) addResults();
        add(12, "mia", false, false);
        add(13, "Al", true, false);
        add(14, "Kim", false, true);
    }
    const TPlayer* entry(std::int32_t id) { return main.session().players().item(main.session().players().IndexOfId(id)); }
    // A dialog shown over the pool, the given names selected.
    TfrmOpen& shown(const QStringList& selected = {})
    {
        dialog = std::make_unique<TfrmOpen>(main.session(), main, &main);
        dialog->show();
        selectNames(*dialog->lstPlayers, selected);
        return *dialog;
    }

    TempDir dir;
    TMainForm main{TestSettings(), QString::fromStdString(dir.path())};
    std::unique_ptr<TfrmOpen> dialog;
};

class PlayerProps : public ::testing::Test {
protected:
    PlayerProps()
    {
        players.setWriteOnDestroy(false);
        TPlayer pat = makeEntry(42, "Pat", true, false);
        for (int r = 1; r <= RoundCount; ++r) pat.RoundPoints[r] = 10 * r;
        pat.Total = 210;
        pat.Potential = 330;
        pat.Tiebreaker = "141";
        pat.Modified = 1;
        entry = players.add(pat);
    }
    TfrmProps& shown(std::int32_t id = 42)
    {
        props = std::make_unique<TfrmProps>(nullptr, players, id);
        props->show();
        return *props;
    }
    QStringList storedTexts() const
    {
        return {QString::fromLatin1(entry->Name.str()), QString::fromLatin1(entry->Tiebreaker.str()),
                QString::number(entry->Paid), QString::number(entry->Modified), QString::number(entry->Total),
                QString::number(entry->Complete)};
    }

    RecordingHost host;
    TempDir dir;
    TTeamTable teams;
    TPlayers players{host, dir.path(), teams};
    TPlayer* entry = nullptr;
    std::unique_ptr<TfrmProps> props;
};
}  // namespace

// ---- Player Manager ------------------------------------------------------------------------------

TEST_F(PlayerManager, LayoutCaptionsAndMenu)
{
    TfrmOpen d(main.session(), main, &main);
    EXPECT_EQ(d.size(), QSize(398, 229));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_TRUE(centredOnScreen(d));
    d.show();
    const std::pair<QWidget*, QRect> places[] = {{d.lstPlayers, {4, 4, 389, 157}},  {d.lstTypes, {72, 168, 225, 21}},
                                                 {d.cmdOpen, {312, 168, 75, 25}},   {d.cmdCancel, {312, 200, 75, 25}},
                                                 {d.lblShow, {16, 170, 52, 16}}};
    for (const auto& [control, rect] : places) EXPECT_EQ(control->geometry(), rect) << control->objectName().toStdString();
    EXPECT_EQ(QStringList({d.windowTitle(), d.cmdOpen->text(), d.cmdCancel->text(), d.lstPlayers->toolTip(),
                           d.lblShow->text(), d.lstTypes->currentText()}),
              QStringList({"Player Manager", "&Open", "&Close", "Right-click for Options", "Show me:", "All Players"}));
    EXPECT_TRUE(d.cmdOpen->isDefault());
    EXPECT_EQ(d.lstPlayers->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(d.lstTypes->isEditable());
    EXPECT_EQ(captions(d.PopupMenu->actions()), QStringList({"&Open", "&Delete", "-", "P&rint Picks", "-", "&Properties..."}));
    EXPECT_EQ(d.focusWidget(), d.lstPlayers);

    // A right-click in the list opens the menu.
    const QPoint at(20, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, d.lstPlayers->viewport()->mapToGlobal(at));
    QApplication::sendEvent(d.lstPlayers->viewport(), &event);
    EXPECT_TRUE(d.PopupMenu->isVisible());
    d.PopupMenu->close();
}

// Chosen with the keyboard, each filter lists its participants by name without regard to case,
// never the results entry.
TEST_F(PlayerManager, FiltersNeverListTheResults)
{
    addPool();
    TfrmOpen& d = shown();
    const std::pair<QString, QStringList> rows[] = {
        {"All Players", {"Al", "Kim", "mia", "Zed"}}, {"Complete Players", {"Al", "Zed"}},
        {"Incomplete Players", {"Kim", "mia"}},       {"Paid Players", {"Kim", "Zed"}},
        {"Unpaid Players", {"Al", "mia"}},
    };
    d.lstTypes->setFocus();
    for (const auto& [filter, names] : rows) {
        if (filter != rows[0].first) QTest::keyClick(d.lstTypes, Qt::Key_Down);
        ASSERT_EQ(d.lstTypes->currentText(), filter);
        EXPECT_EQ(listedNames(*d.lstPlayers), names) << filter.toStdString();
    }
}

TEST_F(PlayerManager, EqualNamesKeepTheListOrder)
{
    for (const auto& [id, name] : {std::pair{1, "carl"}, {2, "Bob"}, {3, "alice"}, {4, "bob"}, {5, "Alice"}}) add(id, name);
    TfrmOpen& d = shown();
    EXPECT_EQ(listedNames(*d.lstPlayers), QStringList({"alice", "Alice", "Bob", "bob", "carl"}));
    EXPECT_EQ(TfrmOpen::EntryOf(d.lstPlayers->item(0))->Id, 3);
}

TEST_F(PlayerManager, ItemsFlowDownThreeColumnsThenScrollSideways)
{
    for (int i = 0; i < 20; ++i) add(100 + i, QStringLiteral("P%1").arg(i, 2, 10, QChar('0')).toStdString());
    QListWidget& list = *shown().lstPlayers;
    const int rows = list.viewport()->height() / 18;
    ASSERT_TRUE(rows >= 7 && rows * 3 <= 24) << rows;  // 20 names fill a third column
    const QRect first = list.visualItemRect(list.item(0));
    EXPECT_EQ(first.height(), 18);
    EXPECT_EQ(list.visualItemRect(list.item(1)).topLeft(), first.topLeft() + QPoint(0, 18));
    EXPECT_EQ(list.visualItemRect(list.item(rows)).topLeft(), first.topLeft() + QPoint(first.width(), 0));
    EXPECT_EQ(list.visualItemRect(list.item(2 * rows)).left(), first.left() + 2 * first.width());
    EXPECT_LE(list.visualItemRect(list.item(19)).right(), list.viewport()->width());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());

    for (int i = 20; i < 40; ++i) add(100 + i, QStringLiteral("P%1").arg(i).toStdString());
    dialog->FillPlayerList(AllPlayers);
    EXPECT_TRUE(list.horizontalScrollBar()->isVisible());
    EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
}

TEST_F(PlayerManager, PlayerManagerCommandOpensTheChosenSheetsInListOrder)
{
    addPool();
    whenModal<TfrmOpen>([](TfrmOpen& d) {
        selectNames(*d.lstPlayers, {"Zed", "Kim", "Al"});
        QTest::keyClick(d.lstPlayers, Qt::Key_Return);  // the default button
    });
    Find<QAction>(main, "mnuOpenPicks")->trigger();
    QList<int> tags;
    for (QMdiSubWindow* sub : main.childWindows()) tags << qobject_cast<TChildForm*>(sub->widget())->tag();
    EXPECT_EQ(tags, QList<int>({13, 14, 11}));
}

TEST_F(PlayerManager, DoubleClickOpensTheParticipant)
{
    addPool();
    QListWidget& list = *shown().lstPlayers;
    // The events of a real double click: press, release, double click, release.
    const QPoint at = list.visualItemRect(itemNamed(list, "Kim")).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(dialog->SelectedPlayers.size(), 1u);
    EXPECT_EQ(dialog->SelectedPlayers[0]->Id, 14);
}

// Without a current item (an empty list) Properties and Print Picks do nothing; with nothing
// chosen Open and Delete say so; Close and Escape after a choice open nothing.
TEST_F(PlayerManager, CommandsWithoutAChoiceAndClosing)
{
    const std::tuple<const char*, std::function<void(TfrmOpen&)>, bool> commands[] = {
        {"Properties item", [](TfrmOpen& d) { d.mnuProps->trigger(); }, false},
        {"Print Picks item", [](TfrmOpen& d) { d.mnuPrintPicks->trigger(); }, false},
        {"Open button", [](TfrmOpen& d) { QTest::mouseClick(d.cmdOpen, Qt::LeftButton); }, true},
        {"Open item", [](TfrmOpen& d) { d.mnuOpen->trigger(); }, true},
        {"Delete item", [](TfrmOpen& d) { d.mnuDelete->trigger(); }, true},
    };
    addResults();
    for (const auto& [what, act, tells] : commands) {
        SCOPED_TRACE(what);
        if (tells && main.session().players().count() == 1) addPool();
        TestPrompts().clear();
        TfrmOpen& d = shown();
        EXPECT_EQ(d.lstPlayers->count(), tells ? 4 : 0);
        const auto propsShown = whenModal<TfrmProps>([](TfrmProps&) {});
        act(d);
        QCoreApplication::processEvents();
        EXPECT_EQ(TestPrompts().texts(), tells ? QStringList{NoPlayerSelectedMessage} : QStringList());
        if (tells) {
            EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Information);
        }
        EXPECT_FALSE(*propsShown);
        EXPECT_EQ(TestPrompts().printDialogs, 0);
        EXPECT_TRUE(d.isVisible() && d.SelectedPlayers.empty());
    }
    EXPECT_EQ(main.session().players().count(), 5);  // nothing was deleted
    for (bool escape : {false, true}) {
        TfrmOpen& d = shown({"Al"});
        if (escape) QTest::keyClick(d.lstPlayers, Qt::Key_Escape);
        else QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_TRUE(d.SelectedPlayers.empty());
    }
}

// Delete asks for each chosen participant in list order: OK deletes, Cancel keeps, an open sheet
// is refused and the rest go on. An entry deleted meanwhile stays listed and drawable until the
// one refill at the end.
TEST_F(PlayerManager, DeleteAsksForEachAndRefusesAnOpenSheet)
{
    addPool();
    main.OpenBracketSheet(12);
    ASSERT_GE(main.FindSheetWindow(12), 0);
    TfrmOpen& d = shown({"Al", "Kim", "mia", "Zed"});
    TestPrompts().answers = {PromptAnswer::Ok, PromptAnswer::Cancel, PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::Ok};
    bool looked = false;
    TestPrompts().onBox = [&](const FakePrompts::Box& box) {
        if (box.text != "Delete picks for Kim?") return;
        looked = true;
        EXPECT_LT(main.session().players().IndexOfId(13), 0);
        const QListWidgetItem* al = itemNamed(*d.lstPlayers, "Al");
        ASSERT_NE(al, nullptr);
        EXPECT_EQ(TfrmOpen::EntryOf(al)->Name.str(), "Al");
        EXPECT_FALSE(paintItem(d, d.lstPlayers->row(al), true).isNull());
    };
    d.mnuDelete->trigger();
    EXPECT_TRUE(looked);
    EXPECT_EQ(TestPrompts().texts(), QStringList({"Delete picks for Al?", "Delete picks for Kim?", "Delete picks for mia?",
                                                  QString::fromStdString(SheetOpenMessage), "Delete picks for Zed?"}));
    EXPECT_EQ(TestPrompts().boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(listedNames(*d.lstPlayers), QStringList({"Kim", "mia"}));
    EXPECT_EQ(main.session().players().count(), 3);
    EXPECT_EQ(Find<QLabel>(main, "pnlCount")->text(), "Players: 2");
    EXPECT_TRUE(d.isVisible());
}

// After a refill the current item is the one at the same position, if any, and none is selected.
TEST_F(PlayerManager, RefillKeepsTheCurrentPosition)
{
    addPool();
    QListWidget& list = *shown({"Kim"}).lstPlayers;  // row 1
    dialog->mnuDelete->trigger();
    ASSERT_EQ(listedNames(list), QStringList({"Al", "mia", "Zed"}));
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_TRUE(list.selectedItems().isEmpty());

    selectNames(list, {"Zed"});  // the last row: after the delete no item is at its position
    dialog->mnuDelete->trigger();
    ASSERT_EQ(listedNames(list), QStringList({"Al", "mia"}));
    EXPECT_EQ(list.currentItem(), nullptr);

    selectNames(list, {"mia"});
    dialog->lstTypes->setFocus();
    QTest::keyClick(dialog->lstTypes, Qt::Key_Down);  // "Complete Players": Al only
    ASSERT_EQ(listedNames(list), QStringList({"Al"}));
    EXPECT_EQ(list.currentItem(), nullptr);
}

// The colour follows Complete (and the selection), the icon Paid, each on its own.
TEST_F(PlayerManager, ItemsAreDrawnWithIconAndColourOfTheirState)
{
    add(1, "WWWW", true, false);
    add(2, "XXXX", false, true);
    TfrmOpen& d = shown();
    const struct {
        int row;
        bool selected;
        QColor text;
        const QPixmap* icon;
    } rows[] = {
        {0, false, Qt::black, &d.imgNotPaid},
        {0, true, Qt::white, &d.imgNotPaid},
        {1, false, QColor(255, 0, 0), &d.imgPaid},
        {1, true, QColor(255, 255, 0), &d.imgPaid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << row.row << " selected " << row.selected);
        const QImage image = paintItem(d, row.row, row.selected);
        const QColor background = d.lstPlayers->palette().color(QPalette::Active, row.selected ? QPalette::Highlight : QPalette::Base);
        EXPECT_EQ(image.copy(0, 0, 16, 16), iconOver(*row.icon, background));
        EXPECT_EQ(pixelsOf(image, QRect(16, 0, 2, 18), background), 2 * 18);  // the gap before the name
        EXPECT_EQ(pixelsOf(image, image.rect(), Qt::magenta), 0);
        EXPECT_EQ(pixelsOf(image, QRect(0, 0, image.width(), 2), row.text), 0);  // the name starts 2 px down
        EXPECT_GT(pixelsOf(image, QRect(18, 2, image.width() - 18, 16), row.text), 20);
    }
}

TEST_F(PlayerManager, PropertiesChangingPaidRedrawsTheIcon)
{
    addPool();
    TfrmOpen& d = shown({"Al"});
    whenModal<TfrmProps>([](TfrmProps& props) {
        EXPECT_EQ(props.txtName->text(), "Al");
        QTest::mouseClick(props.chkPaid, Qt::LeftButton);
        QTest::mouseClick(props.cmdOk, Qt::LeftButton);
    });
    d.mnuProps->trigger();
    EXPECT_EQ(entry(13)->Paid, 1);
    EXPECT_EQ(entry(13)->Name.str(), "Al");
    const QColor base = d.lstPlayers->palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(paintItem(d, d.lstPlayers->row(itemNamed(*d.lstPlayers, "Al")), false).copy(0, 0, 16, 16),
              iconOver(d.imgPaid, base));
}

TEST_F(PlayerManager, PropertiesWithAnEmptyNameListsItFirst)
{
    addPool();
    TfrmOpen& d = shown({"Kim"});
    whenModal<TfrmProps>([](TfrmProps& props) {
        props.txtName->selectAll();
        QTest::keyClick(props.txtName, Qt::Key_Backspace);
        QTest::keyClick(props.txtName, Qt::Key_Return);  // OK is the default button
    });
    d.mnuProps->trigger();
    EXPECT_EQ(entry(14)->Name.str(), "");
    EXPECT_EQ(listedNames(*d.lstPlayers), QStringList({"", "Al", "mia", "Zed"}));
    EXPECT_TRUE(TestPrompts().boxes.empty());
}

// The two pictures drawn before the names: 16 x 16, clear in the corners, told apart at a glance.
TEST(PlayerIcons, TwoDistinctSixteenPixelCoins)
{
    const QImage paid = paidIcon().toImage();
    const QImage notPaid = notPaidIcon().toImage();
    for (const QImage* icon : {&paid, &notPaid}) {
        EXPECT_EQ(icon->size(), QSize(16, 16));
        for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)}) EXPECT_EQ(icon->pixelColor(corner).alpha(), 0);
    }
    EXPECT_NE(paid.pixelColor(4, 8), notPaid.pixelColor(4, 8));  // the coin's face
    EXPECT_NE(paid.pixelColor(8, 8), notPaid.pixelColor(8, 8));  // the sign or the cross
}

// ---- Player Properties ---------------------------------------------------------------------------

TEST_F(PlayerProps, LayoutShowsTheEntryAndGreysThePoints)
{
    TfrmProps p(nullptr, players, 42);
    EXPECT_EQ(p.size(), QSize(256, 300));
    EXPECT_EQ(p.minimumSize(), p.maximumSize());
    EXPECT_TRUE(centredOnScreen(p));
    const Qt::WindowFlags flags = p.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
    const std::pair<QWidget*, QRect> places[] = {
        {p.grpPlayer, {8, 8, 241, 65}},     {p.txtName, {72, 16, 153, 17}},      {p.txtTiebreaker, {72, 40, 97, 17}},
        {p.chkPaid, {176, 40, 49, 17}},     {p.grpPool, {8, 80, 241, 185}},      {p.txtR1, {72, 16, 41, 17}},
        {p.txtR6, {72, 136, 41, 17}},       {p.txtTotal, {72, 160, 41, 17}},     {p.txtPot, {192, 160, 41, 17}},
        {p.chkComplete, {128, 16, 97, 17}}, {p.chkModified, {128, 40, 97, 17}}, {p.cmdOk, {168, 272, 75, 25}},
    };
    for (const auto& [control, rect] : places) EXPECT_EQ(control->geometry(), rect);
    EXPECT_EQ(p.txtName->parentWidget(), p.grpPlayer);
    EXPECT_EQ(p.txtR1->parentWidget(), p.grpPool);
    EXPECT_EQ(QStringList({p.windowTitle(), p.grpPlayer->title(), p.grpPool->title(), p.chkPaid->text(),
                           p.chkComplete->text(), p.chkModified->text(), p.cmdOk->text()}),
              QStringList({"Player Properties...", "Player Information", "Pool Information:", "Paid?", "Pool Complete?",
                           "Pts. Up to Date?", "OK"}));
    EXPECT_EQ(p.chkPaid->layoutDirection(), Qt::RightToLeft);  // caption left of the box
    EXPECT_TRUE(p.cmdOk->isDefault());
    EXPECT_EQ(p.txtName->maxLength(), 25);

    QStringList shownTexts;
    for (const QLineEdit* box : {p.txtName, p.txtTiebreaker, p.txtR1, p.txtR2, p.txtR3, p.txtR4, p.txtR5, p.txtR6,
                                 p.txtTotal, p.txtPot})
        shownTexts << box->text();
    EXPECT_EQ(shownTexts, QStringList({"Pat", "141", "10", "20", "30", "40", "50", "60", "210", "330"}));
    EXPECT_FALSE(p.chkPaid->isChecked());
    EXPECT_TRUE(p.chkComplete->isChecked());
    EXPECT_FALSE(p.chkModified->isChecked());  // Modified is 1: the points are not up to date
    EXPECT_FALSE(p.txtR1->isEnabled());
    EXPECT_TRUE(p.grpPlayer->isEnabled());
    EXPECT_EQ(p.Changed, 0);
    entry->Modified = 0;
    EXPECT_TRUE(TfrmProps(nullptr, players, 42).chkModified->isChecked());
}

// Each edit sets Changed; the close box stores nothing but leaves Changed set.
TEST_F(PlayerProps, EditsSetChangedAndTheCloseBoxStoresNothing)
{
    const std::pair<const char*, std::function<void(TfrmProps&)>> edits[] = {
        {"name", [](TfrmProps& p) { QTest::keyClicks(p.txtName, "sy"); }},
        {"tiebreaker", [](TfrmProps& p) { QTest::keyClick(p.txtTiebreaker, Qt::Key_Backspace); }},
        {"paid", [](TfrmProps& p) { QTest::mouseClick(p.chkPaid, Qt::LeftButton); }},
    };
    for (const auto& [what, edit] : edits) {
        SCOPED_TRACE(what);
        TfrmProps& p = shown();
        edit(p);
        EXPECT_EQ(p.Changed, 1);
        p.close();
        EXPECT_EQ(p.result(), QDialog::Rejected);
        EXPECT_EQ(p.Changed, 1);
        EXPECT_EQ(storedTexts(), QStringList({"Pat", "141", "0", "1", "210", "1"}));
    }
}

// OK stores the name (typed up to 25 characters) and Paid; a box left as shown stores its own
// bytes back, even bytes that have no character.
TEST_F(PlayerProps, OkStoresOnlyTheEditableFields)
{
    TfrmProps& p = shown();
    p.txtName->selectAll();
    QTest::keyClicks(p.txtName, "Patricia With A Very Long Name");
    QTest::mouseClick(p.chkPaid, Qt::LeftButton);
    QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_EQ(storedTexts(), QStringList({"Patricia With A Very Long", "141", "1", "1", "210", "1"}));

    entry->Name = "Jos\x81";
    entry->Tiebreaker = "\x8D" "99";
    QTest::mouseClick(shown().chkPaid, Qt::LeftButton);
    QTest::mouseClick(props->cmdOk, Qt::LeftButton);
    EXPECT_EQ(entry->Name.str(), "Jos\x81");
    EXPECT_EQ(entry->Tiebreaker.str(), "\x8D" "99");
    EXPECT_EQ(entry->Paid, 0);
}

// A longer stored tiebreaker is shown whole and kept, can be shortened, and grows no further than 3.
TEST_F(PlayerProps, LongTiebreakerShownWholeAndTypingLimitedToThree)
{
    entry->Tiebreaker = "12345678";
    const struct {
        int backspaces;
        const char* typed;
        QString stored;
    } cases[] = {{0, "9", "12345678"}, {6, "3456", "123"}};
    for (const auto& c : cases) {
        TfrmProps& p = shown();
        EXPECT_EQ(p.txtTiebreaker->text(), "12345678");
        p.txtTiebreaker->setFocus();
        QTest::keyClick(p.txtTiebreaker, Qt::Key_End);
        for (int i = 0; i < c.backspaces; ++i) QTest::keyClick(p.txtTiebreaker, Qt::Key_Backspace);
        QTest::keyClicks(p.txtTiebreaker, c.typed);
        QTest::mouseClick(p.cmdOk, Qt::LeftButton);
        EXPECT_EQ(QString::fromLatin1(entry->Tiebreaker.str()), c.stored);
        entry->Tiebreaker = "12345678";
    }
}

TEST_F(PlayerProps, UnknownIdShowsNothingAndStoresNothing)
{
    TfrmProps& p = shown(7);
    EXPECT_EQ(p.txtName->text(), "");
    QTest::keyClicks(p.txtName, "Other");
    QTest::mouseClick(p.cmdOk, Qt::LeftButton);
    EXPECT_EQ(entry->Name.str(), "Pat");
}
