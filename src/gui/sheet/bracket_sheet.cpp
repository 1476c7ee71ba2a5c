#include "gui/sheet/bracket_sheet.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/pool/scoring.h"
#include "core/session/pool_session.h"
#include "gui/printing/print_commands.h"
#include "gui/sheet/sheet_layout.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/app_fonts.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/drawing_suspended.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/key_releases.h"
#include "gui/widgets/line_text.h"
#include "gui/widgets/prompts.h"

namespace {
const QString NewPlayerCaption = QStringLiteral("New Player Picks");
const QString ResultsCaption = QStringLiteral("Actual Results");
const QString WhatIfCaption = QStringLiteral("What If");
const QString WhatIfName = QStringLiteral("WHAT IF");
// On the What If sheet the winners chosen there stand out from the real results.
const QColor ChosenWinner(0, 0, 255);
const QString CloseQuestion = QStringLiteral("Changes have been made. Save before closing?");
const QString NoNameError = QStringLiteral("Can not save picks. Players name not filled in.");
const QString NoWinnerQuestion = QStringLiteral("One or more games do not have a winner. Save anyway?");
const QString NotSavedForPrint = QStringLiteral("Selections must be saved before they can be printing.");
const char* const TagProperty = "tag";
const QColor Highlight(255, 255, 0);
// The boxes take as much as the stored fields hold.
constexpr int NameLength = int(sizeof(decltype(Player::name)::chars));
constexpr int TiebreakerLength = int(sizeof(decltype(Player::tiebreaker)::chars));
// The save's progress counts 65 steps for the 63 games, so the bar stops short of 100.
constexpr double SaveProgressSteps = 65.0;

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
}

void applyLook(QWidget* widget, sheet_layout::Look look)
{
    using sheet_layout::Look;
    switch (look) {
    case Look::TeamLabel:
    case Look::GameCell:
        widget->setFont(layoutFont(QStringLiteral("MS Sans Serif"), 8));
        setTextColor(widget, Qt::black);
        break;
    case Look::BoldLabel: widget->setFont(layoutFont(QStringLiteral("Tahoma"), 8, true)); break;
    case Look::Region: widget->setFont(layoutFont(QStringLiteral("Arial"), 12, true, true)); break;
    case Look::Entry:
        widget->setFont(layoutFont(QStringLiteral("Tahoma"), 8, true));
        setTextColor(widget, Qt::red);
        break;
    case Look::Note:
        widget->setFont(layoutFont(QStringLiteral("Tahoma"), 8));
        setTextColor(widget, Qt::red);
        break;
    case Look::Panel:
        if (auto* frame = qobject_cast<QFrame*>(widget)) frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    }
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);  // team and region names are data, never markup
    label->setAlignment(alignment);
    return label;
}

QLineEdit* makeEntry(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

bool isPickKey(int key) { return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Delete; }

// Region position 1..4 of a game inside one region; 0 for the semi-finals and the championship.
int regionOfGame(int game)
{
    if (game <= FirstRoundGames) return regionOfCode(firstRoundPair(game).a);
    const FeederGames feeders = feederGames(game);
    if (feeders.a == 0) return 0;
    const int region = regionOfGame(feeders.a);
    return region == regionOfGame(feeders.b) ? region : 0;
}

}  // namespace

BracketSheet::BracketSheet(PoolSession& session, Frame& frame, int id, QWidget* parent)
    : BracketSheet(session, frame, id, false, parent)
{
}

BracketSheet::BracketSheet(PoolSession& session, Frame& frame, WhatIfMode, QWidget* parent)
    : BracketSheet(session, frame, Frame::WhatIfId, true, parent)
{
}

