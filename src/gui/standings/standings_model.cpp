#include "gui/standings/standings_model.h"

#include <algorithm>

#include "gui/widgets/ansi_text.h"

StandingsModel::StandingsModel(const std::array<std::string, 4>& regionNames, QObject* parent)
    : QAbstractTableModel(parent), m_table(regionNames)
{
}

void StandingsModel::refill(const PlayerList& players, const TeamTable& teams)
{
    beginResetModel();
    m_table.refill(players, teams);
    m_listRevision = players.orderRevision();
    endResetModel();
}

bool StandingsModel::followPass(PlayerList& players, const TeamTable& teams)
{
    // The rows are the list's entries in its order (the results entry left out), but for a new
    // sheet at the end of the list; only the entry scored is out of its place.
    if (players.orderRevision() != m_listRevision || players.lastPassWasWhole() ||
        players.lastPassEntries().size() != 1 || !m_table.teamsAsShown(teams))
        return false;
    const Player* entry = players.lastPassEntries().front();
    const int from = players.indexOfEntry(entry);
    const int shown = m_table.participantCount();
    const bool added = players.participantCount() == shown + 1 && from == players.count() - 1;
    if (from < 0 || entry->id == ResultsId || (!added && players.participantCount() != shown)) return false;

    // Rows are list places less the results entry's, when it stands before them.
    const int resultsBefore = players.indexOfId(ResultsId);
    const int to = players.placeEntry(from);
    int resultsAfter = resultsBefore;
    if (resultsBefore >= 0 && to <= resultsBefore && resultsBefore < from) ++resultsAfter;
    if (resultsBefore >= 0 && from < resultsBefore && resultsBefore <= to) --resultsAfter;
    const auto row = [](int place, int results) { return place - (results >= 0 && results < place ? 1 : 0); };
    const int toRow = row(to, resultsAfter);
    if (added) {
        beginInsertRows({}, toRow, toRow);
        m_table.insertRow(toRow, *entry);
        endInsertRows();
        return true;
    }
    const int fromRow = row(from, resultsBefore);
    m_table.setRow(fromRow, *entry);
    m_table.moveRow(fromRow, toRow);
    emit dataChanged(index(std::min(fromRow, toRow), 0), index(std::max(fromRow, toRow), StandingsColumnCount - 1));
    return true;
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
