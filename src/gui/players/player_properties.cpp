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
constexpr int NameWidth = sizeof(decltype(TPlayer::Name)::chars);
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

TfrmProps::TfrmProps(QWidget* owner, TPlayers& players, std::int32_t id) : QDialog(owner), m_players(players)
{
    setWindowTitle(QStringLiteral("Player Properties..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    CreateControls();
    fixDialog(*this, ClientSize);

    const int index = players.IndexOfId(id);
    m_entry = index >= 0 ? players.item(index) : nullptr;
    FillFromEntry();
    // Only what the user types is limited; the stored text was shown whole above.
    txtTiebreaker->setValidator(new TypingLimit(txtTiebreaker, TiebreakerTyping));
    m_changed = 0;  // filling the boxes counted as changes
    txtName->setFocus();
}

void TfrmProps::CreateControls()
{
    grpPlayer = named(new QGroupBox(QStringLiteral("Player Information"), this), "grpPlayer");
    auto* lblName = named(rightLabel(QStringLiteral("Name:"), grpPlayer), "lblName");
    txtName = named(new QLineEdit(grpPlayer), "txtName");
    txtName->setMaxLength(NameWidth);
    keepOneLine(txtName);  // a tab or a line break in a name would split the exported rows
    auto* lblTiebreaker = named(rightLabel(QStringLiteral("Tiebreaker:"), grpPlayer), "lblTiebreaker");
    txtTiebreaker = named(new QLineEdit(grpPlayer), "txtTiebreaker");
    chkPaid = named(captionLeftBox(QStringLiteral("Paid?"), grpPlayer), "chkPaid");
    lblName->setBuddy(txtName);
    lblTiebreaker->setBuddy(txtTiebreaker);
    connect(txtName, &QLineEdit::textChanged, this, guarded(this, &TfrmProps::txtNameChange));
    connect(txtTiebreaker, &QLineEdit::textChanged, this, guarded(this, &TfrmProps::txtNameChange));
    connect(chkPaid, &QCheckBox::toggled, this, guarded(this, &TfrmProps::txtNameChange));

    grpPool = named(new QGroupBox(QStringLiteral("Pool Information:"), this), "grpPool");
    grpPool->setEnabled(false);  // points and flags are shown, not edited
    QLineEdit** const rounds[] = {&txtR1, &txtR2, &txtR3, &txtR4, &txtR5, &txtR6};
    QLabel* roundLabels[RoundCount] = {};
    for (int r = 0; r < RoundCount; ++r) {
        roundLabels[r] = rightLabel(QStringLiteral("Round %1:").arg(r + 1), grpPool);
        roundLabels[r]->setObjectName(QStringLiteral("lblR%1").arg(r + 1));
        *rounds[r] = numberBox(grpPool);
        (*rounds[r])->setObjectName(QStringLiteral("txtR%1").arg(r + 1));
    }
    auto* lblTotal = named(rightLabel(QStringLiteral("Total Pts:"), grpPool), "lblTotal");
    txtTotal = named(numberBox(grpPool), "txtTotal");
    auto* lblPot = named(rightLabel(QStringLiteral("Potential Pts:"), grpPool), "lblPot");
    txtPot = named(numberBox(grpPool), "txtPot");
    chkComplete = named(captionLeftBox(QStringLiteral("Pool Complete?"), grpPool), "chkComplete");
    chkModified = named(captionLeftBox(QStringLiteral("Pts. Up to Date?"), grpPool), "chkModified");

    cmdOk = named(new QPushButton(QStringLiteral("OK"), this), "cmdOk");
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, guarded(this, &TfrmProps::cmdOkClick));

    m_layout.within(this, {
        {grpPlayer, {8, 8, 241, 65}},
        {grpPool, {8, 80, 241, 185}},
        {cmdOk, {168, 272, 75, 25}},
    })
        .within(grpPlayer, {
        {lblName, {16, 16, 49, 14}},
        {txtName, {72, 16, 153, 17}},
        {lblTiebreaker, {8, 40, 57, 14}},
        {txtTiebreaker, {72, 40, 97, 17}},
        {chkPaid, {176, 40, 49, 17}},
    })
        .within(grpPool, {
        {roundLabels[0], {8, 16, 57, 14}},
        {txtR1, {72, 16, 41, 17}},
        {roundLabels[1], {8, 40, 57, 14}},
        {txtR2, {72, 40, 41, 17}},
        {roundLabels[2], {8, 64, 57, 14}},
        {txtR3, {72, 64, 41, 17}},
        {roundLabels[3], {8, 88, 57, 14}},
        {txtR4, {72, 88, 41, 17}},
        {roundLabels[4], {8, 112, 57, 14}},
        {txtR5, {72, 112, 41, 17}},
        {roundLabels[5], {8, 136, 57, 14}},
        {txtR6, {72, 136, 41, 17}},
        {lblTotal, {8, 160, 57, 14}},
        {txtTotal, {72, 160, 41, 17}},
        {lblPot, {120, 160, 65, 14}},
        {txtPot, {192, 160, 41, 17}},
        {chkComplete, {128, 16, 97, 17}},
        // Its caption needs a little more room than the check box's indicator leaves; the box
        // stays where it was, level with the one above.
        {chkModified, {120, 40, 105, 17}},
    });
    applyLayout(m_layout);
}

void TfrmProps::FillFromEntry()
{
    if (!m_entry) return;
    // As the boxes show them: a control character shows as a space.
    txtName->setText(fromAnsi(m_entry->Name.view()));
    txtTiebreaker->setText(fromAnsi(m_entry->Tiebreaker.view()));
    m_shownName = txtName->text();
    m_shownTiebreaker = txtTiebreaker->text();
    QLineEdit* const rounds[] = {txtR1, txtR2, txtR3, txtR4, txtR5, txtR6};
    for (int r = 1; r <= RoundCount; ++r) rounds[r - 1]->setText(QString::number(m_entry->RoundPoints[r]));
    txtTotal->setText(QString::number(m_entry->Total));
    txtPot->setText(QString::number(m_entry->Potential));
    // Modified is 1 while the points wait for the next scoring pass, so the box asks the inverse.
    chkModified->setChecked(m_entry->Modified == 0);
    chkPaid->setChecked(m_entry->Paid != 0);
    chkComplete->setChecked(m_entry->Complete != 0);
}

void TfrmProps::txtNameChange() { m_changed = 1; }

void TfrmProps::cmdOkClick()
{
    if (m_entry) {
        TPlayer changed = *m_entry;
        changed.Name = toAnsiKeeping(txtName->text(), m_shownName, m_entry->Name.view());
        changed.Tiebreaker = toAnsiKeeping(txtTiebreaker->text(), m_shownTiebreaker, m_entry->Tiebreaker.view());
        changed.Paid = chkPaid->isChecked() ? 1 : 0;
        // Reaches the disk before the dialog closes; a refusal throws past accept(), so the dialog
        // stays open with its edits and the connection reports the error.
        m_players.storeEntry(changed, false);
    }
    accept();
}
