#include "gui/standings/standings_model.h"

#include "gui/widgets/ansi_text.h"

TStandingsModel::TStandingsModel(const std::array<std::string, 4>& regionNames, QObject* parent)
    : QAbstractTableModel(parent), m_table(regionNames)
{
}

void TStandingsModel::refill(const TPlayers& players, const TTeamTable& teams)
{
    beginResetModel();
    m_table.refill(players, teams);
    endResetModel();
}

int TStandingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.participantCount();
}

int TStandingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : StandingsColumnCount;
}

QVariant TStandingsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return fromAnsi(m_table.cell(index.row() + 1, index.column()));
}

QVariant TStandingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= StandingsColumnCount)
        return {};
    return fromAnsi(m_table.header(section));
}

Qt::ItemFlags TStandingsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
