// Building a bracket sheet: the paper layout, and how each of the three modes is filled.
#include <QFrame>
#include <QRegularExpression>

#include "sheet_fixture.h"

using SheetBuild = SheetTest;

namespace {
QLabel* TeamLabel(TmdiBrackets* sheet, TeamCode code)
{
    for (QLabel* label : sheet->findChildren<QLabel*>())
        if (label->property("tag").toInt() == code) return label;
    return nullptr;
}
}  // namespace

TEST_F(SheetBuild, PaperLayout)
{
    TmdiBrackets* sheet = Open(0);
    // Down each side the labels run in the fixed seed order, one region below the other.
    const int order[16] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int r = 1; r <= 4; ++r) {
        int lastTop = r == 2 ? TeamLabel(sheet, 115)->y() : r == 4 ? TeamLabel(sheet, 315)->y() : -1;
        for (int seed : order) {
            QLabel* label = TeamLabel(sheet, r * 100 + seed);
            ASSERT_NE(label, nullptr) << r * 100 + seed;
            EXPECT_GT(label->y(), lastTop) << r * 100 + seed;
            EXPECT_EQ(label->geometry().topLeft().x(), r <= 2 ? 8 : 706);
            EXPECT_EQ(label->size(), QSize(73, 14));
            EXPECT_EQ(label->font().pointSize(), 8);
            lastTop = label->y();
        }
    }
    EXPECT_EQ(TeamLabel(sheet, 415)->y(), 633);
    // Each first-round cell stands between its two teams on their inner side; later games move
    // inward round by round.
    for (int n = 1; n <= 63; ++n) {
        const QRect cell = sheet->Cell(n)->geometry();
        EXPECT_EQ(cell.size(), QSize(81, 17)) << n;
        if (n <= 32) {
            const QRect a = TeamLabel(sheet, FirstRoundPair(n).a)->geometry();
            const QRect b = TeamLabel(sheet, FirstRoundPair(n).b)->geometry();
            EXPECT_LT(a.top(), cell.center().y()) << n;
            EXPECT_LT(cell.center().y(), b.bottom()) << n;
            EXPECT_TRUE(n <= 16 ? cell.left() >= a.right() : cell.right() <= a.left()) << n;
        }
        if (n < 63) {
            const QRect to = sheet->Cell(NextGame(n).game)->geometry();
            EXPECT_LT(std::abs(to.center().x() - 400), std::abs(cell.center().x() - 400)) << n;
        }
    }
    EXPECT_EQ(sheet->Cell(63)->geometry(), QRect(352, 395, 81, 17));
    EXPECT_EQ(sheet->Cell(44)->geometry().topLeft(), QPoint(544, 272));

    auto* champion = sheet->findChild<QLabel*>(QStringLiteral("lblChampion"));
    EXPECT_EQ(champion->geometry(), QRect(352, 379, 81, 14));
    EXPECT_TRUE(champion->font().bold());
    EXPECT_EQ(sheet->lblRegion3->geometry(), QRect(520, 147, 97, 19));
    EXPECT_EQ(sheet->lblRegion1->font().pointSize(), 12);
    EXPECT_TRUE(sheet->lblRegion1->font().bold() && sheet->lblRegion1->font().italic());
    EXPECT_EQ(sheet->txtName->parentWidget()->geometry(), QRect(272, 8, 249, 57));
    EXPECT_EQ(sheet->txtTiebreaker->geometry(), QRect(88, 32, 97, 17));
    EXPECT_EQ(sheet->chkPaid->geometry(), QRect(192, 32, 49, 17));
    EXPECT_EQ(sheet->chkPaid->layoutDirection(), Qt::RightToLeft);  // caption left of the box
    EXPECT_EQ(sheet->txtName->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_TRUE(sheet->txtName->font().bold());
    auto* tabNote = sheet->findChild<QLabel*>(QStringLiteral("lblTab"));
    EXPECT_EQ(tabNote->geometry(), QRect(320, 523, 153, 44));
    for (QLabel* note : {sheet->lblDir, tabNote}) {
        EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(Qt::red));
        EXPECT_TRUE(note->wordWrap());
    }

    // Fourteen raised etched lines: a light and a dark line side by side.
    QList<QRect> lines;
    for (QFrame* frame : sheet->findChildren<QFrame*>())
        if (frame->frameShape() == QFrame::VLine || frame->frameShape() == QFrame::HLine) {
            EXPECT_EQ(frame->frameShadow(), QFrame::Raised);
            lines << frame->geometry();
        }
    EXPECT_EQ(lines.size(), 14);
    EXPECT_TRUE(lines.contains(QRect(440, 323, 2, 153)));
    EXPECT_TRUE(lines.contains(QRect(381, 307, 25, 2)));
}