BracketSheet::BracketSheet(PoolSession& session, Frame& frame, int id, bool whatIf, QWidget* parent)
    : ChildWindow(parent), m_session(session), m_main(frame), m_whatIf(whatIf)
{
    BusyCursor busy;
    resize(sheet_layout::DefaultWidth, sheet_layout::DefaultHeight);
    createControls();
    nameTeamLabels();  // before the layout, which fits the labels to the names
    applyLayout();
    m_playerId = id;
    if (isWhatIf())
        setWindowTag(id);  // no stored entry has it, whatever the id
    else
        setTag(id);
    initBracket();

    // Connected after the build, so the tiebreaker's starting "0" is not a change; from here on
    // every change counts, also those the sheet makes itself.
    connect(m_nameBox, &QLineEdit::textChanged, this, guarded([this](const QString&) { onNameEdited(); }));
    connect(m_tiebreakerBox, &QLineEdit::textChanged, this, guarded([this](const QString&) { onNameEdited(); }));
    connect(m_paidCheck, &QCheckBox::clicked, this, guarded([this](bool) { onNameEdited(); }));

    PlayerList& players = m_session.players();
    if (isWhatIf()) {
        setWindowTitle(WhatIfCaption);
        m_nameBox->setText(WhatIfName);
        const int index = players.indexOfId(ResultsId);
        m_tiebreakerBox->setText(index >= 0 ? toQString(players[index].tiebreaker.text()) : QString());
        for (QWidget* control : {static_cast<QWidget*>(m_nameBox), static_cast<QWidget*>(m_tiebreakerBox),
                                 static_cast<QWidget*>(m_paidCheck)})
            control->setEnabled(false);
        takeResults(index >= 0 ? players[index].picks : PickArray{});
        m_sheetModified = 0;  // nothing here is ever saved
        // It follows the real results, and shows the teams' new names after the options change.
        m_poolChanges = m_session.subscribe(guarded([this](const PoolEvent& event) {
            if (event.change != PoolChange::ResultsChanged && event.change != PoolChange::OptionsChanged) return;
            const PlayerList& list = m_session.players();
            const int results = list.indexOfId(ResultsId);
            takeResults(results >= 0 ? list[results].picks : PickArray{});
        }));
    } else if (id == ResultsId) {
        setWindowTitle(ResultsCaption);
        m_nameBox->setText(fromAnsi(ResultsName));
        m_nameBox->setEnabled(false);
        const int index = players.indexOfId(ResultsId);
        if (index >= 0) showEntry(players[index]);
    } else if (id == 0) {
        setWindowTitle(NewPlayerCaption);
    } else {
        const int index = players.indexOfId(id);
        if (index < 0) throw HoopError("List index out of bounds (-1)");
        const Player& entry = players[index];
        m_main.setStatusText(QStringLiteral("Opening picks for ") + toQString(entry.name.text()) +
                             QStringLiteral("..."));
        setWindowTitle(QStringLiteral("Picks for ") + toQString(entry.name.text()));
        m_nameBox->setText(toQString(entry.name.text()));
        showEntry(entry);
    }
}

