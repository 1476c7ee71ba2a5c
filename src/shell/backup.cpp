#include "shell/backup.h"

#include <QDir>

#include "pool/file_io.h"
#include "shell/ansi_text.h"
#include "shell/backup_copy.h"
#include "shell/busy_cursor.h"
#include "shell/main_window.h"
#include "shell/prompts.h"

namespace {
// Shows the error box for a failed copy; true when the copy went through.
bool ReportCopy(long long result)
{
    if (result >= 0) return true;
    ShowError(QString::fromStdString(CopyErrorText(result)));
    return false;
}

bool SamePicksName(const std::string& name)
{
    return QString::fromStdString(name).compare(QString::fromStdString(PicksFileName), Qt::CaseInsensitive) == 0;
}
}  // namespace

bool CopyDataFile(const QString& source, const QString& destination)
{
    return ReportCopy(CopyFileBytes(QDir::toNativeSeparators(source).toStdString(),
                                    QDir::toNativeSeparators(destination).toStdString()));
}

void RunBackup(TMainForm& main)
{
    BusyCursor busy;
    QString dir = QDir::toNativeSeparators(main.DataDir());
    if (!dir.endsWith(QDir::separator())) dir += QDir::separator();
    const std::string dirBytes = dir.toStdString();

    int total = 0;
    int copied = 0;
    bool picksDone = false;
    for (const std::string& name : FindDataFiles(dirBytes)) {
        ++total;
        main.SetStatusText(QStringLiteral("Backing up file: ") + QString::fromStdString(name));
        const std::string target = dirBytes + BackupName(name);
        // The participants live in memory until the program closes: back up what the picks file
        // would hold now, not the older copy on disk.
        const bool picks = SamePicksName(name);
        picksDone = picksDone || picks;
        const long long result =
            picks ? WriteBackupBytes(main.Players().PicksBytes(), target) : CopyFileBytes(dirBytes + name, target);
        copied += ReportCopy(result) ? 1 : 0;
    }
    if (!picksDone) {
        ++total;
        main.SetStatusText(QStringLiteral("Backing up file: ") + QString::fromStdString(PicksFileName));
        copied += ReportCopy(WriteBackupBytes(main.Players().PicksBytes(), dirBytes + BackupName(PicksFileName))) ? 1 : 0;
    }

    if (copied == total) {
        main.SetStatusText(QStringLiteral("Data files successfully backed up to ") + dir + QStringLiteral("*.BAK"));
        ShowInformation(QStringLiteral("The Hoopfall data files have been copied and saved to ") + dir +
                        QStringLiteral(" with a \"BAK\" extension."));
    } else {
        main.SetStatusText(QStringLiteral("Backed up %1 of %2 data files to %3*.BAK").arg(copied).arg(total).arg(dir));
        ShowInformation(QStringLiteral("Only %1 of %2 Hoopfall data files could be copied to %3 with a \"BAK\" "
                                       "extension. The others were not backed up.")
                            .arg(copied)
                            .arg(total)
                            .arg(dir));
    }
}
