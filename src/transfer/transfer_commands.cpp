#include "transfer/transfer_commands.h"

#include <QFile>

#include "pool/players.h"
#include "session/pool_session.h"
#include "transfer/field_import.h"
#include "transfer/import_dialog.h"
#include "transfer/picks_export.h"
#include "transfer/picks_import.h"
#include "ui/ansi_text.h"
#include "ui/busy_cursor.h"
#include "ui/frame.h"
#include "ui/guarded.h"
#include "ui/prompts.h"

namespace {
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString counted(qsizetype count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString picksSummary(const TPicksImport& import)
{
    const auto valid = qsizetype(import.entries.size());
    const auto refused = qsizetype(import.refused.size());
    QString text = valid == 0 ? QStringLiteral("No line can be imported.")
                              : counted(valid, "line", "lines") + QStringLiteral(" can be imported as new participants");
    if (valid > 0 && import.incomplete > 0)
        text += QStringLiteral(" (%1 with games that have no winner)").arg(import.incomplete);
    if (valid > 0) text += QLatin1Char('.');
    if (refused > 0) text += QLatin1Char(' ') + counted(refused, "line was", "lines were") + QStringLiteral(" refused:");
    return text;
}

QString fieldSummary(const TFieldImport& field)
{
    if (!field.ok())
        return QStringLiteral("The field can not be imported. ") +
               counted(qsizetype(field.problems.size()), "problem was", "problems were") + QStringLiteral(" found:");
    QString regions;
    for (int position = 0; position < 4; ++position)
        regions += (position ? QStringLiteral(", ") : QString()) + fromAnsi(field.regionNames[std::size_t(position)]);
    return QStringLiteral("64 teams in four regions, placed in the bracket in this order: %1. "
                          "Importing replaces the pool's teams and regions.")
        .arg(regions);
}
}  // namespace

TransferOutcome importPicksInteractive(TPoolSession& session, IFrame& frame, const QString& path)
{
    TPicksImport import;
    {
        BusyCursor busy;
        import = readPicksImportFile(session, localPath(path));
    }
    if (!import.fileError.empty()) {
        showError(QString::fromLocal8Bit(import.fileError));
        return TransferOutcome::Failed;
    }
    TfrmImport report(frame.frameWidget(), QStringLiteral("Import Picks"), picksSummary(import), import.refused,
                      !import.entries.empty());
    if (report.exec() != QDialog::Accepted) return TransferOutcome::Cancelled;
    try {
        BusyCursor busy;
        const int stored = storeImportedPicks(session, import);
        frame.SetStatusText(counted(stored, "participant", "participants") + QStringLiteral(" imported from ") + path);
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Done;
}

TransferOutcome exportPicksInteractive(TPoolSession& session, IFrame& frame, const QString& path)
{
    const std::string file = localPath(path);
    try {
        BusyCursor busy;
        exportPicksFile(session, file, picksFormatForPath(file));
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    frame.SetStatusText(QStringLiteral("Picks successfully exported to ") + path);
    return TransferOutcome::Done;
}

TransferOutcome importFieldInteractive(TPoolSession& session, IFrame& frame, const QString& path)
{
    TFieldImport field;
    {
        BusyCursor busy;
        field = readFieldImportFile(localPath(path));
    }
    if (!field.fileError.empty()) {
        showError(QString::fromLocal8Bit(field.fileError));
        return TransferOutcome::Failed;
    }
    TfrmImport report(frame.frameWidget(), QStringLiteral("Import Field"), fieldSummary(field), field.problems, field.ok());
    if (report.exec() != QDialog::Accepted) return TransferOutcome::Cancelled;
    try {
        BusyCursor busy;
        storeImportedField(session, field);
    } catch (const std::exception& error) {
        reportError(error);
        return TransferOutcome::Failed;
    }
    frame.SetStatusText(QStringLiteral("Field imported from ") + path);
    return TransferOutcome::Done;
}
