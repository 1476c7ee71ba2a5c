#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

#include "players/player_icons.h"
#include "players/player_manager.h"
#include "players/player_props.h"
#include "players_fixture.h"
#include "shell/child_form.h"
#include "shell/main_window.h"
#include "support/temp_dir.h"

namespace {
const QString SheetOpenText = QString::fromStdString(SheetOpenMessage);

class PlayerManager : public ::testing::Test {
protected:
    void SetUp() override { TestPrompts().clear(); }

    TPlayer& add(std::int32_t id, std::string_view name, bool complete = true, bool paid = true)
    {
        return *main.Players().Add(makeEntry(id, name, complete, paid));
    }
    void addResults()
    {
        add(ResultsId, "RESULTS", true, false);
        main.Players().HasResults = 1;
    }
    // Four participants and the results, added out of alphabetical order.
    void addPool()
    {
        add(11, "Zed", true, true);
        addResults();
        add(12, "mia", false, false);
        add(13, "Al", true, false);
        add(14, "Kim", false, true);
    }
    std::int32_t idOf(const TfrmOpen& dialog, const QString& name)
    {
        return TfrmOpen::EntryOf(itemNamed(*dialog.lstPlayers, name))->Id;
    }

    TempDir dir;
    TMainForm main{QString::fromStdString(dir.path())};
};

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
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}
}  // namespace

TEST_F(PlayerManager, LayoutCaptionsAndMenu)
{
    TfrmOpen dialog(main, &main);
    EXPECT_EQ(dialog.windowTitle(), "Player Manager");
    EXPECT_EQ(dialog.size(), QSize(398, 229));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());

    const struct {
        QWidget* control;
        QRect rect;
    } places[] = {
        {dialog.lstPlayers, {4, 4, 389, 157}},
        {dialog.cmdOpen, {312, 168, 75, 25}},
        {dialog.cmdCancel, {312, 200, 75, 25}},
    };
    for (const auto& place : places) EXPECT_EQ(place.control->geometry(), place.rect) << place.control->objectName().toStdString();
    EXPECT_EQ(dialog.lstTypes->geometry().topLeft(), QPoint(72, 168));
    EXPECT_EQ(dialog.lstTypes->width(), 225);

    EXPECT_EQ(dialog.cmdOpen->text(), "&Open");
    EXPECT_TRUE(dialog.cmdOpen->isDefault());
    EXPECT_EQ(dialog.cmdCancel->text(), "&Close");
    EXPECT_EQ(dialog.lstPlayers->toolTip(), "Right-click for Options");
    EXPECT_EQ(dialog.lstPlayers->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(dialog.lstTypes->isEditable());
    QStringList filters;
    for (int i = 0; i < dialog.lstTypes->count(); ++i) filters << dialog.lstTypes->itemText(i);
    EXPECT_EQ(filters, QStringList({"All Players", "Complete Players", "Incomplete Players", "Paid Players",
                                    "Unpaid Players"}));
    EXPECT_EQ(dialog.lstTypes->currentText(), "All Players");
    EXPECT_EQ(dialog.lblShow->text(), "Show me:");
    EXPECT_EQ(dialog.lblShow->pos(), QPoint(16, 170));

    QStringList menu;
    for (const QAction* action : dialog.PopupMenu->actions()) menu << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(menu, QStringList({"&Open", "&Delete", "-", "P&rint Picks", "-", "&Properties..."}));

    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.lstPlayers);
}

TEST_F(PlayerManager, RightClickOpensTheMenu)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    const QPoint at = dialog.lstPlayers->visualItemRect(dialog.lstPlayers->item(0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, dialog.lstPlayers->viewport()->mapToGlobal(at));
    QApplication::sendEvent(dialog.lstPlayers->viewport(), &event);
    EXPECT_TRUE(dialog.PopupMenu->isVisible());
    dialog.PopupMenu->close();
}

TEST_F(PlayerManager, FiltersNeverListTheResults)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    const struct {
        QString filter;
        QStringList names;
    } rows[] = {
        {"All Players", {"Al", "Kim", "mia", "Zed"}},
        {"Complete Players", {"Al", "Zed"}},
        {"Incomplete Players", {"Kim", "mia"}},
        {"Paid Players", {"Kim", "Zed"}},
        {"Unpaid Players", {"Al", "mia"}},
    };
    dialog.lstTypes->setFocus();
    for (const auto& row : rows) {
        if (&row != &rows[0]) QTest::keyClick(dialog.lstTypes, Qt::Key_Down);
        ASSERT_EQ(dialog.lstTypes->currentText(), row.filter);
        EXPECT_EQ(listedNames(*dialog.lstPlayers), row.names) << row.filter.toStdString();
    }
}