TEST_F(SheetBuild, ControlsTextsAndGameRecords)
{
    TeamEntry(1, 1).name = "<b>A&M</b>";  // names are data, never markup
    TeamEntry(2, 5).name = "";            // a team without a name shows only its seed
    SaveRegions(dir.path(), {"<i>East</i>", "", "South", "Midwest"});
    TmdiBrackets* sheet = Open(0);
    EXPECT_EQ(TeamLabel(sheet, 112)->text(), QStringLiteral("12) T112"));
    EXPECT_EQ(TeamLabel(sheet, 205)->text(), QStringLiteral("5) "));
    EXPECT_EQ(TeamLabel(sheet, 101)->text(), QStringLiteral("1) <b>A&M</b>"));
    EXPECT_EQ(TeamLabel(sheet, 101)->textFormat(), Qt::PlainText);
    EXPECT_EQ(sheet->lblRegion1->text(), QStringLiteral("<i>East</i>"));
    EXPECT_EQ(sheet->lblRegion1->textFormat(), Qt::PlainText);
    EXPECT_EQ(sheet->lblRegion2->text(), QString());
    EXPECT_EQ(sheet->lblRegion4->text(), QStringLiteral("Midwest"));
    EXPECT_EQ(sheet->txtTiebreaker->text(), QStringLiteral("0"));
    EXPECT_EQ(sheet->chkPaid->text(), QStringLiteral("Paid?"));
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("lblChampion"))->text(), QStringLiteral("Champion:"));
    EXPECT_EQ(sheet->lblDir->text(),
              QStringLiteral("[Up] arrow for upper team, [Down] arrow for lower team, [Delete] to clear current game."));
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("lblTab"))->text(),
              QStringLiteral("[Tab] for next game, [Shift]+[Tab] for previous game"));

    EXPECT_EQ(sheet->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^g\\d+$"))).size(), 63);
    for (int n = 1; n <= 63; ++n) {
        QLineEdit* cell = sheet->Cell(n);
        ASSERT_NE(cell, nullptr) << n;
        EXPECT_EQ(cell->objectName(), QStringLiteral("g%1").arg(n));
        EXPECT_EQ(cell->property("tag").toInt(), n);
        EXPECT_TRUE(cell->isReadOnly());
        EXPECT_TRUE(cell->text().isEmpty());
        const TmdiBrackets::GameRecord& game = sheet->Game(n);
        EXPECT_EQ(game.pick, 0);
        EXPECT_EQ(game.nextGame, n == 63 ? 0 : 33 + (n - 1) / 2);
        EXPECT_EQ(game.slotA, n <= 32 ? FirstRoundPair(n).a : 0) << n;
        EXPECT_EQ(game.slotB, n <= 32 ? FirstRoundPair(n).b : 0) << n;
    }
    EXPECT_EQ(sheet->Cell(0), nullptr);
    EXPECT_EQ(sheet->Cell(64), nullptr);
}

