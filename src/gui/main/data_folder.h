#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "core/commands/command_line.h"

class QTextStream;

// The per-user data folder (~/.local/share/Corvanta/the Hoopfall on Linux).
QString userDataFolder();

// True when dir holds one of the pool's data files.
bool holdsDataFiles(const QString& dir);

// A folder, made when missing, that takes new files; error names the folder and the reason
// when it does not.
struct UsableFolder {
    QString path;   // canonical; empty when the folder cannot be used
    QString error;  // the user's message when path is empty
};
UsableFolder prepareFolder(const QString& dir);

// The pool's folder: poolDir when given; else programDir when it already holds a data file and
// takes new files (a portable copy); else userDir. The folder chosen is made when missing and
// must take new files: a pool that cannot be saved is never started on.
UsableFolder chooseDataFolder(const QString& poolDir, const QString& programDir, const QString& userDir);

// The pool's folder for a run that only reads it, chosen as chooseDataFolder chooses, but with
// nothing made or written: a folder that does not exist is refused.
UsableFolder findDataFolder(const QString& poolDir, const QString& programDir, const QString& userDir);

// The folder --pool names, as typed; "~/" stands for the home folder. Empty without --pool.
QString poolDirOf(const CommandLine& line);

// The usage or the version when the command line asks for it (to out, code 0), or the mistake
// and where to read more when it is wrong (to err, UsageExitCode); nothing otherwise.
std::optional<int> answerUsage(const CommandLine& line, QTextStream& out, QTextStream& err);

// The start of the program, before any window: reads the arguments that follow the program's
// name and chooses the pool's folder. Returns the folder; or an empty text with exitCode set,
// after the usage or version went to out (code 0) or the mistake to err (code 2), or a
// refused folder was reported in an error box (code 1). A command that runs without a window
// never comes here: the command line is read once before, without a display.
QString resolveDataFolder(const QStringList& args, const QString& programDir, const QString& userDir, QTextStream& out,
                          QTextStream& err, int& exitCode);