TEST_F(PlayerManager, SortsWithoutRegardToCaseKeepingEqualNamesInListOrder)
{
    add(1, "carl");
    add(2, "Bob");
    add(3, "alice");
    add(4, "bob");
    add(5, "Alice");
    TfrmOpen dialog(main, &main);
    EXPECT_EQ(listedNames(*dialog.lstPlayers), QStringList({"alice", "Alice", "Bob", "bob", "carl"}));
    EXPECT_EQ(TfrmOpen::EntryOf(dialog.lstPlayers->item(0))->Id, 3);
    EXPECT_EQ(TfrmOpen::EntryOf(dialog.lstPlayers->item(1))->Id, 5);
}

TEST_F(PlayerManager, ItemsFlowDownThreeColumns)
{
    for (int i = 0; i < 20; ++i) add(100 + i, QStringLiteral("P%1").arg(i, 2, 10, QChar('0')).toStdString());
    TfrmOpen dialog(main, &main);
    dialog.show();
    QListWidget& list = *dialog.lstPlayers;
    const int rows = list.viewport()->height() / 18;
    ASSERT_GE(rows, 7);
    ASSERT_LE(rows * 3, 24);  // 20 names fill a third column
    const QRect first = list.visualItemRect(list.item(0));
    EXPECT_EQ(first.height(), 18);
    EXPECT_EQ(list.visualItemRect(list.item(1)).topLeft(), first.topLeft() + QPoint(0, 18));
    const QRect secondColumn = list.visualItemRect(list.item(rows));
    const QRect thirdColumn = list.visualItemRect(list.item(2 * rows));
    EXPECT_EQ(secondColumn.top(), first.top());
    EXPECT_EQ(secondColumn.left(), first.left() + first.width());
    EXPECT_EQ(thirdColumn.left(), first.left() + 2 * first.width());
    EXPECT_LE(list.visualItemRect(list.item(19)).right(), list.viewport()->width());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());

    // More than three columns hold: the list scrolls sideways.
    for (int i = 20; i < 40; ++i) add(100 + i, QStringLiteral("P%1").arg(i).toStdString());
    dialog.FillPlayerList(AllPlayers);
    EXPECT_TRUE(list.horizontalScrollBar()->isVisible());
    EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
}

TEST_F(PlayerManager, PlayerManagerCommandOpensOneSheetPerChosenParticipant)
{
    addPool();
    whenModal<TfrmOpen>([](TfrmOpen& dialog) {
        selectNames(*dialog.lstPlayers, {"Zed", "Kim", "Al"});
        QTest::keyClick(dialog.lstPlayers, Qt::Key_Return);  // the default button
    });
    main.mnuOpenPicksClick();
    QList<int> tags;
    for (QMdiSubWindow* sub : main.ChildWindows()) tags << qobject_cast<TChildForm*>(sub->widget())->Tag();
    EXPECT_EQ(tags, QList<int>({13, 14, 11}));
}

TEST_F(PlayerManager, DoubleClickOpensTheParticipant)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    QListWidget& list = *dialog.lstPlayers;
    // The events of a real double click: press, release, double click, release.
    const QPoint at = list.visualItemRect(itemNamed(list, "Kim")).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.SelectedPlayers.size(), 1u);
    EXPECT_EQ(dialog.SelectedPlayers[0]->Id, 14);
}

TEST_F(PlayerManager, OpenOrDeleteWithNothingSelectedOnlyTells)
{
    const struct {
        const char* what;
        std::function<void(TfrmOpen&)> act;
    } commands[] = {
        {"Open button", [](TfrmOpen& d) { QTest::mouseClick(d.cmdOpen, Qt::LeftButton); }},
        {"Open item", [](TfrmOpen& d) { d.mnuOpen->trigger(); }},
        {"Delete item", [](TfrmOpen& d) { d.mnuDelete->trigger(); }},
    };
    for (bool withPool : {false, true}) {
        if (withPool) addPool();
        else addResults();
        for (const auto& command : commands) {
            TestPrompts().clear();
            TfrmOpen dialog(main, &main);
            dialog.show();
            EXPECT_EQ(dialog.lstPlayers->count(), withPool ? 4 : 0);
            command.act(dialog);
            ASSERT_EQ(TestPrompts().boxes.size(), 1u) << command.what;
            EXPECT_EQ(TestPrompts().boxes[0].text, NoPlayerSelectedMessage);
            EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Information);
            EXPECT_TRUE(dialog.isVisible()) << command.what;
            EXPECT_TRUE(dialog.SelectedPlayers.empty());
        }
    }
    EXPECT_EQ(main.Players().Count(), 6);  // nothing was deleted
}

