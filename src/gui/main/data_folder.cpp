#include "gui/main/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/prompts.h"

QString userDataFolder()
{
    // Named here rather than taken from the application's name, which is the desktop's name for
    // the program.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/Corvanta/the Hoopfall");
}

bool holdsDataFiles(const QString& dir)
{
    for (const std::string& name : {TeamsFileName, RegionsFileName, PicksFileName})
        if (QFileInfo::exists(QDir(dir).filePath(QString::fromStdString(name)))) return true;
    return false;
}

namespace {
// Permission bits do not tell (root, read-only mounts, access lists): only a file made there does.
QString writeProblem(const QString& dir)
{
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".hoopfall-probe-XXXXXX")));
    return probe.open() ? QString() : probe.errorString();
}
}  // namespace

UsableFolder prepareFolder(const QString& dir)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath());
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir()) return {{}, QStringLiteral("The pool folder %1 is not a folder.").arg(shown)};
    if (!info.exists()) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(dir).toStdString(), error);
        if (error)
            return {{},
                    QStringLiteral("The pool folder %1 could not be created: %2.")
                        .arg(shown, QString::fromLocal8Bit(error.message()))};
    }
    if (const QString problem = writeProblem(dir); !problem.isEmpty())
        return {{},
                QStringLiteral("The pool folder %1 cannot be written to: %2. Nothing could be saved there.")
                    .arg(shown, problem)};
    return {QFileInfo(dir).canonicalFilePath(), {}};
}

UsableFolder chooseDataFolder(const QString& poolDir, const QString& programDir, const QString& userDir)
{
    if (!poolDir.isEmpty()) return prepareFolder(poolDir);
    if (holdsDataFiles(programDir) && writeProblem(programDir).isEmpty()) return prepareFolder(programDir);
    if (userDir.isEmpty()) return {{}, QStringLiteral("There is no data folder for this user.")};
    return prepareFolder(userDir);
}

UsableFolder findDataFolder(const QString& poolDir, const QString& programDir, const QString& userDir)
{
    // The system's own answer stands in for the probe a file would be: nothing may be made here.
    const bool programPool =
        holdsDataFiles(programDir) && ::access(QFile::encodeName(programDir).constData(), W_OK) == 0;
    const QString dir = !poolDir.isEmpty() ? poolDir : programPool ? programDir : userDir;
    const QFileInfo info(dir);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (dir.isEmpty()) return {{}, QStringLiteral("There is no data folder for this user.")};
    if (!info.exists()) return {{}, QStringLiteral("The pool folder %1 does not exist.").arg(shown)};
    if (!info.isDir()) return {{}, QStringLiteral("The pool folder %1 is not a folder.").arg(shown)};
    return {info.canonicalFilePath(), {}};
}

QString poolDirOf(const CommandLine& line)
{
    QString poolDir = line.poolDir ? QFile::decodeName(QByteArray::fromStdString(*line.poolDir)) : QString();
    // The shell leaves "--pool=~/pool" alone; a folder named "~" is never what was meant.
    if (poolDir == QStringLiteral("~") || poolDir.startsWith(QStringLiteral("~/")))
        poolDir = QDir::homePath() + poolDir.mid(1);
    return poolDir;
}

std::optional<int> answerUsage(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    if (!line.error.empty()) {
        err << fromMessage(mistakeText(line.error));
        err.flush();
        return UsageExitCode;
    }
    if (!line.help && !line.version) return std::nullopt;
    out << (line.help ? UsageText : versionText().c_str());
    out.flush();
    return 0;
}

QString resolveDataFolder(const QStringList& args, const QString& programDir, const QString& userDir, QTextStream& out,
                          QTextStream& err, int& exitCode)
{
    std::vector<std::string> list;
    for (const QString& arg : args) list.push_back(QFile::encodeName(arg).toStdString());
    const CommandLine line = parseCommandLine(list);
    if (const std::optional<int> code = answerUsage(line, out, err)) {
        exitCode = *code;
        return {};
    }
    const UsableFolder folder = chooseDataFolder(poolDirOf(line), programDir, userDir);
    if (folder.path.isEmpty()) {
        showError(folder.error);
        exitCode = 1;
        return {};
    }
    exitCode = 0;
    return folder.path;
}