void BracketSheet::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The paper bracket keeps its size; a smaller frame scrolls it.
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->setFocusPolicy(Qt::NoFocus);  // the focus belongs to the sheet's own controls
    layout->addWidget(m_scroll);
    m_canvas = new QWidget;
    m_canvas->setObjectName(QStringLiteral("sheet"));

    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const TeamCode code = makeTeamCode(std::uint8_t(r), std::uint8_t(s));
            QLabel* label = makeLabel(m_canvas, "", QString(), Qt::AlignLeft | Qt::AlignVCenter);
            label->setObjectName(QStringLiteral("lblTeam%1").arg(code));
            label->setProperty(TagProperty, code);
            m_teamLabels[std::size_t(r - 1)][std::size_t(s - 1)] = label;
        }
    m_region1Label = makeLabel(m_canvas, "lblRegion1", QString(), Qt::AlignCenter);
    m_region2Label = makeLabel(m_canvas, "lblRegion2", QString(), Qt::AlignCenter);
    m_region3Label = makeLabel(m_canvas, "lblRegion3", QString(), Qt::AlignCenter);
    m_region4Label = makeLabel(m_canvas, "lblRegion4", QString(), Qt::AlignCenter);
    makeLabel(m_canvas, "lblChampion", QStringLiteral("Champion:"), Qt::AlignCenter);

    auto* pnlName = new QFrame(m_canvas);
    pnlName->setObjectName(QStringLiteral("pnlName"));
    QLabel* nameLabel = makeLabel(pnlName, "lblName", QStringLiteral("Name:"), Qt::AlignRight | Qt::AlignVCenter);
    m_nameBox = makeEntry(pnlName, "txtName", NameLength);
    QLabel* tiebreakerLabel =
        makeLabel(pnlName, "lblTiebreaker", QStringLiteral("Tiebreaker:"), Qt::AlignRight | Qt::AlignVCenter);
    m_tiebreakerBox = makeEntry(pnlName, "txtTiebreaker", TiebreakerLength);
    // Screen readers name the boxes by their labels.
    nameLabel->setBuddy(m_nameBox);
    tiebreakerLabel->setBuddy(m_tiebreakerBox);
    m_tiebreakerBox->setText(QStringLiteral("0"));
    // A tab or a line break pasted into either would split the exported rows.
    keepOneLine(m_nameBox);
    keepOneLine(m_tiebreakerBox);
    m_paidCheck = new QCheckBox(QStringLiteral("Paid?"), pnlName);
    m_paidCheck->setObjectName(QStringLiteral("chkPaid"));
    m_paidCheck->setLayoutDirection(Qt::RightToLeft);  // caption left of the box

    QLabel* lblDir = makeLabel(m_canvas, "lblDir",
                               QStringLiteral("[Up] arrow for upper team, [Down] arrow for lower team, [Delete] to "
                                              "clear current game."),
                               Qt::AlignCenter);
    lblDir->setWordWrap(true);
    QLabel* tabNote = makeLabel(
        m_canvas, "lblTab", QStringLiteral("[Tab] for next game, [Shift]+[Tab] for previous game"), Qt::AlignCenter);
    tabNote->setWordWrap(true);

    for (int n = 1; n <= GameCount; ++n) {
        auto* cell = new QLineEdit(m_canvas);
        cell->setObjectName(QStringLiteral("g%1").arg(n));
        cell->setReadOnly(true);
        cell->installEventFilter(this);
        m_cells[std::size_t(n)] = cell;
    }
    m_nameBox->installEventFilter(this);
    m_tiebreakerBox->installEventFilter(this);
    m_paidCheck->installEventFilter(this);
    m_releases = new KeyReleases(
        guarded([this](QWidget* cell, int key) { onGameKeyReleased(static_cast<QLineEdit*>(cell), key); }), this);

    // Focus order: the name panel, then the games in order; focusNextPrevChild wraps it round.
    m_focusOrder = {m_nameBox, m_tiebreakerBox, m_paidCheck};
    for (int n = 1; n <= GameCount; ++n) m_focusOrder.push_back(gameCell(n));
    for (std::size_t i = 1; i < m_focusOrder.size(); ++i) setTabOrder(m_focusOrder[i - 1], m_focusOrder[i]);
}