TEST_F(PlayerManager, CloseAndEscapeOpenNothing)
{
    addPool();
    for (bool escape : {false, true}) {
        TfrmOpen dialog(main, &main);
        dialog.show();
        clickName(*dialog.lstPlayers, "Al");
        if (escape) QTest::keyClick(dialog.lstPlayers, Qt::Key_Escape);
        else QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.SelectedPlayers.empty());
    }
}

TEST_F(PlayerManager, DeleteAsksForEachSelectedAndDeletesOnlyOnOk)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    selectNames(*dialog.lstPlayers, {"mia", "Al"});
    TestPrompts().answers = {PromptAnswer::Cancel, PromptAnswer::Ok};
    dialog.mnuDelete->trigger();

    EXPECT_EQ(TestPrompts().texts(), QStringList({"Delete picks for Al?", "Delete picks for mia?"}));
    for (const auto& box : TestPrompts().boxes) EXPECT_EQ(box.buttons, PromptButtons::OkCancel);
    EXPECT_GE(main.Players().IndexOfId(13), 0);
    EXPECT_LT(main.Players().IndexOfId(12), 0);
    EXPECT_EQ(listedNames(*dialog.lstPlayers), QStringList({"Al", "Kim", "Zed"}));
    EXPECT_EQ(main.pnlCount->text(), "Players: 3");
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(PlayerManager, DeletedEntriesStayReadableUntilTheRefill)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    selectNames(*dialog.lstPlayers, {"Al", "Kim"});
    bool looked = false;
    TestPrompts().onBox = [&](const FakePrompts::Box& box) {
        if (box.text != "Delete picks for Kim?") return;
        // Al is gone from the participant list but the dialog still lists and draws it.
        looked = true;
        EXPECT_LT(main.Players().IndexOfId(13), 0);
        const QListWidgetItem* al = itemNamed(*dialog.lstPlayers, "Al");
        ASSERT_NE(al, nullptr);
        EXPECT_EQ(TfrmOpen::EntryOf(al)->Name.str(), "Al");
        EXPECT_FALSE(paintItem(dialog, dialog.lstPlayers->row(al), true).isNull());
    };
    dialog.mnuDelete->trigger();
    EXPECT_TRUE(looked);
    EXPECT_EQ(listedNames(*dialog.lstPlayers), QStringList({"mia", "Zed"}));
}

TEST_F(PlayerManager, DeleteRefusesAnOpenSheetAndGoesOn)
{
    addPool();
    main.OpenBracketSheet(13);
    ASSERT_GE(main.FindSheetWindow(13), 0);
    TfrmOpen dialog(main, &main);
    dialog.show();
    selectNames(*dialog.lstPlayers, {"Al", "mia"});
    dialog.mnuDelete->trigger();

    EXPECT_EQ(TestPrompts().texts(), QStringList({"Delete picks for Al?", SheetOpenText, "Delete picks for mia?"}));
    EXPECT_GE(main.Players().IndexOfId(13), 0);
    EXPECT_LT(main.Players().IndexOfId(12), 0);
    EXPECT_EQ(listedNames(*dialog.lstPlayers), QStringList({"Al", "Kim", "Zed"}));
}

TEST_F(PlayerManager, RefillKeepsTheCurrentPosition)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    QListWidget& list = *dialog.lstPlayers;

    clickName(list, "Kim");  // row 1
    dialog.mnuDelete->trigger();
    ASSERT_EQ(listedNames(list), QStringList({"Al", "mia", "Zed"}));
    ASSERT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.currentItem()->text(), "mia");
    EXPECT_TRUE(list.selectedItems().isEmpty());

    clickName(list, "Zed");  // the last row: after the delete no item is at its position
    dialog.mnuDelete->trigger();
    ASSERT_EQ(listedNames(list), QStringList({"Al", "mia"}));
    EXPECT_EQ(list.currentItem(), nullptr);

    clickName(list, "mia");
    dialog.lstTypes->setFocus();
    QTest::keyClick(dialog.lstTypes, Qt::Key_Down);  // "Complete Players": Al only
    ASSERT_EQ(listedNames(list), QStringList({"Al"}));
    EXPECT_EQ(list.currentItem(), nullptr);
}

