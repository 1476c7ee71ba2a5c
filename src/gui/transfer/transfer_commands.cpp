#include "gui/transfer/transfer_commands.h"

#include <QFile>
#include <QFileInfo>

#include "core/pool/players.h"
#include "core/session/pool_session.h"
#include "core/transfer/entry_page.h"
#include "core/transfer/field_import.h"
#include "core/transfer/picks_export.h"
#include "core/transfer/picks_import.h"
#include "gui/transfer/import_dialog.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/prompts.h"

namespace {
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString counted(qsizetype count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString picksSummary(const PicksImport& import, qsizetype files)
{
    const auto valid = qsizetype(import.entries.size());
    const auto refused = qsizetype(import.refused.total);
    QString text = files > 1 ? QStringLiteral("From %1 files: ").arg(files) : QString();
    text += valid == 0 ? QStringLiteral("No line can be imported.")
                       : counted(valid, "line", "lines") + QStringLiteral(" can be imported as new participants");
    if (valid > 0 && import.incomplete > 0)
        text += QStringLiteral(" (%1 with games that have no winner)").arg(import.incomplete);
    if (valid > 0) text += QLatin1Char('.');
    if (refused > 0)
        text += QLatin1Char(' ') + counted(refused, "line was", "lines were") + QStringLiteral(" refused:");
    return text;
}

// Below the refusals: the lines passed over because their participants are known already, in
// the pool or from an earlier file of the import.
QString picksNote(const PicksImport& import)
{
    const auto alreadyIn = qsizetype(import.alreadyIn.total);
    if (alreadyIn == 0) return {};
    return counted(alreadyIn, "line is", "lines are") +
           QStringLiteral(" already in the pool (the same name and sheet) and will be skipped.");
}

// Every name the team file keeps only the start of.
QString cutNamesNote(const FieldImport& field)
{
    if (field.cutNames.empty()) return {};
    const bool one = field.cutNames.size() == 1;
    QString text = QStringLiteral("The team file keeps 12 characters of a team's name: ") +
                   (one ? QStringLiteral("this name is kept as its first 12, and picks may still give it in full:")
                        : QStringLiteral("these names are kept as their first 12, and picks may still give them in "
                                         "full:"));
    for (const TransferProblem& cut : field.cutNames) text += QLatin1Char('\n') + toQString(problemText(cut));
    return text;
}

QString fieldSummary(const FieldImport& field)
{
    if (!field.ok())
        return QStringLiteral("The field can not be imported. ") +
               counted(qsizetype(field.problems.total), "problem was", "problems were") + QStringLiteral(" found:");
    QString regions;
    for (int position = 0; position < 4; ++position)
        regions += (position ? QStringLiteral(", ") : QString()) + fromAnsi(field.regionNames[std::size_t(position)]);
    return QStringLiteral("64 teams in four regions, placed in the bracket in this order: %1. "
                          "Importing replaces the pool's teams and regions.")
        .arg(regions);
}

// The moved teams as lines, the first few of them.
QString movesText(const std::vector<CodePageText>& lines)
{
    constexpr std::size_t Shown = 8;
    QString text;
    for (std::size_t k = 0; k < lines.size() && k < Shown; ++k) text += QLatin1Char('\n') + toQString(lines[k]);
    if (lines.size() > Shown) text += QStringLiteral("\n... and %1 more").arg(lines.size() - Shown);
    return text;
}

// Whether a bracket sheet is open: it holds its picks by their places in the bracket. One look
// at the open windows, not one per participant.
bool sheetOpen(Frame& frame) { return !frame.openSheetTags().empty(); }

// A field that moves the pool's teams: asks whether the picks are to move with them. Returns
// whether to import, with remap set when they move.
TransferOutcome askAboutMoves(PoolSession& session, Frame& frame, const FieldImport& field, bool& remap)
{
    remap = false;
    const FieldChange change = compareField(session, field);
    if (change.plain()) return TransferOutcome::Done;
    const std::vector<CodePageText> lines = moveLines(change, session.regionNames(), field.regionNames);
    if (!change.canRemap()) {
        std::vector<CodePageText> leaving;
        for (std::size_t k = 0; k < change.moves.size(); ++k)
            if (change.moves[k].to == 0 && change.moves[k].sheets > 0) leaving.push_back(lines[k]);
        showError(fromMessage(strandedText(change)) + QStringLiteral(" Nothing was imported.") + movesText(leaving));
        return TransferOutcome::Failed;
    }
    if (sheetOpen(frame)) {
        showError(QStringLiteral("The new field moves teams that the pool's picks name. Close every bracket sheet "
                                 "first: a sheet holds its picks by their places in the bracket."));
        return TransferOutcome::Failed;
    }
    const int sheets = change.sheetsChanged;
    QString question = QStringLiteral("The new field moves %1 of the pool's teams to other places in the bracket:")
                           .arg(change.moves.size()) +
                       movesText(lines) + QStringLiteral("\n\nImporting it moves the picks of ") +
                       counted(sheets, "sheet", "sheets") +
                       (change.resultsChanged ? QStringLiteral(" (the results among them)") : QString()) +
                       QStringLiteral(" with their teams, so that every pick still names the same team. "
                                      "Import the field and move the picks?");
    // No is the answer that changes nothing.
    if (prompts().ask(PromptKind::Confirmation, question, PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
        return TransferOutcome::Cancelled;
    remap = true;
    return TransferOutcome::Done;
}
}  // namespace

TransferOutcome importPicksInteractive(PoolSession& session, Frame& frame, const QString& path)
{
    return importPicksInteractive(session, frame, QStringList{path});
}

TransferOutcome importPicksInteractive(PoolSession& session, Frame& frame, const QStringList& paths)
{
    std::vector<PicksFileImport> files;
    try {
        BusyCursor busy;
        std::vector<std::string> local;
        for (const QString& path : paths) local.push_back(localPath(path));
        files = readPicksImportFiles(session, local);
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    // All files as one import: one report, one store.
    PicksImport all;
    QStringList fileOfProblem;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const PicksImport& import = files[k].import;
        all.entries.insert(all.entries.end(), import.entries.begin(), import.entries.end());
        all.incomplete += import.incomplete;
        for (const TransferProblem& problem : import.refused.listed) {
            all.refused.add(problem);
            fileOfProblem << QFileInfo(paths[qsizetype(k)]).fileName();
        }
        all.refused.total += import.refused.unlisted();
        all.alreadyIn.total += import.alreadyIn.total;
    }
    ImportDialog report(frame.frameWidget(), QStringLiteral("Import Picks"), picksSummary(all, paths.size()),
                        all.refused, !all.entries.empty(), picksNote(all),
                        paths.size() > 1 ? fileOfProblem : QStringList());
    if (report.exec() != QDialog::Accepted) return TransferOutcome::Cancelled;
    try {
        BusyCursor busy;
        const int stored = storeImportedPicks(session, all);
        frame.setStatusText(counted(stored, "participant", "participants") + QStringLiteral(" imported from ") +
                            (paths.size() == 1 ? paths.front() : counted(paths.size(), "file", "files")));
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Done;
}

TransferOutcome makeEntryPageInteractive(PoolSession& session, Frame& frame, const QString& path)
{
    try {
        BusyCursor busy;
        makeEntryPageFile(session, localPath(path));
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    frame.setStatusText(QStringLiteral("Entry page made: ") + path);
    return TransferOutcome::Done;
}

TransferOutcome exportPicksInteractive(PoolSession& session, Frame& frame, const QString& path)
{
    const std::string file = localPath(path);
    try {
        BusyCursor busy;
        exportPicksFile(session, file, picksFormatForPath(file));
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    frame.setStatusText(QStringLiteral("Picks successfully exported to ") + path);
    return TransferOutcome::Done;
}

TransferOutcome importFieldInteractive(PoolSession& session, Frame& frame, const QString& path)
{
    FieldImport field;
    try {
        BusyCursor busy;
        field = readFieldImportFile(localPath(path));
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    ImportDialog report(frame.frameWidget(), QStringLiteral("Import Field"), fieldSummary(field), field.problems,
                        field.ok(), cutNamesNote(field));
    if (report.exec() != QDialog::Accepted) return TransferOutcome::Cancelled;
    bool remap = false;
    if (const TransferOutcome asked = askAboutMoves(session, frame, field, remap); asked != TransferOutcome::Done)
        return asked;
    try {
        BusyCursor busy;
        storeImportedField(session, field, remap);
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    frame.setStatusText(QStringLiteral("Field imported from ") + path);
    return TransferOutcome::Done;
}
