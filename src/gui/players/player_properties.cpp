#include "gui/players/player_properties.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "gui/widgets/ansi_text.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/layout_table.h"

namespace {
constexpr QSize ClientSize(256, 300);
constexpr int NameWidth = sizeof(decltype(Player::name)::chars);
constexpr int TiebreakerTyping = 3;

// A control of the dialog, found by tests under its name.
template <class T> T* named(T* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLabel* rightLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A check box with its caption on the left of the box.
QCheckBox* captionLeftBox(const QString& text, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

QLineEdit* numberBox(QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    return box;
}
}  // namespace

TypingLimit::TypingLimit(QLineEdit* edit, int limit) : OneLineText(edit), m_last(edit->text()), m_limit(limit)
{
    connect(edit, &QLineEdit::textChanged, this, guarded([this](const QString& text) { m_last = text; }));
}

QValidator::State TypingLimit::validate(QString& input, int& pos) const
{
    OneLineText::validate(input, pos);
    if (input == m_last) return Acceptable;
    // The change put new characters before the cursor in place of a part of the old text.
    const qsizetype tail = std::clamp<qsizetype>(input.size() - pos, 0, m_last.size());
    qsizetype start = 0;
    while (start < pos && start < m_last.size() - tail && input[start] == m_last[start]) ++start;
    const qsizetype inserted = pos - start;
    const qsizetype base = start + tail;  // what is left of the old text
    if (inserted <= 0 || base + inserted <= m_limit) return Acceptable;
    // Typed one by one: the first goes in while it fits or shortens the text, the others while
    // they fit.
    qsizetype kept = 0;
    if (base + 1 <= m_limit)
        kept = m_limit - base;
    else if (base + 1 < m_last.size())
        kept = 1;
    if (kept == 0) return Invalid;
    input = input.left(start + kept) + input.mid(pos);
    pos = static_cast<int>(start + kept);
    return Acceptable;
}

PlayerProperties::PlayerProperties(QWidget* owner, PlayerList& players, std::int32_t id)
    : QDialog(owner), m_players(players)
{
    setWindowTitle(QStringLiteral("Player Properties..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createControls();
    fixDialog(*this, ClientSize);

    const int index = players.indexOfId(id);
    m_entry = index >= 0 ? players.item(index) : nullptr;
    fillFromEntry();
    // Only what the user types is limited; the stored text was shown whole above.
    m_tiebreakerBox->setValidator(new TypingLimit(m_tiebreakerBox, TiebreakerTyping));
    m_changed = 0;  // filling the boxes counted as changes
    m_nameBox->setFocus();
}

void PlayerProperties::createControls()
{
    m_playerGroup = named(new QGroupBox(QStringLiteral("Player Information"), this), "grpPlayer");
    auto* lblName = named(rightLabel(QStringLiteral("Name:"), m_playerGroup), "lblName");
    m_nameBox = named(new QLineEdit(m_playerGroup), "txtName");
    m_nameBox->setMaxLength(NameWidth);
    keepOneLine(m_nameBox);  // a tab or a line break in a name would split the exported rows
    auto* lblTiebreaker = named(rightLabel(QStringLiteral("Tiebreaker:"), m_playerGroup), "lblTiebreaker");
    m_tiebreakerBox = named(new QLineEdit(m_playerGroup), "txtTiebreaker");
    m_paidCheck = named(captionLeftBox(QStringLiteral("Paid?"), m_playerGroup), "chkPaid");
    lblName->setBuddy(m_nameBox);
    lblTiebreaker->setBuddy(m_tiebreakerBox);
    connect(m_nameBox, &QLineEdit::textChanged, this, guarded(this, &PlayerProperties::onNameEdited));
    connect(m_tiebreakerBox, &QLineEdit::textChanged, this, guarded(this, &PlayerProperties::onNameEdited));
    connect(m_paidCheck, &QCheckBox::toggled, this, guarded(this, &PlayerProperties::onNameEdited));

    m_poolGroup = named(new QGroupBox(QStringLiteral("Pool Information:"), this), "grpPool");
    m_poolGroup->setEnabled(false);  // points and flags are shown, not edited
    QLineEdit** const rounds[] = {&m_round1Box, &m_round2Box, &m_round3Box, &m_round4Box, &m_round5Box, &m_round6Box};
    QLabel* roundLabels[RoundCount] = {};
    for (int r = 0; r < RoundCount; ++r) {
        roundLabels[r] = rightLabel(QStringLiteral("Round %1:").arg(r + 1), m_poolGroup);
        roundLabels[r]->setObjectName(QStringLiteral("lblR%1").arg(r + 1));
        *rounds[r] = numberBox(m_poolGroup);
        (*rounds[r])->setObjectName(QStringLiteral("txtR%1").arg(r + 1));
        roundLabels[r]->setBuddy(*rounds[r]);  // screen readers name the box by its label, not the group
    }
    auto* lblTotal = named(rightLabel(QStringLiteral("Total Pts:"), m_poolGroup), "lblTotal");
    m_totalBox = named(numberBox(m_poolGroup), "txtTotal");
    auto* lblPot = named(rightLabel(QStringLiteral("Potential Pts:"), m_poolGroup), "lblPot");
    m_potentialBox = named(numberBox(m_poolGroup), "txtPot");
    lblTotal->setBuddy(m_totalBox);
    lblPot->setBuddy(m_potentialBox);
    m_completeCheck = named(captionLeftBox(QStringLiteral("Pool Complete?"), m_poolGroup), "chkComplete");
    m_modifiedCheck = named(captionLeftBox(QStringLiteral("Pts. Up to Date?"), m_poolGroup), "chkModified");

    m_okButton = named(new QPushButton(QStringLiteral("OK"), this), "cmdOk");
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, guarded(this, &PlayerProperties::acceptChanges));

    m_layout
        .within(this,
                {
                    {m_playerGroup, {8, 8, 241, 65}},
                    {m_poolGroup, {8, 80, 241, 185}},
                    {m_okButton, {168, 272, 75, 25}},
                })
        .within(m_playerGroup,
                {
                    {lblName, {16, 16, 49, 14}},
                    {m_nameBox, {72, 16, 153, 17}},
                    {lblTiebreaker, {8, 40, 57, 14}},
                    {m_tiebreakerBox, {72, 40, 97, 17}},
                    {m_paidCheck, {176, 40, 49, 17}},
                })
        .within(m_poolGroup, {
                                 {roundLabels[0], {8, 16, 57, 14}},
                                 {m_round1Box, {72, 16, 41, 17}},
                                 {roundLabels[1], {8, 40, 57, 14}},
                                 {m_round2Box, {72, 40, 41, 17}},
                                 {roundLabels[2], {8, 64, 57, 14}},
                                 {m_round3Box, {72, 64, 41, 17}},
                                 {roundLabels[3], {8, 88, 57, 14}},
                                 {m_round4Box, {72, 88, 41, 17}},
                                 {roundLabels[4], {8, 112, 57, 14}},
                                 {m_round5Box, {72, 112, 41, 17}},
                                 {roundLabels[5], {8, 136, 57, 14}},
                                 {m_round6Box, {72, 136, 41, 17}},
                                 {lblTotal, {8, 160, 57, 14}},
                                 {m_totalBox, {72, 160, 41, 17}},
                                 {lblPot, {120, 160, 65, 14}},
                                 {m_potentialBox, {192, 160, 41, 17}},
                                 {m_completeCheck, {128, 16, 97, 17}},
                                 // Its caption needs a little more room than the check box's indicator leaves; the box
                                 // stays where it was, level with the one above.
                                 {m_modifiedCheck, {120, 40, 105, 17}},
                             });
    applyLayout(m_layout);
}

void PlayerProperties::fillFromEntry()
{
    if (!m_entry) return;
    // As the boxes show them: a control character shows as a space.
    m_nameBox->setText(toQString(m_entry->name.text()));
    m_tiebreakerBox->setText(toQString(m_entry->tiebreaker.text()));
    m_shownName = m_nameBox->text();
    m_shownTiebreaker = m_tiebreakerBox->text();
    QLineEdit* const rounds[] = {m_round1Box, m_round2Box, m_round3Box, m_round4Box, m_round5Box, m_round6Box};
    for (int r = 1; r <= RoundCount; ++r) rounds[r - 1]->setText(QString::number(m_entry->roundPoints[r]));
    m_totalBox->setText(QString::number(m_entry->total));
    m_potentialBox->setText(QString::number(m_entry->potential));
    // Modified is 1 while the points wait for the next scoring pass, so the box asks the inverse.
    m_modifiedCheck->setChecked(m_entry->modified == 0);
    m_paidCheck->setChecked(m_entry->paid != 0);
    m_completeCheck->setChecked(m_entry->complete != 0);
}

void PlayerProperties::onNameEdited() { m_changed = 1; }

void PlayerProperties::acceptChanges()
{
    if (m_entry) {
        Player changed = *m_entry;
        changed.name = toAnsiKeeping(m_nameBox->text(), m_shownName, m_entry->name.view());
        changed.tiebreaker = toAnsiKeeping(m_tiebreakerBox->text(), m_shownTiebreaker, m_entry->tiebreaker.view());
        changed.paid = m_paidCheck->isChecked() ? 1 : 0;
        // Reaches the disk before the dialog closes; a refusal throws past accept(), so the dialog
        // stays open with its edits and the connection reports the error.
        m_players.storeEntry(changed, false);
    }
    accept();
}