TEST_F(PlayerManager, ItemsAreDrawnWithIconAndColourOfTheirState)
{
    // The colour follows Complete, the icon Paid, each on its own.
    add(1, "WWWW", true, false);
    add(2, "XXXX", false, true);
    TfrmOpen dialog(main, &main);
    const QPalette palette = dialog.lstPlayers->palette();
    const struct {
        int row;
        bool selected;
        QColor text;
        const QPixmap* icon;
    } rows[] = {
        {0, false, Qt::black, &dialog.imgNotPaid},
        {0, true, Qt::white, &dialog.imgNotPaid},
        {1, false, QColor(255, 0, 0), &dialog.imgPaid},
        {1, true, QColor(255, 255, 0), &dialog.imgPaid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << row.row << " selected " << row.selected);
        const QImage image = paintItem(dialog, row.row, row.selected);
        const QColor background = palette.color(QPalette::Active, row.selected ? QPalette::Highlight : QPalette::Base);
        EXPECT_EQ(image.copy(0, 0, 16, 16), iconOver(*row.icon, background));
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), background);
        EXPECT_EQ(pixelsOf(image, QRect(16, 0, 2, 18), background), 2 * 18);  // the gap before the name
        EXPECT_EQ(pixelsOf(image, image.rect(), Qt::magenta), 0);
        EXPECT_EQ(pixelsOf(image, QRect(0, 0, image.width(), 2), row.text), 0);  // the name starts 2 px down
        EXPECT_GT(pixelsOf(image, QRect(18, 2, image.width() - 18, 16), row.text), 20);
    }
}

TEST_F(PlayerManager, PropertiesChangingPaidRedrawsTheIcon)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    clickName(*dialog.lstPlayers, "Al");
    whenModal<TfrmProps>([](TfrmProps& props) {
        EXPECT_EQ(props.txtName->text(), "Al");
        QTest::mouseClick(props.chkPaid, Qt::LeftButton);
        QTest::mouseClick(props.cmdOk, Qt::LeftButton);
    });
    dialog.mnuProps->trigger();

    const TPlayer& al = main.Players()[main.Players().IndexOfId(13)];
    EXPECT_EQ(al.Paid, 1);
    EXPECT_EQ(al.Name.str(), "Al");
    const int row = dialog.lstPlayers->row(itemNamed(*dialog.lstPlayers, "Al"));
    const QColor base = dialog.lstPlayers->palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(paintItem(dialog, row, false).copy(0, 0, 16, 16), iconOver(dialog.imgPaid, base));
}

TEST_F(PlayerManager, PropertiesWithAnEmptyNameListsItFirst)
{
    addPool();
    TfrmOpen dialog(main, &main);
    dialog.show();
    clickName(*dialog.lstPlayers, "Kim");
    whenModal<TfrmProps>([](TfrmProps& props) {
        props.txtName->setFocus();
        props.txtName->selectAll();
        QTest::keyClick(props.txtName, Qt::Key_Backspace);
        QTest::keyClick(props.txtName, Qt::Key_Return);  // OK is the default button
    });
    dialog.mnuProps->trigger();
    EXPECT_EQ(main.Players()[main.Players().IndexOfId(14)].Name.str(), "");
    EXPECT_EQ(listedNames(*dialog.lstPlayers), QStringList({"", "Al", "mia", "Zed"}));
    EXPECT_TRUE(TestPrompts().boxes.empty());
}

TEST_F(PlayerManager, PropertiesAndPrintWithoutCurrentItemDoNothing)
{
    addResults();
    TfrmOpen dialog(main, &main);
    dialog.show();
    bool propsShown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* props = qobject_cast<TfrmProps*>(window); props && props->isVisible()) {
                propsShown = true;
                props->reject();
            }
    });
    dialog.mnuProps->trigger();
    QCoreApplication::processEvents();  // runs the check above when no dialog did
    dialog.mnuPrintPicks->trigger();
    EXPECT_FALSE(propsShown);
    EXPECT_TRUE(TestPrompts().boxes.empty());
    EXPECT_EQ(TestPrompts().printDialogs, 0);
    EXPECT_TRUE(dialog.isVisible());
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
    EXPECT_NE(paid.pixelColor(8, 8), notPaid.pixelColor(8, 8));   // the sign or the cross
}