void BracketSheet::applyLayout()
{
    using namespace sheet_layout;
    // Team names are the organiser's: a label widens to show its whole name. A left-hand label may
    // take the room up to its game cell; a longer name moves the rest of the bracket right.
    const auto leftHand = [](std::size_t r) { return TeamLabelX[r] < CellPlaces[0].x; };
    std::array<std::array<int, SeedCount>, RegionCount> labelWidths{};
    int shift = 0;
    for (std::size_t r = 0; r < RegionCount; ++r)
        for (std::size_t s = 0; s < SeedCount; ++s) {
            QLabel* label = m_teamLabels[r][s];
            applyLook(label, Look::TeamLabel);
            const int width = std::max(TeamLabelWidth, label->fontMetrics().horizontalAdvance(label->text()));
            labelWidths[r][s] = width;
            if (leftHand(r)) shift = std::max(shift, TeamLabelX[r] + width - CellPlaces[0].x);
        }

    std::vector<std::pair<QWidget*, Look>> looks;
    auto place = [this, &looks, shift](QWidget* widget, const QRect& rect, Look look) {
        QWidget* parent = widget ? widget->parentWidget() : m_canvas;
        m_layout.add(parent, widget, parent == m_canvas ? rect.translated(shift, 0) : rect);
        looks.emplace_back(widget, look);
    };
    for (std::size_t r = 0; r < RegionCount; ++r)
        for (std::size_t i = 0; i < SeedCount; ++i) {
            const std::size_t seed = std::size_t(SeedOrder[i] - 1);
            m_layout.add(m_canvas, m_teamLabels[r][seed],
                         QRect(TeamLabelX[r] + (leftHand(r) ? 0 : shift), TeamLabelTops[r][i], labelWidths[r][seed],
                               TeamLabelHeight));
        }
    for (int n = 1; n <= GameCount; ++n) {
        const Point at = CellPlaces[std::size_t(n - 1)];
        place(gameCell(n), QRect(at.x, at.y, CellWidth, CellHeight), Look::GameCell);
    }
    for (const Place& p : Places) {
        // A name the sheet does not have is a fault of the table, never a control left at 0,0.
        QWidget* widget = m_canvas->findChild<QWidget*>(QLatin1String(p.name));
        if (!widget) throw LayoutError(std::string("Layout of the bracket sheet: no control named ") + p.name);
        place(widget, QRect(p.rect.x, p.rect.y, p.rect.w, p.rect.h), p.look);
    }
    int lineNumber = 0;
    for (const Line& line : Lines) {
        auto* frame = new QFrame(m_canvas);
        frame->setObjectName(QStringLiteral("line%1").arg(++lineNumber));
        frame->setFrameShape(line.vertical ? QFrame::VLine : QFrame::HLine);
        frame->setFrameShadow(QFrame::Raised);  // a light and a dark line side by side
        m_layout.add(m_canvas, frame,
                     (line.vertical ? QRect(line.x, line.y, 2, line.length) : QRect(line.x, line.y, line.length, 2))
                         .translated(shift, 0));
    }
    ::applyLayout(m_layout);
    QRect bounds;
    for (const LayoutTable::Entry& entry : m_layout.entries())
        if (entry.parent == m_canvas) bounds = bounds.united(entry.rect);  // the panel's own controls lie inside it
    for (const auto& [widget, look] : looks) applyLook(widget, look);
    m_canvas->resize(bounds.right() + 1 + bounds.left(), bounds.bottom() + 1 + bounds.top());
    m_scroll->setWidget(m_canvas);
}

QString BracketSheet::teamText(TeamCode code) const { return toQString(m_session.teams().teamName(code)); }

void BracketSheet::nameTeamLabels()
{
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s)
            m_teamLabels[std::size_t(r - 1)][std::size_t(s - 1)]->setText(
                QString::number(s) + QStringLiteral(") ") + toQString(m_session.teams().entry(r, s).name.text()));
}

void BracketSheet::initBracket()
{
    QLabel* regions[] = {m_region1Label, m_region2Label, m_region3Label, m_region4Label};
    const std::array<std::string, RegionCount> names = m_session.regionNames();
    for (int i = 0; i < RegionCount; ++i) regions[i]->setText(fromAnsi(names[std::size_t(i)]));
    for (int n = 1; n <= GameCount; ++n) gameCell(n)->setProperty(TagProperty, n);
    m_picks = SheetPicks();
    describeGames();
}

