#pragma once
#include <QAbstractTableModel>

#include "core/transfer/standings_export.h"

// The standings grid's model: the participant rows of a StandingsTable (the table's header row
// is the view's header). It reads the table only; a refill is announced as a model reset.
class StandingsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StandingsModel(const std::array<std::string, 4>& regionNames, QObject* parent = nullptr);

    const StandingsTable& table() const { return m_table; }
    void refill(const PlayerList& players, const TeamTable& teams);
    // After a scoring pass of one sheet, puts its entry in its place in the list and its row in
    // the grid, as a stable sort would, without sorting or refilling. False, with nothing
    // changed, when the pass or the pool changed more than that: a refill is due.
    bool followPass(PlayerList& players, const TeamTable& teams);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    StandingsTable m_table;
    std::uint64_t m_listRevision = 0;  // the list's order revision the rows follow
};