// How each mode starts: caption, name box, where the focus is, and whether closing would ask.
TEST_F(SheetBuild, ModesAsOpened)
{
    struct Case {
        int id;
        bool storeFirst;
        QString caption, name;
        bool nameEnabled;
        QString focus;
        int modified;
    };
    const Case cases[] = {
        {0, false, "New Player Picks", "", true, "txtName", 0},
        {ResultsId, false, "Actual Results", "RESULTS", false, "g1", 1},  // writing RESULTS counts as a change
        {ResultsId, true, "Actual Results", "RESULTS", false, "g1", 0},
        {7, true, "Picks for Ann", "Ann", true, "txtName", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption.toStdString() + (c.storeFirst ? " stored" : ""));
        main->Players().Clear();
        main->Players().HasResults = 0;
        if (c.storeFirst) Store(c.id, c.id == ResultsId ? "RESULTS" : "Ann", Favourites());
        TmdiBrackets* sheet = Open(c.id);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), c.caption);
        EXPECT_EQ(sheet->PlayerId, c.id);
        EXPECT_EQ(sheet->Tag(), c.id);
        EXPECT_EQ(sheet->txtName->text(), c.name);
        EXPECT_EQ(sheet->txtName->isEnabled(), c.nameEnabled);
        EXPECT_EQ(FocusName(), c.focus);
        EXPECT_EQ(sheet->SheetModified, c.modified);
        EXPECT_EQ(sheet->Cell(63)->text(), c.storeFirst ? Text(101) : QString());
        EXPECT_TRUE(sheet->parentWidget()->isMaximized());
        sheet->SheetModified = 0;
        main->mnuClose->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SheetBuild, StoredParticipantFillsEveryFeederSlot)
{
    Store(77, "Alice \xE9", Favourites());
    TmdiBrackets* first = Open(0);
    FocusCell(first, 3);  // another sheet working in a game must not wipe the opening's status line
    TmdiBrackets* sheet = Open(77);
    EXPECT_EQ(Status(), QStringLiteral("Opening picks for Alice \u00E9..."));
    const PickArray picks = Favourites();
    for (int n = 33; n <= 63; ++n) {
        EXPECT_EQ(sheet->Game(n).slotA, picks[std::size_t(2 * n - 65)]) << n;
        EXPECT_EQ(sheet->Game(n).slotB, picks[std::size_t(2 * n - 64)]) << n;
    }
    // Back in the first sheet one control is highlighted, the one with the focus.
    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    QCoreApplication::processEvents();
    ASSERT_TRUE(first->isAncestorOf(QApplication::focusWidget()));
    int highlighted = 0;
    for (int n = 1; n <= 63; ++n) highlighted += Background(first->Cell(n)) == Yellow ? 1 : 0;
    EXPECT_EQ(highlighted, 1);
    EXPECT_EQ(Background(QApplication::focusWidget()), Yellow);

    // Opening the same participant again brings the first sheet forward; New Player always opens
    // another.
    EXPECT_EQ(Open(77), sheet);
    EXPECT_NE(Open(0), first);
    EXPECT_EQ(main->ChildWindows().size(), 3);
}

TEST_F(SheetBuild, MissingAndDamagedPicksShowEmptyGames)
{
    PickArray picks = Favourites();
    picks[2] = 0;     // no pick
    picks[5] = 9999;  // no such team
    picks[6] = -3;
    Store(5, "Bob", picks);
    TmdiBrackets* sheet = Open(5);
    for (int n : {2, 5, 6}) {
        EXPECT_TRUE(sheet->Cell(n)->text().isEmpty()) << n;
        EXPECT_EQ(sheet->Game(n).pick, 0) << n;
    }
    EXPECT_EQ(sheet->Game(33).slotB, 0);
    EXPECT_EQ(sheet->Game(35).slotA, 0);
    EXPECT_EQ(sheet->Game(35).slotB, 0);
    EXPECT_EQ(sheet->Cell(33)->text(), Text(101));  // later picks stay as stored
}

TEST_F(SheetBuild, UnknownParticipantIsReportedNotOpened)
{
    EXPECT_THROW(TmdiBrackets(*main, 12345), std::exception);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone after a failed build
}