QString BracketSheet::gameDescription(int n) const
{
    QString where;
    if (const int region = regionOfGame(n); region > 0) {
        const QLabel* regions[] = {m_region1Label, m_region2Label, m_region3Label, m_region4Label};
        where = regions[region - 1]->text();
    } else {
        where = roundOfGame(n) == RoundCount ? QStringLiteral("Championship") : QStringLiteral("Semi-final");
    }
    const GamePair teams = m_picks.teams(n);
    const QString a = teamText(teams.a);
    const QString b = teamText(teams.b);
    const QString unknown = QStringLiteral("not yet known");
    QString text = QStringLiteral("Game %1, %2: ").arg(QString::number(n), where);
    if (a.isEmpty() && b.isEmpty())
        text += unknown;
    else
        text += (a.isEmpty() ? unknown : a) + QStringLiteral(" or ") + (b.isEmpty() ? unknown : b);
    // The What If sheet tells its chosen winners from the real results by colour; this says it.
    const QString pick = teamText(m_picks.pick(n));
    const bool results = isWhatIf() || m_playerId == ResultsId;
    if (!pick.isEmpty()) {
        if (isWhatIf() && !playedGame(n))
            text += QStringLiteral(", what-if winner ") + pick;
        else
            text += (results ? QStringLiteral(", won by ") : QStringLiteral(", picked ")) + pick;
    } else if (!a.isEmpty() || !b.isEmpty()) {
        text += results ? QStringLiteral(", no winner yet") : QStringLiteral(", no pick");
    }
    return text;
}

void BracketSheet::describeGames()
{
    // A pick changes the teams of later games too; only the names that changed are announced.
    for (int n = 1; n <= GameCount; ++n)
        if (const QString text = gameDescription(n); gameCell(n)->accessibleName() != text)
            gameCell(n)->setAccessibleName(text);
}

void BracketSheet::showEntry(const Player& entry)
{
    m_tiebreakerBox->setText(toQString(entry.tiebreaker.text()));
    m_paidCheck->setChecked(entry.paid != 0);
    showPicks(entry);
}

void BracketSheet::showPicks(const Player& entry)
{
    m_picks.load(entry.picks);
    for (int n = 1; n <= GameCount; ++n)
        if (const TeamCode pick = m_picks.pick(n); pick > 0) gameCell(n)->setText(teamText(pick));
    describeGames();
    m_sheetModified = 0;
}

int BracketSheet::gameOfCell(const QObject* cell) const { return cell->property(TagProperty).toInt(); }

void BracketSheet::focusFirst()
{
    if (isWhatIf()) {
        // The first game still open; with every game played there is nothing to choose.
        const auto open = std::find_if(m_focusOrder.begin(), m_focusOrder.end(),
                                       [this](const QWidget* control) { return takesFocus(control); });
        if (open != m_focusOrder.end()) focusControl(*open);
        return;
    }
    focusControl(m_playerId == ResultsId ? static_cast<QWidget*>(gameCell(1)) : m_nameBox);
}

// ---- What If ----------------------------------------------------------------------------------

void BracketSheet::takeResults(const PickArray& real)
{
    const SheetPicks before = m_picks;
    const PickArray wasReal = m_real;
    m_real = real;
    m_picks.load(real);
    for (int n = 1; n <= GameCount; ++n) {
        // A result taken back leaves its game open rather than turning it into a choice.
        if (playedGame(n) || wasReal[std::size_t(n)] != 0) continue;
        const TeamCode chosen = before.pick(n);
        const GamePair teams = m_picks.teams(n);
        if (chosen != 0 && (chosen == teams.a || chosen == teams.b)) m_picks.setWinner(n, chosen);
    }
    for (int n = 1; n <= GameCount; ++n) showGame(n);
    describeGames();
    // The game in use may just have been played.
    if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused) && !takesFocus(focused))
        if (QWidget* next = nextInFocusOrder(focused, true)) focusControl(next);
}

void BracketSheet::showGame(int n)
{
    QLineEdit* cell = gameCell(n);
    cell->setText(teamText(m_picks.pick(n)));
    setTextColor(cell, playedGame(n) ? QColor(Qt::black) : ChosenWinner);
    cell->setFocusPolicy(playedGame(n) ? Qt::NoFocus : Qt::StrongFocus);
}

