#pragma once
#include <QAbstractListModel>
#include <cstdint>
#include <vector>

#include "core/pool/players.h"

// The filters of "Show me:", by index.
enum PlayerFilter { AllPlayers, CompletePlayers, IncompletePlayers, PaidPlayers, UnpaidPlayers };
bool passesFilter(const Player& entry, int filter);

// The Player Manager's list: one row per participant that passes the filter (the results entry
// never), by name in the alphabetical order of the user's language without regard to case, equal
// names in the participant list's order.
// A row is keyed by the participant's id and keeps what it shows (name, complete, paid) as of
// the last fill, as the standings grid keeps its table: the dialog refills after every change it
// makes, and a row whose entry was deleted meanwhile stays drawable until then. The filter is
// applied while filling rather than by a proxy: it is one test per entry in the list's own order,
// and only the entries that pass are sorted and kept.
class PlayerListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole, CompleteRole, PaidRole };

    explicit PlayerListModel(QObject* parent = nullptr);

    // Rebuilds the rows from the participant list, as one model reset.
    void fill(const PlayerList& players, int filter);
    std::int32_t idAt(int row) const { return rowAt(row).id; }
    QString nameAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        std::int32_t id = 0;
        decltype(Player::name) name;
        bool complete = false;
        bool paid = false;
    };
    const Row& rowAt(int row) const { return m_rows[m_order[static_cast<std::size_t>(row)]]; }

    std::vector<Row> m_rows;             // in the participant list's order
    std::vector<std::uint32_t> m_order;  // the index in m_rows of each row shown, in name order
};
