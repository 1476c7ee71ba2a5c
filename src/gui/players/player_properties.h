#pragma once
#include <QDialog>
#include <QValidator>
#include <cstdint>

#include "core/pool/players.h"
#include "gui/widgets/layout_table.h"
#include "gui/widgets/line_text.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// Limits what can be typed to a number of characters without cutting a longer text the box was
// given: such a text is shown whole, can be shortened, and grows no further. A paste keeps the
// characters that typing them one by one would have kept.
class TypingLimit final : public OneLineText {
    Q_OBJECT
public:
    TypingLimit(QLineEdit* edit, int limit);
    State validate(QString& input, int& pos) const override;

private:
    QString m_last;  // the box's text before the change being checked
    int m_limit;
};

// Player Properties: shows one stored participant's details and points; name, tiebreaker and
// paid flag can be corrected. OK stores them in the list (journaled, as every change).
class PlayerProperties final : public QDialog {
    Q_OBJECT
public:
    const LayoutTable& layoutTable() const { return m_layout; }
    PlayerProperties(QWidget* owner, PlayerList& players, std::int32_t id);

    // 1 once the name, the tiebreaker or the paid box was changed, even if closed without OK.
    std::uint8_t changed() const { return m_changed; }

private:
    LayoutTable m_layout;
    void createControls();
    void fillFromEntry();

    // Handlers.
    void onNameEdited();
    void acceptChanges();

    // Controls, named as the program's documents name them.
    QGroupBox* m_playerGroup = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QLineEdit* m_tiebreakerBox = nullptr;
    QCheckBox* m_paidCheck = nullptr;
    QGroupBox* m_poolGroup = nullptr;
    QLineEdit* m_round1Box = nullptr;
    QLineEdit* m_round2Box = nullptr;
    QLineEdit* m_round3Box = nullptr;
    QLineEdit* m_round4Box = nullptr;
    QLineEdit* m_round5Box = nullptr;
    QLineEdit* m_round6Box = nullptr;
    QLineEdit* m_totalBox = nullptr;
    QLineEdit* m_potentialBox = nullptr;
    QCheckBox* m_completeCheck = nullptr;
    QCheckBox* m_modifiedCheck = nullptr;
    QPushButton* m_okButton = nullptr;

    PlayerList& m_players;
    const Player* m_entry = nullptr;
    std::uint8_t m_changed = 0;
    // The texts as shown at filling: a box left as it was stores the entry's own bytes back,
    // even bytes that have no character of their own.
    QString m_shownName;
    QString m_shownTiebreaker;
};