void BracketSheet::dropStrayWinners(int from)
{
    for (int n = from; n <= GameCount; ++n)
        if (!playedGame(n) && m_picks.check(n) == SheetPicks::PickState::Stray) {
            m_picks.setWinner(n, 0);
            showGame(n);
        }
}

Frame::WhatIf BracketSheet::whatIf() const
{
    Frame::WhatIf what;
    what.results = m_real;
    for (int n = 1; n <= GameCount; ++n)
        if (!playedGame(n) && m_picks.pick(n) != 0) {
            what.results[std::size_t(n)] = m_picks.pick(n);
            ++what.decided;
        }
    return what;
}

// ---- Entry ----------------------------------------------------------------------------------

bool BracketSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) showWhole(static_cast<QWidget*>(watched));
    auto* control = qobject_cast<QLineEdit*>(watched);
    if (!control) return ChildWindow::eventFilter(watched, event);
    const bool isCell = control != m_nameBox && control != m_tiebreakerBox;
    switch (event->type()) {
    // Highlight and hint follow the organiser's moves inside the sheet. Going to another window or
    // a dialog leaves them, as the control stays the sheet's current one, and so do the moves the
    // frame makes while it hides the sheet to maximise or restore a window. The organiser coming
    // back to the current control from another window, by a click or a key, brings its hint back
    // over what that window left; a dialog or a menu closing leaves the panel to their outcome.
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool back =
            reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason;
        if (isVisible() && (control != m_current || back)) onGameFocused(control);
        break;
    }
    case QEvent::FocusOut:
        if (control == m_current && isVisible() && isAncestorOf(QApplication::focusWidget())) onGameLeft(control);
        break;
    case QEvent::KeyPress:
        // The cell acts on the release; the press must not scroll the sheet or reach the edit.
        if (isCell && isPickKey(static_cast<QKeyEvent*>(event)->key())) return true;
        break;
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isCell && isPickKey(key->key())) {
            m_releases->release(control, *key);  // a held key acts once, when let go
            return true;
        }
        break;
    }
    default: break;
    }
    return ChildWindow::eventFilter(watched, event);
}

void BracketSheet::onGameFocused(QWidget* control)
{
    if (m_current && m_current != control) onGameLeft(m_current);  // only one control is ever highlighted
    m_current = control;
    setBackground(control, Highlight);
    if (control == m_nameBox || control == m_tiebreakerBox) return;
    const GamePair teams = m_picks.teams(gameOfCell(control));
    m_main.setStatusText(QStringLiteral("Up arrow for ") + teamText(teams.a) + QStringLiteral(" or Down arrow for ") +
                         teamText(teams.b));
}

void BracketSheet::onGameLeft(QWidget* control)
{
    m_current = nullptr;
    setBackground(control, QApplication::palette(control).color(QPalette::Base));
    m_main.setStatusText(std::string());
}

void BracketSheet::onGameKeyReleased(QLineEdit* cell, int key)
{
    const int n = gameOfCell(cell);
    if (n < 1 || n > GameCount) return;
    if (isWhatIf() && playedGame(n)) {
        prompts().beep();  // a real result is not the sheet's to change
        return;
    }
    const GamePair teams = m_picks.teams(n);
    TeamCode pick = 0;
    switch (key) {
    case Qt::Key_Up: pick = teams.a; break;
    case Qt::Key_Down: pick = teams.b; break;
    case Qt::Key_Delete: pick = 0; break;
    default: return;
    }
    cell->setText(teamText(pick));
    m_picks.setWinner(n, pick);
    if (isWhatIf()) {
        // A what-if is always a possible tournament: a later winner that is no longer in its
        // game goes.
        dropStrayWinners(n + 1);
        m_session.whatIfChanged();
    }
    describeGames();
    if (QWidget* next = nextInFocusOrder(cell, true)) focusControl(next);
    // Let the move show before the next key; the sheet may be closed meanwhile.
    QPointer<BracketSheet> self(this);
    QCoreApplication::processEvents();
    if (!self) return;
    if (!isWhatIf()) m_sheetModified = 1;
}

