#pragma once
#include <QDialog>
#include <QString>
#include <array>
#include <string>

#include "core/pool/bracket.h"
#include "core/settings/settings.h"
#include "gui/widgets/layout_table.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class EditGrid;
class PoolSession;

// The Options dialog: which region sits in which bracket position, the 64 teams, the round
// values and the texts and switches of the rules sheet. Everything is written on OK only.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(PoolSession& session, QWidget* parent = nullptr);

    // The entry being edited for region position 1..4 and seed 1..16.
    const Team& workTeam(int region, int seed) const { return m_workTeams[region - 1][seed - 1]; }
    const LayoutTable& layoutTable() const { return m_layout; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct TextSetting {
        QLineEdit* box;
        const std::string& name;
        const std::string& def;
    };
    struct SwitchSetting {
        QCheckBox* box;
        const std::string& name;
    };
    // What a box was given at opening: a box the organiser leaves alone is written back as it
    // was stored, although the box may show it cut to its length or without bytes that have no
    // character.
    struct KeptText {
        std::string stored;
        QString shown;
        std::string bytesFor(const QString& text) const;
    };
    struct KeptRound {
        int stored = 0;
        QString shown;
    };
    std::array<TextSetting, 4> ruleTexts() const;
    std::array<SwitchSetting, 6> ruleSwitches() const;

    void createControls();
    void placeControls();
    void prepareControls();
    void loadWorkTeams();
    void storeWorkTeams();
    void showRegionTeams();
    int selectedRegion() const;
    void onRegionChosen();
    void grdTeamsSetEditText(int column, int row, const QString& text);
    void acceptChanges();
    std::array<std::string, RegionCount> storedRegionNames() const;
    bool regionsUnique();
    bool roundValuesValid();
    void readSettings();
    void writeSettings();

    std::array<KeptRound, RoundCount> m_keptRounds{};
    std::array<KeptText, 4> m_keptRules{};
    std::array<std::array<KeptText, 2>, settings::PayoutRows> m_keptPayout{};  // description and share of each row

    PoolSession& m_session;
    std::array<std::array<Team, SeedCount>, RegionCount> m_workTeams{};
    LayoutTable m_layout;

    QTabWidget* m_pages = nullptr;
    QWidget* m_regionsPage = nullptr;
    QWidget* m_teamsPage = nullptr;
    QWidget* m_scoringPage = nullptr;
    QWidget* m_rulesPage = nullptr;
    std::array<QComboBox*, RegionCount> lstRegion{};
    QFrame* m_leftLine = nullptr;
    QFrame* m_rightLine = nullptr;
    QFrame* m_middleLine = nullptr;
    QLabel* m_regionLabel = nullptr;
    QComboBox* m_regionsChoice = nullptr;
    QLabel* m_teamNameMaxLabel = nullptr;
    EditGrid* m_teamsGrid = nullptr;
    QGroupBox* m_roundValuesGroup = nullptr;
    std::array<QLineEdit*, RoundCount> txtRnd{};
    std::array<QLabel*, RoundCount> lblRnd{};
    QCheckBox* m_useSeedCheck = nullptr;
    // The pool's money, for the outlook's Exp. Winnings and the standings' pot; as read, so
    // that an unchanged box writes nothing.
    QLabel* m_feeLabel = nullptr;
    QLineEdit* m_feeBox = nullptr;
    QLabel* m_payoutsLabel = nullptr;
    QLineEdit* m_payoutsBox = nullptr;
    QString m_feeShown, m_payoutsShown;
    QGroupBox* m_rulesGroup = nullptr;
    QCheckBox* m_costCheck = nullptr;
    QLineEdit* m_costBox = nullptr;
    QCheckBox* m_deadlineCheck = nullptr;
    QLineEdit* m_deadlineBox = nullptr;
    QCheckBox* m_scoringCheck = nullptr;
    QCheckBox* m_tiebreakerCheck = nullptr;
    QLineEdit* m_tiebreakerBox = nullptr;
    QCheckBox* m_payoutCheck = nullptr;
    EditGrid* m_payoutGrid = nullptr;
    QCheckBox* m_returnToCheck = nullptr;
    QLineEdit* m_returnToBox = nullptr;
    QFrame* m_buttonsBevel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
