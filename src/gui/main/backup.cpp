#include "gui/main/backup.h"

#include <QDir>
#include <QFile>
#include <optional>

#include "core/pool/backup_copy.h"
#include "core/pool/file_io.h"
#include "core/session/pool_session.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/prompts.h"

namespace {
// Shows the error box for a failed copy; true when the copy went through.
bool reportCopy(const CopyOutcome& result)
{
    if (result.copied()) return true;
    showError(fromMessage(copyErrorText(result.status)));
    return false;
}

bool samePicksName(const std::string& name)
{
    return QString::fromStdString(name).compare(QString::fromStdString(PicksFileName), Qt::CaseInsensitive) == 0;
}

// The picks backup never goes backwards: not from a list that is not the pool (its file could not
// be read), not over a backup that could not be read, and over one with more participants only
// when the organiser says so. Returns the copy result, or nothing when the backup was left alone.
std::optional<CopyOutcome> backupPicks(const PlayerList& players, const std::string& target)
{
    const QString picksBackup = QString::fromStdString(backupName(PicksFileName));
    if (players.picksLoadStatus() == ReadStatus::Unreadable) {
        showError(QString::fromStdString(PicksFileName) +
                  QStringLiteral(" could not be read when the program started, so ") + picksBackup +
                  QStringLiteral(" was left as it was."));
        return std::nullopt;
    }
    const PicksCount existing = countPicksParticipants(target);
    if (existing.read.status == ReadStatus::Unreadable) {
        showError(QStringLiteral("The backup ") + QString::fromStdString(target) +
                  QStringLiteral(" could not be read (") + QString::fromStdString(existing.read.reason) +
                  QStringLiteral("), so it was left as it was."));
        return std::nullopt;
    }
    const int now = players.participantCount();
    if (existing.read.status == ReadStatus::Read && existing.participants > now) {
        const PromptAnswer answer = prompts().ask(
            PromptKind::Warning,
            QStringLiteral("The backup %1 holds %2 participants, but the pool now holds %3. Replace it with the "
                           "backup of %3 participants?")
                .arg(picksBackup)
                .arg(existing.participants)
                .arg(now),
            PromptButtons::YesNo, PromptAnswer::No);
        if (answer != PromptAnswer::Yes) return std::nullopt;
    }
    return writeBackupBytes(players.picksBytes(), target);
}

// The team and region backups never go backwards either: a good backup is not replaced by an
// empty, torn or garbled data file (an unreadable one fails to copy and is reported as such).
std::optional<CopyOutcome> backupDataFile(const std::string& source, const std::string& name, const std::string& target)
{
    std::string bytes;
    if (readWholeFile(source, bytes).status == ReadStatus::Read && !isSoundDataFile(name, bytes)) {
        std::string kept;
        if (readWholeFile(target, kept).status == ReadStatus::Read && isSoundDataFile(name, kept)) {
            showError(QString::fromStdString(name) + QStringLiteral(" is empty or damaged, so ") +
                      QString::fromStdString(backupName(name)) + QStringLiteral(" was left as it was."));
            return std::nullopt;
        }
    }
    return copyFileBytes(source, target);
}
}  // namespace

void runBackup(PoolSession& session, Frame& main)
{
    BusyCursor busy;
    QString dir = QDir::toNativeSeparators(QString::fromStdString(session.dataDir()));
    if (!dir.endsWith(QDir::separator())) dir += QDir::separator();
    const std::string dirBytes = dir.toStdString();

    int total = 0;
    int copied = 0;
    bool picksDone = false;
    for (const std::string& name : findDataFiles(dirBytes)) {
        ++total;
        main.setStatusText(QStringLiteral("Backing up file: ") + QString::fromStdString(name));
        const std::string target = dirBytes + backupName(name);
        // The participants live in memory until the program closes: back up what the picks file
        // would hold now, not the older copy on disk.
        const bool picks = samePicksName(name);
        picksDone = picksDone || picks;
        const std::optional<CopyOutcome> result =
            picks ? backupPicks(session.players(), target) : backupDataFile(dirBytes + name, name, target);
        copied += result && reportCopy(*result) ? 1 : 0;
    }
    if (!picksDone) {
        ++total;
        main.setStatusText(QStringLiteral("Backing up file: ") + QString::fromStdString(PicksFileName));
        const std::optional<CopyOutcome> result = backupPicks(session.players(), dirBytes + backupName(PicksFileName));
        copied += result && reportCopy(*result) ? 1 : 0;
    }

    if (copied == total) {
        main.setStatusText(QStringLiteral("Data files successfully backed up to ") + dir + QStringLiteral("*.BAK"));
        showInformation(QStringLiteral("The Hoopfall data files have been copied and saved to ") + dir +
                        QStringLiteral(" with a \"BAK\" extension."));
    } else {
        main.setStatusText(QStringLiteral("Backed up %1 of %2 data files to %3*.BAK").arg(copied).arg(total).arg(dir));
        showInformation(QStringLiteral("Only %1 of %2 Hoopfall data files could be copied to %3 with a \"BAK\" "
                                       "extension. The others were not backed up.")
                            .arg(copied)
                            .arg(total)
                            .arg(dir));
    }
}