void BracketSheet::onNameEdited() { m_sheetModified = 1; }

QWidget* BracketSheet::nextInFocusOrder(QWidget* from, bool forward) const
{
    const auto it = std::find(m_focusOrder.begin(), m_focusOrder.end(), from);
    if (it == m_focusOrder.end()) return nullptr;
    const auto count = static_cast<std::ptrdiff_t>(m_focusOrder.size());
    std::ptrdiff_t index = it - m_focusOrder.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        index = (index + (forward ? 1 : count - 1)) % count;
        QWidget* candidate = m_focusOrder[std::size_t(index)];
        if (takesFocus(candidate)) return candidate;
    }
    return nullptr;
}

bool BracketSheet::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab stay on the sheet and wrap round, skipping a disabled name box.
    if (QWidget* target = nextInFocusOrder(QApplication::focusWidget(), next)) {
        focusControl(target);
        return true;
    }
    return ChildWindow::focusNextPrevChild(next);
}

bool BracketSheet::takesFocus(const QWidget* control) const
{
    return control->isEnabled() && control->focusPolicy() != Qt::NoFocus;
}

void BracketSheet::focusControl(QWidget* control)
{
    control->setFocus(Qt::TabFocusReason);
    showWhole(control);
}

void BracketSheet::showWhole(QWidget* control)
{
    // The scroll area's own ensureWidgetVisible shows only a text box's cursor, which left a cell
    // at the right edge cut off; the whole control is scrolled in, with some room round it.
    constexpr int Room = 16;
    const QRect place(control->mapTo(m_canvas, QPoint(0, 0)), control->size());
    m_scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + Room,
                            place.height() / 2 + Room);
}

void BracketSheet::focusGame(int n)
{
    QLineEdit* target = gameCell(n);
    if (target->hasFocus())
        onGameFocused(target);  // already there: show the highlight and the hint again all the same
    else
        focusControl(target);
}

// ---- Checking and saving --------------------------------------------------------------------

bool BracketSheet::validatePicks(std::uint8_t& complete)
{
    if (m_nameBox->text().isEmpty()) {
        showError(NoNameError);
        focusControl(m_nameBox);
        return false;
    }
    bool asked = false;
    for (int n = 1; n <= GameCount; ++n) {
        if (m_picks.check(n) == SheetPicks::PickState::Stray) {
            if (!gameCell(n)->text().isEmpty()) {
                showError(QStringLiteral("Invalid selection. ") + teamText(m_picks.pick(n)) +
                          QStringLiteral(" can not be the winner of the highlighted game. Can not save picks."));
                focusGame(n);
                return false;
            }
            m_picks.dropPick(n);  // a team without a name cannot be told apart: drop it quietly
            describeGames();
        }
        if (m_picks.pick(n) == 0 && !asked) {
            if (!confirmOkCancel(NoWinnerQuestion)) {
                focusGame(n);
                return false;
            }
            asked = true;
        }
    }
    complete = asked ? 0 : 1;
    return true;
}

bool BracketSheet::saveSheet()
{
    if (isWhatIf()) return false;  // a what-if is never stored
    BusyCursor busy;
    PlayerList& players = m_session.players();
    if (m_playerId == ResultsId)
        return players.hasResults() ? updatePlayerFromSheet(ResultsId) : addPlayerFromSheet(ResultsId);
    if (m_playerId == 0) {
        if (!addPlayerFromSheet(m_session.newPlayerId())) return false;
        clearSheet();
        return true;
    }
    return updatePlayerFromSheet(m_playerId);
}

bool BracketSheet::addPlayerFromSheet(std::int32_t id) { return storeSheet(id, true); }

bool BracketSheet::updatePlayerFromSheet(std::int32_t id) { return storeSheet(id, false); }

