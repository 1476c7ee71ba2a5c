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
class TEditGrid;
class TPoolSession;

// The Options dialog: which region sits in which bracket position, the 64 teams, the round
// values and the texts and switches of the rules sheet. Everything is written on OK only.
class TfrmOptions final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(TPoolSession& session, QWidget* parent = nullptr);

    // The entry being edited for region position 1..4 and seed 1..16.
    const TTeam& workTeam(int region, int seed) const { return m_workTeams[region - 1][seed - 1]; }
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
    void FormCreate();
    void LoadWorkTeams();
    void StoreWorkTeams();
    void ShowRegionTeams();
    int SelectedRegion() const;
    void lstRegionsClick();
    void grdTeamsSetEditText(int column, int row, const QString& text);
    void cmdOkClick();
    std::array<std::string, RegionCount> storedRegionNames() const;
    bool regionsUnique();
    bool roundValuesValid();
    void readSettings();
    void writeSettings();

    std::array<KeptRound, RoundCount> m_keptRounds{};
    std::array<KeptText, 4> m_keptRules{};
    std::array<std::array<KeptText, 2>, settings::PayoutRows> m_keptPayout{};  // description and share of each row

    TPoolSession& m_session;
    std::array<std::array<TTeam, SeedCount>, RegionCount> m_workTeams{};
    LayoutTable m_layout;

    QTabWidget* pcOptions = nullptr;
    QWidget* tbsRegions = nullptr;
    QWidget* tbsTeams = nullptr;
    QWidget* tbsScoring = nullptr;
    QWidget* tbsRules = nullptr;
    std::array<QComboBox*, RegionCount> lstRegion{};
    QFrame* linLeft = nullptr;
    QFrame* linRight = nullptr;
    QFrame* linMiddle = nullptr;
    QLabel* lblRegion = nullptr;
    QComboBox* lstRegions = nullptr;
    QLabel* lblTeamNameMax = nullptr;
    TEditGrid* grdTeams = nullptr;
    QGroupBox* grpRoundValues = nullptr;
    std::array<QLineEdit*, RoundCount> txtRnd{};
    std::array<QLabel*, RoundCount> lblRnd{};
    QCheckBox* chkUseSeed = nullptr;
    QGroupBox* grpRules = nullptr;
    QCheckBox* chkCost = nullptr;
    QLineEdit* txtCost = nullptr;
    QCheckBox* chkDeadline = nullptr;
    QLineEdit* txtDeadline = nullptr;
    QCheckBox* chkScoring = nullptr;
    QCheckBox* chkTiebreaker = nullptr;
    QLineEdit* txtTiebreaker = nullptr;
    QCheckBox* chkPayout = nullptr;
    TEditGrid* grdPayout = nullptr;
    QCheckBox* chkReturnTo = nullptr;
    QLineEdit* txtReturnTo = nullptr;
    QFrame* bvlButtons = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};
