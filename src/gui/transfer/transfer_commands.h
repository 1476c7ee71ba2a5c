#pragma once
#include <QString>
#include <QStringList>

class Frame;
class PoolSession;

// The commands that move picks and the field in and out as spreadsheet files, for the menus to
// call with the file the organiser chose (an open-file dialog for the imports; for Export Picks
// a save-file dialog offering "Comma Separated (*.csv)" and "HTML (*.htm)"). Each shows its own
// boxes and reports an error itself; the result says how it ended.
enum class TransferOutcome { Done, Cancelled, Failed };

// Player, Import Picks: reads the file, shows the report (each refused line with its column and
// reason, and how many lines can be imported), and stores the valid lines as new participants
// only when the organiser chooses Import. The status line says how many were imported.
TransferOutcome importPicksInteractive(PoolSession& session, Frame& frame, const QString& path);
// Several files at once (the entry pages that came back): one report for all of them, each
// refused line with its file; lines whose participant is in the pool already, picks and all,
// are passed over and counted, not refused.
TransferOutcome importPicksInteractive(PoolSession& session, Frame& frame, const QStringList& paths);

// Pool, Make Entry Page: the page on which participants pick their winners, written to path.
TransferOutcome makeEntryPageInteractive(PoolSession& session, Frame& frame, const QString& path);

// Player, Export Picks: every participant's picks to path, as a page when the name ends in
// ".htm" or ".html", else as a comma-separated file that Import Picks reads back.
TransferOutcome exportPicksInteractive(PoolSession& session, Frame& frame, const QString& path);

// Pool, Import Field: reads the 64 teams and the order of the regions, shows what it found (or
// every problem, and then offers nothing to import), and on Import writes them as the Options
// dialog's OK does.
TransferOutcome importFieldInteractive(PoolSession& session, Frame& frame, const QString& path);
