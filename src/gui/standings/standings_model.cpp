#include "gui/standings/standings_model.h"

#include "gui/widgets/ansi_text.h"

StandingsModel::StandingsModel(const std::array<std::string, 4>& regionNames, QObject* parent)
    : QAbstractTableModel(parent), m_table(regionNames)
{
}

void StandingsModel::refill(const PlayerList& players, const TeamTable& teams)
{
    beginResetModel();
    m_table.refill(players, teams);
    endResetModel();
}

int StandingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.participantCount();
}

int StandingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : StandingsColumnCount; }

QVariant StandingsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return fromAnsi(m_table.cell(index.row() + 1, index.column()));
}

QVariant StandingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= StandingsColumnCount)
        return {};
    return fromAnsi(m_table.header(section));
}

Qt::ItemFlags StandingsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
