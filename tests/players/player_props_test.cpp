#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "players/player_props.h"
#include "players_fixture.h"
#include "support/recording_host.h"

namespace {
class PlayerProps : public ::testing::Test {
protected:
    PlayerProps() { players.SetWriteOnDestroy(false); }

    TPlayer& add(const TPlayer& entry) { return *players.Add(entry); }

    RecordingHost host;
    TPlayers players{host, "."};
};

TPlayer scoredEntry()
{
    TPlayer entry = makeEntry(42, "Pat", true, false);
    for (int r = 1; r <= RoundCount; ++r) entry.RoundPoints[r] = 10 * r;
    entry.Total = 210;
    entry.Potential = 330;
    entry.Tiebreaker = "141";
    return entry;
}
}  // namespace

TEST_F(PlayerProps, LayoutIsFixedWithOnlyACloseBox)
{
    add(scoredEntry());
    TfrmProps props(nullptr, players, 42);
    EXPECT_EQ(props.windowTitle(), "Player Properties...");
    EXPECT_EQ(props.size(), QSize(256, 300));
    EXPECT_EQ(props.minimumSize(), props.maximumSize());
    EXPECT_EQ(props.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
    const Qt::WindowFlags flags = props.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));

    const struct {
        QWidget* control;
        QRect rect;
    } places[] = {
        {props.grpPlayer, {8, 8, 241, 65}},   {props.txtName, {72, 16, 153, 17}},
        {props.txtTiebreaker, {72, 40, 97, 17}}, {props.chkPaid, {176, 40, 49, 17}},
        {props.grpPool, {8, 80, 241, 185}},   {props.txtR1, {72, 16, 41, 17}},
        {props.txtR6, {72, 136, 41, 17}},     {props.txtTotal, {72, 160, 41, 17}},
        {props.txtPot, {192, 160, 41, 17}},   {props.chkComplete, {128, 16, 97, 17}},
        {props.chkModified, {128, 40, 97, 17}}, {props.cmdOk, {168, 272, 75, 25}},
    };
    for (const auto& place : places) EXPECT_EQ(place.control->geometry(), place.rect);
    EXPECT_EQ(props.txtName->parentWidget(), props.grpPlayer);
    EXPECT_EQ(props.txtR1->parentWidget(), props.grpPool);
    EXPECT_EQ(props.grpPlayer->title(), "Player Information");
    EXPECT_EQ(props.grpPool->title(), "Pool Information:");
    EXPECT_EQ(props.chkPaid->text(), "Paid?");
    EXPECT_EQ(props.chkComplete->text(), "Pool Complete?");
    EXPECT_EQ(props.chkModified->text(), "Pts. Up to Date?");
    EXPECT_EQ(props.chkPaid->layoutDirection(), Qt::RightToLeft);  // caption left of the box
    EXPECT_EQ(props.cmdOk->text(), "OK");
    EXPECT_TRUE(props.cmdOk->isDefault());
    EXPECT_EQ(props.txtName->maxLength(), 25);
}

TEST_F(PlayerProps, ShowsTheEntryGreyingThePoints)
{
    for (std::uint8_t modified : {0, 1}) {
        TPlayer entry = scoredEntry();
        entry.Id = 50 + modified;
        entry.Modified = modified;
        add(entry);
        TfrmProps props(nullptr, players, entry.Id);
        EXPECT_EQ(props.txtName->text(), "Pat");
        EXPECT_EQ(props.txtTiebreaker->text(), "141");
        const QLineEdit* rounds[] = {props.txtR1, props.txtR2, props.txtR3, props.txtR4, props.txtR5, props.txtR6};
        for (int r = 0; r < RoundCount; ++r) EXPECT_EQ(rounds[r]->text(), QString::number(10 * (r + 1)));
        EXPECT_EQ(props.txtTotal->text(), "210");
        EXPECT_EQ(props.txtPot->text(), "330");
        EXPECT_FALSE(props.chkPaid->isChecked());
        EXPECT_TRUE(props.chkComplete->isChecked());
        EXPECT_EQ(props.chkModified->isChecked(), modified == 0) << "up to date once scored";
        EXPECT_FALSE(props.grpPool->isEnabled());
        EXPECT_FALSE(props.txtR1->isEnabled());
        EXPECT_TRUE(props.grpPlayer->isEnabled());
        EXPECT_EQ(props.Changed, 0);
    }
}