bool BracketSheet::storeSheet(std::int32_t id, bool append)
{
    std::uint8_t complete = 0;
    if (!validatePicks(complete)) return false;

    PlayerList& players = m_session.players();
    // The sheet is built as a record of its own and stored in one step, so a save the disk
    // refuses changes nothing.
    Player record;
    if (!append) {
        const int index = players.indexOfId(id);
        if (index >= 0)
            record = players[index];
        else
            append = true;  // the stored entry is gone: keep the sheet as a new entry rather than lose it
    }
    struct Finish {  // also when a step below fails
        Frame& main;
        PlayerList& players;
        bool refreshCount;
        ~Finish()
        {
            main.setStatusText(std::string());
            main.setProgress(0);
            if (refreshCount) players.updatePlayerCount();
        }
    } finish{m_main, players, append};

    record.id = id;
    record.name = toAnsi(m_nameBox->text());
    record.tiebreaker = toAnsi(m_tiebreakerBox->text());
    record.paid = m_paidCheck->isChecked() ? 1 : 0;
    record.complete = complete;
    m_main.setStatusText(QStringLiteral("Saving picks for ") + toQString(record.name.text()));
    ProgressReporter progress(m_main);
    for (int n = 1; n <= GameCount; ++n) {
        record.picks[std::size_t(n)] = m_picks.pick(n);
        progress.report(roundPercent(n / SaveProgressSteps));
    }
    // An open standings window hears of it and scores it at once.
    players.storeEntry(record, true);
    m_sheetModified = 0;
    return true;
}

void BracketSheet::clearSheet()
{
    {
        const DrawingSuspended suspended(this);
        m_playerId = 0;
        setTag(0);
        m_picks.clear();
        for (int n = 1; n <= GameCount; ++n) gameCell(n)->clear();
        describeGames();
        m_nameBox->clear();
        m_tiebreakerBox->clear();
        m_paidCheck->setChecked(false);
        m_sheetModified = 0;
    }
    focusControl(m_nameBox);
}

void BracketSheet::printSheet()
{
    if (isWhatIf()) {
        // Printed as the results are, under its own name.
        Player shown;
        shown.id = m_playerId;
        shown.name = toAnsi(WhatIfName);
        shown.picks = whatIf().results;
        printPool(m_session, m_main, &shown);
        return;
    }
    PlayerList& players = m_session.players();
    // A sheet never saved, or results never stored, has nothing to print yet.
    const int index = m_playerId == 0 ? -1 : players.indexOfId(m_playerId);
    if (index < 0) {
        showInformation(NotSavedForPrint);
        return;
    }
    printPool(m_session, m_main, &players[index]);
}

// ---- Commands and closing -------------------------------------------------------------------

bool BracketSheet::event(QEvent* event)
{
    if (event->type() == SaveCommand || event->type() == PrintCommand) m_releases->settle();  // the pick first
    if (event->type() == SaveCommand) {
        saveSheet();
        return true;
    }
    if (event->type() == PrintCommand) {
        printSheet();
        return true;
    }
    return ChildWindow::event(event);
}

void BracketSheet::closeEvent(QCloseEvent* event)
{
    if (isWhatIf()) {
        event->accept();
        m_closed = true;
        m_poolChanges.reset();
        m_session.whatIfChanged();  // the outlook goes back to the real results
        return;
    }
    if (m_sheetModified) {
        const PromptAnswer answer = prompts().ask(PromptKind::Confirmation, CloseQuestion, PromptButtons::YesNoCancel);
        if (answer == PromptAnswer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == PromptAnswer::Yes) {
            // A save that did not go through keeps the sheet open, so the typed picks are not lost;
            // the organiser mends the sheet or answers No next time.
            bool saved = false;
            try {
                saved = saveSheet();
            } catch (const std::exception& error) {
                reportError(error);
            }
            if (!saved) {
                event->ignore();
                return;
            }
        }
    }
    event->accept();
}