// Each edit sets Changed; the close box stores nothing but leaves Changed set.
TEST_F(PlayerProps, EditsSetChangedAndTheCloseBoxStoresNothing)
{
    const struct {
        const char* what;
        std::function<void(TfrmProps&)> act;
    } edits[] = {
        {"name", [](TfrmProps& p) { QTest::keyClicks(p.txtName, "sy"); }},
        {"tiebreaker", [](TfrmProps& p) { QTest::keyClick(p.txtTiebreaker, Qt::Key_Backspace); }},
        {"paid", [](TfrmProps& p) { QTest::mouseClick(p.chkPaid, Qt::LeftButton); }},
    };
    const TPlayer& entry = add(scoredEntry());
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.what);
        TfrmProps props(nullptr, players, 42);
        props.show();
        EXPECT_EQ(props.Changed, 0);
        edit.act(props);
        EXPECT_EQ(props.Changed, 1);
        props.close();
        EXPECT_EQ(props.result(), QDialog::Rejected);
        EXPECT_EQ(props.Changed, 1);
        EXPECT_EQ(entry.Name.str(), "Pat");
        EXPECT_EQ(entry.Tiebreaker.str(), "141");
        EXPECT_EQ(entry.Paid, 0);
    }
}

TEST_F(PlayerProps, OkStoresOnlyTheThreeFields)
{
    TPlayer& entry = add(scoredEntry());
    entry.Modified = 1;
    TfrmProps props(nullptr, players, 42);
    props.show();
    props.txtName->setFocus();
    props.txtName->selectAll();
    QTest::keyClicks(props.txtName, "Patricia With A Very Long Name");
    EXPECT_EQ(props.txtName->text(), "Patricia With A Very Long");  // 25 characters
    QTest::mouseClick(props.chkPaid, Qt::LeftButton);
    QTest::mouseClick(props.cmdOk, Qt::LeftButton);

    EXPECT_EQ(props.result(), QDialog::Accepted);
    EXPECT_EQ(entry.Name.str(), "Patricia With A Very Long");
    EXPECT_EQ(entry.Paid, 1);
    EXPECT_EQ(entry.Tiebreaker.str(), "141");
    EXPECT_EQ(entry.Modified, 1);
    EXPECT_EQ(entry.Total, 210);
    EXPECT_EQ(entry.Complete, 1);
}

TEST_F(PlayerProps, LongTiebreakerShownWholeAndTypingLimitedToThree)
{
    TPlayer& entry = add(scoredEntry());
    entry.Tiebreaker = "12345678";
    {
        TfrmProps props(nullptr, players, 42);
        props.show();
        EXPECT_EQ(props.txtTiebreaker->text(), "12345678");
        props.txtTiebreaker->setFocus();
        QTest::keyClick(props.txtTiebreaker, Qt::Key_End);
        QTest::keyClicks(props.txtTiebreaker, "9");
        EXPECT_EQ(props.txtTiebreaker->text(), "12345678") << "no more can be typed";
        QTest::mouseClick(props.cmdOk, Qt::LeftButton);
        EXPECT_EQ(entry.Tiebreaker.str(), "12345678");
    }
    {
        TfrmProps props(nullptr, players, 42);
        props.show();
        props.txtTiebreaker->setFocus();
        QTest::keyClick(props.txtTiebreaker, Qt::Key_End);
        for (int i = 0; i < 6; ++i) QTest::keyClick(props.txtTiebreaker, Qt::Key_Backspace);
        EXPECT_EQ(props.txtTiebreaker->text(), "12");
        QTest::keyClicks(props.txtTiebreaker, "3456");
        EXPECT_EQ(props.txtTiebreaker->text(), "123");
        QTest::mouseClick(props.cmdOk, Qt::LeftButton);
        EXPECT_EQ(entry.Tiebreaker.str(), "123");
    }
}

TEST_F(PlayerProps, UneditedTextsKeepTheirStoredBytes)
{
    // 0x81 and 0x8D have no character in the code page; a round trip through the box would
    // turn them into '?'.
    TPlayer& entry = add(makeEntry(42, "Jos\x81", true, false));
    entry.Tiebreaker = "\x8D" "99";
    TfrmProps props(nullptr, players, 42);
    props.show();
    QTest::mouseClick(props.chkPaid, Qt::LeftButton);
    QTest::mouseClick(props.cmdOk, Qt::LeftButton);
    EXPECT_EQ(entry.Name.str(), "Jos\x81");
    EXPECT_EQ(entry.Tiebreaker.str(), "\x8D" "99");
    EXPECT_EQ(entry.Paid, 1);
}

TEST_F(PlayerProps, UnknownIdShowsNothingAndStoresNothing)
{
    TPlayer& entry = add(scoredEntry());
    TfrmProps props(nullptr, players, 7);
    props.show();
    EXPECT_EQ(props.txtName->text(), "");
    QTest::keyClicks(props.txtName, "Other");
    QTest::mouseClick(props.cmdOk, Qt::LeftButton);
    EXPECT_EQ(entry.Name.str(), "Pat");
}
